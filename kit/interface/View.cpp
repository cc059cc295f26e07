// BView: the view tree, geometry, coordinate conversion, colours and hooks. Drawing
// lives in ViewDrawing.cpp, input settings in ViewInput.cpp.
#include <View.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include <Cursor.h>
#include <Message.h>
#include <Region.h>
#include <Window.h>

#include "ViewPrivate.h"

BView::BView(BRect frame, const char* name, uint32 resizingMode, uint32 flags)
    : BHandler(name), fParent(nullptr), fWindow(nullptr), fBitmap(nullptr), fFrame(frame),
      fBoundsOrigin(0, 0), fResizingMode(resizingMode), fFlags(flags), fHideLevel(0),
      fViewColor(make_color(255, 255, 255)), fHighColor(make_color(0, 0, 0)),
      fLowColor(make_color(255, 255, 255)), fDrawingMode(B_OP_COPY), fAlphaSource(B_PIXEL_ALPHA),
      fAlphaFunction(B_ALPHA_OVERLAY), fPenSize(1.0f), fPenLocation(0, 0), fOrigin(0, 0),
      fFont(be_plain_font), fEventMask(0), fEventOptions(0), fMouseMask(0), fMouseOptions(0),
      fCursor(nullptr), fStateStack(nullptr), fClipping(nullptr), fLineArray(nullptr),
      fInDraw(false), fMouseInside(false)
{
	// BeOS rounds a view's frame to whole pixels.
	fFrame.left = std::round(fFrame.left);
	fFrame.top = std::round(fFrame.top);
	fFrame.right = std::round(fFrame.right);
	fFrame.bottom = std::round(fFrame.bottom);
}

BView::~BView()
{
	if (fWindow != nullptr || fParent != nullptr)
		RemoveSelf();
	for (BView* child : fChildren) {
		child->fParent = nullptr;
		delete child;
	}
	fChildren.clear();
	delete fCursor;
	delete fClipping;
	delete fStateStack;
	delete fLineArray;
}

void
BView::AttachedToWindow()
{}

void
BView::AllAttached()
{}

void
BView::DetachedFromWindow()
{}

void
BView::AllDetached()
{}

void
BView::Draw(BRect)
{}

void
BView::DrawAfterChildren(BRect)
{}

void
BView::MessageReceived(BMessage* message)
{
	BHandler::MessageReceived(message);
}

void
BView::MouseDown(BPoint)
{}

void
BView::MouseUp(BPoint)
{}

void
BView::MouseMoved(BPoint, uint32, const BMessage*)
{}

// Tab moves the focus on, Shift+Tab back, for views that do not take the key themselves.
void
BView::KeyDown(const char* bytes, int32 numBytes)
{
	if (fWindow == nullptr || numBytes != 1 || bytes[0] != B_TAB)
		return;
	int32 modifiers = 0;
	if (BMessage* message = fWindow->CurrentMessage(); message != nullptr)
		message->FindInt32("modifiers", &modifiers);
	if ((modifiers & (B_COMMAND_KEY | B_CONTROL_KEY)) == 0)
		fWindow->_NavigateFocus((modifiers & B_SHIFT_KEY) != 0);
}

void
BView::KeyUp(const char*, int32)
{}

void
BView::Pulse()
{}

void
BView::FrameMoved(BPoint)
{}

void
BView::FrameResized(float, float)
{}

void
BView::WindowActivated(bool)
{}

void
BView::MakeFocus(bool focus)
{
	if (fWindow != nullptr)
		fWindow->_SetFocus(this, focus);
}

void
BView::Show()
{
	fHideLevel--;
	if (fHideLevel == 0 && fWindow != nullptr && fParent != nullptr)
		fParent->Invalidate(fFrame);
}

void
BView::Hide()
{
	if (fHideLevel == 0 && fWindow != nullptr && fParent != nullptr)
		fParent->Invalidate(fFrame);
	fHideLevel++;
}

void
BView::GetPreferredSize(float* width, float* height)
{
	if (width != nullptr)
		*width = fFrame.Width();
	if (height != nullptr)
		*height = fFrame.Height();
}

void
BView::ResizeToPreferred()
{
	float width, height;
	GetPreferredSize(&width, &height);
	ResizeTo(width, height);
}

