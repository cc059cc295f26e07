// Reading the store the way the bar does, with the store's own naming and reading rules.
#include "StoreView.h"

#include "store/KVNames.h"

#include <Directory.h>
#include <Entry.h>
#include <Path.h>

bool
KVFolderView::IsEmpty() const
{
	return FreeSlots() == kSlots;
}

int32
KVFolderView::FreeSlots() const
{
	int32 free = 0;
	for (const KVSlotView& slot : slots)
		free += slot.IsTaken() ? 0 : 1;
	return free;
}

void
ReadFolder(const char* path, KVFolderView* folder)
{
	*folder = KVFolderView();
	folder->path = path;
	folder->name = GetName(path);
	BString paths[kSlots];
	GetSlotPaths(BEntry(path, false), paths);
	for (int32 i = 0; i < kSlots; i++) {
		KVSlotView& slot = folder->slots[i];
		if (paths[i].IsEmpty())
			continue;
		slot.path = paths[i];
		slot.name = GetName(paths[i]);
		// As the bar: a URL read before the keywords turned out missing still shows.
		slot.bookmark =
		        ReadBookmarkFile(BEntry(paths[i].String(), false), &slot.url, &slot.keywords);
		if (!slot.bookmark)
			slot.keywords = "";
	}
}

bool
ReadStore(KVStoreView* view)
{
	*view = KVStoreView();
	BEntry storeEntry(kStoreDirectory, false);
	if (storeEntry.InitCheck() != B_OK)
		return false;
	if (!storeEntry.Exists())
		return true;
	BDirectory store(&storeEntry);
	if (store.InitCheck() != B_OK)
		return false;
	BEntry child;
	status_t status;
	while ((status = store.GetNextEntry(&child, false)) == B_OK) {
		BPath path;
		if (!child.IsDirectory() || child.GetPath(&path) != B_OK)
			continue;
		int number = GetNumber(path.Path());
		if (number < 0 || view->folders[number].Exists())
			continue;
		ReadFolder(path.Path(), &view->folders[number]);
	}
	return status == B_ENTRY_NOT_FOUND;
}
