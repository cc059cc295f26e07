// The bar window's construction, geometry, settings menu, launching and shutdown.
#include "KVMainWindow.h"

#include <cstdio>

#include <Alert.h>
#include <Application.h>
#include <Autolock.h>
#include <Entry.h>
#include <Font.h>
#include <Locker.h>
#include <Menu.h>
#include <MenuItem.h>
#include <Message.h>
#include <MessageRunner.h>
#include <PopUpMenu.h>
#include <Roster.h>
#include <String.h>

#include "KVBar.h"
#include "KVButton.h"
#include "KVTracker.h"
#include "app/KVConstants.h"
#include "store/KVMonitor.h"
#include "widgets/KVBubbleHelper.h"

KVBookmarkWindowMaker KVMainWindow::sBookmarkWindowMaker = nullptr;

namespace {

const uint32 kBarFlags = B_NOT_RESIZABLE | B_WILL_ACCEPT_FIRST_CLICK | B_NOT_CLOSABLE |
                         B_NOT_ZOOMABLE | B_AVOID_FRONT | B_ASYNCHRONOUS_CONTROLS;

const char* const kNoBrowserText =
        "I could not find Opera or NetPositive installed on your system! You will not be able "
        "to launch any bookmarks!";

// Reading the store competes for the processor with the window manager and the X server
// while they put the bar on screen; it waits until they are done.
const bigtime_t kStoreReadDelay = 100000;

} // namespace

KVMainWindow::KVMainWindow(BRect frame)
    : BWindow(BRect(frame.left, frame.top, frame.left + 21, frame.top + 263), "Kestrovane",
              B_BORDERED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, kBarFlags, B_ALL_WORKSPACES),
      fKeyDown(false), fMainView(nullptr), fButtons(), fSettingsMenu(nullptr),
      fBrowserItem(nullptr), fOperaItem(nullptr), fNetPositiveItem(nullptr),
      fShowURLYesItem(nullptr), fShowURLNoItem(nullptr), fAlignHItem(nullptr), fAlignVItem(nullptr),
      fOnTopItem(nullptr), fAltItem(nullptr), fShiftItem(nullptr), fControlItem(nullptr),
      fWindowsItem(nullptr), fMenuKeyItem(nullptr), fKeypadDeleteItem(nullptr),
      fBookmarkWindowOpen(false), fBookmarkThread(-1), fBar(nullptr), fBubble(nullptr),
      fStoreRunner(nullptr)
{
	if (gSettings->GetAlign() == kAlignHorizontal) {
		BPoint size = SizeFor(kAlignHorizontal);
		ResizeTo(size.x, size.y);
	}
	if (gSettings->GetOnTop())
		SetFeel(B_FLOATING_ALL_WINDOW_FEEL);
	InitWindow();
}

// The add-bookmark window goes first: it reads the store and sends through fMsgWindow,
// both of which end here.
KVMainWindow::~KVMainWindow()
{
	if (fLocker != nullptr)
		fLocker->Lock();
	delete fMsgWindow;
	fMsgWindow = nullptr;
	if (fLocker != nullptr)
		fLocker->Unlock();
	_CloseBookmarkWindow();

	delete fStoreRunner;
	fStoreRunner = nullptr;
	gSettings->SetPos(Frame().LeftTop());
	delete fBubble;
	fBubble = nullptr;
	delete fMonitor;
	fMonitor = nullptr;
	delete fLocker;
	fLocker = nullptr;
	delete fSettingsMenu;
}

BPoint
KVMainWindow::SizeFor(KVAlign align)
{
	return align == kAlignHorizontal ? BPoint(232, 24) : BPoint(21, 263);
}

BRect
KVMainWindow::ButtonFrame(int32 index, KVAlign align)
{
	if (align == kAlignHorizontal)
		return BRect(14 + 22 * index, 0, 34 + 22 * index, 20);
	return BRect(1, 14 + 25 * index, 21, 34 + 25 * index);
}

void
KVMainWindow::SetBookmarkWindowMaker(KVBookmarkWindowMaker maker)
{
	sBookmarkWindowMaker = maker;
}

void
KVMainWindow::InitWindow()
{
	fMsgWindow = new BMessenger(this);
	fLocker = new BLocker("kv store");

	rgb_color color = *gSettings->GetColor();
	KVAlign align = gSettings->GetAlign();
	fMainView = new BView(Bounds(), "kv_main_view", B_FOLLOW_NONE, B_WILL_DRAW);
	AddChild(fMainView);
	fMainView->SetViewColor(color);

	fBar = new KVBar();
	fMainView->AddChild(fBar);
	fBar->SetAlign(align);

	for (int32 i = 0; i < kBarButtonCount; i++) {
		char label[2] = {static_cast<char>('0' + i), '\0'};
		fButtons[i] = new KVButton(ButtonFrame(i, align), "kv_main_button", label,
		                           new BMessage(KVFolder[i]), B_FOLLOW_NONE, B_WILL_DRAW);
		fMainView->AddChild(fButtons[i]);
		fButtons[i]->SetTarget(this);
		fButtons[i]->SetFont(be_bold_font, B_FONT_ALL);
		fButtons[i]->SetViewColor(color);
	}

	_BuildSettingsMenu();
	AddChild(new KVTracker());

	if (!ExistOpera() && !ExistNetPos()) {
		(new BAlert("", kNoBrowserText, "Bummer!", nullptr, nullptr, B_WIDTH_AS_USUAL,
		            B_INFO_ALERT))
		        ->Go();
	}
	fKeyDown = false;
}

