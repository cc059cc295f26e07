// The state behind BPrivate::Display, shared by its source files: the X connection, the
// atoms, the window records and the display thread.
#ifndef _KV_DISPLAY_DISPLAY_PRIVATE_H
#define _KV_DISPLAY_DISPLAY_PRIVATE_H

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
	int32 width = 0; // X window size
	int32 height = 0;
	int32 inset = 0; // border width around the content
	WindowProperties properties;
	bool overrideRedirect = false;
	bool mapped = false;
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

struct Display::Data
{
	::Display* display = nullptr;
	int screen = 0;
	Window root = 0;
	Visual* visual = nullptr;
	int depth = 0;
	Window wakeWindow = 0;
	int xiOpcode = -1;
	int32 rawWatchers = 0;

	// Guards records and the translators' use outside the display thread.
	mutable std::mutex lock;
	std::map<Window, std::unique_ptr<WindowRecord>> records;
	Window focusWindow = 0;
	// The window under the pointer while the focus follows it (PointerRoot): it gets the
	// keys through its own key events without being active.
	Window pointerFocusWindow = 0;
	std::unique_ptr<EventTranslator> coreKeys;
	std::unique_ptr<EventTranslator> rawKeys;
	std::thread thread;
	// Set while the display thread is inside a client call, so that DestroyWindow()
	// can wait for it to finish.
	std::thread::id threadId;

	// Barriers (Display::Drain()): how many were sent and how many the display thread has
	// passed, each a client message to the wake window.
	std::mutex barrierLock;
	std::condition_variable barrierPassed;
	uint32 barriersSent = 0;
	uint32 barriersDone = 0;
	// Made before the display thread starts; its bridge to the clipboards is registered
	// once the thread runs and unregistered before it stops.
	std::unique_ptr<ClipboardSelection, ClipboardSelectionDeleter> clipboard;

	struct Atoms
	{
		Atom wmProtocols, wmDeleteWindow, wmState, wmChangeState;
		Atom netWmState, netWmStateAbove, netWmStateSticky, netWmStateModal;
		Atom netWmStateSkipTaskbar, netWmStateSkipPager, netWmStateHidden;
		Atom netWmDesktop, netCurrentDesktop, netActiveWindow, netWmName, utf8String;
		Atom netWmWindowType, typeNormal, typeDialog, typeUtility, typePopupMenu, typeTooltip;
		Atom motifWmHints, netSupportingWmCheck, netWmPid, wake, barrier;
	} atoms;

	// Drag and drop (DisplayDrag.cpp, DisplayDrop.cpp), guarded by lock.
	XdndAtoms xdnd;
	bool hasShape = false;
	std::string hostName;
	std::unique_ptr<DragSession> drag;
	std::unique_ptr<DropSession> drop;

	void InternAtoms();
	void QueryExtensions();
	void MakeTranslators();
	WindowRecord* Find(Window window);
	void Run();
	void HandleEvent(XEvent& event);
	void HandleWindowEvent(WindowRecord* record, XEvent& event);
	void HandleConfigure(WindowRecord* record, const XConfigureEvent& event);
	void TrackPointerFocus(WindowRecord* record, const XCrossingEvent& event);
	void HandleFocus(WindowRecord* record, const XFocusChangeEvent& event);
	void HandleProperty(WindowRecord* record, const XPropertyEvent& event);
	void HandleRawKey(XEvent& event);
	void KeepFloatingAbove(Window changed);
	void Repaint(WindowRecord* record, int x, int y, int width, int height);
	void PutFront(WindowRecord* record, int x, int y, int width, int height);
	void Post(WindowRecord* record, BMessage* message);
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
	uint32 ReadDesktop(Window window, Atom property) const;
	bool WindowManagerRunning() const;

	void InitDragAndDrop();
	void MakeXdndAware(Window window);
	bool HandleDragInput(WindowRecord* record, XEvent& event);
	bool HandleXdndMessage(WindowRecord* record, const XClientMessageEvent& event);
	void HandleDragSelectionRequest(const XSelectionRequestEvent& event);
	void HandleDropSelection(WindowRecord* record, const XSelectionEvent& event);
	// The drag source.
	void DragMoved(int x, int y, Time time);
	void DragReleased(int x, int y, Time time);
	void DragStatus(const XClientMessageEvent& event);
	void FinishRelease();
	void EndDrag();
	void PostDragMotion(WindowRecord* record, XEvent& event, Window previousOurs);
	void SendPosition(int x, int y, Time time);
	void FindDropTarget(int x, int y, Window* ours, Window* target, int* version);
	std::string DirectSaveAnswer();
	void SendXdnd(Window to, Atom type, long l0, long l1, long l2, long l3, long l4);
	// The drop target.
	void DropEnter(WindowRecord* record, const XClientMessageEvent& event);
	void DropPosition(WindowRecord* record, const XClientMessageEvent& event);
	void DropDrop(WindowRecord* record, const XClientMessageEvent& event);
	void FinishDrop(bool success);
};

} // namespace BPrivate

#endif // _KV_DISPLAY_DISPLAY_PRIVATE_H
