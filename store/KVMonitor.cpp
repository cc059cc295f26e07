// The store monitor: building the store at start-up and keeping it in step with the disk
// through the node monitor's messages.
#include "KVMonitor.h"

#include "KVAlert.h"
#include "KVNames.h"
#include "KVTrace.h"

#include <KVConstants.h>

#include <AppDefs.h>
#include <Directory.h>
#include <Message.h>
#include <MessageRunner.h>
#include <NodeMonitor.h>

#include <cstdlib>

namespace {

const char* const kHandleSignature = "bool KVMonitor::HandleNodeMessage(class BMessage *)";
const uint32 kStoreWatchFlags = B_WATCH_NAME | B_WATCH_DIRECTORY;
const bigtime_t kRebuildDelay = 1000000;
const int32 kRunnerCount = 2;

// The store cannot work without its directory: tell the user, then stop at once, without
// saving the settings.
[[noreturn]] void
Fatal(const char* text)
{
	AlertError(text);
	std::quick_exit(EXIT_FAILURE);
}

} // namespace

KVMonitor::KVMonitor(BHandler* target, BMessenger messenger)
    : fFolders(), fStoreNode(0), fMessenger(messenger), fRunner(nullptr), fRunnerMessage(nullptr)
{
	BEntry entry(kStoreDirectory, false);
	// A fresh account may lack the settings directory itself: make the whole path.
	if (entry.InitCheck() != B_OK && create_directory(kStoreDirectory, 0777) == B_OK)
		entry.SetTo(kStoreDirectory, false);
	if (entry.InitCheck() != B_OK)
		Fatal("KVMonitor failed to initialized because InitCheck() failed.");
	if (!entry.Exists()) {
		if (create_directory(kStoreDirectory, 0777) != B_OK)
			Fatal("Could not create bookmark directory!");
		if (entry.SetTo(kStoreDirectory, false) != B_OK)
			Fatal("Failed to find bookmar directory!");
	}
	_SetStoreEntry(entry);

	BDirectory store(&entry);
	BEntry child;
	while (store.GetNextEntry(&child, false) == B_OK) {
		BPath path;
		if (!child.IsDirectory() || child.GetPath(&path) != B_OK)
			continue;
		int number = GetNumber(path.Path());
		if (number < 0 || fFolders[number] != nullptr)
			continue;
		fFolders[number] = new KVPath(path.Path(), number + 1, target);
		fFolders[number]->SetMessageTarget(fMessenger);
	}
	for (int32 i = 0; i < kFolderCount; i++) {
		if (fFolders[i] != nullptr)
			continue;
		fFolders[i] = new KVPath(i + 1, target);
		fFolders[i]->SetMessageTarget(fMessenger);
	}

	fRunnerMessage = new BMessage(B_NODE_MONITOR);
	fRunnerMessage->AddInt32("opcode", kOpcodeRebuild);
	Watch();
}

// A pending rebuild dies with the store it would have rebuilt.
KVMonitor::~KVMonitor()
{
	delete fRunner;
	for (KVPath* folder : fFolders)
		delete folder;
	delete fRunnerMessage;
}

bool
KVMonitor::_SetStoreEntry(const BEntry& entry)
{
	struct stat info;
	if (entry.GetRef(&fStoreRef) != B_OK || entry.GetStat(&info) != B_OK)
		return false;
	fStoreNode = info.st_ino;
	return true;
}

bool
KVMonitor::Watch()
{
	node_ref store(fStoreRef.device, fStoreNode);
	if (watch_node(&store, kStoreWatchFlags, fMessenger) != B_OK)
		return false;
	for (KVPath* folder : fFolders) {
		if (!folder->Watch(true, true))
			return false;
	}
	return true;
}

void
KVMonitor::StopWatching(bool folders, bool items)
{
	node_ref store(fStoreRef.device, fStoreNode);
	watch_node(&store, B_STOP_WATCHING, fMessenger);
	if (!folders)
		return;
	for (KVPath* folder : fFolders)
		folder->StopWatching(items);
}

void
KVMonitor::UpdateMenus()
{
	for (KVPath* folder : fFolders)
		folder->UpdateMenu();
}

bool
KVMonitor::HandleNodeMessage(BMessage* message)
{
	int32 opcode;
	if (message->FindInt32("opcode", &opcode) != B_OK)
		return true;
	switch (opcode) {
	case B_ENTRY_CREATED:
		_EntryCreated(message);
		break;
	case B_ENTRY_REMOVED:
		_EntryRemoved();
		break;
	case kOpcodeRebuild:
		_RunnerFired();
		break;
	case B_ENTRY_MOVED:
		_EntryMoved(message);
		break;
	case B_ATTR_CHANGED:
		_AttrChanged(message);
		break;
	default:
		break;
	}
	return true;
}

KVPath*
KVMonitor::_FolderWithNode(ino_t node)
{
	for (KVPath* folder : fFolders) {
		if (folder->NodeRef().node == node)
			return folder;
	}
	return nullptr;
}

// New entries of the store directory itself wait for the next rebuild.
void
KVMonitor::_EntryCreated(BMessage* message)
{
	if (fRunner != nullptr)
		return;
	int64 directory = 0;
	message->FindInt64("directory", &directory);
	KVTrace(kHandleSignature, "B_ENTRY_CREATED");
	if (directory == static_cast<int64>(fStoreNode))
		return;
	for (int32 i = 0; i < kFolderCount; i++) {
		if (static_cast<int64>(fFolders[i]->NodeRef().node) != directory)
			continue;
		KVTrace(kHandleSignature, "Found owning dir: %d", static_cast<int>(i + 1));
		fFolders[i]->ItemCreated(message);
		fFolders[i]->UpdateMenu();
		return;
	}
}

