// The menu window: opens a menu in an override-redirect window that grabs pointer and
// keyboard, follows the pointer with the highlight, hands keys to the menu and ends with
// the chosen item. A synchronous opening blocks only the calling thread, which waits for
// the window to end; the calling window keeps repainting from its last frame meanwhile.
#include "MenuWindow.h"

#include <AppDefs.h>
#include <Menu.h>
#include <MenuItem.h>
#include <Message.h>
#include <OS.h>
#include <Screen.h>

#include <cstring>

#include "WindowPrivate.h"

namespace BPrivate {

namespace {

enum
{
	kMsgGrab = '_kvG',
	kMsgFinish = '_kvF'
};

// A release this long after opening chooses even without a press inside the menu: the
// user pressed on the opener, dragged into the menu and let go.
const bigtime_t kDragChoiceDelay = 300000;
// Grabbing fails until the X server has mapped the window.
const int32 kMaxGrabTries = 200;
const bigtime_t kGrabRetryDelay = 5000;

// The menu's frame on screen at where, moved left and up as far as it must to stay on it.
BRect
PlaceMenu(BMenu* menu, BPoint where)
{
	float width = 0;
	float height = 0;
	menu->GetPreferredSize(&width, &height);
	BRect frame(where.x, where.y, where.x + width, where.y + height);
	BRect screen = BScreen().Frame();
	if (frame.right > screen.right)
		frame.OffsetBy(std::max(screen.left - frame.left, screen.right - frame.right), 0);
	if (frame.bottom > screen.bottom)
		frame.OffsetBy(0, std::max(screen.top - frame.top, screen.bottom - frame.bottom));
	return frame;
}

} // namespace

BMenuItem*
MenuWindow::Track(BMenu* menu, BPoint where, bool async, bool autoDestruct)
{
	if (menu == nullptr || menu->fMenuWindow != nullptr || menu->Window() != nullptr)
		return nullptr;
	auto result = std::make_shared<MenuResult>();
	MenuWindow* window = new MenuWindow(menu, PlaceMenu(menu, where), async, autoDestruct, result);
	window->Show();
	window->PostMessage(kMsgGrab);
	if (async)
		return nullptr;
	std::unique_lock<std::mutex> guard(result->lock);
	result->changed.wait(guard, [&] { return result->finished; });
	return result->chosen;
}

MenuWindow::MenuWindow(BMenu* menu, BRect frame, bool async, bool autoDestruct,
                       std::shared_ptr<MenuResult> result)
    : BWindow(frame, "menu", B_BORDERED_WINDOW_LOOK, kMenuWindowFeel,
              B_AVOID_FOCUS | B_NOT_MOVABLE | B_NOT_RESIZABLE | B_NOT_CLOSABLE),
      fMenu(menu), fResult(std::move(result)), fOpened(system_time()), fGrabTries(0), fAsync(async),
      fAutoDestruct(autoDestruct), fPressed(false)
{
	if (fMenu->IsHidden())
		fMenu->BView::Show();
	fMenu->MoveTo(0, 0);
	fMenu->ResizeTo(frame.Width(), frame.Height());
	fMenu->fSelected = -1;
	fMenu->fMenuWindow = this;
	AddChild(fMenu);
}

MenuWindow::~MenuWindow()
{
	if (fMenu != nullptr)
		_Release(nullptr);
}

void
MenuWindow::DispatchMessage(BMessage* message, BHandler* handler)
{
	switch (message->what) {
	case kMsgGrab:
		_Grab();
		return;
	case kMsgFinish: {
		void* item = nullptr;
		message->FindPointer("item", &item);
		_End(static_cast<BMenuItem*>(item));
		return;
	}
	case B_MOUSE_DOWN:
	case B_MOUSE_UP:
	case B_MOUSE_MOVED:
		_Mouse(message);
		return;
	case B_KEY_DOWN:
	case B_UNMAPPED_KEY_DOWN: {
		// Every key goes to the menu, none to shortcuts: a folder menu acts on keys that
		// type nothing (keypad 5 without Num Lock) as well.
		const char* bytes = nullptr;
		if (message->FindString("bytes", &bytes) != B_OK || bytes == nullptr)
			bytes = "";
		if (fMenu != nullptr)
			fMenu->KeyDown(bytes, static_cast<int32>(strlen(bytes)));
		return;
	}
	default:
		BWindow::DispatchMessage(message, handler);
	}
}

bool
MenuWindow::QuitRequested()
{
	_Release(nullptr);
	return true;
}

void
MenuWindow::Finish(BMenuItem* item)
{
	BMessage message(kMsgFinish);
	message.AddPointer("item", item);
	PostMessage(&message);
}

void
MenuWindow::Activate(int32 index)
{
	if (fMenu == nullptr || !fMenu->_IsSelectable(index))
		return;
	if (fMenu->SubmenuAt(index) != nullptr)
		_OpenSubmenu(index);
	else
		_End(fMenu->ItemAt(index));
}

void
MenuWindow::Abandon(BMenu* menu)
{
	if (!Lock())
		return;
	if (fMenu != menu) {
		Unlock();
		return;
	}
	RemoveChild(menu);
	fMenu = nullptr;
	menu->fMenuWindow = nullptr;
	_Release(nullptr);
	Quit();
}

// The pointer is grabbed, so presses anywhere on the screen come here: one outside the
// menu closes it.
void
MenuWindow::_Mouse(BMessage* message)
{
	BPoint screenWhere;
	if (fMenu == nullptr || message->FindPoint("screen_where", &screenWhere) != B_OK)
		return;
	BPoint where = fMenu->ConvertFromScreen(screenWhere);
	bool inside = fMenu->Bounds().Contains(where);
	int32 index = inside ? fMenu->_IndexAt(where) : -1;
	switch (message->what) {
	case B_MOUSE_MOVED:
		if (inside)
			fMenu->_Select(fMenu->_IsSelectable(index) ? index : -1);
		break;
	case B_MOUSE_DOWN:
		if (!inside)
			_End(nullptr);
		else
			fPressed = true;
		break;
	case B_MOUSE_UP:
		if (inside && (fPressed || system_time() - fOpened > kDragChoiceDelay))
			Activate(index);
		break;
	default:
		break;
	}
}

void
MenuWindow::_Grab()
{
	if (WindowAccess::GrabInput(this, true) || ++fGrabTries >= kMaxGrabTries)
		return;
	snooze(kGrabRetryDelay);
	PostMessage(kMsgGrab);
}

// A submenu is tracked synchronously from this window's thread: its choice is this
// menu's choice, and closing it without one gives the grab back to this menu.
void
MenuWindow::_OpenSubmenu(int32 index)
{
	BMenuItem* item = fMenu->ItemAt(index);
	BRect frame = item->Frame();
	BPoint where = fMenu->Layout() == B_ITEMS_IN_ROW ? frame.LeftBottom() : frame.RightTop();
	fMenu->ConvertToScreen(&where);
	BMenuItem* chosen = Track(item->Submenu(), where, false, false);
	if (chosen != nullptr) {
		_End(chosen);
		return;
	}
	fGrabTries = 0;
	_Grab();
}

void
MenuWindow::_Release(BMenuItem* item)
{
	BMenu* menu = fMenu;
	if (menu != nullptr) {
		WindowAccess::GrabInput(this, false);
		fMenu = nullptr;
		menu->_Select(-1);
		RemoveChild(menu);
		menu->fMenuWindow = nullptr;
		if (fAsync && item != nullptr)
			item->Invoke();
		if (fAsync && fAutoDestruct)
			delete menu;
	}
	std::lock_guard<std::mutex> guard(fResult->lock);
	if (!fResult->finished) {
		fResult->finished = true;
		fResult->chosen = fAsync ? nullptr : item;
		fResult->changed.notify_all();
	}
}

void
MenuWindow::_End(BMenuItem* item)
{
	if (fMenu == nullptr)
		return;
	_Release(item);
	Quit();
}

} // namespace BPrivate
