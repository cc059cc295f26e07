// BButton: bevel drawing, the pressed state while tracking, and the default button.
#include "Button.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include <Window.h>

#include "Bevel.h"

namespace {

const float kMinimumWidth = 75.0f;
const float kLabelMargin = 10.0f;
// The default button's frame takes this much of the bounds on each side.
const float kDefaultInset = 2.0f;

} // namespace

BButton::BButton(BRect frame, const char* name, const char* label, BMessage* message,
                 uint32 resizingMode, uint32 flags)
    : BControl(frame, name, label, message, resizingMode, flags)
{}

BButton::~BButton() = default;

void
BButton::Draw(BRect)
{
	BRect frame = Bounds();
	if (IsDefault()) {
		SetHighColor(tint_color(ui_color(B_PANEL_BACKGROUND_COLOR), B_DARKEN_4_TINT));
		StrokeRect(frame);
		frame.InsetBy(kDefaultInset, kDefaultInset);
	}
	_DrawBevel(frame, Value() == B_CONTROL_ON);
	_DrawLabel(frame);
	if (IsFocus() && IsEnabled()) {
		SetHighColor(ui_color(B_KEYBOARD_NAVIGATION_COLOR));
		font_height height;
		GetFontHeight(&height);
		float width = StringWidth(Label() != nullptr ? Label() : "");
		float x = floorf(frame.left + (frame.Width() - width) / 2);
		float y = floorf(frame.top + (frame.Height() + height.ascent) / 2) + 2;
		StrokeLine(BPoint(x, y), BPoint(x + width, y));
	}
}

void
BButton::_DrawBevel(BRect frame, bool pressed)
{
	rgb_color base = ui_color(B_CONTROL_BACKGROUND_COLOR);
	rgb_color light = tint_color(base, B_LIGHTEN_MAX_TINT);
	rgb_color shadow = tint_color(base, B_DARKEN_2_TINT);
	rgb_color border = tint_color(base, IsEnabled() ? B_DARKEN_3_TINT : B_DARKEN_2_TINT);
	if (pressed) {
		base = tint_color(base, B_DARKEN_2_TINT);
		std::swap(light, shadow);
	}
	SetHighColor(base);
	FillRect(frame);
	SetHighColor(border);
	StrokeRect(frame);
	BPrivate::StrokeBevel(this, frame.InsetByCopy(1, 1), light, shadow);
}

void
BButton::_DrawLabel(BRect frame)
{
	const char* label = Label();
	if (label == nullptr || label[0] == '\0')
		return;
	font_height height;
	GetFontHeight(&height);
	float width = StringWidth(label);
	float x = floorf(frame.left + (frame.Width() - width) / 2);
	float y = floorf(frame.top + (frame.Height() + height.ascent - height.descent) / 2);
	rgb_color text = ui_color(B_CONTROL_TEXT_COLOR);
	if (!IsEnabled())
		text = tint_color(ui_color(B_CONTROL_BACKGROUND_COLOR), B_DISABLED_LABEL_TINT);
	SetHighColor(text);
	SetLowColor(ui_color(B_CONTROL_BACKGROUND_COLOR));
	SetDrawingMode(B_OP_OVER);
	DrawString(label, BPoint(x, y));
	SetDrawingMode(B_OP_COPY);
}

void
BButton::MouseDown(BPoint)
{
	if (!IsEnabled())
		return;
	SetTracking(true);
	SetValue(B_CONTROL_ON);
	SetMouseEventMask(B_POINTER_EVENTS, B_LOCK_WINDOW_FOCUS);
}

void
BButton::MouseMoved(BPoint where, uint32, const BMessage*)
{
	if (IsTracking())
		SetValue(Bounds().Contains(where) ? B_CONTROL_ON : B_CONTROL_OFF);
}

void
BButton::MouseUp(BPoint where)
{
	if (!IsTracking())
		return;
	SetTracking(false);
	SetValue(B_CONTROL_OFF);
	if (IsEnabled() && Bounds().Contains(where))
		Invoke();
}

void
BButton::KeyDown(const char* bytes, int32 numBytes)
{
	if (numBytes == 1 && (bytes[0] == B_ENTER || bytes[0] == B_SPACE)) {
		if (IsEnabled())
			Invoke();
		return;
	}
	BControl::KeyDown(bytes, numBytes);
}

void
BButton::DetachedFromWindow()
{
	if (IsDefault())
		Window()->SetDefaultButton(nullptr);
	BControl::DetachedFromWindow();
}

void
BButton::MakeDefault(bool flag)
{
	BWindow* window = Window();
	if (window == nullptr || flag == IsDefault())
		return;
	window->SetDefaultButton(flag ? this : nullptr);
	Invalidate();
}

bool
BButton::IsDefault() const
{
	return Window() != nullptr && Window()->DefaultButton() == this;
}

void
BButton::GetPreferredSize(float* width, float* height)
{
	font_height fontHeight;
	GetFontHeight(&fontHeight);
	float labelWidth = StringWidth(Label() != nullptr ? Label() : "");
	if (width != nullptr)
		*width = std::max(kMinimumWidth, ceilf(labelWidth + 2 * kLabelMargin));
	if (height != nullptr)
		*height = ceilf(fontHeight.ascent + fontHeight.descent) + 12;
}