bool
BView::IsHidden() const
{
	return IsHidden(nullptr);
}

bool
BView::IsHidden(const BView* lookingFrom) const
{
	if (fHideLevel > 0)
		return true;
	if (fWindow != nullptr && lookingFrom == nullptr && fParent == nullptr)
		return fWindow->IsHidden();
	if (fParent == nullptr || fParent == lookingFrom)
		return false;
	return fParent->IsHidden(lookingFrom);
}

bool
BView::IsFocus() const
{
	return fWindow != nullptr && fWindow->CurrentFocus() == this;
}

// #pragma mark - the tree

void
BView::AddChild(BView* child, BView* before)
{
	if (child == nullptr || child->fParent != nullptr || child == this)
		return;
	auto position = std::find(fChildren.begin(), fChildren.end(), before);
	fChildren.insert(position, child);
	child->fParent = this;
	if (fWindow != nullptr)
		child->_Attach(fWindow);
	else if (fBitmap != nullptr)
		child->_SetWindowOrBitmap(nullptr, fBitmap);
}

bool
BView::RemoveChild(BView* child)
{
	if (child == nullptr || child->fParent != this)
		return false;
	if (child->fWindow != nullptr) {
		if (child->fHideLevel == 0)
			Invalidate(child->fFrame);
		child->_Detach();
	}
	child->_SetWindowOrBitmap(nullptr, nullptr);
	fChildren.erase(std::find(fChildren.begin(), fChildren.end(), child));
	child->fParent = nullptr;
	return true;
}

bool
BView::RemoveSelf()
{
	if (fParent != nullptr)
		return fParent->RemoveChild(this);
	return false;
}

int32
BView::CountChildren() const
{
	return (int32)fChildren.size();
}

BView*
BView::ChildAt(int32 index) const
{
	if (index < 0 || index >= CountChildren())
		return nullptr;
	return fChildren[index];
}

BView*
BView::NextSibling() const
{
	if (fParent == nullptr)
		return nullptr;
	auto& siblings = fParent->fChildren;
	auto position = std::find(siblings.begin(), siblings.end(), this);
	if (position == siblings.end() || position + 1 == siblings.end())
		return nullptr;
	return *(position + 1);
}

BView*
BView::PreviousSibling() const
{
	if (fParent == nullptr)
		return nullptr;
	auto& siblings = fParent->fChildren;
	auto position = std::find(siblings.begin(), siblings.end(), this);
	if (position == siblings.begin() || position == siblings.end())
		return nullptr;
	return *(position - 1);
}

BView*
BView::Parent() const
{
	if (fParent != nullptr && fWindow != nullptr && fParent == fWindow->fTopView)
		return nullptr;
	return fParent;
}

BView*
BView::FindView(const char* name) const
{
	if (name == nullptr)
		return nullptr;
	for (BView* child : fChildren) {
		const char* childName = child->Name();
		if (childName != nullptr && std::strcmp(childName, name) == 0)
			return child;
		if (BView* found = child->FindView(name))
			return found;
	}
	return nullptr;
}

// Sets the window pointer on the subtree, registers the views as the window's
// handlers, then runs the hooks: AttachedToWindow top-down, AllAttached bottom-up.
void
BView::_Attach(BWindow* window)
{
	_SetWindowOrBitmap(window, nullptr);
	_AttachedHooks();
	if (fHideLevel == 0 && fParent != nullptr)
		fParent->Invalidate(fFrame);
}

void
BView::_AttachedHooks()
{
	if ((fFlags & B_PULSE_NEEDED) != 0)
		fWindow->_UpdatePulse();
	AttachedToWindow();
	for (size_t i = 0; i < fChildren.size(); i++)
		fChildren[i]->_AttachedHooks();
	AllAttached();
}

void
BView::_Detach()
{
	_DetachedHooks();
	if (fWindow != nullptr)
		fWindow->_ViewRemoved(this);
	_SetWindowOrBitmap(nullptr, nullptr);
}

void
BView::_DetachedHooks()
{
	DetachedFromWindow();
	for (size_t i = 0; i < fChildren.size(); i++)
		fChildren[i]->_DetachedHooks();
	AllDetached();
}

