// Native windows: creation with the EWMH hints for BeOS looks, feels, flags and
// workspaces, presenting a canvas, the pointer, cursors and desktop-wide keys. Works with
// and without a window manager: without one, the kit moves, raises and focuses itself.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>

#include <Application.h>
#include <InputDefs.h>

#include "DisplayPrivate.h"
#include "X11Support.h"

namespace BPrivate {

namespace {

// Motif hints: the de facto way to ask for no decoration and fewer window functions.
struct MotifHints
{
	unsigned long flags;
	unsigned long functions;
	unsigned long decorations;
	long inputMode;
	unsigned long status;
};

const unsigned long kMotifFunctions = 1, kMotifDecorations = 2;
const unsigned long kFuncResize = 2, kFuncMove = 4, kFuncMinimize = 8, kFuncMaximize = 16,
                    kFuncClose = 32;

// Changes a window's record under the display lock and sends the result to the server; a
// window that is already gone is ignored.
template <typename Change>
void
UpdateWindow(Display::Data& d, native_window window, Change change)
{
	std::lock_guard<std::mutex> guard(d.windows.lock);
	WindowRecord* record = d.windows.Find(window);
	if (record == nullptr)
		return;
	change(record);
	XFlush(d.display);
}

} // namespace

native_window
Display::CreateWindow(WindowClient* client, BRect frame, const WindowProperties& properties)
{
	Data& d = *fData;
	auto record = std::make_unique<WindowRecord>();
	record->client = client;
	record->properties = properties;
	record->inset = properties.borderInset;
	record->overrideRedirect = properties.IsPopup();
	record->width = std::max((int32)frame.IntegerWidth() + 1, (int32)1) + 2 * record->inset;
	record->height = std::max((int32)frame.IntegerHeight() + 1, (int32)1) + 2 * record->inset;
	record->front.assign((size_t)record->width * record->height, 0xff000000);

	XSetWindowAttributes attributes;
	attributes.background_pixmap = None;
	attributes.override_redirect = record->overrideRedirect ? True : False;
	attributes.event_mask = ExposureMask | StructureNotifyMask | ButtonPressMask |
	                        ButtonReleaseMask | PointerMotionMask | EnterWindowMask |
	                        LeaveWindowMask | KeyPressMask | KeyReleaseMask | FocusChangeMask |
	                        PropertyChangeMask | KeymapStateMask;
	attributes.bit_gravity = NorthWestGravity;
	int32 x = (int32)frame.left - record->inset;
	int32 y = (int32)frame.top - record->inset;
	Window xid = XCreateWindow(d.display, d.root, x, y, record->width, record->height, 0,
	                           CopyFromParent, InputOutput, CopyFromParent,
	                           CWBackPixmap | CWOverrideRedirect | CWEventMask | CWBitGravity,
	                           &attributes);
	record->xid = xid;

	XSetWMProtocols(d.display, xid, &d.atoms.wmDeleteWindow, 1);
	d.MakeXdndAware(xid);
	long pid = getpid();
	XChangeProperty(d.display, xid, d.atoms.netWmPid, XA_CARDINAL, 32, PropModeReplace,
	                (unsigned char*)&pid, 1);
	d.SetClassHint(xid);
	d.SetWindowManagerProperties(record.get());
	d.ApplySizeHints(record.get(), x, y);

	std::lock_guard<std::mutex> guard(d.windows.lock);
	d.windows.records[xid] = std::move(record);
	return (native_window)xid;
}

void
Display::DestroyWindow(native_window window)
{
	Data& d = *fData;
	std::unique_ptr<WindowRecord> record;
	{
		std::lock_guard<std::mutex> guard(d.windows.lock);
		auto found = d.windows.records.find(window);
		if (found == d.windows.records.end())
			return;
		record = std::move(found->second);
		d.windows.records.erase(found);
		if (d.windows.focusWindow == window)
			d.windows.focusWindow = 0;
		if (d.windows.pointerFocusWindow == window)
			d.windows.pointerFocusWindow = 0;
		if (record->watchKeys > 0 && --d.windows.rawWatchers == 0)
			d.SelectRawKeys(false);
		d.drag.WindowDestroyed(window);
	}
	if (record->cursor != 0)
		XFreeCursor(d.display, record->cursor);
	XDestroyWindow(d.display, window);
	XFlush(d.display);
}

void
Display::Data::SetClassHint(Window window)
{
	WindowClass windowClass = WindowClassFor(be_app != nullptr ? be_app->Signature() : nullptr,
	                                         program_invocation_short_name);
	XClassHint hint;
	hint.res_name = (char*)windowClass.instance.c_str();
	hint.res_class = (char*)windowClass.className.c_str();
	XSetClassHint(display, window, &hint);
}

void
Display::Data::SetTitle(WindowRecord* record)
{
	const std::string& name = record->properties.title;
	XStoreName(display, record->xid, name.c_str());
	XChangeProperty(display, record->xid, atoms.netWmName, atoms.utf8String, 8, PropModeReplace,
	                (const unsigned char*)name.data(), (int)name.size());
}

void
Display::Data::SetWindowManagerProperties(WindowRecord* record)
{
	const WindowProperties& properties = record->properties;
	SetTitle(record);

	Atom type = atoms.typeNormal;
	if (properties.kind == kMenuWindowKind)
		type = atoms.typePopupMenu;
	else if (properties.kind == kTooltipWindowKind)
		type = atoms.typeTooltip;
	else if (properties.kind == kDialogWindowKind)
		type = atoms.typeDialog;
	XChangeProperty(display, record->xid, atoms.netWmWindowType, XA_ATOM, 32, PropModeReplace,
	                (unsigned char*)&type, 1);

	XWMHints hints;
	std::memset(&hints, 0, sizeof(hints));
	hints.flags = InputHint | StateHint;
	hints.input = properties.takesFocus ? True : False;
	hints.initial_state = NormalState;
	XSetWMHints(display, record->xid, &hints);

	ApplyMotifHints(record);

	// Initial _NET_WM_STATE; once mapped, changes go through client messages.
	std::vector<Atom> states;
	if (properties.keepAbove)
		states.push_back(atoms.netWmStateAbove);
	if (properties.modal)
		states.push_back(atoms.netWmStateModal);
	if (properties.workspaces == kAllWorkspaces)
		states.push_back(atoms.netWmStateSticky);
	if (!properties.takesFocus) {
		states.push_back(atoms.netWmStateSkipTaskbar);
		states.push_back(atoms.netWmStateSkipPager);
	}
	XChangeProperty(display, record->xid, atoms.netWmState, XA_ATOM, 32, PropModeReplace,
	                (unsigned char*)states.data(), (int)states.size());
	ApplyWorkspaces(record);
}

void
Display::Data::ApplyMotifHints(WindowRecord* record)
{
	MotifHints motif;
	std::memset(&motif, 0, sizeof(motif));
	motif.flags = kMotifFunctions | kMotifDecorations;
	const WindowProperties& properties = record->properties;
	motif.decorations = properties.decorated ? 1 : 0;
	motif.functions = kFuncMove | kFuncResize | kFuncMinimize | kFuncMaximize | kFuncClose;
	if (!properties.movable)
		motif.functions &= ~kFuncMove;
	if (!properties.resizableHorizontally && !properties.resizableVertically)
		motif.functions &= ~kFuncResize;
	if (!properties.minimizable)
		motif.functions &= ~kFuncMinimize;
	if (!properties.zoomable)
		motif.functions &= ~kFuncMaximize;
	if (!properties.closable)
		motif.functions &= ~kFuncClose;
	XChangeProperty(display, record->xid, atoms.motifWmHints, atoms.motifWmHints, 32,
	                PropModeReplace, (unsigned char*)&motif, 5);
}

// The position is the client's own (static gravity), so that a window manager puts the
// content where the program asked, decoration or not.
void
Display::Data::ApplySizeHints(WindowRecord* record, int32 x, int32 y)
{
	XSizeHints* hints = XAllocSizeHints();
	hints->flags = PPosition | USPosition | PWinGravity;
	hints->x = x;
	hints->y = y;
	hints->win_gravity = StaticGravity;
	FillSizeLimits(record, hints);
	XSetWMNormalHints(display, record->xid, hints);
	XFree(hints);
}

void
Display::Data::FillSizeLimits(const WindowRecord* record, XSizeHints* hints)
{
	int32 minWidth = record->minWidth;
	int32 maxWidth = record->maxWidth;
	int32 minHeight = record->minHeight;
	int32 maxHeight = record->maxHeight;
	if (!record->properties.resizableHorizontally)
		minWidth = maxWidth = record->width;
	if (!record->properties.resizableVertically)
		minHeight = maxHeight = record->height;
	hints->flags &= ~(PMinSize | PMaxSize);
	if (minWidth > 1 || minHeight > 1) {
		hints->flags |= PMinSize;
		hints->min_width = minWidth;
		hints->min_height = minHeight;
	}
	if (maxWidth < kNoSizeLimit || maxHeight < kNoSizeLimit) {
		hints->flags |= PMaxSize;
		hints->max_width = maxWidth;
		hints->max_height = maxHeight;
	}
}

// Changes only the size limits of the hints, keeping the position the window asked for.
void
Display::Data::RefreshSizeLimits(WindowRecord* record)
{
	XSizeHints* hints = XAllocSizeHints();
	long supplied = 0;
	if (!XGetWMNormalHints(display, record->xid, hints, &supplied))
		hints->flags = 0;
	FillSizeLimits(record, hints);
	XSetWMNormalHints(display, record->xid, hints);
	XFree(hints);
}

void
Display::Data::ApplyWorkspaces(WindowRecord* record)
{
	unsigned long desktop = 0;
	uint32 workspaces = record->properties.workspaces;
	if (workspaces == kAllWorkspaces) {
		desktop = 0xffffffff;
	} else {
		for (unsigned long bit = 0; bit < 32; bit++) {
			if ((workspaces & (1u << bit)) != 0) {
				desktop = bit;
				break;
			}
		}
	}
	XChangeProperty(display, record->xid, atoms.netWmDesktop, XA_CARDINAL, 32, PropModeReplace,
	                (unsigned char*)&desktop, 1);
	if (record->mapped && WindowManagerRunning()) {
		XEvent event;
		std::memset(&event, 0, sizeof(event));
		event.xclient.type = ClientMessage;
		event.xclient.window = record->xid;
		event.xclient.message_type = atoms.netWmDesktop;
		event.xclient.format = 32;
		event.xclient.data.l[0] = (long)desktop;
		event.xclient.data.l[1] = 1;
		XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
		SetNetState(record, atoms.netWmStateSticky, workspaces == kAllWorkspaces);
	}
}

// Adds or removes a _NET_WM_STATE: a request to the window manager for a mapped window,
// the property itself otherwise.
void
Display::Data::SetNetState(WindowRecord* record, Atom state, bool on)
{
	if (record->mapped && WindowManagerRunning()) {
		XEvent event;
		std::memset(&event, 0, sizeof(event));
		event.xclient.type = ClientMessage;
		event.xclient.window = record->xid;
		event.xclient.message_type = atoms.netWmState;
		event.xclient.format = 32;
		event.xclient.data.l[0] = on ? 1 : 0;
		event.xclient.data.l[1] = (long)state;
		event.xclient.data.l[3] = 1;
		XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
		return;
	}
	Atom type;
	int format;
	unsigned long count, after;
	unsigned char* value = nullptr;
	std::vector<Atom> states;
	if (XGetWindowProperty(display, record->xid, atoms.netWmState, 0, 64, False, XA_ATOM, &type,
	                       &format, &count, &after, &value) == Success &&
	    value != nullptr) {
		Atom* atomsRead = (Atom*)value;
		for (unsigned long i = 0; i < count; i++) {
			if (atomsRead[i] != state)
				states.push_back(atomsRead[i]);
		}
	}
	if (value != nullptr)
		XFree(value);
	if (on)
		states.push_back(state);
	XChangeProperty(display, record->xid, atoms.netWmState, XA_ATOM, 32, PropModeReplace,
	                (unsigned char*)states.data(), (int)states.size());
}

void
Display::ShowWindow(native_window window)
{
	Data& d = *fData;
	{
		std::lock_guard<std::mutex> guard(d.windows.lock);
		WindowRecord* record = d.windows.Find(window);
		if (record == nullptr)
			return;
		record->mapped = true;
		// Menus and bubbles never take the focus from the window that opened them.
		record->focusWhenMapped = record->properties.takesFocus && !record->overrideRedirect;
	}
	XMapRaised(d.display, window);
	XFlush(d.display);
}

// Without a window manager nobody hands out the focus: a window takes it when it appears.
// Asking whether one runs takes round trips, so the display thread does it, not the thread
// that shows the window.
void
Display::Data::FocusIfUnmanaged(WindowRecord* record)
{
	if (!record->focusWhenMapped)
		return;
	record->focusWhenMapped = false;
	if (WindowManagerRunning())
		return;
	XSetInputFocus(display, record->xid, RevertToPointerRoot, CurrentTime);
	XFlush(display);
}

void
Display::HideWindow(native_window window)
{
	Data& d = *fData;
	{
		std::lock_guard<std::mutex> guard(d.windows.lock);
		WindowRecord* record = d.windows.Find(window);
		if (record == nullptr)
			return;
		record->mapped = false;
	}
	XUnmapWindow(d.display, window);
	XFlush(d.display);
}

// The request is sent under the lock, so a configure notice handled meanwhile either
// sees the new position or carries the old request count.
uint32
Display::MoveWindow(native_window window, BPoint where)
{
	Data& d = *fData;
	std::lock_guard<std::mutex> guard(d.windows.lock);
	WindowRecord* record = d.windows.Find(window);
	if (record == nullptr)
		return 0;
	int32 inset = record->inset;
	// The window is where it was asked to be; the notice of the move must not bring
	// the old position back.
	record->lastPosition = where;
	record->positionKnown = true;
	d.ApplySizeHints(record, (int32)where.x - inset, (int32)where.y - inset);
	XMoveWindow(d.display, window, (int)where.x - inset, (int)where.y - inset);
	XFlush(d.display);
	return ++record->frameRequests;
}

uint32
Display::ResizeWindow(native_window window, int32 width, int32 height)
{
	Data& d = *fData;
	std::lock_guard<std::mutex> guard(d.windows.lock);
	WindowRecord* record = d.windows.Find(window);
	if (record == nullptr)
		return 0;
	int32 outerWidth = std::max(width, (int32)1) + 2 * record->inset;
	int32 outerHeight = std::max(height, (int32)1) + 2 * record->inset;
	if (outerWidth == record->width && outerHeight == record->height)
		return record->frameRequests;
	record->width = outerWidth;
	record->height = outerHeight;
	record->front.assign((size_t)outerWidth * outerHeight, 0xff000000);
	// A window the user may not resize follows the program's own resizes.
	if (!record->properties.resizableHorizontally || !record->properties.resizableVertically)
		d.RefreshSizeLimits(record);
	XResizeWindow(d.display, window, outerWidth, outerHeight);
	XFlush(d.display);
	return ++record->frameRequests;
}

// Sends only what changed; the kind and border are the window's for life, the workspaces
// are set apart.
void
Display::SetProperties(native_window window, const WindowProperties& properties)
{
	Data& d = *fData;
	UpdateWindow(d, window, [&](WindowRecord* record) {
		WindowProperties old = record->properties;
		record->properties = properties;
		record->properties.kind = old.kind;
		record->properties.borderInset = old.borderInset;
		record->properties.workspaces = old.workspaces;
		if (properties.title != old.title)
			d.SetTitle(record);
		if (properties.keepAbove != old.keepAbove) {
			d.SetNetState(record, d.atoms.netWmStateAbove, properties.keepAbove);
			if (properties.keepAbove && record->mapped)
				XRaiseWindow(d.display, record->xid);
		}
		bool functions = properties.movable != old.movable ||
		                 properties.resizableHorizontally != old.resizableHorizontally ||
		                 properties.resizableVertically != old.resizableVertically ||
		                 properties.minimizable != old.minimizable ||
		                 properties.zoomable != old.zoomable || properties.closable != old.closable;
		if (functions || properties.decorated != old.decorated)
			d.ApplyMotifHints(record);
		if (functions)
			d.RefreshSizeLimits(record);
	});
}

void
Display::SetWorkspaces(native_window window, uint32 workspaces)
{
	Data& d = *fData;
	UpdateWindow(d, window, [&](WindowRecord* record) {
		record->properties.workspaces = workspaces;
		d.ApplyWorkspaces(record);
	});
}

void
Display::SetSizeLimits(native_window window, int32 minWidth, int32 maxWidth, int32 minHeight,
                       int32 maxHeight)
{
	Data& d = *fData;
	UpdateWindow(d, window, [&](WindowRecord* record) {
		auto outer = [record](int32 size) {
			return std::clamp(size + 2 * record->inset, (int32)1, kNoSizeLimit);
		};
		record->minWidth = outer(minWidth);
		record->maxWidth = outer(maxWidth);
		record->minHeight = outer(minHeight);
		record->maxHeight = outer(maxHeight);
		d.RefreshSizeLimits(record);
	});
}

void
Display::Activate(native_window window)
{
	Data& d = *fData;
	if (d.WindowManagerRunning()) {
		XEvent event;
		std::memset(&event, 0, sizeof(event));
		event.xclient.type = ClientMessage;
		event.xclient.window = window;
		event.xclient.message_type = d.atoms.netActiveWindow;
		event.xclient.format = 32;
		event.xclient.data.l[0] = 1;
		event.xclient.data.l[1] = CurrentTime;
		XSendEvent(d.display, d.root, False, SubstructureRedirectMask | SubstructureNotifyMask,
		           &event);
	} else {
		std::lock_guard<std::mutex> guard(d.windows.lock);
		WindowRecord* record = d.windows.Find(window);
		if (record == nullptr)
			return;
		XRaiseWindow(d.display, window);
		// The server refuses the focus to a window that is not mapped (yet): one that is
		// shown gets it then.
		if (record->mapped)
			XSetInputFocus(d.display, window, RevertToPointerRoot, CurrentTime);
	}
	XFlush(d.display);
}

void
Display::Minimize(native_window window, bool minimize)
{
	Data& d = *fData;
	if (minimize) {
		// Without a window manager there is no icon to turn into: the window goes away
		// until it is shown again.
		if (d.WindowManagerRunning())
			XIconifyWindow(d.display, window, d.screen);
		else
			XUnmapWindow(d.display, window);
	} else {
		std::lock_guard<std::mutex> guard(d.windows.lock);
		if (WindowRecord* record = d.windows.Find(window))
			record->mapped = true;
		XMapRaised(d.display, window);
	}
	XFlush(d.display);
}

bool
Display::GrabInput(native_window window, bool grab)
{
	Data& d = *fData;
	if (!grab) {
		XUngrabPointer(d.display, CurrentTime);
		XUngrabKeyboard(d.display, CurrentTime);
		XFlush(d.display);
		return true;
	}
	int pointer = XGrabPointer(d.display, window, False,
	                           ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
	                                   EnterWindowMask | LeaveWindowMask,
	                           GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
	int keyboard =
	        XGrabKeyboard(d.display, window, False, GrabModeAsync, GrabModeAsync, CurrentTime);
	XFlush(d.display);
	return pointer == GrabSuccess && keyboard == GrabSuccess;
}

// #pragma mark - presenting

void
Display::Present(native_window window, const uint8* bits, int32 width, int32 height, int32 stride,
                 const BRect* rects, int32 count)
{
	Data& d = *fData;
	std::lock_guard<std::mutex> guard(d.windows.lock);
	WindowRecord* record = d.windows.Find(window);
	if (record == nullptr || bits == nullptr)
		return;
	record->presented = true;
	int32 inset = record->inset;
	int32 contentWidth = std::min(width, record->width - 2 * inset);
	int32 contentHeight = std::min(height, record->height - 2 * inset);
	for (int32 i = 0; i < count; i++) {
		BRect rect = rects[i] & BRect(0, 0, contentWidth - 1, contentHeight - 1);
		if (!rect.IsValid())
			continue;
		int32 left = (int32)rect.left, top = (int32)rect.top;
		int32 width = (int32)rect.right - left + 1, height = (int32)rect.bottom - top + 1;
		for (int32 y = top; y < top + height; y++) {
			std::memcpy(&record->front[(size_t)(y + inset) * record->width + left + inset],
			            bits + (size_t)y * stride + (size_t)left * 4, (size_t)width * 4);
		}
		d.PutFront(record, left + inset, top + inset, width, height);
	}
	XFlush(d.display);
}

// Repairs an exposed area from the last presented pixels, in the display thread.
void
Display::Data::Repaint(WindowRecord* record, int x, int y, int width, int height)
{
	if (!record->presented)
		return;
	PutFront(record, x, y, width, height);
	XFlush(display);
}

void
Display::Data::PutFront(WindowRecord* record, int x, int y, int width, int height)
{
	if (x < 0 || y < 0 || width <= 0 || height <= 0)
		return;
	width = std::min(width, record->width - x);
	height = std::min(height, record->height - y);
	if (width <= 0 || height <= 0 || record->front.empty())
		return;
	// The one-pixel border of a bordered window.
	if (record->inset > 0) {
		for (int32 i = 0; i < record->width; i++) {
			record->front[i] = 0xff000000;
			record->front[(size_t)(record->height - 1) * record->width + i] = 0xff000000;
		}
		for (int32 j = 0; j < record->height; j++) {
			record->front[(size_t)j * record->width] = 0xff000000;
			record->front[(size_t)j * record->width + record->width - 1] = 0xff000000;
		}
	}
	XImage* image = XCreateImage(display, visual, depth, ZPixmap, 0, (char*)record->front.data(),
	                             record->width, record->height, 32, record->width * 4);
	if (image == nullptr)
		return;
	GC gc = DefaultGC(display, screen);
	XPutImage(display, record->xid, gc, image, x, y, x, y, width, height);
	image->data = nullptr;
	XDestroyImage(image);
}

// #pragma mark - pointer, cursor, keys

bool
Display::QueryPointer(native_window window, BPoint* where, uint32* buttons)
{
	Data& d = *fData;
	int32 inset = 0;
	{
		std::lock_guard<std::mutex> guard(d.windows.lock);
		if (WindowRecord* record = d.windows.Find(window))
			inset = record->inset;
	}
	Window rootReturn, child;
	int rootX, rootY, x, y;
	unsigned int mask;
	if (!XQueryPointer(d.display, window, &rootReturn, &child, &rootX, &rootY, &x, &y, &mask))
		return false;
	if (where != nullptr)
		*where = BPoint(x - inset, y - inset);
	if (buttons != nullptr) {
		*buttons = 0;
		if ((mask & Button1Mask) != 0)
			*buttons |= B_PRIMARY_MOUSE_BUTTON;
		if ((mask & Button3Mask) != 0)
			*buttons |= B_SECONDARY_MOUSE_BUTTON;
		if ((mask & Button2Mask) != 0)
			*buttons |= B_TERTIARY_MOUSE_BUTTON;
	}
	return true;
}

void
Display::SetCursor(native_window window, const CursorImage& cursor)
{
	Data& d = *fData;
	Cursor xCursor = 0;
	if (cursor.shape == CursorImage::kBitmap && cursor.data != nullptr) {
		char source[32], mask[32];
		for (int row = 0; row < 16; row++) {
			// X bitmaps put the leftmost pixel in the lowest bit.
			for (int half = 0; half < 2; half++) {
				uint8 colour = cursor.data[4 + row * 2 + half];
				uint8 opaque = cursor.data[36 + row * 2 + half];
				uint8 colourBits = 0, maskBits = 0;
				for (int bit = 0; bit < 8; bit++) {
					if ((colour & (0x80 >> bit)) != 0)
						colourBits |= (uint8)(1 << bit);
					if ((opaque & (0x80 >> bit)) != 0)
						maskBits |= (uint8)(1 << bit);
				}
				source[row * 2 + half] = (char)colourBits;
				mask[row * 2 + half] = (char)maskBits;
			}
		}
		Pixmap sourcePixmap = XCreateBitmapFromData(d.display, window, source, 16, 16);
		Pixmap maskPixmap = XCreateBitmapFromData(d.display, window, mask, 16, 16);
		XColor black, white;
		black.red = black.green = black.blue = 0;
		white.red = white.green = white.blue = 0xffff;
		xCursor = XCreatePixmapCursor(d.display, sourcePixmap, maskPixmap, &black, &white,
		                              cursor.data[3], cursor.data[2]);
		XFreePixmap(d.display, sourcePixmap);
		XFreePixmap(d.display, maskPixmap);
	} else if (cursor.shape == CursorImage::kLink) {
		xCursor = XCreateFontCursor(d.display, XC_hand2);
	} else if (cursor.shape == CursorImage::kText) {
		xCursor = XCreateFontCursor(d.display, XC_xterm);
	}
	std::lock_guard<std::mutex> guard(d.windows.lock);
	WindowRecord* record = d.windows.Find(window);
	if (record == nullptr) {
		if (xCursor != 0)
			XFreeCursor(d.display, xCursor);
		return;
	}
	XDefineCursor(d.display, window, xCursor);
	if (record->cursor != 0)
		XFreeCursor(d.display, record->cursor);
	record->cursor = xCursor;
	XFlush(d.display);
}

void
Display::WatchAllKeys(native_window window, bool watch)
{
	Data& d = *fData;
	std::lock_guard<std::mutex> guard(d.windows.lock);
	WindowRecord* record = d.windows.Find(window);
	if (record == nullptr)
		return;
	if (watch) {
		if (record->watchKeys++ == 0 && d.windows.rawWatchers++ == 0)
			d.SelectRawKeys(true);
	} else if (record->watchKeys > 0) {
		if (--record->watchKeys == 0 && --d.windows.rawWatchers == 0)
			d.SelectRawKeys(false);
	}
}

} // namespace BPrivate
