// A places.sqlite made the way Firefox makes it: its schema (moz_places, moz_bookmarks,
// moz_keywords), the root folders with their fixed guids, and bookmarks added through
// one connection, which may stay open as Firefox's does.
#ifndef KV_PLACES_FIXTURE_H
#define KV_PLACES_FIXTURE_H

#include <sqlite3.h>

#include <string>

namespace kvtest {

// Firefox's folder ids in a new profile.
enum
{
	kPlacesRoot = 1,
	kPlacesMenu = 2,
	kPlacesToolbar = 3,
	kPlacesTags = 4,
	kPlacesUnfiled = 5
};

class PlacesDatabase
{
public:
	// Creates the database at path. With wal, the connection keeps it in WAL mode, holds
	// it locked (exclusive locking, as Firefox) and never checkpoints while open.
	PlacesDatabase(const std::string& path, bool wal);
	~PlacesDatabase();

	bool Ok() const { return fDatabase != nullptr && fError.empty(); }
	const std::string& Error() const { return fError; }

	// Adds a folder or a link at the end of parent; returns its id.
	long long AddFolder(long long parent, const std::string& title);
	long long AddLink(long long parent, const std::string& title, const std::string& url,
	                  const std::string& keyword = "");
	void Execute(const std::string& sql);
	// Closes the connection (Firefox quits): a WAL database is checkpointed.
	void Close();

private:
	long long _Add(long long parent, int type, const std::string& title, long long place);

	sqlite3* fDatabase;
	std::string fError;
	long long fNextGuid;
};

} // namespace kvtest

#endif // KV_PLACES_FIXTURE_H
