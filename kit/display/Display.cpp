// The X connection and the display thread. The thread blocks in XNextEvent (Xlib wakes it
// for events read by any thread), so an idle program costs no CPU; Shutdown() wakes it
// with a client message to a hidden window of its own.
#include "Display.h"
#include "TextFonts.h"

#include <chrono>
#include <cstring>
#include <mutex>

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XInput2.h>

#include <AppDefs.h>
#include <Message.h>
#include <OS.h>

#include "DisplayPrivate.h"
#include "X11Support.h"

namespace BPrivate {

namespace {

std::mutex sDefaultLock;
Display* sDefault = nullptr;
bool sTried = false;

} // namespace

Display*
Display::Default()
{
	std::lock_guard<std::mutex> guard(sDefaultLock);
	if (sDefault != nullptr || sTried)
		return sDefault;
	sTried = true;
	XInitThreads();
	::Display* display = XOpenDisplay(nullptr);
	if (display == nullptr)
		return nullptr;
	InstallXErrorHandler();
	Data* data = new Data;
	data->display = display;
	sDefault = new Display(data);
	return sDefault;
}

void
Display::Shutdown()
{
	std::lock_guard<std::mutex> guard(sDefaultLock);
	delete sDefault;
	sDefault = nullptr;
	sTried = false;
}

Display::Display(Data* data) : fData(data)
{
	Data& d = *fData;
	StartReadingFontConfiguration();
	d.screen = DefaultScreen(d.display);
	d.root = RootWindow(d.display, d.screen);
	d.visual = DefaultVisual(d.display, d.screen);
	d.depth = DefaultDepth(d.display, d.screen);
	d.InternAtoms();
	d.managed = d.WindowManagerRunning();
	d.QueryExtensions();
	d.MakeTranslators();
	d.InitDragAndDrop();

	XSetWindowAttributes attributes;
	attributes.override_redirect = True;
	d.wakeWindow = XCreateWindow(d.display, d.root, -10, -10, 1, 1, 0, CopyFromParent, InputOnly,
	                             CopyFromParent, CWOverrideRedirect, &attributes);
	// Other programs' top-level windows are watched so that floating windows can stay
	// above them when no window manager does it.
	XSelectInput(d.display, d.root, PropertyChangeMask | SubstructureNotifyMask);
	d.CreateClipboard();
	XFlush(d.display);
	d.thread = std::thread([this] { fData->Run(); });
	d.RegisterClipboard();
}

void
Display::Data::InternAtoms()
{
	const char* names[] = {"WM_PROTOCOLS",
	                       "WM_DELETE_WINDOW",
	                       "WM_STATE",
	                       "WM_CHANGE_STATE",
	                       "_NET_WM_STATE",
	                       "_NET_WM_STATE_ABOVE",
	                       "_NET_WM_STATE_STICKY",
	                       "_NET_WM_STATE_MODAL",
	                       "_NET_WM_STATE_SKIP_TASKBAR",
	                       "_NET_WM_STATE_SKIP_PAGER",
	                       "_NET_WM_STATE_HIDDEN",
	                       "_NET_WM_DESKTOP",
	                       "_NET_CURRENT_DESKTOP",
	                       "_NET_ACTIVE_WINDOW",
	                       "_NET_WM_NAME",
	                       "UTF8_STRING",
	                       "_NET_WM_WINDOW_TYPE",
	                       "_NET_WM_WINDOW_TYPE_NORMAL",
	                       "_NET_WM_WINDOW_TYPE_DIALOG",
	                       "_NET_WM_WINDOW_TYPE_UTILITY",
	                       "_NET_WM_WINDOW_TYPE_POPUP_MENU",
	                       "_NET_WM_WINDOW_TYPE_TOOLTIP",
	                       "_MOTIF_WM_HINTS",
	                       "_NET_SUPPORTING_WM_CHECK",
	                       "_NET_WM_PID",
	                       "_KV_WAKE",
	                       "_KV_BARRIER"};
	static_assert(sizeof(names) / sizeof(names[0]) == sizeof(Data::Atoms) / sizeof(Atom));
	XInternAtoms(display, (char**)names, sizeof(names) / sizeof(names[0]), False, (Atom*)&atoms);
}

// Key repeat without fake releases, and XInput2 for the desktop-wide keys.
void
Display::Data::QueryExtensions()
{
	Bool supported = False;
	XkbSetDetectableAutoRepeat(display, True, &supported);
	int event, error;
	if (!XQueryExtension(display, "XInputExtension", &xiOpcode, &event, &error)) {
		xiOpcode = -1;
		return;
	}
	// From 2.1 on, raw events reach us while another program holds the keyboard (a
	// desktop's own hot key, another program's open menu); a 2.0 client misses them then.
	int major = 2, minor = 2;
	if (XIQueryVersion(display, &major, &minor) != Success)
		xiOpcode = -1;
}

void
Display::Data::MakeTranslators()
{
	auto lookup = [display = display](uint32 keycode, uint32 state, std::string* text) {
		XKeyEvent key;
		std::memset(&key, 0, sizeof(key));
		key.type = KeyPress;
		key.display = display;
		key.keycode = keycode;
		key.state = state;
		char buffer[16];
		KeySym keysym = NoSymbol;
		int length = XLookupString(&key, buffer, sizeof(buffer), &keysym, nullptr);
		if (text != nullptr)
			text->assign(buffer, length > 0 ? length : 0);
		return (uint32)keysym;
	};
	windows.coreKeys = std::make_unique<EventTranslator>(lookup);
	windows.rawKeys = std::make_unique<EventTranslator>(lookup);
}

Display::~Display()
{
	Data& d = *fData;
	d.UnregisterClipboard();
	XEvent wake;
	std::memset(&wake, 0, sizeof(wake));
	wake.xclient.type = ClientMessage;
	wake.xclient.window = d.wakeWindow;
	wake.xclient.message_type = d.atoms.wake;
	wake.xclient.format = 32;
	XSendEvent(d.display, d.wakeWindow, False, NoEventMask, &wake);
	XFlush(d.display);
	if (d.thread.joinable())
		d.thread.join();
	{
		std::lock_guard<std::mutex> guard(d.windows.lock);
		for (auto& entry : d.windows.records)
			XDestroyWindow(d.display, entry.first);
		d.windows.records.clear();
	}
	XDestroyWindow(d.display, d.wakeWindow);
	XCloseDisplay(d.display);
	delete fData;
}

bool
Display::IsConnected() const
{
	return true;
}

BRect
Display::ScreenFrame() const
{
	return BRect(0, 0, DisplayWidth(fData->display, fData->screen) - 1,
	             DisplayHeight(fData->display, fData->screen) - 1);
}

bool
Display::HasWindowManager() const
{
	return fData->managed.load();
}

uint32
Display::CurrentWorkspace() const
{
	uint32 desktop = fData->ReadDesktop(fData->root, fData->atoms.netCurrentDesktop);
	return desktop == 0xffffffff ? 0 : desktop;
}

uint32
Display::Modifiers()
{
	std::lock_guard<std::mutex> guard(fData->windows.lock);
	if (fData->windows.rawWatchers > 0)
		return fData->windows.rawKeys->Modifiers();
	return fData->windows.coreKeys->Modifiers();
}

void
Display::Flush()
{
	XFlush(fData->display);
}

void
Display::Sync()
{
	XSync(fData->display, False);
}

// #pragma mark - the display thread

WindowRecord*
WindowTable::Find(Window window)
{
	auto found = records.find(window);
	return found == records.end() ? nullptr : found->second.get();
}

void
Display::Data::Run()
{
	threadId = std::this_thread::get_id();
	while (true) {
		XEvent event;
		XNextEvent(display, &event);
		if (event.type == ClientMessage && event.xclient.window == wakeWindow &&
		    event.xclient.message_type == atoms.wake) {
			break;
		}
		if (event.type == ClientMessage && event.xclient.window == wakeWindow &&
		    event.xclient.message_type == atoms.barrier) {
			std::lock_guard<std::mutex> guard(barrierLock);
			barriersDone = (uint32)event.xclient.data.l[0];
			barrierPassed.notify_all();
			continue;
		}
		HandleEvent(event);
	}
}

// The server sends the barrier after every event it sent before, so once the display
// thread passes it, all of them have been handed on to their windows.
void
Display::Drain()
{
	Data& d = *fData;
	if (std::this_thread::get_id() == d.threadId)
		return;
	uint32 ticket;
	{
		std::lock_guard<std::mutex> guard(d.barrierLock);
		ticket = ++d.barriersSent;
	}
	XEvent barrier;
	std::memset(&barrier, 0, sizeof(barrier));
	barrier.xclient.type = ClientMessage;
	barrier.xclient.window = d.wakeWindow;
	barrier.xclient.message_type = d.atoms.barrier;
	barrier.xclient.format = 32;
	barrier.xclient.data.l[0] = (long)ticket;
	XSendEvent(d.display, d.wakeWindow, False, NoEventMask, &barrier);
	XFlush(d.display);
	std::unique_lock<std::mutex> guard(d.barrierLock);
	d.barrierPassed.wait_for(guard, std::chrono::seconds(1),
	                         [&] { return (int32)(d.barriersDone - ticket) >= 0; });
}

void
Display::Data::HandleEvent(XEvent& event)
{
	if (event.type == GenericEvent && event.xcookie.extension == xiOpcode) {
		if (XGetEventData(display, &event.xcookie)) {
			HandleRawKey(event);
			XFreeEventData(display, &event.xcookie);
		}
		return;
	}
	switch (event.type) {
	case SelectionRequest:
	case SelectionNotify:
	case SelectionClear:
	case PropertyNotify:
	case DestroyNotify:
	case ClientMessage:
		// Each selection takes only the events of its own atom and transfers.
		if (HandleClipboardEvent(event))
			return;
		break;
	default:
		break;
	}
	std::lock_guard<std::mutex> guard(windows.lock);
	if (event.type == KeymapNotify) {
		// Sent right after a window of ours gets the focus or the pointer, without naming
		// the window. Keys released while another window had the focus (the Alt of an
		// Alt+W that closed the focused window) are up again from here on.
		windows.coreKeys->SetKeymap(event.xkeymap.key_vector);
		return;
	}
	if (event.xany.window == root) {
		if (event.type == PropertyNotify && event.xproperty.atom == atoms.netSupportingWmCheck)
			managed = WindowManagerRunning();
		if (event.type == MapNotify || event.type == ConfigureNotify)
			KeepFloatingAbove(event.type == MapNotify ? event.xmap.window
			                                          : event.xconfigure.window);
		return;
	}
	WindowRecord* record = windows.Find(event.xany.window);
	if (record != nullptr)
		HandleWindowEvent(record, event);
}

// Without a window manager nobody keeps floating windows on top: when another program's
// window appears or moves in the stacking order, raise ours again.
void
Display::Data::KeepFloatingAbove(Window changed)
{
	if (windows.Find(changed) != nullptr)
		return;
	bool raised = false;
	for (auto& entry : windows.records) {
		WindowRecord* record = entry.second.get();
		if (!record->properties.aboveEverything || !record->mapped)
			continue;
		if (!raised && WindowManagerRunning())
			return;
		XRaiseWindow(display, record->xid);
		raised = true;
	}
	if (raised)
		XFlush(display);
}

void
SendSelectionNotify(::Display* display, const XSelectionRequestEvent& request, Atom property)
{
	XEvent reply;
	std::memset(&reply, 0, sizeof(reply));
	reply.xselection.type = SelectionNotify;
	reply.xselection.requestor = request.requestor;
	reply.xselection.selection = request.selection;
	reply.xselection.target = request.target;
	reply.xselection.property = property;
	reply.xselection.time = request.time;
	XSendEvent(display, request.requestor, False, NoEventMask, &reply);
}

void
Display::Data::HandleWindowEvent(WindowRecord* record, XEvent& event)
{
	BPoint offset(record->inset, record->inset);
	switch (event.type) {
	case Expose:
		Repaint(record, event.xexpose.x, event.xexpose.y, event.xexpose.width,
		        event.xexpose.height);
		break;
	case ConfigureNotify:
		HandleConfigure(record, event.xconfigure);
		break;
	case MapNotify:
		record->mapped = true;
		FocusIfUnmanaged(record);
		break;
	case UnmapNotify:
		record->mapped = false;
		break;
	case FocusIn:
	case FocusOut:
		HandleFocus(record, event.xfocus);
		break;
	case PropertyNotify:
		HandleProperty(record, event.xproperty);
		break;
	case ClientMessage:
		if (HandleXdndMessage(record, event.xclient))
			break;
		if (event.xclient.message_type == atoms.wmProtocols &&
		    (Atom)event.xclient.data.l[0] == atoms.wmDeleteWindow) {
			Post(record, new BMessage(B_QUIT_REQUESTED));
		}
		break;
	case SelectionRequest:
		if (event.xselectionrequest.selection == xdnd.selection)
			drag.HandleSelectionRequest(event.xselectionrequest);
		break;
	case SelectionNotify:
		if (event.xselection.selection == xdnd.selection)
			drop.HandleSelection(record, event.xselection);
		break;
	case ButtonPress:
	case ButtonRelease:
	case MotionNotify:
	case EnterNotify:
	case LeaveNotify:
	case KeyPress:
	case KeyRelease:
		if (event.type == EnterNotify || event.type == LeaveNotify)
			TrackPointerFocus(record, event.xcrossing);
		if (drag.HandleInput(record, event))
			break;
		Post(record, windows.coreKeys->Translate(event, offset));
		break;
	default:
		break;
	}
}

void
Display::Data::HandleConfigure(WindowRecord* record, const XConfigureEvent& event)
{
	if (event.width != record->width || event.height != record->height) {
		record->width = event.width;
		record->height = event.height;
		record->front.assign((size_t)event.width * event.height, 0xff000000);
		BMessage* resized = new BMessage(B_WINDOW_RESIZED);
		resized->AddInt64("when", system_time());
		resized->AddInt32("width", event.width - 2 * record->inset - 1);
		resized->AddInt32("height", event.height - 2 * record->inset - 1);
		resized->AddInt32(kFrameRequestField, (int32)record->frameRequests);
		Post(record, resized);
	}
	// Under a reparenting window manager the event's position is relative to the frame;
	// ask the server where the content really is.
	int x = 0, y = 0;
	Window child;
	XTranslateCoordinates(display, record->xid, root, 0, 0, &x, &y, &child);
	BPoint where(x + record->inset, y + record->inset);
	if (!record->positionKnown || where != record->lastPosition) {
		record->positionKnown = true;
		record->lastPosition = where;
		BMessage* moved = new BMessage(B_WINDOW_MOVED);
		moved->AddInt64("when", system_time());
		moved->AddPoint("where", where);
		moved->AddInt32(kFrameRequestField, (int32)record->frameRequests);
		Post(record, moved);
	}
}

// While the focus follows the pointer (PointerRoot, or the root window itself), the window
// under the pointer gets the keys without being active. An entry says so in its "focus"
// flag; a grab's crossing events say that the keys went elsewhere for its length.
void
Display::Data::TrackPointerFocus(WindowRecord* record, const XCrossingEvent& event)
{
	if (event.detail == NotifyInferior)
		return;
	if (event.type == EnterNotify && event.focus && event.mode != NotifyGrab)
		windows.pointerFocusWindow = record->xid;
	else if (windows.pointerFocusWindow == record->xid)
		windows.pointerFocusWindow = 0;
}

void
Display::Data::HandleFocus(WindowRecord* record, const XFocusChangeEvent& event)
{
	if (event.detail == NotifyPointer) {
		if (event.type == FocusIn)
			windows.pointerFocusWindow = record->xid;
		else if (windows.pointerFocusWindow == record->xid)
			windows.pointerFocusWindow = 0;
		return;
	}
	// Grabs (an open menu) do not change which window is active; neither do focus moves
	// between the window and its own frame.
	if (event.mode == NotifyGrab || event.mode == NotifyUngrab || event.detail == NotifyPointer ||
	    event.detail == NotifyInferior) {
		return;
	}
	bool active = event.type == FocusIn;
	if (active)
		windows.focusWindow = record->xid;
	else if (windows.focusWindow == record->xid)
		windows.focusWindow = 0;
	BMessage* message = new BMessage(B_WINDOW_ACTIVATED);
	message->AddInt64("when", system_time());
	message->AddBool("active", active);
	Post(record, message);
}

void
Display::Data::HandleProperty(WindowRecord* record, const XPropertyEvent& event)
{
	if (event.atom != atoms.netWmDesktop)
		return;
	uint32 desktop = ReadDesktop(record->xid, atoms.netWmDesktop);
	uint32 workspaces = desktop == 0xffffffff ? kAllWorkspaces : (1u << (desktop & 31));
	if (workspaces == record->properties.workspaces)
		return;
	BMessage* message = new BMessage(B_WORKSPACES_CHANGED);
	message->AddInt64("when", system_time());
	message->AddInt32("old", (int32)record->properties.workspaces);
	message->AddInt32("new", (int32)workspaces);
	record->properties.workspaces = workspaces;
	Post(record, message);
}

// A key anywhere on the desktop goes to the windows that watch all keys, except the one
// that gets the same key through its own key events: the focused window, or the window
// under the pointer while the focus follows the pointer.
void
Display::Data::HandleRawKey(XEvent& event)
{
	int type = event.xcookie.evtype;
	if (type != XI_RawKeyPress && type != XI_RawKeyRelease)
		return;
	const XIRawEvent* raw = (const XIRawEvent*)event.xcookie.data;
	std::lock_guard<std::mutex> guard(windows.lock);
	BMessage* message = windows.rawKeys->TranslateRawKey((uint32)raw->detail,
	                                                     type == XI_RawKeyPress, system_time());
	if (message == nullptr)
		return;
	for (auto& entry : windows.records) {
		WindowRecord* record = entry.second.get();
		if (record->watchKeys <= 0 || record->xid == windows.focusWindow ||
		    record->xid == windows.pointerFocusWindow)
			continue;
		Post(record, new BMessage(*message));
	}
	delete message;
}

uint32
XConnection::ReadDesktop(Window window, Atom property) const
{
	Atom type;
	int format;
	unsigned long count, after;
	unsigned char* value = nullptr;
	uint32 result = 0;
	if (XGetWindowProperty(display, window, property, 0, 1, False, XA_CARDINAL, &type, &format,
	                       &count, &after, &value) == Success &&
	    value != nullptr && count == 1 && format == 32) {
		result = (uint32) * (unsigned long*)value;
	}
	if (value != nullptr)
		XFree(value);
	return result;
}

bool
XConnection::WindowManagerRunning() const
{
	Atom type;
	int format;
	unsigned long count, after;
	unsigned char* value = nullptr;
	bool running = false;
	if (XGetWindowProperty(display, root, atoms.netSupportingWmCheck, 0, 1, False, XA_WINDOW, &type,
	                       &format, &count, &after, &value) == Success &&
	    value != nullptr && count == 1) {
		Window check = (Window) * (unsigned long*)value;
		XWindowAttributes attributes;
		running = check != 0 && XGetWindowAttributes(display, check, &attributes) != 0;
	}
	if (value != nullptr)
		XFree(value);
	return running;
}

void
Display::Data::SelectRawKeys(bool on)
{
	if (xiOpcode < 0)
		return;
	unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
	if (on) {
		XISetMask(bits, XI_RawKeyPress);
		XISetMask(bits, XI_RawKeyRelease);
		// Start from the keys held now and the current locks.
		char keys[32];
		XQueryKeymap(display, keys);
		windows.rawKeys->SetKeymap(keys);
	}
	XIEventMask mask;
	mask.deviceid = XIAllMasterDevices;
	mask.mask_len = sizeof(bits);
	mask.mask = bits;
	XISelectEvents(display, root, &mask, 1);
	XFlush(display);
}

} // namespace BPrivate
