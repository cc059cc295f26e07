// The root of the in-memory store: makes sure the store directory exists, owns the ten
// folders, watches the store, and turns each node-monitor message into the smallest
// update of folders and items (removals wait one second after the last of a burst and
// then rebuild everything from disk). Used under the store lock from one thread.
#ifndef KV_MONITOR_H
#define KV_MONITOR_H

#include "KVPath.h"

#include <Entry.h>
#include <Messenger.h>

class BHandler;
class BMessage;
class BMessageRunner;

const int32 kFolderCount = 10;

class KVMonitor
{
public:
	// target receives the menu entries' messages, messenger the node-monitor messages
	// and the rebuild timer's; both designate the same handler.
	KVMonitor(BHandler* target, BMessenger messenger);
	virtual ~KVMonitor();

	bool Watch();
	void StopWatching(bool folders, bool items);
	// Always true.
	bool HandleNodeMessage(BMessage* message);
	void UpdateMenus();

	bool IsRebuildPending() const { return fRunner != nullptr; }

	// Folder i + 1 is element i; read under the store lock.
	KVPath* fFolders[kFolderCount];

private:
	KVMonitor(const KVMonitor&) = delete;
	KVMonitor& operator=(const KVMonitor&) = delete;

	bool _SetStoreEntry(const BEntry& entry);
	void _EntryCreated(BMessage* message);
	void _EntryRemoved();
	void _EntryMoved(BMessage* message);
	void _MovedInStore(BMessage* message, ino_t node);
	void _MovedAcross(BMessage* message, ino_t from, ino_t to, ino_t node);
	void _AttrChanged(BMessage* message);
	void _RunnerFired();
	bool _RecreateStore();
	void _Rebuild();
	KVPath* _FolderWithNode(ino_t node);

	entry_ref fStoreRef;
	ino_t fStoreNode;
	BMessenger fMessenger;
	BMessageRunner* fRunner;
	BMessage* fRunnerMessage;
};

#endif // KV_MONITOR_H
