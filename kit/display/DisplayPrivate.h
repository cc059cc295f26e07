// The state behind BPrivate::Display, split along its seams: the X connection every part
// shares (read-only once the display thread runs), the window table, the drag source, the
// drop target and the clipboard selection, each with its own state and lock. Lock order:
// the window table before the drag source or the drop target.
#ifndef _KV_DISPLAY_DISPLAY_PRIVATE_H
#define _KV_DISPLAY_DISPLAY_PRIVATE_H

#include <atomic>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "Display.h"
#include "EventTranslator.h"
#include "Xdnd.h"

namespace BPrivate {

// The CLIPBOARD selection's owner and requestor (DisplaySelection.cpp).
class ClipboardSelection;
struct ClipboardSelectionDeleter
{
	void operator()(ClipboardSelection* selection) const;
};

// X sizes are 16-bit: no window is larger.
const int32 kNoSizeLimit = 32767;

struct WindowRecord
{
	Window xid = 0;
	WindowClient* client = nullptr;
	// What is on screen: the last presented pixels of the whole X window (border
	// included), so that exposures are repaired without the window's thread.
	std::vector<uint32> front;
	// Until the first frame arrives, front holds no picture: an exposure then leaves the
	// window as it is rather than flash it black.
	bool presented = false;
	int32 width = 0; // X window size
	int32 height = 0;
	int32 inset = 0; // border width around the content
	WindowProperties properties;
	bool overrideRedirect = false;
	bool mapped = false;
	bool focusWhenMapped = false; // shown, and takes the focus once on screen
	int32 watchKeys = 0;
	uint32 frameRequests = 0; // moves and resizes asked for by the window
	BPoint lastPosition;
	bool positionKnown = false;
	Cursor cursor = 0;
	// The program's size limits, as X window sizes (border included).
	int32 minWidth = 1;
	int32 maxWidth = kNoSizeLimit;
	int32 minHeight = 1;
	int32 maxHeight = kNoSizeLimit;
};

// Tells the requestor of a selection conversion which property holds the answer (None:
// refused), as the selection owner must.
void SendSelectionNotify(::Display* display, const XSelectionRequestEvent& request, Atom property);

// Hands a message made by the display thread to the window's client (which takes it).
inline void
Post(WindowRecord* record, BMessage* message)
{
	if (message != nullptr)
		record->client->BackendMessage(message);
}

// The connection and what the display learnt of the server when it opened. Set before the
// display thread starts and never changed afterwards, so every part reads it without a lock.
struct XConnection
{
	::Display* display = nullptr;
	int screen = 0;
	Window root = 0;
	Visual* visual = nullptr;
	int depth = 0;
	int xiOpcode = -1;

	struct Atoms
	{
		Atom wmProtocols, wmDeleteWindow, wmState, wmChangeState;
		Atom netWmState, netWmStateAbove, netWmStateSticky, netWmStateModal;
		Atom netWmStateSkipTaskbar, netWmStateSkipPager, netWmStateHidden;
		Atom netWmDesktop, netCurrentDesktop, netActiveWindow, netWmName, utf8String;
		Atom netWmWindowType, typeNormal, typeDialog, typeUtility, typePopupMenu, typeTooltip;
		Atom motifWmHints, netSupportingWmCheck, netWmPid, wake, barrier;
	} atoms;
	XdndAtoms xdnd;
	bool hasShape = false;
	std::string hostName;

	uint32 ReadDesktop(Window window, Atom property) const;
	bool WindowManagerRunning() const;
	void SendXdnd(Window to, Atom type, long l0, long l1, long l2, long l3, long l4) const;
};

// The program's native windows, which of them has the keyboard, and the translators of
// their keys. Its lock guards all of it, also the translators' use outside the display
// thread.
struct WindowTable
{
	mutable std::mutex lock;
	std::map<Window, std::unique_ptr<WindowRecord>> records;
	Window focusWindow = 0;
	// The window under the pointer while the focus follows it (PointerRoot): it gets the
	// keys through its own key events without being active.
	Window pointerFocusWindow = 0;
	int32 rawWatchers = 0;
	std::unique_ptr<EventTranslator> coreKeys;
	std::unique_ptr<EventTranslator> rawKeys;

	// Call with the lock held.
	WindowRecord* Find(Window window);
};

// A drag that this program started (DisplayDrag.cpp): its image, the XDND source side and
// the direct-save answers. Every call but IsDragging() is made with the window table
// locked; the drag's own lock guards the session.
class DragSource
{
public:
	DragSource(const XConnection& x, WindowTable& windows) : fX(x), fWindows(windows) {}

