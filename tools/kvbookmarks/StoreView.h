// The store read once from disk by the bar's own rules: for each of the ten folders the
// first directory carrying its digit, and in it the entries that take the ten slots.
#ifndef KV_STORE_VIEW_H
#define KV_STORE_VIEW_H

#include <String.h>

const int32 kFolders = 10;
const int32 kSlots = 10;

struct KVSlotView
{
	BString path; // "" for a free slot
	BString name;
	BString url;
	BString keywords;
	// A readable bookmark file; a slot may also be taken by another file, which the bar
	// shows with its name (and whatever URL could be read).
	bool bookmark = false;

	bool IsTaken() const { return !path.IsEmpty(); }
};

struct KVFolderView
{
	BString path; // "" when the store has no directory with this digit
	BString name;
	KVSlotView slots[kSlots];

	bool Exists() const { return !path.IsEmpty(); }
	// No slot is taken: the folder may receive a whole imported folder.
	bool IsEmpty() const;
	int32 FreeSlots() const;
};

struct KVStoreView
{
	KVFolderView folders[kFolders];
};

// Reads the store; a store directory that does not exist reads as ten missing folders.
// False only when the store exists but cannot be read.
bool ReadStore(KVStoreView* view);

// Reads one folder directory into folder (its path and name included).
void ReadFolder(const char* path, KVFolderView* folder);

#endif // KV_STORE_VIEW_H
