// Firefox's places database: moz_bookmarks (type 1 link, 2 folder, 3 separator; parent
// and position give the tree) joined to moz_places for the URLs, and moz_keywords when
// the profile has it. The copy, not the profile's file, is what SQLite opens.
#include "FirefoxReader.h"

#include "FileBytes.h"

#include <Directory.h>
#include <Entry.h>
#include <OS.h>
#include <Path.h>
#include <String.h>

#include <sqlite3.h>

#include <map>
#include <set>
#include <sstream>

namespace {

const char* const kScratchParent = "/boot/home/.cache";
const int32 kCopyAttempts = 5;
const char* const kCopyLeaf = "places.sqlite";
const char* const kCopySuffixes[] = {"", "-wal", "-shm", "-journal"};

struct Row
{
	int type = 0;
	std::string title;
	std::string url;
	std::string guid;
	sqlite3_int64 place = 0;
};

struct Places
{
	std::map<sqlite3_int64, Row> rows;
	// Children of each folder in position order.
	std::map<sqlite3_int64, std::vector<sqlite3_int64>> children;
	std::map<sqlite3_int64, std::string> keywords; // by place
};

struct RootName
{
	const char* guid;
	const char* name;
	bool toolbar;
};

const RootName kRootNames[] = {{"menu________", "Bookmarks Menu", false},
                               {"toolbar_____", "Bookmarks Toolbar", true},
                               {"unfiled_____", "Other Bookmarks", false},
                               {"mobile______", "Mobile Bookmarks", false}};

std::string
Column(sqlite3_stmt* statement, int column)
{
	const unsigned char* text = sqlite3_column_text(statement, column);
	int length = sqlite3_column_bytes(statement, column);
	return text != nullptr ? std::string(reinterpret_cast<const char*>(text), length) : "";
}

bool
Fail(sqlite3* database, std::string* error)
{
	*error = database != nullptr ? sqlite3_errmsg(database) : "out of memory";
	return false;
}

bool
ReadRows(sqlite3* database, Places* places, std::string* error)
{
	const char* query = "SELECT b.id, b.type, b.parent, b.title, p.url, b.guid, b.fk "
	                    "FROM moz_bookmarks b LEFT JOIN moz_places p ON p.id = b.fk "
	                    "ORDER BY b.parent, b.position, b.id";
	sqlite3_stmt* statement = nullptr;
	if (sqlite3_prepare_v2(database, query, -1, &statement, nullptr) != SQLITE_OK)
		return Fail(database, error);
	int result;
	while ((result = sqlite3_step(statement)) == SQLITE_ROW) {
		sqlite3_int64 id = sqlite3_column_int64(statement, 0);
		Row& row = places->rows[id];
		row.type = sqlite3_column_int(statement, 1);
		row.title = Column(statement, 3);
		row.url = Column(statement, 4);
		row.guid = Column(statement, 5);
		row.place = sqlite3_column_int64(statement, 6);
		places->children[sqlite3_column_int64(statement, 2)].push_back(id);
	}
	sqlite3_finalize(statement);
	if (result != SQLITE_DONE)
		return Fail(database, error);
	return true;
}

// Keywords are an extra: a profile without the table still imports.
void
ReadKeywords(sqlite3* database, Places* places)
{
	sqlite3_stmt* statement = nullptr;
	if (sqlite3_prepare_v2(database, "SELECT place_id, keyword FROM moz_keywords", -1, &statement,
	                       nullptr) != SQLITE_OK)
		return;
	while (sqlite3_step(statement) == SQLITE_ROW)
		places->keywords[sqlite3_column_int64(statement, 0)] = Column(statement, 1);
	sqlite3_finalize(statement);
}

// Places' own queries ("place:…") are views of the history, not pages.
bool
IsQuery(const std::string& url)
{
	return url.compare(0, 6, "place:") == 0;
}

bool
Build(const Places& places, sqlite3_int64 id, KVSourceNode* folder, int depth,
      std::set<sqlite3_int64>* seen)
{
	if (depth > kMaxSourceDepth)
		return false;
	std::map<sqlite3_int64, std::vector<sqlite3_int64>>::const_iterator list =
	        places.children.find(id);
	if (list == places.children.end())
		return true;
	for (sqlite3_int64 childId : list->second) {
		if (!seen->insert(childId).second)
			continue;
		const Row& row = places.rows.at(childId);
		KVSourceNode child;
		child.name = row.title;
		if (row.type == 2) {
			child.isFolder = true;
			if (!Build(places, childId, &child, depth + 1, seen))
				return false;
		} else if (row.type == 1 && !row.url.empty() && !IsQuery(row.url)) {
			child.url = row.url;
			std::map<sqlite3_int64, std::string>::const_iterator keyword =
			        places.keywords.find(row.place);
			if (keyword != places.keywords.end())
				child.keywords = keyword->second;
		} else
			continue;
		folder->children.push_back(std::move(child));
	}
	return true;
}

// The top folders are named by their guid: their titles are internal words ("toolbar"),
// and the tags folder holds tags, not bookmarks.
bool
BuildTree(const Places& places, KVSourceTree* tree, std::string* error)
{
	sqlite3_int64 rootId = -1;
	for (const std::pair<const sqlite3_int64, Row>& row : places.rows) {
		if (row.second.guid == "root________")
			rootId = row.first;
	}
	std::map<sqlite3_int64, std::vector<sqlite3_int64>>::const_iterator top =
	        places.children.find(rootId);
	if (rootId < 0 || top == places.children.end()) {
		*error = "the database has no bookmark root";
		return false;
	}
	std::set<sqlite3_int64> seen = {rootId};
	for (sqlite3_int64 id : top->second) {
		const Row& row = places.rows.at(id);
		if (row.type != 2 || row.guid == "tags________" || !seen.insert(id).second)
			continue;
		KVSourceNode folder;
		folder.isFolder = true;
		folder.name = row.title;
		for (const RootName& name : kRootNames) {
			if (row.guid == name.guid) {
				folder.name = name.name;
				folder.isToolbar = name.toolbar;
			}
		}
		if (!Build(places, id, &folder, 1, &seen)) {
			*tree = KVSourceTree();
			*error = "the folders nest too deeply";
			return false;
		}
		tree->root.children.push_back(std::move(folder));
	}
	return true;
}

// A directory of this process's own under the user's cache, removed with its copies.
class Scratch
{
public:
	Scratch();
	~Scratch();