// The bar is on screen before the store is read: its first frame needs no bookmark.
// Whatever needs the store first (the delayed message, or any command before it) reads it.
void
KVMainWindow::Show()
{
	BWindow::Show();
	if (fStoreRunner == nullptr) {
		BMessage read(kMsgReadStore);
		fStoreRunner = new BMessageRunner(BMessenger(this), &read, kStoreReadDelay, 1);
	}
}

void
KVMainWindow::_ReadStore()
{
	{
		BAutolock lock(fLocker);
		if (fMonitor != nullptr)
			return;
		fMonitor = new KVMonitor(this, BMessenger(this));
	}
	// The help bubbles tell the folders' names: they start with the store, after the
	// bar's first frame.
	fBubble = new KVBubbleHelper();
	_UpdateHelp();
}

BMenuItem*
KVMainWindow::_AddItem(BMenu* menu, const char* label, uint32 what, bool marked)
{
	BMenuItem* item = new BMenuItem(label, new BMessage(what));
	item->SetTarget(this);
	item->SetMarked(marked);
	menu->AddItem(item);
	return item;
}

void
KVMainWindow::_BuildSettingsMenu()
{
	KVAlign align = gSettings->GetAlign();
	int32 hotKey = gSettings->GetHotKey();
	fSettingsMenu = new BPopUpMenu("Settings", false, false, B_ITEMS_IN_COLUMN);
	fAlignHItem = _AddItem(fSettingsMenu, "Align Horizontally", kMsgAlignHorizontal,
	                       align == kAlignHorizontal);
	fAlignVItem =
	        _AddItem(fSettingsMenu, "Align Vertically", kMsgAlignVertical, align == kAlignVertical);
	fSettingsMenu->AddSeparatorItem();
	_BuildBrowserItems();
	fSettingsMenu->AddSeparatorItem();
	_AddItem(fSettingsMenu, "Add Bookmark", kMsgAddBookmark, false);

	BMenu* showURL = new BMenu("Show URL", B_ITEMS_IN_COLUMN);
	bool url = gSettings->GetShowURL();
	fShowURLYesItem = _AddItem(showURL, "Yes", kMsgShowURLYes, url);
	fShowURLNoItem = _AddItem(showURL, "No", kMsgShowURLNo, !url);
	fSettingsMenu->AddItem(showURL);

	BMenu* keys = new BMenu("Hot Key", B_ITEMS_IN_COLUMN);
	fAltItem = _AddItem(keys, "Alt Key", kMsgHotKeyAlt, (hotKey & kHotKeyAlt) != 0);
	fShiftItem = _AddItem(keys, "Shift Key", kMsgHotKeyShift, (hotKey & kHotKeyShift) != 0);
	fControlItem = _AddItem(keys, "Control Key", kMsgHotKeyControl, (hotKey & kHotKeyControl) != 0);
	fWindowsItem =
	        _AddItem(keys, "\"Windows\" Key", kMsgHotKeyWindows, (hotKey & kHotKeyWindows) != 0);
	fMenuKeyItem = _AddItem(keys, "\"Menu\" Key", kMsgHotKeyMenu, (hotKey & kHotKeyMenu) != 0);
	fKeypadDeleteItem = _AddItem(keys, "Delete Key On Numeric Keypad", kMsgHotKeyKeypadDelete,
	                             (hotKey & kHotKeyKeypadDelete) != 0);
	fSettingsMenu->AddItem(keys);
	fSettingsMenu->AddSeparatorItem();

	fOnTopItem = _AddItem(fSettingsMenu, "Always On Top", kMsgAlwaysOnTop, gSettings->GetOnTop());
	fSettingsMenu->AddSeparatorItem();
	BMenuItem* about = new BMenuItem("About", new BMessage(B_ABOUT_REQUESTED));
	about->SetTarget(be_app_messenger);
	fSettingsMenu->AddItem(about);
	BMenuItem* quit = new BMenuItem("Quit", new BMessage(B_QUIT_REQUESTED));
	quit->SetTarget(be_app_messenger);
	fSettingsMenu->AddItem(quit);
}

