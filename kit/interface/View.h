// BView: a rectangle of a window that draws itself and receives mouse and keyboard
// events. Views form a tree; a window's views are guarded by the window's lock and
// drawn in the window's thread into its back buffer.
#ifndef _VIEW_H
#define _VIEW_H

#include <vector>

#include <Font.h>
#include <GraphicsDefs.h>
#include <Handler.h>
#include <InterfaceDefs.h>
#include <Rect.h>

class BBitmap;
class BCursor;
class BMessage;
class BRegion;
class BString;
class BWindow;

namespace BPrivate {
class ViewAccess;
struct ViewState;
} // namespace BPrivate

// Resizing modes: how a view follows its parent's size changes. Typed uint32, like the
// parameters that take them, so that a mode never matches a bool overload better
// (BMenuField's fixed-size constructor).
enum : uint32
{
	B_FOLLOW_NONE = 0,
	B_FOLLOW_LEFT = 0x00000001,
	B_FOLLOW_RIGHT = 0x00000002,
	B_FOLLOW_LEFT_RIGHT = 0x00000003,
	B_FOLLOW_H_CENTER = 0x00000004,
	B_FOLLOW_TOP = 0x00000010,
	B_FOLLOW_BOTTOM = 0x00000020,
	B_FOLLOW_TOP_BOTTOM = 0x00000030,
	B_FOLLOW_V_CENTER = 0x00000040,
	B_FOLLOW_ALL_SIDES = 0x00000033,
	B_FOLLOW_ALL = B_FOLLOW_ALL_SIDES
};

// View flags (the high bits of the BeOS flags word).
enum
{
	B_FULL_UPDATE_ON_RESIZE = 0x80000000UL,
	B_WILL_DRAW = 0x20000000UL,
	B_PULSE_NEEDED = 0x10000000UL,
	B_NAVIGABLE_JUMP = 0x08000000UL,
	B_FRAME_EVENTS = 0x04000000UL,
	B_NAVIGABLE = 0x02000000UL,
	B_SUBPIXEL_PRECISE = 0x01000000UL,
	B_DRAW_ON_CHILDREN = 0x00800000UL,
	B_INPUT_METHOD_AWARE = 0x00400000UL,
	B_SUPPORTS_LAYOUT = 0x00100000UL,
	B_INVALIDATE_AFTER_LAYOUT = 0x00080000UL
};

// Event masks for SetEventMask() and SetMouseEventMask().
enum
{
	B_POINTER_EVENTS = 0x00000001,
	B_KEYBOARD_EVENTS = 0x00000002
};

// Options of the event masks.
enum
{
	B_LOCK_WINDOW_FOCUS = 0x00000001,
	B_SUSPEND_VIEW_FOCUS = 0x00000002,
	B_NO_POINTER_HISTORY = 0x00000004,
	B_FULL_POINTER_HISTORY = 0x00000008
};

// The "be:transit" of B_MOUSE_MOVED: where the pointer went relative to the view.
enum
{
	B_ENTERED_VIEW = 0,
	B_INSIDE_VIEW,
	B_EXITED_VIEW,
	B_OUTSIDE_VIEW
};

// Blending of B_OP_ALPHA.
enum source_alpha
{
	B_PIXEL_ALPHA = 0,
	B_CONSTANT_ALPHA
};

enum alpha_function
{
	B_ALPHA_OVERLAY = 0,
	B_ALPHA_COMPOSITE
};

enum
{
	B_FONT_ALL_CHANGED = 0
};

class BView : public BHandler
{
public:
	// frame is in the parent's coordinates; resizingMode is a B_FOLLOW_* combination,
	// flags the view flags. The view starts shown, with white view and low colours and
	// a black high colour, and be_plain_font.
	BView(BRect frame, const char* name, uint32 resizingMode, uint32 flags);
	// Deletes the children (a parent owns its children). A view must be removed from
	// its parent or window before it is deleted directly.
	virtual ~BView();

