// BWindow's message dispatch: the display's events go to the right views (mouse to the
// view under the pointer or the one tracking it, keys to the focus view and to the views
// that watch the keyboard), with "where" in each view's own coordinates.
#include <Window.h>

#include <algorithm>
#include <cstring>

#include <AppDefs.h>
#include <Application.h>
#include <Control.h>
#include <Message.h>
#include <MessageQueue.h>

#include "EventFields.h"
#include "MenuWindow.h"
#include "WindowPrivate.h"

const char* const BPrivate::kDisplayEventField = "be:kit_display_event";

void
BWindow::DispatchMessage(BMessage* message, BHandler* handler)
{
	if (message->HasBool(BPrivate::kDisplayEventField) && handler == this) {
		switch (message->what) {
		case B_MOUSE_DOWN:
		case B_MOUSE_UP:
		case B_MOUSE_MOVED:
		case B_MOUSE_WHEEL_CHANGED:
			_DispatchMouse(message);
			break;
		case B_KEY_DOWN:
		case B_KEY_UP:
		case B_UNMAPPED_KEY_DOWN:
		case B_UNMAPPED_KEY_UP:
		case B_MODIFIERS_CHANGED:
			_DispatchKey(message);
			break;
		case B_QUIT_REQUESTED:
			// The window manager's close button or menu: a window without a close box
			// stays, whatever the window manager offers.
			if ((fFlags & B_NOT_CLOSABLE) != 0)
				break;
			BLooper::DispatchMessage(message, handler);
			return;
		default:
			_DispatchWindowEvent(message);
			break;
		}
	} else if (handler == this && message->what == B_PULSE) {
		_PulseViews();
	} else if (handler == this && message->what == BPrivate::kMsgUpdate) {
		_UpdateDirty();
	} else if (handler == this && message->what == BPrivate::kMsgShowWindow) {
		_UpdateDirty();
		if (fShowLevel > 0 && fBuffer->mapAfterDraw)
			fBuffer->backend->ShowWindow(fBuffer->native);
	} else {
		BLooper::DispatchMessage(message, handler);
	}
	if (!fBuffer->quitting)
		_Present();
}

void
BWindow::_PulseViews()
{
	BPrivate::ForEachView(fTopView, [](BView* view) {
		if ((view->Flags() & B_PULSE_NEEDED) != 0 && !view->IsHidden())
			view->Pulse();
	});
}

void
BWindow::MessageReceived(BMessage* message)
{
	BLooper::MessageReceived(message);
}

namespace {

// A notice written before the window's latest move or resize request reports a frame
// that request has replaced; applying it would put the window back where it was.
bool
IsStaleFrameNotice(const BMessage* message, uint32 latestRequest)
{
	int32 request = 0;
	if (message->FindInt32(BPrivate::kFrameRequestField, &request) != B_OK)
		return false;
	return static_cast<int32>(static_cast<uint32>(request) - latestRequest) < 0;
}

} // namespace

void
BWindow::_DispatchWindowEvent(BMessage* message)
{
	switch (message->what) {
	case B_WINDOW_ACTIVATED: {
		bool active = false;
		message->FindBool("active", &active);
		if (active == fActive)
			break;
		fActive = active;
		WindowActivated(active);
		BPrivate::ForEachView(fTopView, [active](BView* view) { view->WindowActivated(active); });
		break;
	}
	case B_WINDOW_MOVED: {
		BPoint where;
		if (IsStaleFrameNotice(message, fBuffer->frameRequest) ||
		    message->FindPoint("where", &where) != B_OK || where == fFrame.LeftTop())
			break;
		fFrame.OffsetTo(where);
		FrameMoved(where);
		break;
	}
	case B_WINDOW_RESIZED: {
		int32 width, height;
		if (IsStaleFrameNotice(message, fBuffer->frameRequest) ||
		    message->FindInt32("width", &width) != B_OK ||
		    message->FindInt32("height", &height) != B_OK) {
			break;
		}
		if (width == fFrame.IntegerWidth() && height == fFrame.IntegerHeight())
			break;
		fFrame.right = fFrame.left + width;
		fFrame.bottom = fFrame.top + height;
		fBuffer->canvas->Resize(width + 1, height + 1);
		fTopView->ResizeTo(width, height);
		fTopView->Invalidate();
		FrameResized(width, height);
		break;
	}
	case BPrivate::kMsgDrop:
		_DeliverDrop(message);
		break;
	case B_WORKSPACES_CHANGED: {
		int32 oldWorkspaces = 0, newWorkspaces = 0;
		message->FindInt32("old", &oldWorkspaces);
		message->FindInt32("new", &newWorkspaces);
		fWorkspaces = (uint32)newWorkspaces;
		WorkspacesChanged((uint32)oldWorkspaces, (uint32)newWorkspaces);
		break;
	}
	default:
		MessageReceived(message);
		break;
	}
}

// #pragma mark - mouse

