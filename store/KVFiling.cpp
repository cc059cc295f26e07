// Filing a bookmark: the folder rename, the exclusive creation of a new file or the
// rename of the slot's own bookmark, and the type and attributes, undone when they fail.
#include "store/KVFiling.h"

#include "store/KVNames.h"

#include <Entry.h>
#include <File.h>
#include <Node.h>
#include <NodeInfo.h>
#include <Path.h>

#include <string>

namespace {

const int32 kNumberCount = 10;
const char* const kAttributes[] = {kUrlAttribute, kKeywordsAttribute, kTitleAttribute};
const int32 kAttributeCount = 3;

// One attribute as it was before the filing touched it.
struct SavedAttribute
{
	bool present = false;
	type_code type = B_STRING_TYPE;
	std::string bytes;
};

BString
NumberedName(int32 number, const BString& name)
{
	BString leaf;
	leaf << (number - 1) << " - " << DiskName(name);
	return leaf;
}

bool
SameNode(const BEntry& entry, const BNode& node)
{
	node_ref entryNode;
	node_ref openNode;
	return entry.GetNodeRef(&entryNode) == B_OK && node.GetNodeRef(&openNode) == B_OK &&
	       entryNode == openNode;
}

// The values go in whole, each with its terminating NUL; a write that stores less, or
// fails, fails the lot.
bool
WriteAttributes(BNode& node, const KVBookmarkRequest& request)
{
	const BString* values[] = {&request.url, &request.keywords, &request.name};
	for (int32 i = 0; i < kAttributeCount; i++) {
		size_t length = static_cast<size_t>(values[i]->Length()) + 1;
		ssize_t written =
		        node.WriteAttr(kAttributes[i], B_STRING_TYPE, 0, values[i]->String(), length);
		if (written < 0 || static_cast<size_t>(written) != length)
			return false;
	}
	return true;
}

void
SaveAttributes(const BNode& node, SavedAttribute saved[kAttributeCount])
{
	for (int32 i = 0; i < kAttributeCount; i++) {
		attr_info info;
		if (node.GetAttrInfo(kAttributes[i], &info) != B_OK)
			continue;
		saved[i].bytes.assign(static_cast<size_t>(info.size), '\0');
		ssize_t read =
		        node.ReadAttr(kAttributes[i], info.type, 0, saved[i].bytes.data(), info.size);
		if (read < 0)
			continue;
		saved[i].bytes.resize(static_cast<size_t>(read));
		saved[i].present = true;
		saved[i].type = info.type;
	}
}

void
RestoreAttributes(BNode& node, const SavedAttribute saved[kAttributeCount])
{
	for (int32 i = 0; i < kAttributeCount; i++) {
		if (saved[i].present) {
			node.WriteAttr(kAttributes[i], saved[i].type, 0, saved[i].bytes.data(),
			               saved[i].bytes.size());
		} else
			node.RemoveAttr(kAttributes[i]);
	}
}

// Removes the file this filing made, but only while the name still leads to it.
void
RemoveCreated(const char* path, const BNode& node)
{
	BEntry entry(path, false);
	if (entry.InitCheck() == B_OK && SameNode(entry, node))
		entry.Remove();
}

// The folder takes the requested name unless it has it already (compared in the form the
// name has on disk, so an unchanged name is never renamed again). A rename that fails
// keeps the old directory; the filing goes on there.
void
RenameFolder(const KVBookmarkRequest& request, KVFilingResult* result)
{
	BString wanted = DiskName(request.folderName);
	if (GetName(result->folderPath) == wanted)
		return;
	result->folderRenameTried = true;
	BEntry entry(result->folderPath.String(), false);
	if (entry.InitCheck() != B_OK)
		return;
	if (entry.Rename(NumberedName(request.folder, request.folderName).String(), false) != B_OK)
		return;
	BPath renamed;
	if (entry.GetPath(&renamed) == B_OK)
		result->folderPath = renamed.Path();
}

void
CreateBookmark(const KVBookmarkRequest& request, KVFilingResult* result)
{
	BPath path(result->folderPath.String());
	BString leaf = NumberedName(request.slot, request.name);
	if (path.InitCheck() != B_OK || path.Append(leaf.String()) != B_OK) {
		result->status = kFilingCreateFailed;
		return;
	}
	// Exclusive: an entry of that name (file, link, directory) is never opened, erased
	// or followed.
	BFile file(path.Path(), B_READ_WRITE | B_CREATE_FILE | B_FAIL_IF_EXISTS);
	if (file.InitCheck() != B_OK) {
		result->status = kFilingCreateFailed;
		return;
	}
	result->created = true;
	result->itemPath = path.Path();
	BNodeInfo info(&file);
	if (info.InitCheck() != B_OK || info.SetType(kBookmarkType) != B_OK) {
		RemoveCreated(path.Path(), file);
		result->status = kFilingTypeFailed;
		return;
	}
	if (!WriteAttributes(file, request)) {
		RemoveCreated(path.Path(), file);
		result->status = kFilingAttributesFailed;
		return;
	}
	result->status = kFilingDone;
}

// The slot's own bookmark, if the entry the caller saw is one: a regular file of the
// bookmark type in the folder itself. A link or a directory is never a bookmark here.
bool
IsOwnBookmark(const BEntry& entry)
{
	if (!entry.IsFile())
		return false;
	BNode node(&entry);
	BNodeInfo info(&node);
	char type[B_MIME_TYPE_LENGTH];
	return node.InitCheck() == B_OK && SameNode(entry, node) && info.InitCheck() == B_OK &&
	       info.GetType(type) == B_OK && IsBookmarkType(type);
}

void
RewriteBookmark(const KVBookmarkRequest& request, BEntry& entry, KVFilingResult* result)
{
	BPath oldPath;
	entry.GetPath(&oldPath);
	BString oldLeaf(oldPath.Leaf());
	BString leaf = NumberedName(request.slot, request.name);
	bool renamed = false;
	if (GetName(oldPath.Path()) != DiskName(request.name)) {
		if (entry.Rename(leaf.String(), false) != B_OK) {
			result->status = kFilingRenameFailed;
			return;
		}
		renamed = true;
	}
	BPath path;
	entry.GetPath(&path);
	result->itemPath = path.Path();

	BNode node(&entry);
	SavedAttribute saved[kAttributeCount];
	bool opened = node.InitCheck() == B_OK && SameNode(entry, node);
	if (opened)
		SaveAttributes(node, saved);
	if (opened && WriteAttributes(node, request)) {
		result->status = kFilingDone;
		return;
	}
	if (opened)
		RestoreAttributes(node, saved);
	if (renamed)
		entry.Rename(oldLeaf.String(), false);
	result->status = kFilingAttributesFailed;
}

} // namespace

