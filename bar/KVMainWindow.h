// The bar window: ten folder buttons, the drag strip, the settings menu and the hot-key
// tracker. It owns the in-memory store (the monitor and the lock that guards it), opens
// folder menus, launches bookmarks in the chosen browser and opens the add-bookmark window.
#ifndef KV_MAIN_WINDOW_H
#define KV_MAIN_WINDOW_H

#include <Window.h>

class BLocker;
class BMenuItem;
class BMessenger;
class BPopUpMenu;
class BView;
class KVBar;
class KVBubbleHelper;
class KVButton;
class KVMonitor;

// Makes the add-bookmark window (not shown) with folder and slot preselected (0 = none).
// The bar does not link the add-bookmark window; the application installs the maker.
typedef BWindow* (*KVBookmarkWindowMaker)(BRect frame, int32 folder, int32 slot);

class KVMainWindow : public BWindow
{
public:
	// Only frame's left-top corner is used: the window sizes itself by its alignment.
	explicit KVMainWindow(BRect frame);
	virtual ~KVMainWindow();

	virtual void MessageReceived(BMessage* message);
	virtual void WorkspacesChanged(uint32 oldWorkspaces, uint32 newWorkspaces);
	virtual void WindowActivated(bool active);

	void HandleAlignChange(int32 align);
	// Folder and slot are 1..10; anything else launches nothing.
	void Launch(int folder, int slot);
	bool ExistOpera() const;
	bool ExistNetPos() const;

	static void SetBookmarkWindowMaker(KVBookmarkWindowMaker maker);

	// The way into this window, for the application and the add-bookmark window; null
	// before the window is built and after it is gone. Read and replaced under fLocker.
	static BMessenger* fMsgWindow;
	// The store model and the lock that guards every access to it (recursive).
	static KVMonitor* fMonitor;
	static BLocker* fLocker;

private:
	void InitWindow();
};

#endif // KV_MAIN_WINDOW_H
