// What the interface kit asks of a window system: native windows with plain properties,
// presenting pixels, the pointer and cursors, desktop-wide keys, and drags. The interface
// kit owns this interface and decides what every BeOS look, feel and flag means here; a
// backend (the X11 display, the null backend without a display, a test's recording fake)
// implements it. Only neutral types cross it: rectangles, points, messages, bytes.
#ifndef _KV_BACKEND_WINDOW_BACKEND_H
#define _KV_BACKEND_WINDOW_BACKEND_H

#include <memory>
#include <string>

#include <Message.h>
#include <Messenger.h>
#include <Rect.h>
#include <SupportDefs.h>

namespace BPrivate {

// Fields of the messages a backend posts to a window.
// The position in window coordinates; the window turns it into "where" in the coordinates
// of the view it delivers to.
inline constexpr const char* kWindowWhereField = "be:window_where";
// Set on key messages that come from the desktop-wide raw key stream: they go only to
// views that asked for B_KEYBOARD_EVENTS.
inline constexpr const char* kRawKeyField = "be:raw_key";
// Set on B_WINDOW_MOVED and B_WINDOW_RESIZED: how many move and resize requests the
// window had made when the notice was written (see WindowBackend::MoveWindow()).
inline constexpr const char* kFrameRequestField = "be:frame_request";

// Drag and drop. While a drag moves over a window, its B_MOUSE_MOVED messages carry the
// dragged message in kDragMessageField. Something dropped on a window arrives as a
// kMsgDrop message: the dropped message in kDragMessageField, the drop point in
// "screen_where", the pointer's place in the drag image in kDropOffsetField and, for
// drags of this program, the reply address in kDropReplyField.
inline constexpr const char* kDragMessageField = "be:drag_message";
inline constexpr const char* kDropOffsetField = "be:drop_offset";
inline constexpr const char* kDropReplyField = "be:drop_reply";
const uint32 kMsgDrop = '_kvD';

// Workspaces are a bit set, one bit per desktop; this value is every desktop (sticky).
const uint32 kAllWorkspaces = 0xffffffff;

typedef uint32 native_window;

// The receiving end of a native window (a BWindow), called on the backend's event thread.
class WindowClient
{
public:
	virtual ~WindowClient() = default;
	// Takes ownership of the message.
	virtual void BackendMessage(BMessage* message) = 0;
};

// The part of a drag that happens outside the backend: called on the event thread with
// the backend's drag state locked, so it must not call back into the backend.
class DragClient
{
public:
	virtual ~DragClient() = default;
	// A drop target of another program chose where the dragged data goes as a file.
	// B_OK when the file exists afterwards; the target is then told that the save worked.
	virtual status_t SaveTo(const char* directory, const char* name) = 0;
};

// What kind of window the window system should take a native window for.
enum window_kind
{
	kNormalWindowKind, // an ordinary top-level window
	kDialogWindowKind, // a dialog (modal feels)
	kMenuWindowKind,   // an open menu: placed by the kit, above everything, grabs input
	kTooltipWindowKind // a help bubble: placed by the kit, above everything, no focus
};

// A window's role and functions, decided once by the interface kit from the BeOS look,
// feel and flags (see the interface kit's WindowRoleFor()).
struct WindowProperties
{
	std::string title;
	window_kind kind = kNormalWindowKind;
	// The window manager frames the window with its title.
	bool decorated = true;
	// Width of the black border the backend draws around the content (the content keeps
	// its frame; the native window is larger by the inset on each side).
	int32 borderInset = 0;
	// Above the program's other windows (the window manager's "above" state).
	bool keepAbove = false;
	// Also kept above other programs' windows when no window manager does it.
	bool aboveEverything = false;
	bool modal = false;
	// False: never takes the input focus, and stays off taskbars and pagers.
	bool takesFocus = true;
	bool movable = true;
	bool resizableHorizontally = true;
	bool resizableVertically = true;
	bool minimizable = true;
	bool zoomable = true;
	bool closable = true;
	// Desktops the window shows on: kAllWorkspaces or a set of bits, never empty.
	uint32 workspaces = 1;

