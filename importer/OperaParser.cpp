// The Opera bookmark file parser. Every test on a line is a case-sensitive substring test,
// except the folder end, which looks at the first character only.
#include "importer/OperaParser.h"

namespace {

const std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool
Contains(std::string_view line, std::string_view what)
{
	return line.find(what) != std::string_view::npos;
}

// A line that starts the next entry or ends a folder; it also ends an unfinished entry,
// so a broken entry can never swallow the folder structure that follows it.
bool
StartsNewEntry(std::string_view line)
{
	return line[0] == '#' || line[0] == '-';
}

} // namespace

KVOperaSink::~KVOperaSink() = default;

bool
GetValue(std::string_view line, std::string* value)
{
	size_t equals = line.find('=');
	if (equals == std::string_view::npos || equals + 1 == line.size())
		return false;
	value->assign(line.substr(equals + 1));
	return true;
}

std::string
FixString(const char* text)
{
	std::string fixed(text);
	if (fixed == "." || fixed == "..") {
		fixed.assign(fixed.size(), '_');
		return fixed;
	}
	for (char& c : fixed) {
		if (c == '/')
			c = '_';
	}
	return fixed;
}

KVOperaParser::KVOperaParser(KVOperaSink* sink)
    : fSink(sink), fState(kTopLevel), fFirstLine(true), fNameSeen(false), fURLSeen(false)
{}

void
KVOperaParser::ParseLine(std::string_view line)
{
	line = _CleanLine(line);
	if (line.empty())
		return;

	if (fState == kFolderEntry && _ContinueFolder(line))
		return;
	if (fState == kLinkEntry && _ContinueLink(line))
		return;
	_TopLevel(line);
}

void
KVOperaParser::ParseStream(std::istream& stream)
{
	std::string line;
	while (std::getline(stream, line))
		ParseLine(line);
}

std::string_view
KVOperaParser::_CleanLine(std::string_view line)
{
	if (fFirstLine) {
		fFirstLine = false;
		if (line.substr(0, kByteOrderMark.size()) == kByteOrderMark)
			line.remove_prefix(kByteOrderMark.size());
	}
	// The values end up in C strings (file names, attributes): a NUL would cut them
	// anyway, so cut the line there once and for all.
	size_t nul = line.find('\0');
	if (nul != std::string_view::npos)
		line = line.substr(0, nul);
	if (!line.empty() && line.back() == '\r')
		line.remove_suffix(1);
	return line;
}

// Returns true when the line was taken by the folder entry, false when the entry ended
// without a name and the line must be handled at the top level.
bool
KVOperaParser::_ContinueFolder(std::string_view line)
{
	if (StartsNewEntry(line)) {
		// A folder without a NAME line still gets its own "-".
		fFolders.push_back(false);
		fState = kTopLevel;
		return false;
	}
	if (!Contains(line, "NAME"))
		return true;

	fState = kTopLevel;
	std::string name;
	bool named = GetValue(line, &name);
	fFolders.push_back(named);
	if (named)
		fSink->FolderOpened(name);
	return true;
}

bool
KVOperaParser::_ContinueLink(std::string_view line)
{
	if (StartsNewEntry(line)) {
		// An unfinished entry writes nothing.
		fState = kTopLevel;
		return false;
	}
	if (Contains(line, "NAME")) {
		if (GetValue(line, &fName))
			fNameSeen = true;
	} else if (Contains(line, "URL")) {
		if (GetValue(line, &fURL))
			fURLSeen = true;
	}
	if (fNameSeen && fURLSeen) {
		fState = kTopLevel;
		fSink->LinkFound(fName, fURL);
	}
	return true;
}

void
KVOperaParser::_TopLevel(std::string_view line)
{
	if (Contains(line, "#FOLDER")) {
		fState = kFolderEntry;
	} else if (line[0] == '-') {
		_CloseFolder();
	} else if (Contains(line, "#URL")) {
		fNameSeen = false;
		fURLSeen = false;
		fState = kLinkEntry;
	}
}

void
KVOperaParser::_CloseFolder()
{
	// More folder ends than opened folders are ignored: the import never leaves the
	// directory it started in.
	if (fFolders.empty())
		return;
	bool named = fFolders.back();
	fFolders.pop_back();
	if (named)
		fSink->FolderClosed();
}
