// Folders: finding and reading a folder directory into its ten slots, and applying the
// node-monitor messages that concern it.
#include "KVPath.h"

#include "KVMenu.h"
#include "KVNames.h"
#include "KVTrace.h"

#include <Directory.h>
#include <Message.h>
#include <NodeMonitor.h>
#include <SeparatorItem.h>

namespace {

const char* const kItemMovedSignature = "bool KVPath::ItemMoved(class BMessage *)";
const char* const kItemRenamedSignature = "bool KVPath::ItemRenamed(class BMessage *)";
const uint32 kFolderWatchFlags = B_WATCH_NAME | B_WATCH_DIRECTORY;

BString
CreatedFolderName(int32 number)
{
	BString name;
	name << (number - 1) << " -";
	return name;
}

} // namespace

KVPath::KVPath(int number, BHandler* target)
    : fNode(0), fNumber(number), fTarget(target), fItems(), fTitleItem(nullptr), fMenu(nullptr)
{
	FindYourSelf();
	_BuildMenu();
}

KVPath::KVPath(const char* path, int number, BHandler* target)
    : fNode(0), fNumber(number), fTarget(target), fItems(), fTitleItem(nullptr), fMenu(nullptr)
{
	SetPath(path);
	_BuildMenu();
}

// The menu would outlive its folder otherwise: nothing else holds it once the store goes.
KVPath::~KVPath()
{
	for (KVItem* item : fItems) {
		if (item->IsValid())
			item->StopWatching(fMessenger);
		delete item;
	}
	delete fMenu;
}

void
KVPath::_PrepareItems()
{
	if (fMenu != nullptr) {
		for (KVItem* item : fItems) {
			if (item->IsValid()) {
				item->StopWatching(fMessenger);
				item->SetValid(false);
			}
		}
		return;
	}
	fMenu = new KVMenu("", false, false, B_ITEMS_IN_COLUMN);
	fTitleItem = new KVTitleItem("", nullptr, 0, 0);
	for (int32 slot = 1; slot <= kSlotCount; slot++)
		fItems[slot - 1] = new KVItem(fTarget, slot, fNumber);
}

void
KVPath::_BuildMenu()
{
	// A folder whose store could not be read never met SetPath: it still gets its menu.
	if (fMenu == nullptr)
		_PrepareItems();
	fMenu->AddItem(fTitleItem);
	fMenu->AddSeparatorItem();
	for (KVItem* item : fItems)
		fMenu->AddItem(item->MenuItem());
}

bool
KVPath::SetPath(const char* path)
{
	_PrepareItems();
	BEntry entry;
	if (entry.SetTo(path, false) != B_OK)
		return false;
	if (!entry.Exists() && !_MakeDirectory(path, &entry))
		return false;
	if (entry.GetPath(&fPath) != B_OK)
		return false;
	if (!_ReadDirectory(entry))
		return false;

	struct stat info;
	if (entry.GetRef(&fRef) == B_OK && entry.GetStat(&info) == B_OK)
		fNode = info.st_ino;
	fName = GetName(fPath.Path());
	fTitleItem->SetLabel(fPath.Leaf());
	return true;
}

// The directory is made under the folder's own "%d -" name beside the one asked for.
bool
KVPath::_MakeDirectory(const char* path, BEntry* entry)
{
	BEntry parent;
	BPath parentPath;
	if (BEntry(path).GetParent(&parent) != B_OK || parent.GetPath(&parentPath) != B_OK)
		return false;
	if (!parent.Exists() && create_directory(parentPath.Path(), 0777) != B_OK)
		return false;
	BDirectory directory(parentPath.Path());
	BString name = CreatedFolderName(fNumber);
	BDirectory created;
	status_t status = directory.CreateDirectory(name.String(), &created);
	// A "%d -" directory that is already there is the one we would have made.
	if (status == B_FILE_EXISTS && directory.Contains(name.String(), B_DIRECTORY_NODE))
		status = B_OK;
	if (status != B_OK)
		return false;
	return entry->SetTo(&directory, name.String(), false) == B_OK;
}