// Every removal restarts the one-second timer: a burst ends in one rebuild.
void
KVMonitor::_EntryRemoved()
{
	KVTrace(kHandleSignature, "B_ENTRY_REMOVED");
	delete fRunner;
	fRunner = new BMessageRunner(fMessenger, fRunnerMessage, kRebuildDelay, kRunnerCount);
	if (fRunner->InitCheck() != B_OK) {
		AlertWarning("I couldn't create the BMessageRunner to handle the removal of the "
		             "bookmark directory! Restart Kestrovane to rebuild the menus.");
		delete fRunner;
		fRunner = nullptr;
	}
}

void
KVMonitor::_RunnerFired()
{
	KVTrace(kHandleSignature, "kKVRunnerMsg");
	StopWatching(true, true);
	BEntry entry(kStoreDirectory, false);
	if (!entry.Exists()) {
		if (create_directory(kStoreDirectory, 0777) != B_OK)
			Fatal("Could not create bookmark directory!!!");
		if (entry.SetTo(kStoreDirectory, false) != B_OK)
			Fatal("BEntry::SetTo() failed! Could not find bookmark directory!");
	}
	_SetStoreEntry(entry);
	_Rebuild();
	delete fRunner;
	fRunner = nullptr;
}

// After the store directory was renamed or moved away: start over at the fixed path, or
// stay unwatched when it cannot be made.
bool
KVMonitor::_RecreateStore()
{
	StopWatching(true, true);
	if (create_directory(kStoreDirectory, 0777) != B_OK)
		return false;
	BEntry entry(kStoreDirectory, false);
	if (entry.InitCheck() != B_OK || !_SetStoreEntry(entry))
		return false;
	_Rebuild();
	return true;
}

void
KVMonitor::_Rebuild()
{
	for (KVPath* folder : fFolders) {
		for (int32 i = 0; i < kSlotCount; i++)
			folder->Items()[i]->SetValid(false);
		folder->FindYourSelf();
		folder->UpdateMenu();
	}
	Watch();
}

void
KVMonitor::_EntryMoved(BMessage* message)
{
	if (fRunner != nullptr)
		return;
	int32 device = 0;
	int64 from = 0;
	int64 to = 0;
	int64 node = 0;
	message->FindInt32("device", &device);
	message->FindInt64("from directory", &from);
	message->FindInt64("to directory", &to);
	message->FindInt64("node", &node);
	KVTrace(kHandleSignature, "B_ENTRY_MOVED");
	if (from == to) {
		if (from == static_cast<int64>(fStoreRef.directory)) {
			KVTrace(kHandleSignature, "Main folder renamed");
			_RecreateStore();
		} else if (from == static_cast<int64>(fStoreNode))
			_MovedInStore(message, static_cast<ino_t>(node));
		else {
			KVTrace(kHandleSignature, "Is in one of the folders");
			for (int32 i = 0; i < kFolderCount; i++) {
				if (static_cast<int64>(fFolders[i]->NodeRef().node) != from)
					continue;
				KVTrace(kHandleSignature, "It's in folder %d", static_cast<int>(i + 1));
				fFolders[i]->ItemMoved(message);
				fFolders[i]->UpdateMenu();
				break;
			}
		}
		return;
	}
	_MovedAcross(message, static_cast<ino_t>(from), static_cast<ino_t>(to),
	             static_cast<ino_t>(node));
}

// A folder directory renamed inside the store: the folder looks for its number again. A
// directory it had to make is watched too, or files put there would never show.
void
KVMonitor::_MovedInStore(BMessage*, ino_t node)
{
	KVPath* folder = _FolderWithNode(node);
	if (folder == nullptr)
		return;
	if (!folder->FindYourSelf())
		Fatal("Ah! Folder couldn't find itself! This shouldn't happen! Fatal error!");
	folder->WatchAndRead(folder->NodeRef().node != node);
	folder->UpdateMenu();
}

void
KVMonitor::_MovedAcross(BMessage* message, ino_t from, ino_t to, ino_t node)
{
	if (node == fStoreNode) {
		KVTrace(kHandleSignature, "Main folder moved");
		_RecreateStore();
		return;
	}
	if (from == fStoreNode) {
		KVTrace(kHandleSignature, "folder renamed");
		KVPath* folder = _FolderWithNode(node);
		if (folder == nullptr)
			return;
		folder->FindYourSelf();
		folder->WatchAndRead(folder->NodeRef().node != node);
		folder->UpdateMenu();
		return;
	}
	if (to == fStoreNode)
		return;
	// A bookmark moved between two folders leaves the one and joins the other; telling
	// only one of them would lose it from the menus until the next start.
	for (KVPath* folder : fFolders) {
		if (folder->NodeRef().node == to) {
			KVTrace(kHandleSignature, "toDir is one of the folders");
			folder->ItemCreated(message);
			folder->UpdateMenu();
		} else if (folder->NodeRef().node == from) {
			KVTrace(kHandleSignature, "fromDir is one of the folders");
			folder->ItemRemoved(message);
			folder->UpdateMenu();
		}
	}
}

void
KVMonitor::_AttrChanged(BMessage* message)
{
	if (fRunner != nullptr)
		return;
	KVTrace(kHandleSignature, "B_ATTR_CHANGED");
	for (int32 i = 0; i < kFolderCount; i++) {
		KVTrace(kHandleSignature, "Calling folder %d", static_cast<int>(i + 1));
		if (fFolders[i]->ItemRenamed(message)) {
			KVTrace(kHandleSignature, "Folder %d returned true", static_cast<int>(i + 1));
			fFolders[i]->UpdateMenu();
			return;
		}
	}
}
