// The folder button's drawing and pointer tracking.
#include "KVButton.h"

#include <Font.h>
#include <Message.h>
#include <Messenger.h>
#include <Window.h>

#include "KVBevel.h"

KVButton::KVButton(BRect frame, const char* name, const char* label, BMessage* message,
                   uint32 resizingMode, uint32 flags)
    : BButton(frame, name, label, message, resizingMode, flags), fPressed(false), fTracking(false)
{}

KVButton::~KVButton() = default;

void
KVButton::MessageReceived(BMessage* message)
{
	if (message->what == B_PASTE && Window() != nullptr) {
		BMessenger(Window()).SendMessage(message, static_cast<BHandler*>(nullptr),
		                                 B_INFINITE_TIMEOUT);
		return;
	}
	BButton::MessageReceived(message);
}

void
KVButton::Draw(BRect)
{
	BRect bounds = Bounds();
	KVBevelColors colors(ViewColor());
	if (fPressed)
		colors.Tint(B_DARKEN_2_TINT);
	else if (Window() != nullptr && !Window()->IsActive())
		colors.Tint(B_DARKEN_1_TINT);

	StrokeFrame(this, bounds, colors.light, colors.dark);
	SetHighColor(colors.fill);
	FillRect(bounds.InsetByCopy(1, 1));

	// The label is centred by the font's full line height, not by the digit's ink, so
	// every button's digit sits on the same baseline.
	SetHighColor(0, 0, 0, 255);
	font_height metrics;
	GetFontHeight(&metrics);
	float lineHeight = static_cast<int32>(metrics.ascent + metrics.descent + metrics.leading);
	float height = bounds.bottom - bounds.top;
	float x = bounds.left + (bounds.right - bounds.left - StringWidth(Label())) * 0.5f;
	float y = (height + bounds.top) * 0.5f + (height - lineHeight) * 0.5f;
	DrawString(Label(), BPoint(x, y));
}

void
KVButton::MouseDown(BPoint)
{
	fPressed = true;
	fTracking = true;
	Window()->Activate(true);
	SetMouseEventMask(B_POINTER_EVENTS, B_LOCK_WINDOW_FOCUS | B_NO_POINTER_HISTORY);
	Invalidate();
}

void
KVButton::MouseMoved(BPoint, uint32 transit, const BMessage*)
{
	if (!fTracking)
		return;
	if (transit == B_EXITED_VIEW) {
		fPressed = false;
		Invalidate();
	} else if (transit == B_ENTERED_VIEW) {
		fPressed = true;
		Invalidate();
	}
}

void
KVButton::MouseUp(BPoint where)
{
	if (fPressed && Bounds().Contains(where))
		Invoke();
	fTracking = false;
	fPressed = false;
	Invalidate();
}