void
BView::_SetWindowOrBitmap(BWindow* window, BBitmap* bitmap)
{
	if (fWindow != nullptr && fWindow != window)
		fWindow->RemoveHandler(this);
	bool joining = window != nullptr && fWindow != window;
	if (joining)
		window->AddHandler(this);
	fWindow = window;
	if (joining && fEventMask != 0)
		SetEventMask(fEventMask, fEventOptions);
	fBitmap = bitmap;
	for (BView* child : fChildren)
		child->_SetWindowOrBitmap(window, bitmap);
}

// #pragma mark - geometry

BRect
BView::Frame() const
{
	return fFrame;
}

BRect
BView::Bounds() const
{
	return BRect(fBoundsOrigin.x, fBoundsOrigin.y, fBoundsOrigin.x + fFrame.Width(),
	             fBoundsOrigin.y + fFrame.Height());
}

void
BView::MoveTo(BPoint where)
{
	MoveTo(where.x, where.y);
}

void
BView::MoveTo(float x, float y)
{
	x = std::round(x);
	y = std::round(y);
	if (x == fFrame.left && y == fFrame.top)
		return;
	if (fParent != nullptr && fHideLevel == 0)
		fParent->Invalidate(fFrame);
	fFrame.OffsetTo(x, y);
	if (fParent != nullptr && fHideLevel == 0)
		fParent->Invalidate(fFrame);
	if ((fFlags & B_FRAME_EVENTS) != 0 && fWindow != nullptr)
		FrameMoved(fFrame.LeftTop());
}

void
BView::MoveBy(float dx, float dy)
{
	MoveTo(fFrame.left + dx, fFrame.top + dy);
}

void
BView::ResizeTo(float width, float height)
{
	width = std::round(width);
	height = std::round(height);
	float dx = width - fFrame.Width();
	float dy = height - fFrame.Height();
	if (dx == 0 && dy == 0)
		return;
	if (fParent != nullptr && fHideLevel == 0)
		fParent->Invalidate(fFrame);
	fFrame.right = fFrame.left + width;
	fFrame.bottom = fFrame.top + height;
	for (BView* child : fChildren)
		child->_ParentResized(dx, dy);
	if (fParent != nullptr && fHideLevel == 0)
		fParent->Invalidate(fFrame);
	if ((fFlags & B_FRAME_EVENTS) != 0 && fWindow != nullptr)
		FrameResized(width, height);
}

void
BView::ResizeBy(float dx, float dy)
{
	ResizeTo(fFrame.Width() + dx, fFrame.Height() + dy);
}

// Applies the resizing mode when the parent grows or shrinks by (dx, dy).
void
BView::_ParentResized(float dx, float dy)
{
	BRect frame = fFrame;
	auto follow = [](uint32 mode, float& low, float& high, float delta) {
		uint32 side = mode & 0x7;
		if (side == B_FOLLOW_RIGHT) {
			low += delta;
			high += delta;
		} else if (side == B_FOLLOW_LEFT_RIGHT) {
			high += delta;
		} else if (side == B_FOLLOW_H_CENTER) {
			low += std::round(delta / 2);
			high += std::round(delta / 2);
		}
	};
	follow(fResizingMode & 0xf, frame.left, frame.right, dx);
	follow((fResizingMode >> 4) & 0xf, frame.top, frame.bottom, dy);
	if (frame.LeftTop() != fFrame.LeftTop())
		MoveTo(frame.LeftTop());
	if (frame.Width() != fFrame.Width() || frame.Height() != fFrame.Height())
		ResizeTo(frame.Width(), frame.Height());
}

void
BView::ScrollTo(BPoint where)
{
	fBoundsOrigin = where;
	Invalidate();
}

void
BView::ScrollBy(float dx, float dy)
{
	ScrollTo(BPoint(fBoundsOrigin.x + dx, fBoundsOrigin.y + dy));
}

void
BView::SetFlags(uint32 flags)
{
	fFlags = flags;
	if ((flags & B_PULSE_NEEDED) != 0 && fWindow != nullptr)
		fWindow->_UpdatePulse();
}

// #pragma mark - coordinates

BPoint
BView::ConvertToParent(BPoint point) const
{
	return point - fBoundsOrigin + fFrame.LeftTop();
}

void
BView::ConvertToParent(BPoint* point) const
{
	*point = ConvertToParent(*point);
}

BRect
BView::ConvertToParent(BRect rect) const
{
	return rect.OffsetByCopy(fFrame.LeftTop() - fBoundsOrigin);
}

