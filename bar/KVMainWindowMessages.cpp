// The bar window's message handling: folder buttons and menus, the settings menu's
// commands, keys, colour drops, hot-key launches and store changes.
#include "KVMainWindow.h"

#include <cstdio>

#include <Alert.h>
#include <Autolock.h>
#include <Locker.h>
#include <MenuItem.h>
#include <Message.h>
#include <NodeMonitor.h>
#include <PopUpMenu.h>

#include "KVBar.h"
#include "KVButton.h"
#include "app/KVConstants.h"
#include "store/KVMenu.h"
#include "store/KVMonitor.h"
#include "widgets/KVBubbleHelper.h"

namespace {

const char* const kLastHotKeyText =
        "You must have a least one hot key set to be able to use this feature!";

// A folder or slot number from a message: 1..10, else 0 (none).
int32
ValidNumber(int32 number)
{
	return number >= 1 && number <= kFolderCount ? number : 0;
}

bool
IsRepeat(const BMessage* message)
{
	int32 repeat = 0;
	return message->FindInt32("be:key_repeat", &repeat) == B_OK && repeat > 0;
}

// The button a raw key invokes, -1 for keys that are not folder digits.
int32
ButtonForKey(int32 key)
{
	static const int32 kKeypad[10] = {0x64, 0x58, 0x59, 0x5A, 0x48, 0x49, 0x4A, 0x37, 0x38, 0x39};
	if (key >= 0x12 && key <= 0x1A)
		return key - 0x12 + 1;
	if (key == 0x1B)
		return 0;
	for (int32 i = 0; i < 10; i++) {
		if (kKeypad[i] == key)
			return i;
	}
	return -1;
}

// The "hotkey" bit a settings command toggles; 0 for other messages.
int32
HotKeyBit(uint32 what)
{
	switch (what) {
	case kMsgHotKeyAlt:
		return kHotKeyAlt;
	case kMsgHotKeyShift:
		return kHotKeyShift;
	case kMsgHotKeyControl:
		return kHotKeyControl;
	case kMsgHotKeyWindows:
		return kHotKeyWindows;
	case kMsgHotKeyMenu:
		return kHotKeyMenu;
	case kMsgHotKeyKeypadDelete:
		return kHotKeyKeypadDelete;
	default:
		return 0;
	}
}

} // namespace

void
KVMainWindow::MessageReceived(BMessage* message)
{
	_ReadStore();
	if (message->what == kMsgReadStore)
		return;
	if (_HandleFolderMessage(message) || _HandleSettingsCommand(message) || _HandleEvent(message)) {
		return;
	}
	BWindow::MessageReceived(message);
}

// The settings menu's commands; false for any other message.
bool
KVMainWindow::_HandleSettingsCommand(BMessage* message)
{
	int32 hotKeyBit = HotKeyBit(message->what);
	if (hotKeyBit != 0) {
		_ToggleHotKey(message, hotKeyBit);
		return true;
	}
	switch (message->what) {
	case kMsgAlignHorizontal:
	case kMsgAlignVertical: {
		bool horizontal = message->what == kMsgAlignHorizontal;
		fAlignHItem->SetMarked(horizontal);
		fAlignVItem->SetMarked(!horizontal);
		HandleAlignChange(horizontal ? kAlignHorizontal : kAlignVertical);
		return true;
	}
	case kMsgUseOpera:
		_UseBrowser(message, kBrowserOpera);
		return true;
	case kMsgUseNetPositive:
		_UseBrowser(message, kBrowserNetPositive);
		return true;
	case kMsgAddBookmark:
		_OpenBookmarkWindow(0, 0);
		return true;
	case kMsgShowURLYes:
	case kMsgShowURLNo:
		_SetShowURL(message->what == kMsgShowURLYes);
		return true;
	case kMsgAlwaysOnTop:
		_ToggleOnTop();
		return true;
	default:
		return false;
	}
}

