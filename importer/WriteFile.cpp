// Writes one bookmark file: an empty file whose type and attributes carry the bookmark.
// A file the importer created is never left behind without its URL; a file that was there
// before is never touched unless the user agreed to overwrite it.
#include "importer/WriteFile.h"

#include "importer/OperaParser.h"

#include <BookmarkFormat.h>
#include <Entry.h>
#include <File.h>
#include <Node.h>
#include <NodeInfo.h>
#include <Path.h>
#include <TypeConstants.h>

#include <cstring>
#include <iostream>

namespace {

const char* kKeywords = "Opera Bookmark";

enum overwrite_answer
{
	kKeepFile,
	kOverwriteFile,
	kOverwriteAll
};

// One character answers, white space skipped, so "yes" typed as one line answers three
// prompts. The end of the input keeps the file: nothing is lost without a yes.
overwrite_answer
AskOverwrite(const char* path)
{
	std::cout << "File " << path << " exists! Overwrite? (y/n/a): ";
	char answer;
	if (!(std::cin >> answer))
		return kKeepFile;
	switch (answer) {
	case 'n':
	case 'N':
		return kKeepFile;
	case 'a':
	case 'A':
		return kOverwriteAll;
	default:
		return kOverwriteFile;
	}
}

// The values are stored without a terminating NUL.
bool
WriteStringAttr(BNode& node, const char* name, const char* value)
{
	size_t length = strlen(value);
	return node.WriteAttr(name, B_STRING_TYPE, 0, value, length) == (ssize_t)length;
}

// Stops at the first failure so that a new title never goes with an old URL.
bool
WriteBookmark(BNode& node, BNodeInfo& info, const char* name, const char* url)
{
	return info.SetType(kBookmarkType) == B_OK && WriteStringAttr(node, kUrlAttribute, url) &&
	       WriteStringAttr(node, kKeywordsAttribute, kKeywords) &&
	       WriteStringAttr(node, kTitleAttribute, name);
}

bool
RemoveFile(const char* path)
{
	BEntry entry(path);
	return entry.InitCheck() == B_OK && entry.Remove() == B_OK;
}

// Opens the bookmark file at path for writing: a new file, created exclusively, or, with
// the user's leave, an existing one, emptied. Only a file that can be read counts as
// existing: whatever else stands at the path (a file that cannot be read, a dangling link)
// makes the creation fail instead of being replaced. Sets keep when the user keeps the
// file and created when this call made it.
bool
OpenBookmarkFile(BFile& file, const char* path, bool* keep, bool* created)
{
	static bool all = false;

	*keep = false;
	*created = file.SetTo(path, B_READ_WRITE | B_CREATE_FILE | B_FAIL_IF_EXISTS) == B_OK;
	if (*created)
		return true;
	if (file.InitCheck() != B_FILE_EXISTS || file.SetTo(path, B_READ_ONLY) != B_OK)
		return false;
	if (!all) {
		overwrite_answer answer = AskOverwrite(path);
		if (answer == kKeepFile) {
			*keep = true;
			return false;
		}
		if (answer == kOverwriteAll)
			all = true;
	}
	return file.SetTo(path, B_READ_WRITE | B_CREATE_FILE | B_ERASE_FILE) == B_OK;
}

} // namespace

bool
WriteFile(const char* folder, const char* name, const char* url)
{
	std::string fileName = FixString(name);
	BPath path(folder, fileName.c_str());
	if (path.InitCheck() != B_OK) {
		std::cout << "Could not create " << folder << "/" << fileName << "!" << std::endl;
		return false;
	}

	// The attributes go through the descriptor of the create: no second open, and no
	// name lookup that another program could redirect meanwhile.
	BFile file;
	bool keep;
	bool created;
	if (!OpenBookmarkFile(file, path.Path(), &keep, &created)) {
		if (keep)
			return true;
		std::cout << "Could not create " << path.Path() << "!" << std::endl;
		return false;
	}
	BNodeInfo info(&file);
	if (info.InitCheck() != B_OK) {
		std::cout << "Couldn't edit file mime type!\n";
		file.Unset();
		if (created)
			RemoveFile(path.Path());
		return false;
	}

	if (!WriteBookmark(file, info, name, url)) {
		file.Unset();
		std::cout << "Couldn't write the attributes of " << path.Path() << "!";
		if (created && RemoveFile(path.Path()))
			std::cout << " The file was removed.";
		std::cout << std::endl;
		return false;
	}
	return true;
}