void
BWindow::_DispatchMouse(BMessage* message)
{
	BPoint where;
	if (message->FindPoint(BPrivate::kWindowWhereField, &where) != B_OK)
		return;
	// Relative to where the window is now: a view that moves its window while the mouse
	// moves (a drag bar) must see the pointer where it is on screen, not where it was
	// relative to the window's old position.
	BPoint screenWhere;
	if (message->FindPoint("screen_where", &screenWhere) == B_OK)
		where = ConvertFromScreen(screenWhere);
	int32 buttons = 0;
	message->FindInt32("buttons", &buttons);

	switch (message->what) {
	case B_MOUSE_DOWN: {
		// A click on an inactive window only activates it, unless the window takes
		// first clicks.
		if (!fActive && (fFlags & (B_WILL_ACCEPT_FIRST_CLICK | B_AVOID_FOCUS)) == 0 &&
		    fBuffer->backend->IsConnected()) {
			Activate();
			return;
		}
		BView* view = _ViewAtWindowPoint(where);
		fMouseTarget = nullptr;
		if (view != nullptr) {
			// The press is inside the view even when no move said so before.
			if (fLastMouseView != nullptr && fLastMouseView != view)
				fLastMouseView->fMouseInside = false;
			view->fMouseInside = true;
			fLastMouseView = view;
			_DispatchMouseTo(view, message, where, true);
		}
		break;
	}
	case B_MOUSE_UP: {
		BView* view = fMouseTarget != nullptr ? fMouseTarget : _ViewAtWindowPoint(where);
		if (buttons == 0)
			fMouseTarget = nullptr;
		if (view != nullptr)
			_DispatchMouseTo(view, message, where, true);
		break;
	}
	case B_MOUSE_MOVED:
		_DispatchMouseMoved(message, where);
		break;
	case B_MOUSE_WHEEL_CHANGED: {
		BView* view = _ViewAtWindowPoint(where);
		if (view != nullptr)
			view->MessageReceived(message);
		break;
	}
	}
}

void
BWindow::_DispatchMouseTo(BView* view, BMessage* message, BPoint windowWhere, bool)
{
	BPoint where = view->ConvertFromWindow(windowWhere);
	BPrivate::SetPointField(message, "where", where);
	BPrivate::SetPointField(message, "be:view_where", where);
	if (message->what == B_MOUSE_DOWN)
		view->MouseDown(where);
	else if (message->what == B_MOUSE_UP)
		view->MouseUp(where);
}

// Every view concerned gets one B_MOUSE_MOVED with its own transit: the view under the
// pointer, the view it just left, and the view tracking the mouse.
void
BWindow::_DispatchMouseMoved(BMessage* message, BPoint where)
{
	// Only the newest position matters when more are waiting.
	if (MessageQueue()->FindMessage((uint32)B_MOUSE_MOVED, 0) != nullptr)
		return;

	BMessage dragMessage;
	const BMessage* drag = message->FindMessage(BPrivate::kDragMessageField, &dragMessage) == B_OK
	                               ? &dragMessage
	                               : nullptr;
	BView* under = _ViewAtWindowPoint(where);
	BView* targets[3] = {under, fLastMouseView, fMouseTarget};
	for (int i = 0; i < 3; i++) {
		BView* view = targets[i];
		if (view == nullptr || (i > 0 && view == targets[0]) || (i == 2 && view == targets[1]))
			continue;
		if (view->Window() != this)
			continue;
		bool inside = view == under;
		uint32 transit;
		if (inside)
			transit = view->fMouseInside ? B_INSIDE_VIEW : B_ENTERED_VIEW;
		else
			transit = view->fMouseInside ? B_EXITED_VIEW : B_OUTSIDE_VIEW;
		view->fMouseInside = inside;
		BPoint local = view->ConvertFromWindow(where);
		BPrivate::SetPointField(message, "where", local);
		BPrivate::SetPointField(message, "be:view_where", local);
		BPrivate::SetInt32Field(message, "be:transit", (int32)transit);
		view->MouseMoved(local, transit, drag);
		if (view->Window() != this)
			break;
	}
	fLastMouseView = under;
	_UpdateCursor(under);
}

void
BWindow::_UpdateCursor(BView* under)
{
	const BView* withCursor = nullptr;
	for (BView* view = under; view != nullptr; view = view->fParent) {
		if (view->fCursor != nullptr) {
			withCursor = view;
			break;
		}
	}
	if (withCursor == fBuffer->cursorView)
		return;
	fBuffer->cursorView = withCursor;
	// Outside every view with a cursor of its own, the program's cursor shows.
	std::shared_ptr<const BCursor> program = BPrivate::ApplicationCursor();
	fBuffer->backend->SetCursor(
	        fBuffer->native,
	        BPrivate::CursorImageFor(withCursor != nullptr
	                                         ? BPrivate::NativeCursor(withCursor->fCursor)
	                                         : program.get()));
}

// #pragma mark - keys