	// Takes over a session that is ready to go, from the pointer at (x, y).
	void Begin(std::unique_ptr<DragSession> session, const std::string& clipName, int x, int y);
	bool IsDragging();
	// Pointer input while a drag is tracked; false when the event is not the drag's.
	bool HandleInput(WindowRecord* record, XEvent& event);
	// The target's XdndStatus and XdndFinished.
	void HandleStatus(const XClientMessageEvent& event);
	void HandleFinished(const XClientMessageEvent& event);
	void HandleSelectionRequest(const XSelectionRequestEvent& request);
	// The window the drag started in goes away.
	void WindowDestroyed(Window window);

private:
	void _Moved(int x, int y, Time time);
	void _Released(int x, int y, Time time);
	void _FinishRelease();
	void _End();
	void _PostMotion(WindowRecord* record, XEvent& event, Window previousOurs);
	void _SendPosition(int x, int y, Time time);
	void _FindTarget(int x, int y, Window* ours, Window* target, int* version);
	std::string _DirectSaveAnswer();

	const XConnection& fX;
	WindowTable& fWindows;
	std::mutex fLock;
	std::unique_ptr<DragSession> fDrag;
};

// A drop another program makes on one of our windows (DisplayDrop.cpp). Called on the
// display thread with the window table locked; the drop's own lock guards the session.
class DropTarget
{
public:
	explicit DropTarget(const XConnection& x) : fX(x) {}

	void HandleEnter(WindowRecord* record, const XClientMessageEvent& event);
	void HandlePosition(WindowRecord* record, const XClientMessageEvent& event);
	void HandleLeave(const XClientMessageEvent& event);
	void HandleDrop(WindowRecord* record, const XClientMessageEvent& event);
	void HandleSelection(WindowRecord* record, const XSelectionEvent& event);

private:
	void _Finish(bool success);

	const XConnection& fX;
	std::mutex fLock;
	std::unique_ptr<DropSession> fDrop;
};

struct Display::Data : XConnection
{
	Window wakeWindow = 0;

	WindowTable windows;
	// Whether a window manager frames top-level windows, as last seen: read at opening and
	// again by the display thread whenever the root's announcement of one changes.
	std::atomic<bool> managed{false};
	DragSource drag{*this, windows};
	DropTarget drop{*this};
	// Made before the display thread starts; its bridge to the clipboards is registered
	// once the thread runs and unregistered before it stops.
	std::unique_ptr<ClipboardSelection, ClipboardSelectionDeleter> clipboard;

	std::thread thread;
	// The display thread's id, so that calls made on it do not wait for themselves.
	std::thread::id threadId;

	// Barriers (Display::Drain()): how many were sent and how many the display thread has
	// passed, each a client message to the wake window.
	std::mutex barrierLock;
	std::condition_variable barrierPassed;
	uint32 barriersSent = 0;
	uint32 barriersDone = 0;

	void InternAtoms();
	void QueryExtensions();
	void MakeTranslators();
	void Run();
	void HandleEvent(XEvent& event);
	void HandleWindowEvent(WindowRecord* record, XEvent& event);
	bool HandleXdndMessage(WindowRecord* record, const XClientMessageEvent& event);
	void HandleConfigure(WindowRecord* record, const XConfigureEvent& event);
	void TrackPointerFocus(WindowRecord* record, const XCrossingEvent& event);
	void HandleFocus(WindowRecord* record, const XFocusChangeEvent& event);
	void HandleProperty(WindowRecord* record, const XPropertyEvent& event);
	void HandleRawKey(XEvent& event);
	void KeepFloatingAbove(Window changed);
	void Repaint(WindowRecord* record, int x, int y, int width, int height);
	void FocusIfUnmanaged(WindowRecord* record);
	void PutFront(WindowRecord* record, int x, int y, int width, int height);
	void SetNetState(WindowRecord* record, Atom state, bool on);
	// The title, window type and hints the window manager reads for a new window.
	void SetWindowManagerProperties(WindowRecord* record);
	void SetTitle(WindowRecord* record);
	// WM_CLASS, the same for every window of the program.
	void SetClassHint(Window window);
	void ApplyWorkspaces(WindowRecord* record);
	void ApplyMotifHints(WindowRecord* record);
	void ApplySizeHints(WindowRecord* record, int32 x, int32 y);
	// The window manager's minimum and maximum size, from the limits and flags.
	void FillSizeLimits(const WindowRecord* record, XSizeHints* hints);
	void RefreshSizeLimits(WindowRecord* record);
	void SelectRawKeys(bool on);
	void CreateClipboard();
	void RegisterClipboard();
	void UnregisterClipboard();
	// Takes the events of the CLIPBOARD selection and of its transfers; false for others.
	bool HandleClipboardEvent(XEvent& event);
	void InitDragAndDrop();
	void MakeXdndAware(Window window);
};

} // namespace BPrivate

#endif // _KV_DISPLAY_DISPLAY_PRIVATE_H
