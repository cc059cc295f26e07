// The bar window: ten folder buttons, the drag strip, the settings menu and the hot-key
// tracker. It owns the in-memory store (the monitor and the lock that guards it), opens
// folder menus, launches bookmarks in the chosen browser and opens the add-bookmark window.
#ifndef KV_MAIN_WINDOW_H
#define KV_MAIN_WINDOW_H

#include <Messenger.h>
#include <Window.h>

#include "app/KVSettings.h"

class BLocker;
class BMenu;
class BMenuItem;
class BMessageRunner;
class BPopUpMenu;
class BView;
class KVBar;
class KVBubbleHelper;
class KVButton;
class KVMonitor;

// Makes the add-bookmark window (not shown) with folder and slot preselected (0 = none).
// The bar does not link the add-bookmark window; the application installs the maker.
typedef BWindow* (*KVBookmarkWindowMaker)(BRect frame, int32 folder, int32 slot);

const int32 kBarButtonCount = 10;

class KVMainWindow : public BWindow
{
public:
	// Only frame's left-top corner is used: the window sizes itself by its alignment.
	explicit KVMainWindow(BRect frame);
	virtual ~KVMainWindow();

	virtual void MessageReceived(BMessage* message);
	virtual void Show();
	virtual void WorkspacesChanged(uint32 oldWorkspaces, uint32 newWorkspaces);
	virtual void WindowActivated(bool active);

	void HandleAlignChange(KVAlign align);
	// Folder and slot are 1..10; anything else launches nothing.
	void Launch(int folder, int slot);
	bool ExistOpera() const;
	bool ExistNetPos() const;

	// The size of the window's bounds for an alignment (right and bottom of its bounds).
	static BPoint SizeFor(KVAlign align);
	// Button index's frame inside the window for an alignment.
	static BRect ButtonFrame(int32 index, KVAlign align);

	static void SetBookmarkWindowMaker(KVBookmarkWindowMaker maker);

	// The window's parts, for looking at them (with the window locked).
	BPopUpMenu* SettingsMenu() const { return fSettingsMenu; }
	KVButton* ButtonAt(int32 index) const { return fButtons[index]; }
	KVBar* Bar() const { return fBar; }
	bool IsBookmarkWindowOpen() const { return fBookmarkWindowOpen; }

	// The way into this window, for the application and the add-bookmark window; null
	// before the window is built and after it is gone.
	static BMessenger* fMsgWindow;
	// The store model and the lock that guards every access to it (recursive). Set
	// before the window is shown, deleted and nulled by its destructor.
	static KVMonitor* fMonitor;
	static BLocker* fLocker;

private:
	void InitWindow();
	void _ReadStore();
	void _BuildSettingsMenu();
	void _BuildBrowserItems();
	BMenuItem* _AddItem(BMenu* menu, const char* label, uint32 what, bool marked);

	bool _HandleFolderMessage(BMessage* message);
	bool _HandleSettingsCommand(BMessage* message);
	bool _HandleEvent(BMessage* message);
	void _UnmappedKeyDown(BMessage* message);
	void _ShowFolderMenu(int32 index);
	void _ShowSettingsMenu();
	void _UseBrowser(BMessage* message, KVBrowser browser);
	void _OpenBookmarkWindow(int32 folder, int32 slot);
	void _SetShowURL(bool show);
	void _ToggleHotKey(BMessage* message, int32 bit);
	void _ToggleOnTop();
	void _LaunchFromTracker(BMessage* message);
	void _StoreChanged(BMessage* message);
	void _ColorDropped(BMessage* message);
	void _KeyDown(BMessage* message);
	void _UpdateHelp();
	void _CloseBookmarkWindow();

	bool fKeyDown;
	BView* fMainView;
	KVButton* fButtons[kBarButtonCount];
	BPopUpMenu* fSettingsMenu;
	BMenuItem* fBrowserItem;
	BMenuItem* fOperaItem;
	BMenuItem* fNetPositiveItem;
	BMenuItem* fShowURLYesItem;
	BMenuItem* fShowURLNoItem;
	BMenuItem* fAlignHItem;
	BMenuItem* fAlignVItem;
	BMenuItem* fOnTopItem;
	BMenuItem* fAltItem;
	BMenuItem* fShiftItem;
	BMenuItem* fControlItem;
	BMenuItem* fWindowsItem;
	BMenuItem* fMenuKeyItem;
	BMenuItem* fKeypadDeleteItem;
	bool fBookmarkWindowOpen;
	// The open add-bookmark window, to pass store changes on and to close it first at
	// shutdown; its thread is waited for before the store goes away.
	BMessenger fBookmarkWindow;
	thread_id fBookmarkThread;
	KVBar* fBar;
	KVBubbleHelper* fBubble;
	// Sends the first kMsgReadStore once the bar has had time to reach the screen.
	BMessageRunner* fStoreRunner;

	static KVBookmarkWindowMaker sBookmarkWindowMaker;
};

#endif // KV_MAIN_WINDOW_H
