// BTextControl: a label and a one-line editable text in a frame. The control sends its
// message when the user presses Enter in it, or leaves it after changing the text, and its
// modification message after every change the user makes.
#ifndef _TEXT_CONTROL_H
#define _TEXT_CONTROL_H

#include <Control.h>

class BTextView;

namespace BPrivate {
class TextInput;
}

class BTextControl : public BControl
{
public:
	// Takes ownership of message (may be null). The label and the text are copied. The
	// control itself is not navigable: its text view takes B_NAVIGABLE from flags.
	BTextControl(BRect frame, const char* name, const char* label, const char* initialText,
	             BMessage* message, uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
	             uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
	virtual ~BTextControl();

	virtual void AttachedToWindow();
	virtual void Draw(BRect updateRect);
	virtual void MouseDown(BPoint where);
	virtual void FrameResized(float width, float height);
	virtual void WindowActivated(bool active);
	// Focuses (or unfocuses) the text view.
	virtual void MakeFocus(bool focus = true);
	// Disabled: greyed, neither editable nor selectable, skipped by Tab.
	virtual void SetEnabled(bool enabled);
	virtual void SetFont(const BFont* font, uint32 mask = B_FONT_ALL);
	virtual void GetPreferredSize(float* width, float* height);

	// Replaces the text; a change by the program sends no message.
	virtual void SetText(const char* text);
	const char* Text() const;
	// The text view inside the control; the control owns it.
	BTextView* TextView() const;

	// Takes ownership of message (may be null); sent with "when", "source" and
	// "be:value" after each change the user makes.
	virtual void SetModificationMessage(BMessage* message);
	BMessage* ModificationMessage() const { return fModificationMessage; }

	virtual void SetAlignment(alignment label, alignment text);
	void GetAlignment(alignment* label, alignment* text) const;
	// The x (control coordinates) where the label ends and the text's frame starts.
	virtual void SetDivider(float position);
	float Divider() const { return fDivider; }

private:
	friend class BPrivate::TextInput;

	BTextControl(const BTextControl&) = delete;
	BTextControl& operator=(const BTextControl&) = delete;

	BRect _TextFrame() const;
	void _LayoutTextView();
	void _UpdateTextColors();
	// Called by the text view.
	void _TextModified();
	void _EnterPressed();
	void _FocusLeft();

	BPrivate::TextInput* fText;
	BMessage* fModificationMessage;
	alignment fLabelAlignment;
	float fDivider;
	bool fChanged;
	bool fNavigable;
};

#endif // _TEXT_CONTROL_H