	status_t InitCheck() const { return fStatus; }
	std::string Copy(const char* suffix) const { return fPath + "/" + kCopyLeaf + suffix; }

private:
	std::string fPath;
	status_t fStatus;
};

// The directory is the user's own (0700): the copies hold the whole browsing history.
// Only the user can write to ~/.cache, so a name found free stays free.
Scratch::Scratch() : fStatus(B_ERROR)
{
	if ((fStatus = create_directory(kScratchParent, 0700)) != B_OK)
		return;
	for (int32 attempt = 0; attempt < 100; attempt++) {
		BString path(kScratchParent);
		path << "/kvbookmarks-" << static_cast<int32>(find_thread(nullptr)) << "-" << attempt;
		BEntry entry(path.String(), false);
		if ((fStatus = entry.InitCheck()) != B_OK)
			return;
		if (entry.Exists())
			continue;
		BPath hostPath;
		if ((fStatus = create_directory(path.String(), 0700)) == B_OK &&
		    (fStatus = entry.GetPath(&hostPath)) == B_OK)
			fPath = hostPath.Path();
		return;
	}
	fStatus = B_FILE_EXISTS;
}

Scratch::~Scratch()
{
	if (fPath.empty())
		return;
	for (const char* suffix : kCopySuffixes)
		BEntry(Copy(suffix).c_str()).Remove();
	BEntry(fPath.c_str()).Remove();
}

// The database and its log as one consistent pair: the log is read before and after the
// database, and a log that changed meanwhile (Firefox wrote or checkpointed) means
// another try.
bool
CopyDatabase(const std::string& source, const Scratch& scratch, std::string* error)
{
	std::string wal = source + "-wal";
	for (int32 attempt = 0; attempt < kCopyAttempts; attempt++) {
		std::string logBefore, database, logAfter;
		bool hasLog = ReadWholeFile(wal.c_str(), &logBefore) == B_OK;
		status_t status = ReadWholeFile(source.c_str(), &database);
		if (status != B_OK) {
			*error = strerror_be(status);
			return false;
		}
		if (hasLog != (ReadWholeFile(wal.c_str(), &logAfter) == B_OK) || logBefore != logAfter)
			continue;
		if ((status = WriteWholeFile(scratch.Copy("").c_str(), database)) != B_OK ||
		    (hasLog && (status = WriteWholeFile(scratch.Copy("-wal").c_str(), logAfter)) != B_OK)) {
			*error = std::string("cannot copy the database: ") + strerror_be(status);
			return false;
		}
		return true;
	}
	*error = "the database kept changing while it was read";
	return false;
}

} // namespace

