// One of the ten folders: the folder directory that carries its number, the ten slots
// read from it, and its menu. The folder owns its items; the menu owns its entries and
// lives as long as the program (the folder never deletes it).
#ifndef KV_PATH_H
#define KV_PATH_H

#include "KVItem.h"

#include <Entry.h>
#include <Messenger.h>
#include <Path.h>
#include <String.h>

class BHandler;
class BMessage;
class KVMenu;
class KVTitleItem;

const int32 kSlotCount = 10;

class KVPath
{
public:
	KVPath(int number, BHandler* target);
	KVPath(const char* path, int number, BHandler* target);
	~KVPath();

	// Reads the directory at path into the items (creating a "%d -" sibling when it is
	// gone). Does not start watching.
	bool SetPath(const char* path);
	// Finds the store's directory with this folder's number and reads it.
	bool FindYourSelf();

	// Apply one node-monitor message; true when the folder changed.
	bool ItemCreated(BMessage* message);
	bool ItemRemoved(BMessage* message);
	bool ItemMoved(BMessage* message);
	bool ItemRenamed(BMessage* message);

	// Watches the valid items (and with folder the directory), then reads each item
	// again, so that a change made while the folder was being read is not missed.
	void WatchAndRead(bool folder);
	void UpdateMenu();
	bool Watch(bool folder, bool items);
	void StopWatching(bool items);

	void SetMessageTarget(BMessenger messenger) { fMessenger = messenger; }
	void SetTarget(BHandler* target);

	KVMenu* Menu() const { return fMenu; }
	KVItem** Items() { return fItems; }
	const char* Name() const { return fName.String(); }
	const char* Path() const { return fPath.Path(); }
	const char* Leaf() const { return fPath.Leaf(); }
	BHandler* Target() const { return fTarget; }
	KVRawItem RawItem() const;
	int32 Number() const { return fNumber; }
	node_ref NodeRef() const { return node_ref(fRef.device, fNode); }

private:
	KVPath(const KVPath&) = delete;
	KVPath& operator=(const KVPath&) = delete;

	void _BuildMenu();
	void _PrepareItems();
	bool _MakeDirectory(const char* path, BEntry* entry);
	bool _ReadDirectory(const BEntry& entry);
	bool _RefillSlot(int32 index);
	bool _WatchAndVerify(KVItem* item);
	int32 _FindMovedItem(int32 device, int64 directory, int64 node) const;
	// Puts the entry the message names into its slot when that slot is empty.
	bool _PlaceEntry(BMessage* message, dev_t device, ino_t toDirectory);

	BString fName;
	entry_ref fRef;
	ino_t fNode;
	BPath fPath;
	int32 fNumber;
	BHandler* fTarget;
	BMessenger fMessenger;
	KVItem* fItems[kSlotCount];
	KVTitleItem* fTitleItem;
	KVMenu* fMenu;
};

#endif // KV_PATH_H