	// Hooks.
	virtual void AttachedToWindow();
	virtual void AllAttached();
	virtual void DetachedFromWindow();
	virtual void AllDetached();
	virtual void Draw(BRect updateRect);
	virtual void DrawAfterChildren(BRect updateRect);
	virtual void MessageReceived(BMessage* message);
	virtual void MouseDown(BPoint where);
	virtual void MouseUp(BPoint where);
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage);
	virtual void KeyDown(const char* bytes, int32 numBytes);
	virtual void KeyUp(const char* bytes, int32 numBytes);
	virtual void Pulse();
	virtual void FrameMoved(BPoint newPosition);
	virtual void FrameResized(float newWidth, float newHeight);
	virtual void WindowActivated(bool active);
	virtual void MakeFocus(bool focus = true);
	virtual void Show();
	virtual void Hide();
	// The size the view would like (frame width and height); by default its current size.
	virtual void GetPreferredSize(float* width, float* height);
	virtual void ResizeToPreferred();

	// The tree. A child belongs to one parent; the parent owns it until RemoveChild().
	// before: the sibling to insert in front of, or null to append.
	void AddChild(BView* child, BView* before = nullptr);
	bool RemoveChild(BView* child);
	bool RemoveSelf();
	int32 CountChildren() const;
	BView* ChildAt(int32 index) const;
	BView* NextSibling() const;
	BView* PreviousSibling() const;
	// Null for a view added straight to a window.
	BView* Parent() const;
	BWindow* Window() const { return fWindow; }
	// Searches this view's subtree (not the view itself) by name, depth first.
	BView* FindView(const char* name) const;

	// Geometry. Frame() is in the parent's coordinates, Bounds() in the view's own.
	BRect Frame() const;
	BRect Bounds() const;
	void MoveTo(BPoint where);
	void MoveTo(float x, float y);
	void MoveBy(float dx, float dy);
	void ResizeTo(float width, float height);
	void ResizeBy(float dx, float dy);
	void ScrollTo(BPoint where);
	void ScrollBy(float dx, float dy);
	BPoint LeftTop() const { return fBoundsOrigin; }
	uint32 ResizingMode() const { return fResizingMode; }
	void SetResizingMode(uint32 mode) { fResizingMode = mode; }
	uint32 Flags() const { return fFlags; }
	void SetFlags(uint32 flags);

	// Coordinate conversion between this view, its parent, the window and the screen.
	BPoint ConvertToParent(BPoint point) const;
	void ConvertToParent(BPoint* point) const;
	BRect ConvertToParent(BRect rect) const;
	void ConvertToParent(BRect* rect) const;
	BPoint ConvertFromParent(BPoint point) const;
	void ConvertFromParent(BPoint* point) const;
	BRect ConvertFromParent(BRect rect) const;
	void ConvertFromParent(BRect* rect) const;
	BPoint ConvertToScreen(BPoint point) const;
	void ConvertToScreen(BPoint* point) const;
	BRect ConvertToScreen(BRect rect) const;
	void ConvertToScreen(BRect* rect) const;
	BPoint ConvertFromScreen(BPoint point) const;
	void ConvertFromScreen(BPoint* point) const;
	BRect ConvertFromScreen(BRect rect) const;
	void ConvertFromScreen(BRect* rect) const;
	// To and from the window's coordinate system (the top view's parent space).
	BPoint ConvertToWindow(BPoint point) const;
	BPoint ConvertFromWindow(BPoint point) const;

	void SetName(const char* name) { BHandler::SetName(name); }
	bool IsHidden() const;
	bool IsHidden(const BView* lookingFrom) const;
	bool IsFocus() const;

	// Colours and drawing state.
	virtual void SetViewColor(rgb_color color);
	void SetViewColor(uint8 r, uint8 g, uint8 b, uint8 a = 255);
	rgb_color ViewColor() const { return fViewColor; }
	virtual void SetHighColor(rgb_color color);
	void SetHighColor(uint8 r, uint8 g, uint8 b, uint8 a = 255);
	rgb_color HighColor() const { return fHighColor; }
	virtual void SetLowColor(rgb_color color);
	void SetLowColor(uint8 r, uint8 g, uint8 b, uint8 a = 255);
	rgb_color LowColor() const { return fLowColor; }
	void SetDrawingMode(drawing_mode mode) { fDrawingMode = mode; }
	drawing_mode DrawingMode() const { return fDrawingMode; }
	void SetBlendingMode(source_alpha srcAlpha, alpha_function alphaFunc);
	void GetBlendingMode(source_alpha* srcAlpha, alpha_function* alphaFunc) const;
	void SetPenSize(float size) { fPenSize = size; }
	float PenSize() const { return fPenSize; }
	void MovePenTo(BPoint point) { fPenLocation = point; }
	void MovePenTo(float x, float y) { fPenLocation = BPoint(x, y); }
	void MovePenBy(float dx, float dy) { fPenLocation += BPoint(dx, dy); }
	BPoint PenLocation() const { return fPenLocation; }
	virtual void SetFont(const BFont* font, uint32 mask = B_FONT_ALL);
	void GetFont(BFont* font) const;
	void SetFontSize(float size);
	void GetFontHeight(font_height* height) const;
	float StringWidth(const char* string) const;
	float StringWidth(const char* string, int32 length) const;
	void TruncateString(BString* inOut, uint32 mode, float width) const;
	void SetOrigin(BPoint origin) { fOrigin = origin; }
	BPoint Origin() const { return fOrigin; }

	// Drawing, in the view's coordinates; effective only while the view is attached
	// to a window and shown. Lines include both end points, rectangles their edges.
	void StrokeLine(BPoint to, pattern p = B_SOLID_HIGH);
	void StrokeLine(BPoint from, BPoint to, pattern p = B_SOLID_HIGH);
	void StrokeRect(BRect rect, pattern p = B_SOLID_HIGH);
	void FillRect(BRect rect, pattern p = B_SOLID_HIGH);
	void FillRegion(BRegion* region, pattern p = B_SOLID_HIGH);
	void StrokeEllipse(BRect rect, pattern p = B_SOLID_HIGH);
	void FillEllipse(BRect rect, pattern p = B_SOLID_HIGH);
	void StrokeRoundRect(BRect rect, float xRadius, float yRadius, pattern p = B_SOLID_HIGH);
	void FillRoundRect(BRect rect, float xRadius, float yRadius, pattern p = B_SOLID_HIGH);
	void StrokeTriangle(BPoint pt1, BPoint pt2, BPoint pt3, pattern p = B_SOLID_HIGH);
	void FillTriangle(BPoint pt1, BPoint pt2, BPoint pt3, pattern p = B_SOLID_HIGH);
	// Draws the text with its baseline's left end at the pen (or at location) and moves
	// the pen to its end. The bytes need not be valid UTF-8.
	void DrawString(const char* string, escapement_delta* delta = nullptr);
	void DrawString(const char* string, int32 length, escapement_delta* delta = nullptr);
	void DrawString(const char* string, BPoint location, escapement_delta* delta = nullptr);
	void DrawString(const char* string, int32 length, BPoint location,
	                escapement_delta* delta = nullptr);
	void DrawBitmap(const BBitmap* bitmap);
	void DrawBitmap(const BBitmap* bitmap, BPoint where);
	void DrawBitmap(const BBitmap* bitmap, BRect destination);
	void DrawBitmap(const BBitmap* bitmap, BRect source, BRect destination);
	void DrawBitmapAsync(const BBitmap* bitmap, BPoint where);
	void BeginLineArray(int32 count);
	void AddLine(BPoint start, BPoint end, rgb_color color);
	void EndLineArray();
	void PushState();
	void PopState();
	void ConstrainClippingRegion(BRegion* region);
	// The part of the view that drawing reaches now (inside Draw, the update area).
	void GetClippingRegion(BRegion* region) const;

	// Redrawing: marks the area dirty; the window draws it after the current message.
	void Invalidate();
	void Invalidate(BRect rect);
	void Invalidate(const BRegion* region);
	// Sends what was drawn to the screen; Sync() also waits until the server has it.
	void Flush() const;
	void Sync() const;

	// Input.
	// mask: B_POINTER_EVENTS and/or B_KEYBOARD_EVENTS. B_KEYBOARD_EVENTS delivers every
	// key of the desktop, whichever window or program has the focus.
	status_t SetEventMask(uint32 mask, uint32 options = 0);
	uint32 EventMask() const { return fEventMask; }
	// Widens the event mask until the mouse buttons are released; call from MouseDown().
	status_t SetMouseEventMask(uint32 mask, uint32 options = 0);
	// The pointer's position (view coordinates) and buttons as they are now, read from the
	// display; checkMessageQueue is accepted, queued mouse messages stay queued.
	void GetMouse(BPoint* location, uint32* buttons, bool checkMessageQueue = true);
	// The cursor shown while the pointer is over the view; the view keeps no pointer
	// to it (the cursor data is copied).
	void SetViewCursor(const BCursor* cursor, bool sync = true);

	// Drag and drop. Called while a mouse button is down (typically from MouseMoved());
	// the message is copied and the call returns at once. The drag then follows the
	// pointer until the button is released: dropped on a view of this program, the
	// message arrives there with WasDropped() true; replies to it (and the B_COPY_TARGET
	// of a program that saves the drag as a file) go to replyTo, or to this view when
	// replyTo is null. The image is a dotted outline of rect (view coordinates), or the
	// bitmap, which the view takes over and deletes: B_OP_ALPHA shows only the bitmap's
	// non-transparent pixels, other modes the whole bitmap. offset is the pointer's place
	// in the image, returned by the drop's DropPoint().
	void DragMessage(BMessage* message, BRect rect, BHandler* replyTo = nullptr);
	void DragMessage(BMessage* message, BBitmap* bitmap, BPoint offset,
	                 BHandler* replyTo = nullptr);
	void DragMessage(BMessage* message, BBitmap* bitmap, drawing_mode mode, BPoint offset,
	                 BHandler* replyTo = nullptr);

