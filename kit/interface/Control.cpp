// BControl: label, value, enabled state and invocation shared by the controls.
#include "Control.h"

#include <cstdlib>
#include <cstring>

#include <Message.h>
#include <OS.h>
#include <Window.h>

BControl::BControl(BRect frame, const char* name, const char* label, BMessage* message,
                   uint32 resizingMode, uint32 flags)
    : BView(frame, name, resizingMode, flags), BInvoker(message, nullptr, nullptr),
      fLabel(label != nullptr ? strdup(label) : nullptr), fValue(B_CONTROL_OFF), fEnabled(true),
      fTracking(false)
{
	SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	SetLowColor(ViewColor());
}

BControl::~BControl()
{
	free(fLabel);
}

void
BControl::AttachedToWindow()
{
	if (Parent() != nullptr) {
		SetViewColor(Parent()->ViewColor());
		SetLowColor(Parent()->ViewColor());
	}
	if (!Messenger().IsValid())
		SetTarget(Window());
	BView::AttachedToWindow();
}

void
BControl::MakeFocus(bool focus)
{
	if (focus == IsFocus())
		return;
	BView::MakeFocus(focus);
	Invalidate();
}

void
BControl::SetFont(const BFont* font, uint32 mask)
{
	BView::SetFont(font, mask);
	Invalidate();
}

void
BControl::SetLabel(const char* label)
{
	if (fLabel != nullptr && label != nullptr && strcmp(fLabel, label) == 0)
		return;
	free(fLabel);
	fLabel = label != nullptr ? strdup(label) : nullptr;
	Invalidate();
}

void
BControl::SetValue(int32 value)
{
	if (value == fValue)
		return;
	fValue = value;
	Invalidate();
}

void
BControl::SetEnabled(bool enabled)
{
	if (enabled == fEnabled)
		return;
	fEnabled = enabled;
	// A disabled control neither keeps the focus nor stays pressed.
	if (!enabled) {
		fTracking = false;
		if (IsFocus())
			MakeFocus(false);
	}
	Invalidate();
}

status_t
BControl::Invoke(BMessage* message)
{
	BMessage* source = message != nullptr ? message : Message();
	if (source == nullptr)
		return B_BAD_VALUE;
	BMessage copy(*source);
	copy.AddInt64("when", system_time());
	copy.AddPointer("source", this);
	copy.AddInt32("be:value", fValue);
	return BInvoker::Invoke(&copy);
}