// Everything that is not a menu command: the strip, the tracker, the add-bookmark
// window, the store, drops and keys; false for any other message.
bool
KVMainWindow::_HandleEvent(BMessage* message)
{
	switch (message->what) {
	case kMsgShowSettingsMenu:
		_ShowSettingsMenu();
		return true;
	case kMsgAddBookmarkHere: {
		int32 folder = 0;
		int32 slot = 0;
		message->FindInt32("folder", &folder);
		message->FindInt32("slot", &slot);
		_OpenBookmarkWindow(ValidNumber(folder), ValidNumber(slot));
		return true;
	}
	case kMsgBookmarkWindowGone:
		fBookmarkWindowOpen = false;
		fBookmarkThread = -1;
		return true;
	case kMsgLaunchItem:
		_LaunchFromTracker(message);
		return true;
	case B_NODE_MONITOR:
		_StoreChanged(message);
		return true;
	case B_PASTE:
		_ColorDropped(message);
		return true;
	case B_KEY_DOWN:
		_KeyDown(message);
		return true;
	case B_KEY_UP:
		fKeyDown = false;
		return true;
	case B_UNMAPPED_KEY_DOWN:
		_UnmappedKeyDown(message);
		return true;
	default:
		return false;
	}
}

// Keypad 5 with Num Lock off types nothing; it is folder 6's key only while the bar has
// the focus (the tracker keeps desktop-wide ones to itself).
void
KVMainWindow::_UnmappedKeyDown(BMessage* message)
{
	int32 key = 0;
	if (IsActive() && !IsRepeat(message) && message->FindInt32("key", &key) == B_OK &&
	    key == 0x49) {
		fButtons[5]->Invoke();
	}
}

// A folder code with "slot" names a bookmark of a folder menu; a bare one comes from the
// folder's button and opens its menu.
bool
KVMainWindow::_HandleFolderMessage(BMessage* message)
{
	int32 index = FindFolderCode(message->what);
	if (index < 0)
		return false;
	int32 slot = 0;
	if (message->FindInt32("slot", &slot) == B_OK)
		Launch(index + 1, slot);
	else
		_ShowFolderMenu(index);
	return true;
}

// The menu is modal for the window and the store stays locked while it is open, so the
// entries cannot change under the user's pointer.
void
KVMainWindow::_ShowFolderMenu(int32 index)
{
	BAutolock lock(fLocker);
	if (!lock.IsLocked() || fMonitor == nullptr)
		return;
	BRect bounds = fButtons[index]->Bounds();
	BPoint corner =
	        gSettings->GetAlign() == kAlignHorizontal ? bounds.LeftBottom() : bounds.RightTop();
	fButtons[index]->ConvertToScreen(&corner);
	printf("Showing menu\n");
	fMonitor->fFolders[index]->Menu()->Go(corner, true, true, false);
	printf("Menu shown\n");
	// A menu opened from the keyboard took that key's release.
	fKeyDown = false;
}

void
KVMainWindow::_ShowSettingsMenu()
{
	BRect bounds = fBar->Bounds();
	fSettingsMenu->Go(fBar->ConvertToScreen(bounds.RightTop()), true, true, false);
	fKeyDown = false;
}

// Only the two browser entries may name themselves the marked one: any other pointer in
// "source" is not an item of this menu.
void
KVMainWindow::_UseBrowser(BMessage* message, KVBrowser browser)
{
	gSettings->SetBrowser(browser);
	void* source = nullptr;
	if (message->FindPointer("source", &source) != B_OK ||
	    (source != fOperaItem && source != fNetPositiveItem)) {
		return;
	}
	if (fBrowserItem != nullptr)
		fBrowserItem->SetMarked(false);
	fBrowserItem = static_cast<BMenuItem*>(source);
	fBrowserItem->SetMarked(true);
}

void
KVMainWindow::_SetShowURL(bool show)
{
	if (gSettings->GetShowURL() == show)
		return;
	gSettings->SetShowURL(show);
	{
		BAutolock lock(fLocker);
		if (fMonitor != nullptr)
			fMonitor->UpdateMenus();
	}
	fShowURLYesItem->SetMarked(show);
	fShowURLNoItem->SetMarked(!show);
}