BString
DiskName(const BString& name)
{
	std::string bytes(name.String(), static_cast<size_t>(name.Length()));
	for (char& c : bytes) {
		if (c == '/' || c == '\0')
			c = '_';
	}
	return BString(bytes.c_str());
}

KVFilingResult
FileBookmark(const KVBookmarkRequest& request)
{
	KVFilingResult result;
	if (request.folder < 1 || request.folder > kNumberCount || request.slot < 1 ||
	    request.slot > kNumberCount)
		return result;
	result.foundFolderPath = FindItem(request.folder, 0);
	result.folderPath = result.foundFolderPath;
	if (result.folderPath.IsEmpty()) {
		result.status = kFilingNoFolder;
		return result;
	}
	RenameFolder(request, &result);

	if (!request.seenLeaf.IsEmpty() && request.seenLeaf.FindFirst('/') < 0) {
		BPath seenPath(result.folderPath.String());
		BEntry seen;
		if (seenPath.Append(request.seenLeaf.String()) == B_OK &&
		    seen.SetTo(seenPath.Path(), false) == B_OK && seen.Exists()) {
			if (!IsOwnBookmark(seen)) {
				result.status = kFilingCreateFailed;
				return result;
			}
			RewriteBookmark(request, seen, &result);
			return result;
		}
	}
	CreateBookmark(request, &result);
	return result;
}

const char*
FilingAlertText(KVFilingStatus status)
{
	switch (status) {
	case kFilingDone:
		return nullptr;
	case kFilingNoSelection:
		return "Please select a slot to add to first!";
	case kFilingNoFolder:
		return "Could not find the specified folder! Could not add item!";
	case kFilingCreateFailed:
		return "Could not create new item!";
	case kFilingTypeFailed:
		return "Could not set the item's mime type!";
	case kFilingRenameFailed:
		return "Could not change the item's name!";
	case kFilingAttributesFailed:
		return "Could not set the item's attributes!";
	}
	return nullptr;
}

const char*
FilingAlertButton(KVFilingStatus status)
{
	switch (status) {
	case kFilingDone:
		return nullptr;
	case kFilingNoSelection:
		return "OK";
	case kFilingNoFolder:
	case kFilingCreateFailed:
		return "ARGH!";
	case kFilingTypeFailed:
	case kFilingRenameFailed:
	case kFilingAttributesFailed:
		return "Ouch!";
	}
	return nullptr;
}
