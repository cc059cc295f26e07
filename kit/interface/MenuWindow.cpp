// The menu window: opens a menu in an override-redirect window that grabs pointer and
// keyboard, follows the pointer with the highlight, hands keys to the menu and ends with
// the chosen item. A synchronous opening blocks only the calling thread, which waits for
// the window to end; the calling window keeps repainting from its last frame meanwhile.
#include "MenuWindow.h"

#include "ApplicationPrivate.h"

#include <AppDefs.h>
#include <Menu.h>
#include <MenuItem.h>
#include <Message.h>
#include <MessageQueue.h>
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

// Moves the pointer and key events from one menu window's queue to the end of another's,
// in order. They are posted anew, so that they name their new window as target.
void
MoveInput(BLooper* fromLooper, BLooper* to)
{
	BMessageQueue* from = fromLooper->MessageQueue();
	if (!from->Lock())
		return;
	std::vector<BMessage*> input;
	for (int32 index = 0; BMessage* message = from->FindMessage(index); index++) {
		switch (message->what) {
		case B_KEY_DOWN:
		case B_UNMAPPED_KEY_DOWN:
		case B_MOUSE_DOWN:
		case B_MOUSE_UP:
		case B_MOUSE_MOVED:
			input.push_back(message);
			break;
		default:
			break;
		}
	}
	for (BMessage* message : input)
		from->RemoveMessage(message);
	from->Unlock();
	for (BMessage* message : input) {
		to->PostMessage(message);
		delete message;
	}
}

} // namespace

BMenuItem*
MenuWindow::Track(BMenu* menu, BPoint where, bool async, bool autoDestruct)
{
	std::shared_ptr<MenuResult> result =
	        _Open(menu, where, async, autoDestruct, {}, BRect(), nullptr);
	if (result == nullptr || async)
		return nullptr;
	return _Wait(result).chosen;
}

MenuOutcome
MenuWindow::TrackSubmenu(BMenu* menu, BPoint where, const std::vector<BRect>& ancestors,
                         BRect superitem, MenuWindow* opener)
{
	std::shared_ptr<MenuResult> result =
	        _Open(menu, where, false, false, ancestors, superitem, opener);
	if (result == nullptr)
		return MenuOutcome();
	return _Wait(result);
}

std::shared_ptr<MenuResult>
MenuWindow::_Open(BMenu* menu, BPoint where, bool async, bool autoDestruct,
                  const std::vector<BRect>& ancestors, BRect superitem, MenuWindow* opener)
{
	if (menu == nullptr || menu->fMenuWindow != nullptr || menu->Window() != nullptr)
		return nullptr;
	auto result = std::make_shared<MenuResult>();
	MenuWindow* window = new MenuWindow(menu, PlaceMenu(menu, where), async, autoDestruct, result);
	window->fAncestors = ancestors;
	window->fSuperitem = superitem;
	window->fOpener = opener;
	window->Show();
	window->PostMessage(kMsgGrab);
	// The application began quitting while this menu was on its way: close it, as the
	// quit closed the menus that were open.
	if (BPrivate::IsQuitRequested())
		window->PostMessage(B_QUIT_REQUESTED);
	return result;
}

MenuOutcome
MenuWindow::_Wait(const std::shared_ptr<MenuResult>& result)
{
	std::unique_lock<std::mutex> guard(result->lock);
	result->changed.wait(guard, [&] { return result->finished; });
	return result->outcome;
}

MenuWindow::MenuWindow(BMenu* menu, BRect frame, bool async, bool autoDestruct,
                       std::shared_ptr<MenuResult> result)
    : BWindow(frame, "menu", B_BORDERED_WINDOW_LOOK, kMenuWindowFeel,
              B_AVOID_FOCUS | B_NOT_MOVABLE | B_NOT_RESIZABLE | B_NOT_CLOSABLE),
      fMenu(menu), fResult(std::move(result)), fOpener(nullptr), fOpened(system_time()),
      fGrabTries(0), fAsync(async), fAutoDestruct(autoDestruct), fPressed(false)
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
		_Release(MenuOutcome());
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
	_Release(MenuOutcome());
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
	_Release(MenuOutcome());
	Quit();
}

// The pointer is grabbed, so presses anywhere on the screen come here: one outside every
// open menu closes them all, one over a menu further up hands tracking back to it.
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
		_MouseMoved(screenWhere, inside, index);
		break;
	case B_MOUSE_DOWN:
		if (inside) {
			fPressed = true;
		} else if (!_OverAncestor(screenWhere, true)) {
			MenuOutcome outcome;
			outcome.closeAll = true;
			_EndWith(outcome);
		}
		break;
	case B_MOUSE_UP:
		if (inside && (fPressed || system_time() - fOpened > kDragChoiceDelay))
			Activate(index);
		break;
	default:
		break;
	}
}