void
KVMainWindow::_ToggleHotKey(BMessage* message, int32 bit)
{
	BMenuItem* const items[] = {fAltItem,     fShiftItem,   fControlItem,
	                            fWindowsItem, fMenuKeyItem, fKeypadDeleteItem};
	BMenuItem* item = nullptr;
	for (int32 i = 0; i < 6; i++) {
		if (bit == (1 << i))
			item = items[i];
	}
	if (item == nullptr)
		return;
	int32 hotKey = gSettings->GetHotKey();
	if (!item->IsMarked()) {
		gSettings->SetHotKey(hotKey | bit);
		item->SetMarked(true);
		return;
	}
	if ((hotKey & ~bit) == 0) {
		BAlert* alert = new BAlert("", kLastHotKeyText, "OK", nullptr, nullptr, B_WIDTH_AS_USUAL,
		                           B_INFO_ALERT);
		if (message->what == kMsgHotKeyWindows)
			alert->Go(nullptr);
		else
			alert->Go();
		return;
	}
	gSettings->SetHotKey(hotKey & ~bit);
	item->SetMarked(false);
}

void
KVMainWindow::_ToggleOnTop()
{
	bool onTop = !gSettings->GetOnTop();
	gSettings->SetOnTop(onTop);
	fOnTopItem->SetMarked(onTop);
	SetFeel(onTop ? B_FLOATING_ALL_WINDOW_FEEL : B_NORMAL_WINDOW_FEEL);
}

void
KVMainWindow::_LaunchFromTracker(BMessage* message)
{
	int8 folder = 0;
	int8 slot = 0;
	if (message->FindInt8("folder", &folder) != B_OK || message->FindInt8("slot", &slot) != B_OK ||
	    ValidNumber(folder) == 0 || ValidNumber(slot) == 0) {
		return;
	}
	BAutolock lock(fLocker);
	if (!lock.IsLocked() || fMonitor == nullptr)
		return;
	if (fMonitor->fFolders[folder - 1]->Items()[slot - 1]->IsValid())
		Launch(folder, slot);
}

void
KVMainWindow::_StoreChanged(BMessage* message)
{
	// Once the window is quitting it no longer takes messages, but still handles the ones
	// queued before: a store that changes fast leaves many, and each removal among them
	// would fail to start its rebuild timer (aimed at this window) and warn the user.
	if (!BMessenger(this).IsValid())
		return;
	{
		BAutolock lock(fLocker);
		if (!lock.IsLocked() || fMonitor == nullptr)
			return;
		fMonitor->HandleNodeMessage(message);
		_UpdateHelp();
	}
	if (fBookmarkWindowOpen && fBookmarkWindow.IsValid())
		fBookmarkWindow.SendMessage(B_NODE_MONITOR);
}

void
KVMainWindow::_ColorDropped(BMessage* message)
{
	const void* data = nullptr;
	ssize_t size = 0;
	if (message->FindData("RGBColor", B_RGB_COLOR_TYPE, &data, &size) != B_OK ||
	    size < static_cast<ssize_t>(sizeof(rgb_color))) {
		return;
	}
	rgb_color color = *static_cast<const rgb_color*>(data);
	for (KVButton* button : fButtons) {
		button->SetViewColor(color);
		button->Invalidate();
	}
	fMainView->SetViewColor(color);
	fMainView->Invalidate();
	fBar->SetViewColor(color);
	fBar->Invalidate();
	gSettings->SetColor(color);
}

void
KVMainWindow::_KeyDown(BMessage* message)
{
	if (fKeyDown || IsRepeat(message))
		return;
	fKeyDown = true;
	int32 key = 0;
	if (message->FindInt32("key", &key) != B_OK)
		return;
	int32 button = ButtonForKey(key);
	if (button >= 0) {
		fButtons[button]->Invoke();
		return;
	}
	switch (key) {
	case 0x1C:
	case 0x25:
	case 0x3A:
		_OpenBookmarkWindow(0, 0);
		break;
	case 0x50:
		fBar->Invoke();
		break;
	default:
		break;
	}
}
