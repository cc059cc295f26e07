// The add-bookmark window "Kestrovane - Add Bookmark": files a bookmark into one slot of
// one folder (or rewrites the one there) and may rename the folder on the way. It reads
// the in-memory store only under KVMainWindow::fLocker and writes to the disk alone; the
// store monitor sees the result like any other program's change. At most one is open;
// the bar window opens it and learns with 'kvAg' when it is gone.
#ifndef KV_BOOKMARK_WINDOW_H
#define KV_BOOKMARK_WINDOW_H

#include <String.h>
#include <Window.h>

class BButton;
class BMenu;
class BMenuBar;
class BMessenger;
class KVAddBookmarkView;

class KVBookmarkWindow : public BWindow
{
public:
	// Only frame's left-top corner is used; the window centres itself on the screen.
	// folder and slot (1..10) are preselected; any other value selects nothing.
	KVBookmarkWindow(BRect frame, int32 folder, int32 slot);
	virtual ~KVBookmarkWindow();

	virtual void MessageReceived(BMessage* message);

	void InitWindow();
	// Copies the selected folder's name and the selected slot's bookmark into the fields.
	void UpdateScreen();
	// Relabels the slot entries from the selected folder; nothing without a folder.
	void UpdateSlotStrings();

	// URL, name and keywords of one bookmark file; empty where unreadable.
	struct Attributes
	{
		BString url;
		BString name;
		BString keywords;
	};
	Attributes GetAttr(BString& path);

	int32 Folder() const { return fFolder; }
	int32 Slot() const { return fSlot; }
	KVAddBookmarkView* AddView() const { return fAddView; }

	// The way into the open window; null when none is open. Created and deleted under
	// KVMainWindow::fLocker; read it under that lock too.
	static BMessenger* fMsgWindow;

private:
	void _PopUpFolder(int32 index, BButton* button);
	void _Select(int32 folder, int32 slot);
	void _RelabelFolders();
	void _ShowInTracker();
	void _AddIt();
	BString _SeenLeaf(int32 folder, int32 slot);
	void _Alert(const char* text, const char* button);
	BButton* _BrowseButton(void* pointer) const;

	BMenuBar* fMenuBar;
	BMenu* fFileMenu;
	KVAddBookmarkView* fAddView;
	// What fMsgWindow held when this window made it: a window only ever deletes its own.
	BMessenger* fOwnMessenger;
	int32 fFolder;
	int32 fSlot;
};

// The maker the bar installs: a new KVBookmarkWindow, not shown yet; the caller shows it.
BWindow* MakeBookmarkWindow(BRect frame, int32 folder, int32 slot);

#endif // KV_BOOKMARK_WINDOW_H
