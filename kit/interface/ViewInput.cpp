// BView input settings: event masks (a view watching the whole keyboard makes its window
// ask the display for desktop-wide keys), the mouse, and the view's cursor.
#include <View.h>

#include <Cursor.h>
#include <Window.h>

#include "WindowPrivate.h"

status_t
BView::SetEventMask(uint32 mask, uint32 options)
{
	if (fWindow == nullptr) {
		fEventMask = mask;
		fEventOptions = options;
		return B_OK;
	}
	fWindow->_EventMaskChanged(this);
	fEventMask = mask;
	fEventOptions = options;
	if (mask != 0) {
		fWindow->fBuffer->maskViews.push_back(this);
		if ((mask & B_KEYBOARD_EVENTS) != 0)
			fWindow->fBuffer->backend->WatchAllKeys(fWindow->fBuffer->native, true);
	}
	return B_OK;
}

// Only meaningful while a button is down: the view then gets every mouse event until
// all buttons are released, inside the view or not.
status_t
BView::SetMouseEventMask(uint32 mask, uint32 options)
{
	if (fWindow == nullptr)
		return B_ERROR;
	fMouseMask = mask;
	fMouseOptions = options;
	if ((mask & B_POINTER_EVENTS) != 0)
		fWindow->fMouseTarget = this;
	return B_OK;
}

void
BView::GetMouse(BPoint* location, uint32* buttons, bool)
{
	BPoint where(0, 0);
	uint32 pressed = 0;
	if (fWindow != nullptr) {
		// What was drawn so far goes out first: callers poll the mouse in tracking loops
		// that draw without returning to the window's loop.
		fWindow->_Present();
		BPrivate::WindowBackend* backend = fWindow->fBuffer->backend;
		if (backend->QueryPointer(fWindow->fBuffer->native, &where, &pressed))
			where = ConvertFromWindow(where);
	}
	if (location != nullptr)
		*location = where;
	if (buttons != nullptr)
		*buttons = pressed;
}

void
BView::SetViewCursor(const BCursor* cursor, bool)
{
	delete fCursor;
	fCursor = cursor != nullptr ? new BCursor(*cursor) : nullptr;
	if (fWindow != nullptr && fWindow->fBuffer->cursorView == this) {
		fWindow->fBuffer->cursorView = nullptr;
		if (fMouseInside)
			fWindow->_UpdateCursor(this);
	} else if (fWindow != nullptr && fMouseInside) {
		fWindow->_UpdateCursor(this);
	}
}
