// The Opera bookmark file parser: turns the lines of an ".adr" file into folder and link
// events. It touches no file system, so the importer's rules can be checked and fuzzed alone.
#ifndef KV_OPERA_PARSER_H
#define KV_OPERA_PARSER_H

#include <cstddef>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

// Receives what the parser finds. Folder events always come in balanced pairs: a close is
// only sent for a folder that was opened, so a sink never has to climb above where it began.
class KVOperaSink
{
public:
	virtual ~KVOperaSink();

	// A named Opera folder begins; name is the raw value of its NAME line (never empty).
	virtual void FolderOpened(const std::string& name) = 0;
	// The innermost folder opened with FolderOpened() ends.
	virtual void FolderClosed() = 0;
	// A link with both a name and a URL (raw values, never empty).
	virtual void LinkFound(const std::string& name, const std::string& url) = 0;
};

class KVOperaParser
{
public:
	// The sink is borrowed: the caller keeps it alive while the parser is used.
	explicit KVOperaParser(KVOperaSink* sink);

	// Feeds one line without its newline. A trailing CR, a byte-order mark at the very
	// start of the input and everything from a NUL byte on are not part of the line.
	void ParseLine(std::string_view line);

	// Feeds every line of the stream, of any length, up to its end or a read error.
	void ParseStream(std::istream& stream);

	// Nesting of Opera folders at this point, named or not.
	size_t Depth() const { return fFolders.size(); }

private:
	enum parse_state
	{
		kTopLevel,
		kFolderEntry,
		kLinkEntry
	};

	std::string_view _CleanLine(std::string_view line);
	bool _ContinueFolder(std::string_view line);
	bool _ContinueLink(std::string_view line);
	void _TopLevel(std::string_view line);
	void _CloseFolder();

	KVOperaSink* fSink;
	parse_state fState;
	bool fFirstLine;
	bool fNameSeen;
	bool fURLSeen;
	std::string fName;
	std::string fURL;
	// One entry per open Opera folder: true when it was named and so reached the sink.
	std::vector<bool> fFolders;
};

// The text after the first "=" of a line; false when there is no "=" or nothing after it.
bool GetValue(std::string_view line, std::string* value);

// Turns an entry name into a single, harmless file name: every "/" becomes "_", and the
// names "." and ".." (which would step out of the current folder) become "_" and "__".
// The length never changes.
std::string FixString(const char* text);

#endif // KV_OPERA_PARSER_H