	bool IsPopup() const { return kind == kMenuWindowKind || kind == kTooltipWindowKind; }
};

// A mouse cursor as raw bytes: the 68 bytes of a BeOS cursor (16x16, one bit deep), or one
// of the shapes the window system draws itself.
struct CursorImage
{
	enum Shape
	{
		kDefault, // the desktop's own pointer
		kBitmap,  // data holds the 68 bytes
		kLink,
		kText
	};
	Shape shape = kDefault;
	const uint8* data = nullptr;
};

class WindowBackend
{
public:
	virtual ~WindowBackend() = default;

	// False for the null backend: nothing is shown and nobody could answer a window.
	virtual bool IsConnected() const = 0;
	virtual BRect ScreenFrame() const = 0;
	virtual bool HasWindowManager() const = 0;
	virtual uint32 CurrentWorkspace() const = 0;
	// The modifier bits now (held keys and locks).
	virtual uint32 Modifiers() = 0;

	// Windows. frame is the content area in screen coordinates. The client must outlive
	// its window; DestroyWindow() guarantees that no call to the client is running or
	// will be made once it returns.
	virtual native_window CreateWindow(WindowClient* client, BRect frame,
	                                   const WindowProperties& properties) = 0;
	virtual void DestroyWindow(native_window window) = 0;
	virtual void ShowWindow(native_window window) = 0;
	virtual void HideWindow(native_window window) = 0;
	// Both return the window's count of move and resize requests including this one;
	// frame notices carry the count current when they were written, so that the window
	// can drop a notice older than its latest request.
	virtual uint32 MoveWindow(native_window window, BPoint contentLeftTop) = 0;
	virtual uint32 ResizeWindow(native_window window, int32 width, int32 height) = 0;
	// Applies what changed; the kind and border inset are fixed at creation, and the
	// workspaces change only through SetWorkspaces() (the user may have moved the window
	// since the properties were written).
	virtual void SetProperties(native_window window, const WindowProperties& properties) = 0;
	virtual void SetWorkspaces(native_window window, uint32 workspaces) = 0;
	// The sizes (content pixels) between which the user may resize the window.
	virtual void SetSizeLimits(native_window window, int32 minWidth, int32 maxWidth,
	                           int32 minHeight, int32 maxHeight) = 0;
	virtual void Activate(native_window window) = 0;
	virtual void Minimize(native_window window, bool minimize) = 0;
	// Grabs the pointer and keyboard for the window (menus); false when refused.
	virtual bool GrabInput(native_window window, bool grab) = 0;

	// Copies the listed rectangles (window coordinates) of the content's pixels to the
	// window: width x height pixels in B_RGBA32 order, bytesPerRow apart.
	virtual void Present(native_window window, const uint8* bits, int32 width, int32 height,
	                     int32 bytesPerRow, const BRect* rects, int32 count) = 0;
	virtual void Flush() = 0;
	virtual void Sync() = 0;
	// Waits until every event that the window system sent before this call has been
	// handed on (for a second at most). Does nothing on the event thread.
	virtual void Drain() = 0;

	// The pointer relative to the window's content, and the pressed buttons.
	virtual bool QueryPointer(native_window window, BPoint* where, uint32* buttons) = 0;
	virtual void SetCursor(native_window window, const CursorImage& cursor) = 0;

	// Desktop-wide keys for this window's client, reference counted per window. Keys
	// typed while the window has the focus come through the window.
	virtual void WatchAllKeys(native_window window, bool watch) = 0;

	// Starts dragging message from window, whose mouse button is down; the drag follows
	// the pointer until the button is released or Escape is pressed. pixels are width x
	// height colours 0xAARRGGBB of the drag image (copied); grab is the pointer's place in
	// it. replyTo goes with drops on this program's windows; client is kept until the
	// drag is over. B_ERROR when no button is down any more.
	virtual status_t StartDrag(native_window window, const BMessage& message,
	                           const BMessenger& replyTo, const uint32* pixels, int32 width,
	                           int32 height, BPoint grab, std::shared_ptr<DragClient> client) = 0;
	// True from StartDrag() until the button is released or the drag cancelled.
	virtual bool IsDragging() = 0;
};

} // namespace BPrivate

#endif // _KV_BACKEND_WINDOW_BACKEND_H
