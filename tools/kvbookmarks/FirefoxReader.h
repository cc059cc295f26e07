// Reads Firefox's bookmarks from a profile's places.sqlite through SQLite, on a private
// copy of the database and its write-ahead log: Firefox keeps the file locked while it
// runs, and recent bookmarks may still be only in the log.
#ifndef KV_FIREFOX_READER_H
#define KV_FIREFOX_READER_H

#include "SourceTree.h"

#include <string>

// The profile directory profiles.ini names as the default: the [Install…] section's
// Default, else the [Profile…] with Default=1, else the first profile. Relative paths are
// taken from iniDirectory. "" when the file names no profile.
std::string DefaultProfile(const std::string& iniText, const std::string& iniDirectory);

// Reads the database at databasePath (its "-wal" beside it is used when present) by way
// of copies in a directory of this process's own under ~/.cache, removed again. The
// toolbar is "Bookmarks Toolbar". False with *error set when the file is no readable
// places database.
bool ReadFirefoxBookmarks(const std::string& databasePath, KVSourceTree* tree, std::string* error);

// The same on a database file that may be opened in place (tests, fuzzing).
bool ReadPlacesDatabase(const std::string& path, KVSourceTree* tree, std::string* error);

#endif // KV_FIREFOX_READER_H