// Fills the slots from the directory's files, following links; the first file met with
// a slot's digit takes the slot, readable bookmark or not.
bool
KVPath::_ReadDirectory(const BEntry& entry)
{
	BString paths[kSlotCount];
	BEntry entries[kSlotCount];
	if (!GetSlotPaths(entry, paths, entries))
		return false;
	for (int32 i = 0; i < kSlotCount; i++) {
		if (!paths[i].IsEmpty())
			fItems[i]->SetFile(entries[i], paths[i].String());
		fItems[i]->SetValid(!paths[i].IsEmpty());
	}
	return true;
}

bool
KVPath::FindYourSelf()
{
	BEntry storeEntry(kStoreDirectory, false);
	BDirectory store(&storeEntry);
	BPath storePath;
	if (store.InitCheck() != B_OK || storeEntry.GetPath(&storePath) != B_OK)
		return false;
	BEntry child;
	while (store.GetNextEntry(&child, false) == B_OK) {
		if (!child.IsDirectory())
			continue;
		BPath childPath;
		if (child.GetPath(&childPath) != B_OK)
			return false;
		if (GetNumber(childPath.Path()) == fNumber - 1)
			return SetPath(childPath.Path());
	}
	BString path(storePath.Path());
	path << "/" << CreatedFolderName(fNumber);
	return SetPath(path.String());
}

bool
KVPath::ItemCreated(BMessage*)
{
	if (!SetPath(fPath.Path()))
		return false;
	WatchAndRead(false);
	return true;
}

void
KVPath::WatchAndRead(bool folder)
{
	if (folder)
		Watch(true, false);
	for (KVItem* item : fItems) {
		if (item->IsValid())
			_WatchAndVerify(item);
	}
}

// A file is often written in steps (created, typed, then given its attributes). Changes
// made between reading it and watching it would never be reported: read it once more
// after the watch is in place.
bool
KVPath::_WatchAndVerify(KVItem* item)
{
	item->Watch(fMessenger);
	return item->Path() != nullptr && item->SetFile(item->Path());
}

bool
KVPath::ItemRemoved(BMessage* message)
{
	int64 node;
	if (message->FindInt64("node", &node) != B_OK)
		return false;
	for (KVItem* item : fItems) {
		if (static_cast<int64>(item->RawItem().node) == node) {
			item->StopWatching(fMessenger);
			item->SetValid(false);
			return true;
		}
	}
	return false;
}

// A slot emptied earlier still remembers its last file: the slot that shows the file now
// is the one it leaves.
int32
KVPath::_FindMovedItem(int32 device, int64 directory, int64 node) const
{
	int32 found = -1;
	for (int32 i = 0; i < kSlotCount; i++) {
		KVRawItem raw = fItems[i]->RawItem();
		if (static_cast<int32>(raw.device) != device ||
		    static_cast<int64>(raw.directory) != directory || static_cast<int64>(raw.node) != node)
			continue;
		if (found < 0 || (fItems[i]->IsValid() && !fItems[found]->IsValid()))
			found = i;
	}
	return found;
}

bool
KVPath::ItemMoved(BMessage* message)
{
	int64 from = 0;
	int64 to = 0;
	message->FindInt64("from directory", &from);
	message->FindInt64("to directory", &to);
	if (from != to)
		return SetPath(fPath.Path());

	int32 device = 0;
	int64 node = 0;
	message->FindInt32("device", &device);
	message->FindInt64("node", &node);
	int32 i = _FindMovedItem(device, to, node);
	if (i >= 0) {
		if (fItems[i]->IsValid()) {
			fItems[i]->StopWatching(fMessenger);
			fItems[i]->SetValid(false);
		}
		// A rename to another digit moves the bookmark: it leaves its old slot (which
		// another file with that digit may take) and fills its new one if that is free.
		bool refilled = _RefillSlot(i);
		bool placed = _PlaceEntry(message, device, static_cast<ino_t>(to));
		return refilled || placed;
	}
	KVTrace(kItemMovedSignature, "Not an existing item");
	return _PlaceEntry(message, device, static_cast<ino_t>(to));
}

