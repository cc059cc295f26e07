// The process's one connection to the X server and its display thread. The thread reads
// X events and hands BeOS messages to the window that they concern; windows draw into
// their canvas in their own thread and present it here. Only BeOS types cross this header.
#ifndef _KV_DISPLAY_DISPLAY_H
#define _KV_DISPLAY_DISPLAY_H

#include <Rect.h>
#include <Region.h>
#include <SupportDefs.h>

class BCursor;
class BMessage;

namespace BPrivate {

class Canvas;

// Field holding the position in window coordinates; the window turns it into "where"
// in the coordinates of the view it delivers to.
extern const char* const kWindowWhereField;
// Set on key messages that come from the desktop-wide raw key stream: they go only to
// views that asked for B_KEYBOARD_EVENTS.
extern const char* const kRawKeyField;
// Set on B_WINDOW_MOVED and B_WINDOW_RESIZED: how many move and resize requests the
// window had made when the notice was written (see MoveWindow()).
extern const char* const kFrameRequestField;

// The receiving end of a native window: a BWindow. Called in the display thread.
class DisplayClient
{
public:
	virtual ~DisplayClient();
	// Takes ownership of the message.
	virtual void DisplayMessage(BMessage* message) = 0;
};

// How a native window looks and behaves; the values are the BeOS look, feel and flags.
struct NativeWindowParams
{
	BRect frame; // content area, screen coordinates
	int32 look;
	int32 feel;
	uint32 flags;
	uint32 workspaces;
	const char* title;
};

typedef uint32 native_window;

class Display
{
public:
	// The process's display, opened on first use; null when no X server is reachable.
	static Display* Default();
	// Stops the display thread and closes the connection (for tests whose X server goes
	// away). Windows must be gone by then.
	static void Shutdown();

	BRect ScreenFrame() const;
	bool HasWindowManager() const;
	uint32 CurrentWorkspace() const;
	// The modifier bits now (held keys and locks).
	uint32 Modifiers();

	// Windows. The client must outlive its window; DestroyWindow() guarantees that no
	// call to the client is running or will be made once it returns.
	native_window CreateWindow(DisplayClient* client, const NativeWindowParams& params);
	void DestroyWindow(native_window window);
	void ShowWindow(native_window window);
	void HideWindow(native_window window);
	// Both return the window's count of move and resize requests including this one;
	// frame notices carry the count current when they were written, so that the window
	// can drop a notice older than its latest request.
	uint32 MoveWindow(native_window window, BPoint contentLeftTop);
	uint32 ResizeWindow(native_window window, int32 width, int32 height);
	void SetTitle(native_window window, const char* title);
	void SetFeel(native_window window, int32 feel);
	void SetLook(native_window window, int32 look);
	void SetFlags(native_window window, uint32 flags);
	void SetWorkspaces(native_window window, uint32 workspaces);
	void Activate(native_window window);
	void Minimize(native_window window, bool minimize);
	void Raise(native_window window);
	// Grabs the pointer and keyboard for the window (menus); false when refused.
	bool GrabInput(native_window window, bool grab);

	// Copies the dirty part of the canvas (window coordinates) to the window.
	void Present(native_window window, Canvas& canvas, const BRegion& dirty);
	void Flush();
	void Sync();

	// The pointer relative to the window's content, and the pressed buttons.
	bool QueryPointer(native_window window, BPoint* where, uint32* buttons);
	// Null restores the default arrow.
	void SetCursor(native_window window, const BCursor* cursor);

	// Desktop-wide keys (XInput2 raw events) for this window's client, reference counted
	// per window. Keys typed while the window has the focus come through the window.
	void WatchAllKeys(native_window window, bool watch);

	struct Data;

private:
	Display(Data* data);
	~Display();
	Display(const Display&) = delete;
	Display& operator=(const Display&) = delete;

	Data* fData;
};

} // namespace BPrivate

#endif // _KV_DISPLAY_DISPLAY_H