void
BWindow::_DispatchKey(BMessage* message)
{
	if (message->HasBool(BPrivate::kRawKeyField)) {
		// A key typed in another program: only for the views watching the keyboard.
		for (BView* view : std::vector<BView*>(fBuffer->maskViews)) {
			if ((view->fEventMask & B_KEYBOARD_EVENTS) != 0 && view->Window() == this)
				_DispatchKeyTo(view, message);
		}
		return;
	}
	if (message->what == B_KEY_DOWN && _HandleShortcut(message))
		return;

	BView* target = fFocus;
	const char* bytes = nullptr;
	if (message->what == B_KEY_DOWN && fDefaultButton != nullptr &&
	    message->FindString("bytes", &bytes) == B_OK && bytes[0] == B_ENTER &&
	    (fFocus == nullptr || fFocus == fDefaultButton)) {
		target = fDefaultButton;
	}
	int32 modifiers = 0;
	message->FindInt32("modifiers", &modifiers);
	bool tab = message->what == B_KEY_DOWN && message->FindString("bytes", &bytes) == B_OK &&
	           bytes[0] == B_TAB && bytes[1] == '\0';
	if (target != nullptr) {
		_DispatchKeyTo(target, message);
	} else if (!tab || !_NavigateFocus((modifiers & B_SHIFT_KEY) != 0)) {
		MessageReceived(message);
	}

	for (BView* view : std::vector<BView*>(fBuffer->maskViews)) {
		if (view != target && (view->fEventMask & B_KEYBOARD_EVENTS) != 0 &&
		    view->Window() == this) {
			_DispatchKeyTo(view, message);
		}
	}
}

void
BWindow::_DispatchKeyTo(BView* view, BMessage* message)
{
	const char* bytes = nullptr;
	if (message->FindString("bytes", &bytes) != B_OK || bytes == nullptr)
		bytes = "";
	int32 length = (int32)strlen(bytes);
	switch (message->what) {
	case B_KEY_DOWN:
		view->KeyDown(bytes, length);
		break;
	case B_KEY_UP:
		view->KeyUp(bytes, length);
		break;
	default:
		view->MessageReceived(message);
		break;
	}
}

// The views that Tab stops at, in the order of the view tree: navigable, shown and,
// for controls, enabled. False when there is none.
bool
BWindow::_NavigateFocus(bool backward)
{
	std::vector<BView*> views;
	BPrivate::ForEachView(fTopView, [&views](BView* view) {
		if ((view->Flags() & B_NAVIGABLE) == 0 || view->IsHidden())
			return;
		BControl* control = dynamic_cast<BControl*>(view);
		if (control == nullptr || control->IsEnabled())
			views.push_back(view);
	});
	if (views.empty())
		return false;
	size_t count = views.size();
	auto current = std::find(views.begin(), views.end(), fFocus);
	size_t next;
	if (current == views.end())
		next = backward ? count - 1 : 0;
	else
		next = ((size_t)(current - views.begin()) + (backward ? count - 1 : 1)) % count;
	views[next]->MakeFocus(true);
	return true;
}

// Command with X, C, V or A: the editing commands, sent to the focus view.
bool
BWindow::_HandleEditingShortcut(int32 rawChar)
{
	uint32 command = 0;
	switch (rawChar) {
	case 'x':
		command = B_CUT;
		break;
	case 'c':
		command = B_COPY;
		break;
	case 'v':
		command = B_PASTE;
		break;
	case 'a':
		command = B_SELECT_ALL;
		break;
	}
	if (command == 0 || fFocus == nullptr)
		return false;
	PostMessage(command, fFocus);
	return true;
}

// Command+Q asks the application to quit, Command+W closes a closable window, and the
// window's own shortcuts send their messages.
bool
BWindow::_HandleShortcut(BMessage* message)
{
	int32 modifiers = 0;
	message->FindInt32("modifiers", &modifiers);
	if ((modifiers & B_COMMAND_KEY) == 0)
		return false;
	int32 rawChar = 0;
	message->FindInt32("raw_char", &rawChar);
	if (rawChar >= 'A' && rawChar <= 'Z')
		rawChar += 'a' - 'A';
	uint32 relevant =
	        (uint32)modifiers & (B_COMMAND_KEY | B_SHIFT_KEY | B_CONTROL_KEY | B_OPTION_KEY);

	if (fShortcuts != nullptr) {
		for (const Shortcut& shortcut : *fShortcuts) {
			uint32 key = shortcut.key;
			if (key >= 'A' && key <= 'Z')
				key += 'a' - 'A';
			if (key == (uint32)rawChar && shortcut.modifiers == relevant) {
				PostMessage(shortcut.message, shortcut.target != nullptr ? shortcut.target : this);
				return true;
			}
		}
	}
	// The menu items' own shortcuts come before the system's Command+Q and Command+W.
	for (int32 i = 0; i < CountChildren(); i++) {
		if (BPrivate::InvokeMenuShortcut(ChildAt(i), (uint32)rawChar, relevant))
			return true;
	}
	if (relevant != B_COMMAND_KEY)
		return false;
	if (_HandleEditingShortcut(rawChar))
		return true;
	if (rawChar == 'q') {
		if (be_app != nullptr)
			be_app->PostMessage(B_QUIT_REQUESTED);
		return true;
	}
	if (rawChar == 'w' && (fFlags & B_NOT_CLOSABLE) == 0) {
		PostMessage(B_QUIT_REQUESTED);
		return true;
	}
	return false;
}