// Resting on an item with a submenu opens it; leaving for a menu further up closes this
// one, so the pointer can wander back through the chain.
void
MenuWindow::_MouseMoved(BPoint screenWhere, bool inside, int32 index)
{
	if (!inside) {
		_OverAncestor(screenWhere, false);
		return;
	}
	bool selectable = fMenu->_IsSelectable(index);
	bool changed = selectable && index != fMenu->fSelected;
	fMenu->_Select(selectable ? index : -1);
	if (changed && fMenu->SubmenuAt(index) != nullptr)
		_OpenSubmenu(index);
}

// Ends tracking and hands it back when screenWhere is over an ancestor menu; a move over
// the item that opened this menu does not count, or the menu would close as it opens.
bool
MenuWindow::_OverAncestor(BPoint screenWhere, bool pressed)
{
	if (!pressed && fSuperitem.IsValid() && fSuperitem.Contains(screenWhere))
		return false;
	for (const BRect& frame : fAncestors) {
		if (frame.Contains(screenWhere)) {
			MenuOutcome outcome;
			outcome.pointerBack = true;
			outcome.pressed = pressed;
			outcome.where = screenWhere;
			_EndWith(outcome);
			return true;
		}
	}
	return false;
}

void
MenuWindow::_Grab()
{
	if (WindowAccess::GrabInput(this, true)) {
		// Events from before the grab may still be on their way to the opener.
		WindowAccess::DrainEvents(this);
		_TakeInputFromOpener();
		return;
	}
	if (++fGrabTries >= kMaxGrabTries)
		return;
	snooze(kGrabRetryDelay);
	PostMessage(kMsgGrab);
}

// Input that reached this menu after it decided to hand tracking back (a click right after
// the move) belongs to the opener, which resumes with the grab.
void
MenuWindow::_GiveInputToOpener()
{
	if (fOpener != nullptr)
		MoveInput(this, fOpener);
}

// Until this menu holds the pointer and keyboard, input still goes to the menu that opened
// it, whose thread waits for this one. That input was meant for this menu (a key typed
// for it, a move that must not reopen a submenu once the opener resumes): it moves here,
// in order. Mouse events carry screen positions, so they mean the same here.
void
MenuWindow::_TakeInputFromOpener()
{
	if (fOpener != nullptr)
		MoveInput(fOpener, this);
}

// A submenu is tracked synchronously from this window's thread: its choice is this
// menu's choice, a press outside all menus closes this one too, and the pointer coming
// back over this menu resumes tracking here (opening the submenu now under it).
void
MenuWindow::_OpenSubmenu(int32 index)
{
	for (;;) {
		BMenuItem* item = fMenu->ItemAt(index);
		BRect frame = item->Frame();
		BPoint where = fMenu->Layout() == B_ITEMS_IN_ROW ? frame.LeftBottom() : frame.RightTop();
		fMenu->ConvertToScreen(&where);
		std::vector<BRect> ancestors = fAncestors;
		ancestors.push_back(fMenu->ConvertToScreen(fMenu->Bounds()));
		// This thread waits while the submenu is open: show the new highlight first.
		UpdateIfNeeded();
		MenuOutcome outcome = TrackSubmenu(item->Submenu(), where, ancestors,
		                                   fMenu->ConvertToScreen(frame), this);
		if (fMenu == nullptr)
			return;
		if (outcome.chosen != nullptr || outcome.closeAll) {
			_EndWith(outcome);
			return;
		}
		fGrabTries = 0;
		_Grab();
		if (!outcome.pointerBack)
			return;
		BPoint local = fMenu->ConvertFromScreen(outcome.where);
		if (!fMenu->Bounds().Contains(local)) {
			_OverAncestor(outcome.where, outcome.pressed);
			return;
		}
		int32 next = fMenu->_IndexAt(local);
		bool selectable = fMenu->_IsSelectable(next);
		fMenu->_Select(selectable ? next : -1);
		if (outcome.pressed && next != index)
			fPressed = true;
		if (!selectable || next == index || fMenu->SubmenuAt(next) == nullptr)
			return;
		index = next;
	}
}

void
MenuWindow::_Release(const MenuOutcome& outcome)
{
	BMenu* menu = fMenu;
	if (menu != nullptr) {
		if (outcome.pointerBack)
			_GiveInputToOpener();
		WindowAccess::GrabInput(this, false);
		fMenu = nullptr;
		menu->_Select(-1);
		RemoveChild(menu);
		menu->fMenuWindow = nullptr;
		if (fAsync && outcome.chosen != nullptr)
			outcome.chosen->Invoke();
		if (fAsync && fAutoDestruct)
			delete menu;
	}
	std::lock_guard<std::mutex> guard(fResult->lock);
	if (!fResult->finished) {
		fResult->finished = true;
		fResult->outcome = outcome;
		if (fAsync)
			fResult->outcome.chosen = nullptr;
		fResult->changed.notify_all();
	}
}

void
MenuWindow::_End(BMenuItem* item)
{
	MenuOutcome outcome;
	outcome.chosen = item;
	_EndWith(outcome);
}

void
MenuWindow::_EndWith(const MenuOutcome& outcome)
{
	if (fMenu == nullptr)
		return;
	_Release(outcome);
	Quit();
}

} // namespace BPrivate
