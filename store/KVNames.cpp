// Naming rules of the store and the reading rule of bookmark files.
#include "store/KVNames.h"

#include <Directory.h>
#include <Entry.h>
#include <Node.h>
#include <NodeInfo.h>
#include <Path.h>

#include <cstring>
#include <string>

const char* const kStoreDirectory = "/boot/home/config/settings/Kestrovane";

namespace {

const int kFolderCount = 10;
const int kSlotCount = 10;
const int32 kUrlDisplayLength = 50;
const int32 kUrlKeptLength = 46;

// Plain ASCII digits: names are bytes in any encoding, and a byte above 0x7f must
// never reach the C library's classification functions as a negative char.
bool
IsDigit(char c)
{
	return c >= '0' && c <= '9';
}

const char*
LeafOf(const char* path)
{
	const char* slash = strrchr(path, '/');
	return slash != nullptr ? slash + 1 : path;
}

// The first entry of the wanted kind (a directory, or a regular file of the bookmark
// type) whose leaf number is number; false when the walk ends without one.
bool
FindNumberedEntry(BDirectory& directory, int number, bool wantDirectory, BEntry* found, BPath* path)
{
	BEntry entry;
	while (directory.GetNextEntry(&entry, false) == B_OK) {
		if (wantDirectory ? !entry.IsDirectory() : !entry.IsFile())
			continue;
		if (!wantDirectory) {
			BNode node(&entry);
			BNodeInfo info(&node);
			char type[B_MIME_TYPE_LENGTH];
			if (node.InitCheck() != B_OK || info.InitCheck() != B_OK ||
			    info.GetType(type) != B_OK || !IsBookmarkType(type)) {
				continue;
			}
		}
		if (entry.GetPath(path) != B_OK)
			continue;
		if (GetNumber(path->Path()) == number) {
			*found = entry;
			return true;
		}
	}
	return false;
}

} // namespace

int
GetNumber(const char* path)
{
	if (path == nullptr)
		return -1;
	const char* leaf = LeafOf(path);
	const char* dash = strchr(leaf, '-');
	if (dash == nullptr || dash == leaf || !IsDigit(leaf[0]))
		return -1;
	if (leaf + 1 < dash && IsDigit(leaf[1]))
		return -1;
	return leaf[0] - '0';
}

int
GetNumber(const BString& path)
{
	return GetNumber(path.String());
}

BString
GetName(const char* path)
{
	if (path == nullptr)
		return BString();
	const char* dash = strchr(LeafOf(path), '-');
	if (dash == nullptr)
		return BString();
	const char* name = dash + 1;
	if (*name == ' ')
		name++;
	return BString(name);
}

BString
GetName(const BString& path)
{
	return GetName(path.String());
}

BString
ParseURL(const char* url)
{
	if (url == nullptr)
		return BString();
	if (strlen(url) <= static_cast<size_t>(kUrlDisplayLength))
		return BString(url);
	BString shortened(url, kUrlKeptLength);
	shortened << "....";
	return shortened;
}

BString
ParseURL(const BString& url)
{
	return ParseURL(url.String());
}

BString
FindItem(int folder, int slot)
{
	// Names without a leaf number give -1, which must never match folder 0.
	if (folder < 1 || folder > kFolderCount || slot > kSlotCount)
		return BString();
	BDirectory store(kStoreDirectory);
	if (store.InitCheck() != B_OK)
		return BString();
	BEntry folderEntry;
	BPath folderPath;
	if (!FindNumberedEntry(store, folder - 1, true, &folderEntry, &folderPath))
		return BString();
	if (slot <= 0)
		return BString(folderPath.Path());

	BDirectory folderDirectory(&folderEntry);
	if (folderDirectory.InitCheck() != B_OK)
		return BString();
	BEntry slotEntry;
	BPath slotPath;
	if (!FindNumberedEntry(folderDirectory, slot - 1, false, &slotEntry, &slotPath))
		return BString();
	return BString(slotPath.Path());
}

bool
IsBookmarkType(const char* type)
{
	return type != nullptr && BString(type).ICompare(kBookmarkType) == 0;
}

bool
ReadStringAttribute(const BNode& node, const char* name, BString* value)
{
	attr_info info;
	if (node.GetAttrInfo(name, &info) != B_OK)
		return false;
	std::string buffer(static_cast<size_t>(info.size), '\0');
	ssize_t read = node.ReadAttr(name, B_STRING_TYPE, 0, buffer.data(), buffer.size());
	if (read > 0)
		value->SetTo(buffer.data(), static_cast<int32>(strnlen(buffer.data(), read)));
	else
		value->SetTo("");
	return true;
}

bool
ReadBookmarkFile(const BEntry& entry, BString* url, BString* keywords)
{
	if (url == nullptr || keywords == nullptr)
		return false;
	if (entry.InitCheck() != B_OK || !entry.Exists() || !entry.IsFile())
		return false;
	BNode node(&entry);
	if (node.InitCheck() != B_OK)
		return false;
	BNodeInfo info(&node);
	char type[B_MIME_TYPE_LENGTH];
	if (info.InitCheck() != B_OK || info.GetType(type) != B_OK || !IsBookmarkType(type))
		return false;
	return ReadStringAttribute(node, kUrlAttribute, url) &&
	       ReadStringAttribute(node, kKeywordsAttribute, keywords);
}

bool
GetSlotPaths(const BEntry& folder, BString paths[kSlotCount], BEntry* entries)
{
	for (int i = 0; i < kSlotCount; i++)
		paths[i] = "";
	BDirectory directory(&folder);
	if (directory.InitCheck() != B_OK)
		return false;
	BEntry child;
	while (directory.GetNextEntry(&child, true) == B_OK) {
		BPath childPath;
		if (child.GetPath(&childPath) != B_OK || childPath.InitCheck() != B_OK || !child.IsFile())
			continue;
		int number = GetNumber(childPath.Path());
		if (number < 0 || !paths[number].IsEmpty())
			continue;
		paths[number] = childPath.Path();
		if (entries != nullptr)
			entries[number] = child;
	}
	return true;
}
