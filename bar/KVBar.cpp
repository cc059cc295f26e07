// The drag strip and its close box: bevels drawn from the bar colour, moving the window
// by the grabbed point, and a close box that quits only when released inside.
#include "KVBar.h"

#include <utility>

#include <Application.h>
#include <Message.h>
#include <Window.h>

#include "KVBevel.h"
#include "app/KVConstants.h"

namespace {

// The close box's size; it sits 2 pixels into the strip.
const BRect kButtonRect(0, 0, 8, 8);
// The strip spans 0..13: 14 pixels, the buttons start right after it.
const float kStripThickness = 13;

bool
WindowIsActive(const BView* view)
{
	return view->Window() != nullptr && view->Window()->IsActive();
}

} // namespace

KVCloseButton::KVCloseButton(BRect frame)
    : BView(frame, "kv_close_button", B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW), fPressed(false),
      fTracking(false)
{}

KVCloseButton::~KVCloseButton() = default;

void
KVCloseButton::AttachedToWindow()
{
	if (Parent() != nullptr)
		SetViewColor(Parent()->ViewColor());
	BView::AttachedToWindow();
}

void
KVCloseButton::Draw(BRect)
{
	BRect bounds = Bounds();
	KVBevelColors outer(ViewColor());
	StrokeFrame(this, bounds, outer.dark, outer.light);

	KVBevelColors inner(ViewColor());
	if (fPressed) {
		std::swap(inner.light, inner.dark);
		inner.fill = tint_color(inner.fill, B_DARKEN_1_TINT);
	} else if (!WindowIsActive(this)) {
		inner.Tint(B_DARKEN_1_TINT);
	}
	bounds.InsetBy(1, 1);
	StrokeFrame(this, bounds, inner.light, inner.dark);
	bounds.InsetBy(1, 1);
	SetHighColor(inner.fill);
	FillRect(bounds);
}

// The first click on an inactive bar only brings it forward. On the active bar the box
// follows the pointer until release without blocking the window, so store changes and
// the hot key keep being handled while the button is held.
void
KVCloseButton::MouseDown(BPoint where)
{
	if (!WindowIsActive(this)) {
		Window()->Activate(true);
		return;
	}
	fTracking = true;
	SetMouseEventMask(B_POINTER_EVENTS, B_LOCK_WINDOW_FOCUS | B_NO_POINTER_HISTORY);
	_SetPressed(Bounds().Contains(where));
}

void
KVCloseButton::MouseMoved(BPoint where, uint32, const BMessage*)
{
	if (fTracking)
		_SetPressed(Bounds().Contains(where));
}

void
KVCloseButton::MouseUp(BPoint where)
{
	if (!fTracking)
		return;
	fTracking = false;
	_SetPressed(false);
	if (Bounds().Contains(where))
		be_app->PostMessage(B_QUIT_REQUESTED);
}

void
KVCloseButton::WindowActivated(bool)
{
	Invalidate();
}

void
KVCloseButton::_SetPressed(bool pressed)
{
	if (pressed == fPressed)
		return;
	fPressed = pressed;
	Invalidate();
}

KVBar::KVBar()
    : BControl(BRect(0, 0, 0, 0), "kv_bar", "", new BMessage(kMsgShowSettingsMenu), B_FOLLOW_NONE,
               B_WILL_DRAW),
      fCloseButton(nullptr), fAlign(kAlignVertical), fDragOffset(0, 0), fDragging(false),
      fMouseButtons(0)
{}

KVBar::~KVBar() = default;

void
KVBar::MessageReceived(BMessage* message)
{
	BControl::MessageReceived(message);
}

void
KVBar::AttachedToWindow()
{
	if (Parent() != nullptr)
		SetViewColor(Parent()->ViewColor());
	if (fCloseButton == nullptr) {
		fCloseButton = new KVCloseButton(kButtonRect.OffsetByCopy(2, 2));
		AddChild(fCloseButton);
	}
	BControl::AttachedToWindow();
}

void
KVBar::Draw(BRect)
{
	BRect bounds = Bounds();
	KVBevelColors colors(ViewColor());
	if (!WindowIsActive(this))
		colors.Tint(B_DARKEN_1_TINT);

	MovePenTo(bounds.left, bounds.bottom);
	SetHighColor(colors.dark);
	StrokeLine(BPoint(bounds.right, bounds.bottom));
	StrokeLine(BPoint(bounds.right, bounds.top));
	SetHighColor(colors.light);
	StrokeLine(BPoint(bounds.left, bounds.top));
	StrokeLine(BPoint(bounds.left, bounds.bottom));
	bounds.InsetBy(1, 1);
	SetHighColor(colors.fill);
	FillRect(bounds);
}

void
KVBar::MouseDown(BPoint where)
{
	Window()->Activate(true);
	int32 buttons = 0;
	int32 clicks = 1;
	if (BMessage* current = Window()->CurrentMessage()) {
		current->FindInt32("buttons", &buttons);
		current->FindInt32("clicks", &clicks);
	}
	fMouseButtons = buttons;
	if (buttons == B_PRIMARY_MOUSE_BUTTON) {
		if (clicks == 2) {
			DblClicked(where);
		} else {
			SetMouseEventMask(B_POINTER_EVENTS, B_NO_POINTER_HISTORY);
			fDragging = true;
			fDragOffset = where;
		}
	}
	BControl::MouseDown(where);
}

void
KVBar::MouseMoved(BPoint where, uint32, const BMessage*)
{
	if (!fDragging)
		return;
	Window()->MoveTo(ConvertToScreen(where) - fDragOffset);
	Sync();
}

void
KVBar::MouseUp(BPoint)
{
	fDragging = false;
	fDragOffset = BPoint(0, 0);
	if (fMouseButtons == B_SECONDARY_MOUSE_BUTTON)
		Invoke();
}

void
KVBar::SetViewColor(rgb_color color)
{
	if (fCloseButton != nullptr) {
		fCloseButton->SetViewColor(color);
		fCloseButton->Invalidate();
	}
	BControl::SetViewColor(color);
}

void
KVBar::SetAlign(KVAlign align)
{
	fAlign = align;
	if (Window() == nullptr)
		return;
	BRect window = Window()->Bounds();
	if (align == kAlignHorizontal)
		ResizeTo(kStripThickness, window.Height());
	else
		ResizeTo(window.Width(), kStripThickness);
}

void
KVBar::DblClicked(BPoint)
{
	Window()->Minimize(true);
}
