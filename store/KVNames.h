// The store's naming rules: folder and slot numbers in entry names, display names,
// shortened URLs, finding a folder or slot on disk, and what makes a file a readable
// bookmark.
#ifndef KV_NAMES_H
#define KV_NAMES_H

#include <BookmarkFormat.h>
#include <String.h>

class BEntry;
class BNode;

// The store directory; the kit maps it into the user's configuration directory.
extern const char* const kStoreDirectory;

// The leaf number of a store path: the one decimal digit that starts the leaf (the text
// after the last "/") before its first "-"; -1 without a dash, without a leading digit,
// or with two or more leading digits. A path without "/" is all leaf. NULL reads as "".
int GetNumber(const char* path);
int GetNumber(const BString& path);

// The display name of the leaf: what follows its first "-", less one blank right after
// it; "" when the leaf has no dash.
BString GetName(const char* path);
BString GetName(const BString& path);

// URLs up to 50 bytes come back whole; longer ones as their first 46 bytes and "....".
BString ParseURL(const char* url);
BString ParseURL(const BString& url);

// The host path of folder (1..10) in the store, or with slot 1..10 of the bookmark file
// in that folder; slot 0 or less asks for the folder itself. The first match in the
// directory's order wins. "" when there is none, when folder or slot is out of range,
// or when the store cannot be read.
BString FindItem(int folder, int slot);

// True when type names the bookmark file type, in any case.
bool IsBookmarkType(const char* type);

// Reads a string attribute the way bookmark files are read: the whole value, up to its
// first NUL, so a value written with or without its terminating NUL reads the same.
// False only when the attribute's info cannot be read (it is missing, or the node is
// not usable); a value that reads as nothing is the empty string.
bool ReadStringAttribute(const BNode& node, const char* name, BString* value);

// The bookmark file rule: the entry exists and is a regular file (a link is not), its
// node and node info open, its type is the bookmark type, and both "META:url" and
// "META:keyw" are there. On true, url and keywords hold their values; on false they
// may already hold what was read before the failure.
bool ReadBookmarkFile(const BEntry& entry, BString* url, BString* keywords);

// Which entries of a folder directory take its ten slots, the way the bar reads a folder:
// the walk follows links, and the first regular file met with a slot's digit takes the
// slot, readable bookmark or not. paths[n] is the (host) path of slot n + 1's file, ""
// for a free slot; entries, when given, receives the entries themselves (which saves a
// caller resolving the paths again). False, with every path "", when the directory cannot
// be read.
bool GetSlotPaths(const BEntry& folder, BString paths[10], BEntry* entries = nullptr);

#endif // KV_NAMES_H