bool
ReadPlacesDatabase(const std::string& path, KVSourceTree* tree, std::string* error)
{
	*tree = KVSourceTree();
	sqlite3* database = nullptr;
	int result = sqlite3_open_v2(path.c_str(), &database, SQLITE_OPEN_READWRITE, nullptr);
	if (result != SQLITE_OK) {
		Fail(database, error);
		sqlite3_close(database);
		return false;
	}
	Places places;
	bool ok = ReadRows(database, &places, error);
	if (ok) {
		ReadKeywords(database, &places);
		ok = BuildTree(places, tree, error);
	}
	sqlite3_close(database);
	return ok;
}

bool
ReadFirefoxBookmarks(const std::string& databasePath, KVSourceTree* tree, std::string* error)
{
	*tree = KVSourceTree();
	Scratch scratch;
	if (scratch.InitCheck() != B_OK) {
		*error =
		        std::string("cannot make a private directory: ") + strerror_be(scratch.InitCheck());
		return false;
	}
	if (!CopyDatabase(databasePath, scratch, error))
		return false;
	return ReadPlacesDatabase(scratch.Copy(""), tree, error);
}

namespace {

std::string
Trim(const std::string& text)
{
	size_t first = text.find_first_not_of(" \t\r");
	size_t last = text.find_last_not_of(" \t\r");
	return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

struct IniProfile
{
	std::string path;
	bool relative = true;
	bool isDefault = false;
};

std::string
ProfilePath(const IniProfile& profile, const std::string& iniDirectory)
{
	if (profile.path.empty())
		return std::string();
	if (!profile.relative || profile.path[0] == '/')
		return profile.path;
	return iniDirectory + "/" + profile.path;
}

} // namespace

std::string
DefaultProfile(const std::string& iniText, const std::string& iniDirectory)
{
	std::vector<IniProfile> profiles;
	std::string installDefault;
	std::string section;
	std::istringstream lines(iniText);
	std::string line;
	while (std::getline(lines, line)) {
		line = Trim(line);
		if (line.empty() || line[0] == ';' || line[0] == '#')
			continue;
		if (line[0] == '[') {
			section = line;
			if (section.compare(0, 8, "[Profile") == 0)
				profiles.emplace_back();
			continue;
		}
		size_t equals = line.find('=');
		if (equals == std::string::npos)
			continue;
		std::string key = Trim(line.substr(0, equals));
		std::string value = Trim(line.substr(equals + 1));
		if (section.compare(0, 8, "[Install") == 0 && key == "Default" && installDefault.empty())
			installDefault = value;
		if (section.compare(0, 8, "[Profile") != 0)
			continue;
		if (key == "Path")
			profiles.back().path = value;
		else if (key == "IsRelative")
			profiles.back().relative = value != "0";
		else if (key == "Default")
			profiles.back().isDefault = value == "1";
	}
	// The install's default is a path relative to the file's directory, or absolute.
	if (!installDefault.empty()) {
		IniProfile install;
		install.path = installDefault;
		install.relative = installDefault[0] != '/';
		return ProfilePath(install, iniDirectory);
	}
	for (const IniProfile& profile : profiles) {
		if (profile.isDefault && !profile.path.empty())
			return ProfilePath(profile, iniDirectory);
	}
	for (const IniProfile& profile : profiles) {
		if (!profile.path.empty())
			return ProfilePath(profile, iniDirectory);
	}
	return std::string();
}
