// The process's one connection to the X server and its display thread. The thread reads
// X events and hands BeOS messages to the window that they concern; windows draw into
// their canvas in their own thread and present it here. Only BeOS types cross this header.
#ifndef _KV_DISPLAY_DISPLAY_H
#define _KV_DISPLAY_DISPLAY_H

#include <memory>

#include <Messenger.h>
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

// Drag and drop. While a drag moves over a window, its B_MOUSE_MOVED messages carry the
// dragged message in kDragMessageField. Something dropped on a window arrives as a
// kMsgDrop message: the dropped message in kDragMessageField, the drop point in
// "screen_where", the pointer's place in the drag image in kDropOffsetField and, for
// drags of this program, the reply address in kDropReplyField.
extern const char* const kDragMessageField;
extern const char* const kDropOffsetField;
extern const char* const kDropReplyField;
const uint32 kMsgDrop = '_kvD';

// The receiving end of a native window: a BWindow. Called in the display thread.
class DisplayClient
{
public:
	virtual ~DisplayClient();
	// Takes ownership of the message.
	virtual void DisplayMessage(BMessage* message) = 0;
};

// The part of a drag that happens outside the display: called in the display thread, with
// the display's lock held, so it must not call back into the display.
class DragClient
{
public:
	virtual ~DragClient();
	// A drop target of another program chose where the dragged data goes as a file.
	// B_OK when the file exists afterwards; the target is then told that the save worked.
	virtual status_t SaveTo(const char* directory, const char* name) = 0;
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
	// The sizes (content pixels) between which the user may resize the window.
	void SetSizeLimits(native_window window, int32 minWidth, int32 maxWidth, int32 minHeight,
	                   int32 maxHeight);
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
	// Waits until the display thread has handed on every event that the server sent
	// before this call (for a second at most). Does nothing on the display thread.
	void Drain();

	// The pointer relative to the window's content, and the pressed buttons.
	bool QueryPointer(native_window window, BPoint* where, uint32* buttons);
	// Null restores the default arrow.
	void SetCursor(native_window window, const BCursor* cursor);

	// Desktop-wide keys (XInput2 raw events) for this window's client, reference counted
	// per window. Keys typed while the window has the focus come through the window.
	void WatchAllKeys(native_window window, bool watch);

	// Starts dragging message from window, whose mouse button is down; the drag follows
	// the pointer until the button is released or Escape is pressed. pixels are width x
	// height colours 0xAARRGGBB of the drag image (copied); grab is the pointer's place in
	// it. replyTo goes with drops on this program's windows; client is kept until the
	// drag is over. B_ERROR when no button is down any more.
	status_t StartDrag(native_window window, const BMessage& message, const BMessenger& replyTo,
	                   const uint32* pixels, int32 width, int32 height, BPoint grab,
	                   std::shared_ptr<DragClient> client);
	// True from StartDrag() until the button is released or the drag cancelled.
	bool IsDragging();

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