private:
	friend class BWindow;
	friend class BBitmap;
	friend class BPrivate::ViewAccess;

	BView(const BView&) = delete;
	BView& operator=(const BView&) = delete;

	void _Attach(BWindow* window);
	void _Detach();
	void _AttachedHooks();
	void _DetachedHooks();
	void _SetWindowOrBitmap(BWindow* window, BBitmap* bitmap);
	// The drawing state of the window (or bitmap) this view draws into, set up for this
	// view; null when the view cannot draw now.
	BPrivate::ViewState* _PrepareDraw() const;
	void _DirtyDrawn(BRect viewRect) const;
	void _ParentResized(float dx, float dy);
	BView* _ViewAt(BPoint windowPoint);
	void _Draw(BRect windowUpdateRect);
	void _StartDrag(BMessage* message, const std::vector<uint32>& pixels, int32 width, int32 height,
	                BPoint offset, BHandler* replyTo);

	BView* fParent;
	BWindow* fWindow;
	BBitmap* fBitmap;
	std::vector<BView*> fChildren;
	BRect fFrame;
	BPoint fBoundsOrigin;
	uint32 fResizingMode;
	uint32 fFlags;
	int32 fHideLevel;
	rgb_color fViewColor;
	rgb_color fHighColor;
	rgb_color fLowColor;
	drawing_mode fDrawingMode;
	source_alpha fAlphaSource;
	alpha_function fAlphaFunction;
	float fPenSize;
	BPoint fPenLocation;
	BPoint fOrigin;
	BFont fFont;
	uint32 fEventMask;
	uint32 fEventOptions;
	uint32 fMouseMask;
	uint32 fMouseOptions;
	BCursor* fCursor;
	struct SavedState;
	std::vector<SavedState>* fStateStack;
	BRegion* fClipping;
	struct LineArray;
	LineArray* fLineArray;
	BRect fUpdateRect;
	bool fInDraw;
	bool fMouseInside;
};

#endif // _VIEW_H
