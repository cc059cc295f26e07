// kvseed: fills the bookmark store with named folders and bookmarks from a short text
// file, writing them exactly as the add-bookmark window does, so a demo or a fresh
// profile starts with something to show. It only adds: a folder whose digit is taken
// keeps its name, and a slot that holds a bookmark keeps it.
#include "store/KVNames.h"

#include <Directory.h>
#include <Entry.h>
#include <File.h>
#include <NodeInfo.h>
#include <Path.h>
#include <TypeConstants.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

// One seed line: folder digit, slot digit or "-" for the folder itself, name, and for a
// bookmark its URL and optional keywords, separated by tabs.
struct SeedLine
{
	int folder = -1;
	int slot = -1;
	std::string name;
	std::string url;
	std::string keywords;
};

std::vector<std::string>
SplitTabs(const std::string& line)
{
	std::vector<std::string> fields;
	size_t start = 0;
	for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
		fields.push_back(line.substr(start, tab - start));
	fields.push_back(line.substr(start));
	return fields;
}

int
DigitOf(const std::string& field)
{
	return field.size() == 1 && field[0] >= '0' && field[0] <= '9' ? field[0] - '0' : -1;
}

bool
ParseLine(const std::string& line, SeedLine* seed)
{
	std::vector<std::string> fields = SplitTabs(line);
	if (fields.size() < 3)
		return false;
	seed->folder = DigitOf(fields[0]);
	seed->slot = fields[1] == "-" ? -1 : DigitOf(fields[1]);
	seed->name = fields[2];
	bool folderLine = fields[1] == "-";
	if (seed->folder < 0 || (!folderLine && seed->slot < 0))
		return false;
	if (seed->name.find('/') != std::string::npos || (folderLine && fields.size() != 3))
		return false;
	if (folderLine)
		return true;
	if (fields.size() < 4 || fields.size() > 5 || fields[3].empty() || seed->name.empty())
		return false;
	seed->url = fields[3];
	seed->keywords = fields.size() == 5 ? fields[4] : "";
	return true;
}

// "%d - Name"; a folder without a name is "%d -", as the bar names the folders it makes.
std::string
EntryName(int digit, const std::string& name)
{
	char prefix[8];
	snprintf(prefix, sizeof(prefix), name.empty() ? "%d -" : "%d - ", digit);
	return prefix + name;
}

// The folder directory of a digit: the one on disk, or a new one with the given name.
BString
EnsureFolder(int digit, const std::string& name)
{
	BString existing = FindItem(digit + 1, 0);
	if (existing.Length() > 0)
		return existing;
	BPath store(kStoreDirectory);
	BPath folder(store.Path(), EntryName(digit, name).c_str());
	if (folder.InitCheck() != B_OK || create_directory(folder.Path(), 0777) != B_OK)
		return "";
	return folder.Path();
}

// Values keep their terminating NUL, as bookmark files made by the bar do.
bool
WriteString(BNode& node, const char* attribute, const std::string& value)
{
	ssize_t length = ssize_t(value.size() + 1);
	return node.WriteAttr(attribute, B_STRING_TYPE, 0, value.c_str(), length) == length;
}

// A new file in a free slot: type, then URL, keywords and title. A file that could not
// take all of them is removed again, so no bookmark is left without its URL.
bool
WriteBookmark(const char* folder, const SeedLine& seed)
{
	BPath path(folder, EntryName(seed.slot, seed.name).c_str());
	BFile file(path.Path(), B_READ_WRITE | B_CREATE_FILE | B_FAIL_IF_EXISTS);
	if (path.InitCheck() != B_OK || file.InitCheck() != B_OK)
		return false;
	BNodeInfo info(&file);
	bool written = info.InitCheck() == B_OK && info.SetType(kBookmarkType) == B_OK &&
	               WriteString(file, kUrlAttribute, seed.url) &&
	               WriteString(file, kKeywordsAttribute, seed.keywords) &&
	               WriteString(file, kTitleAttribute, seed.name);
	file.Unset();
	if (!written)
		BEntry(path.Path()).Remove();
	return written;
}

bool
Apply(const SeedLine& seed)
{
	BString folder = EnsureFolder(seed.folder, seed.slot < 0 ? seed.name : "");
	if (folder.Length() == 0) {
		std::cerr << "kvseed: cannot make folder " << seed.folder << "\n";
		return false;
	}
	if (seed.slot < 0)
		return true;
	if (FindItem(seed.folder + 1, seed.slot + 1).Length() > 0) {
		std::cout << "kept the bookmark in slot " << seed.folder << seed.slot << "\n";
		return true;
	}
	if (!WriteBookmark(folder.String(), seed)) {
		std::cerr << "kvseed: cannot write " << EntryName(seed.slot, seed.name) << " in "
		          << folder.String() << "\n";
		return false;
	}
	std::cout << folder.String() << "/" << EntryName(seed.slot, seed.name) << "\n";
	return true;
}

} // namespace

int
main(int argc, char** argv)
{
	if (argc != 2) {
		std::cerr << "usage: kvseed <seed file>\n";
		return 2;
	}
	std::ifstream input(argv[1]);
	if (!input) {
		std::cerr << "kvseed: cannot read " << argv[1] << "\n";
		return 2;
	}
	std::vector<SeedLine> seeds;
	std::string line;
	for (int number = 1; std::getline(input, line); number++) {
		// A seed file edited on another system may end its lines with CR LF.
		if (!line.empty() && line.back() == '\r')
			line.pop_back();
		if (line.empty() || line[0] == '#')
			continue;
		SeedLine seed;
		if (!ParseLine(line, &seed)) {
			std::cerr << "kvseed: " << argv[1] << ":" << number << ": bad seed line\n";
			return 2;
		}
		seeds.push_back(seed);
	}
	if (create_directory(BPath(kStoreDirectory).Path(), 0777) != B_OK) {
		std::cerr << "kvseed: cannot make the store directory\n";
		return 1;
	}
	bool ok = true;
	for (const SeedLine& seed : seeds)
		ok = Apply(seed) && ok;
	return ok ? 0 : 1;
}
