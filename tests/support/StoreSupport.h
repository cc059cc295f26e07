// A bookmark store of the test's own: a temporary configuration directory holding the
// store directory, and bookmark files written as another program writes them (raw xattrs,
// so the tests check the program against the disk, not against the kit).
#ifndef KV_TEST_STORE_SUPPORT_H
#define KV_TEST_STORE_SUPPORT_H

#include <string>

#include "TestSupport.h"

namespace kvtest {

inline const std::string kBookmarkMimeType = "application/x-vnd.Be-bookmark";

// text and its terminating NUL, as the programs store strings.
std::string WithNul(const std::string& text);

// The fields of a bookmark file, byte for byte. An empty type writes none.
struct BookmarkFields
{
	std::string type = kBookmarkMimeType;
	std::string url = WithNul("http://example.org/");
	bool hasKeywords = true;
	std::string keywords = WithNul("");
};

// An empty file with the given type, "META:url" and, when asked, "META:keyw".
bool MakeBookmark(const std::string& path, const BookmarkFields& fields = BookmarkFields());
// The same with url and keywords stored with their NUL.
bool MakeBookmark(const std::string& path, const std::string& url, const std::string& keywords);

// $XDG_CONFIG_HOME is a fresh directory with an empty "Kestrovane" store in it, and $HOME
// is the given directory, or that fresh directory when none is given.
class TempStore
{
public:
	explicit TempStore(const char* tag, const char* home = nullptr);

	// False when the store directory could not be made.
	bool IsReady() const { return fReady; }
	// The configuration directory, and the store with symbolic links resolved.
	const TempDir& Dir() const { return fDir; }
	const std::string& Path() const { return fStore; }
	std::string Sub(const std::string& relative) const { return fStore + "/" + relative; }
	bool MakeFolder(const std::string& name) const;

private:
	TempDir fDir;
	ScopedEnv fHome;
	ScopedEnv fConfig;
	std::string fStore;
	bool fReady;
};

} // namespace kvtest

#endif // KV_TEST_STORE_SUPPORT_H