// A renamed file whose digit changed leaves its slot; another file of the folder with
// the slot's digit may take it.
bool
KVPath::_RefillSlot(int32 index)
{
	BDirectory directory(fPath.Path());
	if (directory.InitCheck() != B_OK)
		return false;
	BEntry child;
	while (directory.GetNextEntry(&child, false) == B_OK) {
		BPath childPath;
		if (!child.IsFile() || child.GetPath(&childPath) != B_OK ||
		    GetNumber(childPath.Path()) != index)
			continue;
		if (!fItems[index]->SetFile(childPath.Path()))
			continue;
		if (_WatchAndVerify(fItems[index])) {
			fItems[index]->SetValid(true);
			return true;
		}
		fItems[index]->StopWatching(fMessenger);
	}
	return false;
}

bool
KVPath::_PlaceEntry(BMessage* message, dev_t device, ino_t toDirectory)
{
	BString name;
	if (message->FindString("name", &name) != B_OK)
		return false;
	KVTrace(kItemMovedSignature, "Found name");
	entry_ref ref(device, toDirectory, name.String());
	BEntry entry(&ref, false);
	if (entry.InitCheck() != B_OK)
		return false;
	KVTrace(kItemMovedSignature, "InitCheck() ok");
	BPath path;
	if (entry.GetPath(&path) != B_OK)
		return false;
	KVTrace(kItemMovedSignature, "GetPath() ok");
	int number = GetNumber(path.Path());
	if (number < 0 || fItems[number]->IsValid())
		return false;
	fItems[number]->SetFile(path.Path());
	_WatchAndVerify(fItems[number]);
	fItems[number]->SetValid(true);
	return true;
}

bool
KVPath::ItemRenamed(BMessage* message)
{
	int32 device = 0;
	int64 node = 0;
	message->FindInt32("device", &device);
	message->FindInt64("node", &node);
	KVTrace(kItemRenamedSignature, "Found device %ld and node %lld", static_cast<long>(device),
	        static_cast<long long>(node));
	for (int32 i = 0; i < kSlotCount; i++) {
		KVItem* item = fItems[i];
		KVTrace(kItemRenamedSignature, "Getting raw");
		KVRawItem raw = item->RawItem();
		KVTrace(kItemRenamedSignature, "Doing check");
		if (static_cast<int32>(raw.device) != device || static_cast<int64>(raw.node) != node)
			continue;
		KVTrace(kItemRenamedSignature, "Item %d found", static_cast<int>(i));
		if (item->IsValid()) {
			KVTrace(kItemRenamedSignature,
			        "Item is valid, stopping watching and setting valid as false");
			item->StopWatching(fMessenger);
			item->SetValid(false);
		}
		BString path(item->Path());
		KVTrace(kItemRenamedSignature, "Setting file %s", path.String());
		item->SetFile(path.String());
		// Watched even when not (yet) readable: its next attribute may complete it.
		if (_WatchAndVerify(item)) {
			KVTrace(kItemRenamedSignature, "SetFile() returned true, setting valid");
			item->SetValid(true);
		}
		return true;
	}
	return false;
}

void
KVPath::UpdateMenu()
{
	for (KVItem* item : fItems)
		item->UpdateItem();
}

bool
KVPath::Watch(bool folder, bool items)
{
	// The folder first: once its entries are followed, each item is found by name at once.
	if (folder) {
		node_ref node = NodeRef();
		if (watch_node(&node, kFolderWatchFlags, fMessenger) != B_OK)
			return false;
	}
	if (items) {
		for (KVItem* item : fItems) {
			if (item->IsValid() && !item->Watch(fMessenger))
				return false;
		}
	}
	return true;
}

void
KVPath::StopWatching(bool items)
{
	node_ref node = NodeRef();
	watch_node(&node, B_STOP_WATCHING, fMessenger);
	if (!items)
		return;
	BMessenger target(fTarget);
	for (KVItem* item : fItems) {
		if (item->IsValid())
			item->StopWatching(target);
	}
}

void
KVPath::SetTarget(BHandler* target)
{
	fTarget = target;
	for (KVItem* item : fItems)
		item->SetTarget(target);
}

KVRawItem
KVPath::RawItem() const
{
	return KVRawItem{fRef.device, fRef.directory, fRef.name, fNode};
}