// A browser that is not installed cannot be chosen; when only one is, it is the choice
// whatever the settings said.
void
KVMainWindow::_BuildBrowserItems()
{
	bool opera = ExistOpera();
	bool netPositive = ExistNetPos();
	KVBrowser browser = gSettings->GetBrowser();
	fOperaItem = _AddItem(fSettingsMenu, "Use Opera", kMsgUseOpera, false);
	fNetPositiveItem = _AddItem(fSettingsMenu, "Use NetPositive", kMsgUseNetPositive, false);
	if (!opera) {
		fOperaItem->SetEnabled(false);
	} else if (!netPositive || browser == kBrowserOpera) {
		gSettings->SetBrowser(kBrowserOpera);
		fOperaItem->SetMarked(true);
		fBrowserItem = fOperaItem;
	}
	if (!netPositive) {
		fNetPositiveItem->SetEnabled(false);
	} else if (!opera || browser == kBrowserNetPositive) {
		gSettings->SetBrowser(kBrowserNetPositive);
		fNetPositiveItem->SetMarked(true);
		fBrowserItem = fNetPositiveItem;
	}
}

void
KVMainWindow::WorkspacesChanged(uint32, uint32 newWorkspaces)
{
	SetWorkspaces(newWorkspaces);
}

void
KVMainWindow::WindowActivated(bool active)
{
	for (KVButton* button : fButtons)
		button->Invalidate();
	fBar->Invalidate();
	be_app_messenger.SendMessage(active ? kMsgMainWindowActive : kMsgMainWindowInactive);
}

void
KVMainWindow::HandleAlignChange(KVAlign align)
{
	if (align == gSettings->GetAlign())
		return;
	gSettings->SetAlign(align);
	BPoint size = SizeFor(align);
	ResizeTo(size.x, size.y);
	fMainView->ResizeTo(size.x, size.y);
	for (int32 i = 0; i < kBarButtonCount; i++)
		fButtons[i]->MoveTo(ButtonFrame(i, align).LeftTop());
	fBar->SetAlign(align);
	fBar->Invalidate();
}

bool
KVMainWindow::ExistOpera() const
{
	entry_ref ref;
	return be_roster->FindApp(kOperaSignature, &ref) == B_OK;
}

bool
KVMainWindow::ExistNetPos() const
{
	entry_ref ref;
	return be_roster->FindApp(kNetPositiveSignature, &ref) == B_OK;
}

// The URL is the browser's one argument. One that starts with "-" would be read as an
// option (some browsers run commands given as options), so it is never passed on.
void
KVMainWindow::Launch(int folder, int slot)
{
	if (folder < 1 || folder > kFolderCount || slot < 1 || slot > kSlotCount)
		return;
	if (!ExistOpera() && !ExistNetPos())
		return;
	BString url;
	{
		BAutolock lock(fLocker);
		if (!lock.IsLocked() || fMonitor == nullptr)
			return;
		url = fMonitor->fFolders[folder - 1]->Items()[slot - 1]->Url();
	}
	if (url.IsEmpty() || url[0] == '-')
		return;
	const char* signature = nullptr;
	switch (gSettings->GetBrowser()) {
	case kBrowserOpera:
		signature = kOperaSignature;
		break;
	case kBrowserNetPositive:
		signature = kNetPositiveSignature;
		break;
	default:
		return;
	}
	const char* arguments[1] = {url.String()};
	be_roster->Launch(signature, 1, arguments);
}

void
KVMainWindow::_UpdateHelp()
{
	// A folder without a name ("3 -") has nothing to tell: an empty bubble would only
	// cover the bar.
	BAutolock lock(fLocker);
	if (fMonitor == nullptr || fBubble == nullptr)
		return;
	for (int32 i = 0; i < kBarButtonCount; i++) {
		const char* name = fMonitor->fFolders[i]->Name();
		fBubble->SetHelp(fButtons[i], name[0] != '\0' ? name : nullptr);
	}
}

void
KVMainWindow::_OpenBookmarkWindow(int32 folder, int32 slot)
{
	if (fBookmarkWindowOpen || sBookmarkWindowMaker == nullptr)
		return;
	BRect frame = Frame();
	BWindow* window =
	        sBookmarkWindowMaker(BRect(frame.right, frame.bottom - 190, 0, 0), folder, slot);
	if (window == nullptr)
		return;
	window->Show();
	fBookmarkWindow = BMessenger(window);
	fBookmarkThread = window->Thread();
	fBookmarkWindowOpen = true;
}

// Asks the add-bookmark window to close and waits until its thread has ended, so that it
// never touches the store lock or the monitor after they are deleted.
void
KVMainWindow::_CloseBookmarkWindow()
{
	if (!fBookmarkWindowOpen || fBookmarkThread < 0)
		return;
	if (fBookmarkWindow.SendMessage(B_QUIT_REQUESTED) == B_OK) {
		status_t result;
		wait_for_thread(fBookmarkThread, &result);
	}
	fBookmarkWindowOpen = false;
	fBookmarkThread = -1;
}
