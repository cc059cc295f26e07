// Firefox's places schema, as a current Firefox creates it (the columns the bookmarks use
// and their neighbours), for the tests of the Firefox import.
#include "PlacesFixture.h"

#include <cstdio>

namespace kvtest {

namespace {

const char* const kSchema =
        "CREATE TABLE moz_origins (id INTEGER PRIMARY KEY, prefix TEXT NOT NULL, host TEXT NOT "
        "NULL, frecency INTEGER NOT NULL, recalc_frecency INTEGER NOT NULL DEFAULT 0, "
        "alt_frecency INTEGER, recalc_alt_frecency INTEGER NOT NULL DEFAULT 0, UNIQUE (prefix, "
        "host));"
        "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR, "
        "rev_host LONGVARCHAR, visit_count INTEGER DEFAULT 0, hidden INTEGER DEFAULT 0 NOT NULL, "
        "typed INTEGER DEFAULT 0 NOT NULL, frecency INTEGER DEFAULT -1 NOT NULL, "
        "last_visit_date INTEGER , guid TEXT, foreign_count INTEGER DEFAULT 0 NOT NULL, "
        "url_hash INTEGER DEFAULT 0 NOT NULL , description TEXT, preview_image_url TEXT, "
        "site_name TEXT, origin_id INTEGER REFERENCES moz_origins(id), recalc_frecency INTEGER "
        "NOT NULL DEFAULT 0, alt_frecency INTEGER, recalc_alt_frecency INTEGER NOT NULL DEFAULT "
        "0);"
        "CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER DEFAULT "
        "NULL, parent INTEGER, position INTEGER, title LONGVARCHAR, keyword_id INTEGER, "
        "folder_type TEXT, dateAdded INTEGER, lastModified INTEGER, guid TEXT, syncStatus "
        "INTEGER NOT NULL DEFAULT 0, syncChangeCounter INTEGER NOT NULL DEFAULT 1);"
        "CREATE TABLE moz_keywords (id INTEGER PRIMARY KEY AUTOINCREMENT, keyword TEXT UNIQUE, "
        "place_id INTEGER, post_data TEXT);"
        "CREATE UNIQUE INDEX moz_places_url_uniqueindex ON moz_places (url);"
        "CREATE INDEX moz_bookmarks_itemindex ON moz_bookmarks (fk, type);"
        "CREATE INDEX moz_bookmarks_parentindex ON moz_bookmarks (parent, position);"
        "CREATE UNIQUE INDEX moz_bookmarks_guid_uniqueindex ON moz_bookmarks (guid);"
        "INSERT INTO moz_bookmarks (id, type, parent, position, title, guid) VALUES "
        "(1, 2, 0, 0, '', 'root________'), (2, 2, 1, 0, 'menu', 'menu________'), "
        "(3, 2, 1, 1, 'toolbar', 'toolbar_____'), (4, 2, 1, 2, 'tags', 'tags________'), "
        "(5, 2, 1, 3, 'unfiled', 'unfiled_____'), (6, 2, 1, 4, 'mobile', 'mobile______');";

} // namespace

PlacesDatabase::PlacesDatabase(const std::string& path, bool wal) : fDatabase(nullptr), fNextGuid(1)
{
	if (sqlite3_open(path.c_str(), &fDatabase) != SQLITE_OK) {
		fError = "cannot open " + path;
		return;
	}
	// What reaches the disk is the same; only the waits for it go.
	Execute("PRAGMA synchronous=OFF");
	if (wal) {
		Execute("PRAGMA journal_mode=WAL");
		Execute("PRAGMA wal_autocheckpoint=0");
		Execute("PRAGMA locking_mode=EXCLUSIVE");
	}
	Execute(kSchema);
}

PlacesDatabase::~PlacesDatabase()
{
	Close();
}

void
PlacesDatabase::Close()
{
	if (fDatabase != nullptr)
		sqlite3_close(fDatabase);
	fDatabase = nullptr;
}

void
PlacesDatabase::Execute(const std::string& sql)
{
	char* message = nullptr;
	if (fDatabase != nullptr &&
	    sqlite3_exec(fDatabase, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
		fError += message != nullptr ? message : "error";
		fError += "\n";
	}
	sqlite3_free(message);
}

long long
PlacesDatabase::_Add(long long parent, int type, const std::string& title, long long place)
{
	sqlite3_stmt* statement = nullptr;
	char guid[16];
	snprintf(guid, sizeof(guid), "kvtest%06lld", fNextGuid++);
	sqlite3_prepare_v2(fDatabase,
	                   "INSERT INTO moz_bookmarks (type, fk, parent, position, title, guid, "
	                   "dateAdded, lastModified) VALUES (?, ?, ?, (SELECT count(*) FROM "
	                   "moz_bookmarks WHERE parent = ?), ?, ?, 1700000000000000, "
	                   "1700000000000000)",
	                   -1, &statement, nullptr);
	sqlite3_bind_int(statement, 1, type);
	if (place > 0)
		sqlite3_bind_int64(statement, 2, place);
	sqlite3_bind_int64(statement, 3, parent);
	sqlite3_bind_int64(statement, 4, parent);
	sqlite3_bind_text(statement, 5, title.data(), static_cast<int>(title.size()), SQLITE_TRANSIENT);
	sqlite3_bind_text(statement, 6, guid, -1, SQLITE_TRANSIENT);
	if (sqlite3_step(statement) != SQLITE_DONE)
		fError += std::string(sqlite3_errmsg(fDatabase)) + "\n";
	sqlite3_finalize(statement);
	return sqlite3_last_insert_rowid(fDatabase);
}

long long
PlacesDatabase::AddFolder(long long parent, const std::string& title)
{
	return _Add(parent, 2, title, 0);
}

long long
PlacesDatabase::AddLink(long long parent, const std::string& title, const std::string& url,
                        const std::string& keyword)
{
	sqlite3_stmt* statement = nullptr;
	sqlite3_prepare_v2(fDatabase,
	                   "INSERT OR IGNORE INTO moz_places (url, title, rev_host, guid, url_hash) "
	                   "VALUES (?, ?, '', ?, 0)",
	                   -1, &statement, nullptr);
	std::string guid = "place" + std::to_string(fNextGuid++);
	sqlite3_bind_text(statement, 1, url.c_str(), -1, SQLITE_TRANSIENT);
	sqlite3_bind_text(statement, 2, title.data(), static_cast<int>(title.size()), SQLITE_TRANSIENT);
	sqlite3_bind_text(statement, 3, guid.c_str(), -1, SQLITE_TRANSIENT);
	sqlite3_step(statement);
	sqlite3_finalize(statement);
	sqlite3_prepare_v2(fDatabase, "SELECT id FROM moz_places WHERE url = ?", -1, &statement,
	                   nullptr);
	sqlite3_bind_text(statement, 1, url.c_str(), -1, SQLITE_TRANSIENT);
	long long place =
	        sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : 0;
	sqlite3_finalize(statement);
	if (!keyword.empty()) {
		Execute("INSERT INTO moz_keywords (keyword, place_id) VALUES ('" + keyword + "', " +
		        std::to_string(place) + ")");
	}
	return _Add(parent, 1, title, place);
}

} // namespace kvtest
