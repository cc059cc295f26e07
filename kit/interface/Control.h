// BControl: a view with a label and a value that sends its message to a target (through
// BInvoker) when the user operates it. Buttons and other controls derive from it.
#ifndef _CONTROL_H
#define _CONTROL_H

#include <Invoker.h>
#include <View.h>

enum
{
	B_CONTROL_OFF = 0,
	B_CONTROL_ON = 1
};

class BControl : public BView, public BInvoker
{
public:
	// Takes ownership of message (may be null). The label is copied.
	BControl(BRect frame, const char* name, const char* label, BMessage* message,
	         uint32 resizingMode, uint32 flags);
	virtual ~BControl();

	// Takes the parent's colours, and makes the window the target when none was set.
	virtual void AttachedToWindow();
	virtual void MakeFocus(bool focus = true);
	virtual void SetFont(const BFont* font, uint32 mask = B_FONT_ALL);

	virtual void SetLabel(const char* label);
	const char* Label() const { return fLabel; }

	virtual void SetValue(int32 value);
	int32 Value() const { return fValue; }

	virtual void SetEnabled(bool enabled);
	bool IsEnabled() const { return fEnabled; }

	// Sends message (or, when null, the control's own) to the target with the fields
	// "when" (B_INT64_TYPE), "source" (this control) and "be:value" added to a copy.
	virtual status_t Invoke(BMessage* message = nullptr);

protected:
	// Whether the pointer pressed this control and has not yet let go.
	bool IsTracking() const { return fTracking; }
	void SetTracking(bool tracking) { fTracking = tracking; }

private:
	char* fLabel;
	int32 fValue;
	bool fEnabled;
	bool fTracking;
};

#endif // _CONTROL_H