void
BView::ConvertToParent(BRect* rect) const
{
	*rect = ConvertToParent(*rect);
}

BPoint
BView::ConvertFromParent(BPoint point) const
{
	return point - fFrame.LeftTop() + fBoundsOrigin;
}

void
BView::ConvertFromParent(BPoint* point) const
{
	*point = ConvertFromParent(*point);
}

BRect
BView::ConvertFromParent(BRect rect) const
{
	return rect.OffsetByCopy(fBoundsOrigin - fFrame.LeftTop());
}

void
BView::ConvertFromParent(BRect* rect) const
{
	*rect = ConvertFromParent(*rect);
}

BPoint
BView::ConvertToWindow(BPoint point) const
{
	for (const BView* view = this; view != nullptr; view = view->fParent)
		point = view->ConvertToParent(point);
	return point;
}

BPoint
BView::ConvertFromWindow(BPoint point) const
{
	return point - ConvertToWindow(B_ORIGIN);
}

BPoint
BView::ConvertToScreen(BPoint point) const
{
	point = ConvertToWindow(point);
	if (fWindow != nullptr)
		point = fWindow->ConvertToScreen(point);
	return point;
}

void
BView::ConvertToScreen(BPoint* point) const
{
	*point = ConvertToScreen(*point);
}

BRect
BView::ConvertToScreen(BRect rect) const
{
	return rect.OffsetByCopy(ConvertToScreen(B_ORIGIN));
}

void
BView::ConvertToScreen(BRect* rect) const
{
	*rect = ConvertToScreen(*rect);
}

BPoint
BView::ConvertFromScreen(BPoint point) const
{
	return point - ConvertToScreen(B_ORIGIN);
}

void
BView::ConvertFromScreen(BPoint* point) const
{
	*point = ConvertFromScreen(*point);
}

BRect
BView::ConvertFromScreen(BRect rect) const
{
	return rect.OffsetByCopy(-ConvertToScreen(B_ORIGIN));
}

void
BView::ConvertFromScreen(BRect* rect) const
{
	*rect = ConvertFromScreen(*rect);
}

// #pragma mark - colours and font

void
BView::SetViewColor(rgb_color color)
{
	if (fViewColor == color)
		return;
	fViewColor = color;
	if (fWindow != nullptr)
		Invalidate();
}

void
BView::SetViewColor(uint8 r, uint8 g, uint8 b, uint8 a)
{
	SetViewColor(make_color(r, g, b, a));
}

void
BView::SetHighColor(rgb_color color)
{
	fHighColor = color;
}

void
BView::SetHighColor(uint8 r, uint8 g, uint8 b, uint8 a)
{
	SetHighColor(make_color(r, g, b, a));
}

void
BView::SetLowColor(rgb_color color)
{
	fLowColor = color;
}

void
BView::SetLowColor(uint8 r, uint8 g, uint8 b, uint8 a)
{
	SetLowColor(make_color(r, g, b, a));
}

void
BView::SetBlendingMode(source_alpha srcAlpha, alpha_function alphaFunc)
{
	fAlphaSource = srcAlpha;
	fAlphaFunction = alphaFunc;
}

void
BView::GetBlendingMode(source_alpha* srcAlpha, alpha_function* alphaFunc) const
{
	if (srcAlpha != nullptr)
		*srcAlpha = fAlphaSource;
	if (alphaFunc != nullptr)
		*alphaFunc = fAlphaFunction;
}

void
BView::SetFont(const BFont* font, uint32 mask)
{
	if (font == nullptr)
		return;
	fFont.CopyFrom(*font, mask);
}

void
BView::GetFont(BFont* font) const
{
	if (font != nullptr)
		*font = fFont;
}

void
BView::SetFontSize(float size)
{
	fFont.SetSize(size);
}

void
BView::GetFontHeight(font_height* height) const
{
	fFont.GetHeight(height);
}

float
BView::StringWidth(const char* string) const
{
	return fFont.StringWidth(string);
}

float
BView::StringWidth(const char* string, int32 length) const
{
	return fFont.StringWidth(string, length);
}

void
BView::TruncateString(BString* inOut, uint32 mode, float width) const
{
	fFont.TruncateString(inOut, mode, width);
}
