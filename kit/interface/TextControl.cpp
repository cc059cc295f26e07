// BTextControl: the label, the framed text view beside it, and the messages the control
// sends when its text is edited, entered or left.
#include "TextControl.h"

#include <algorithm>
#include <cmath>
#include <string>

#include <AppDefs.h>
#include <Message.h>
#include <TextView.h>
#include <Window.h>

#include "Bevel.h"

namespace {

// The frame around the text: an etched line and a dark (or focus-coloured) one.
const float kFrameInset = 2.0f;
// Room between the frame and the first character.
const float kTextMargin = 2.0f;
const float kLabelGap = 6.0f;

} // namespace

namespace BPrivate {

// The one-line text view of a text control: Enter and Tab belong to the control and the
// window, line breaks in pasted text become spaces, and every change is reported.
class TextInput : public BTextView
{
public:
	// It follows the control's size on its own: the control hears of its own resizing
	// only when the program asked for frame events.
	TextInput(BTextControl* control, uint32 flags)
	    : BTextView(BRect(0, 0, 10, 10), "_input_", BRect(0, 0, 10, 10), B_FOLLOW_ALL,
	                B_WILL_DRAW | B_FRAME_EVENTS | flags),
	      fControl(control), fEdits(0)
	{
		SetWordWrap(false);
	}

	void FrameResized(float width, float height) override
	{
		BTextView::FrameResized(width, height);
		BRect rect = TextRect();
		rect.right = std::max(width - kTextMargin, kTextMargin);
		SetTextRect(rect);
	}

	void KeyDown(const char* bytes, int32 numBytes) override
	{
		if (numBytes == 1 && bytes[0] == B_ENTER) {
			if (IsEditable())
				fControl->_EnterPressed();
			return;
		}
		if (numBytes == 1 && bytes[0] == B_TAB) {
			BView::KeyDown(bytes, numBytes);
			return;
		}
		int32 edits = fEdits;
		BTextView::KeyDown(bytes, numBytes);
		if (edits != fEdits)
			fControl->_TextModified();
	}

	void MessageReceived(BMessage* message) override
	{
		int32 edits = fEdits;
		BTextView::MessageReceived(message);
		if (edits != fEdits)
			fControl->_TextModified();
	}

	void MakeFocus(bool focus) override
	{
		if (focus == IsFocus())
			return;
		BTextView::MakeFocus(focus);
		// Arriving by the keyboard selects the text, so that typing replaces it; a click
		// places the caret right after.
		if (focus)
			SelectAll();
		else
			fControl->_FocusLeft();
		fControl->Invalidate();
	}

protected:
	void InsertText(const char* text, int32 length, int32 offset,
	                const text_run_array* runs) override
	{
		std::string line(text, (size_t)length);
		for (char& c : line) {
			if (c == '\n' || c == '\r')
				c = ' ';
		}
		BTextView::InsertText(line.data(), length, offset, runs);
		_Edited();
	}

	void DeleteText(int32 fromOffset, int32 toOffset) override
	{
		BTextView::DeleteText(fromOffset, toOffset);
		_Edited();
	}

private:
	void _Edited()
	{
		fEdits++;
		fControl->fChanged = true;
	}

	BTextControl* fControl;
	int32 fEdits;
};

} // namespace BPrivate

BTextControl::BTextControl(BRect frame, const char* name, const char* label,
                           const char* initialText, BMessage* message, uint32 resizingMode,
                           uint32 flags)
    : BControl(frame, name, label, message, resizingMode, (flags & ~B_NAVIGABLE) | B_WILL_DRAW),
      fText(nullptr), fModificationMessage(nullptr), fLabelAlignment(B_ALIGN_LEFT), fDivider(0),
      fChanged(false), fNavigable((flags & B_NAVIGABLE) != 0)
{
	if (label != nullptr && label[0] != '\0')
		fDivider = ceilf(StringWidth(label)) + kLabelGap;
	fText = new BPrivate::TextInput(this, flags & B_NAVIGABLE);
	fText->SetText(initialText);
	AddChild(fText);
	_LayoutTextView();
	_UpdateTextColors();
}

BTextControl::~BTextControl()
{
	delete fModificationMessage;
}

void
BTextControl::AttachedToWindow()
{
	BControl::AttachedToWindow();
	_UpdateTextColors();
	_LayoutTextView();
}

BRect
BTextControl::_TextFrame() const
{
	BRect bounds = Bounds();
	return BRect(bounds.left + fDivider, bounds.top, bounds.right, bounds.bottom);
}

// The text view fills the frame less its lines; its one line sits in the middle.
void
BTextControl::_LayoutTextView()
{
	BRect frame = _TextFrame();
	frame.InsetBy(kFrameInset, kFrameInset);
	if (!frame.IsValid())
		frame.right = frame.left, frame.bottom = frame.top;
	fText->MoveTo(frame.LeftTop());
	fText->ResizeTo(frame.Width(), frame.Height());
	font_height height;
	fText->GetFontHeight(&height);
	float lineHeight = ceilf(height.ascent + height.descent + height.leading);
	float top = std::max(0.0f, floorf((frame.Height() + 1 - lineHeight) / 2));
	fText->SetTextRect(BRect(kTextMargin, top, std::max(frame.Width() - kTextMargin, kTextMargin),
	                         top + lineHeight - 1));
	Invalidate();
}

void
BTextControl::_UpdateTextColors()
{
	rgb_color background = ui_color(B_DOCUMENT_BACKGROUND_COLOR);
	rgb_color text = ui_color(B_DOCUMENT_TEXT_COLOR);
	if (!IsEnabled()) {
		background = tint_color(ViewColor(), B_LIGHTEN_1_TINT);
		text = tint_color(ViewColor(), B_DISABLED_LABEL_TINT);
	}
	fText->SetViewColor(background);
	fText->SetLowColor(background);
	fText->SetFontAndColor(nullptr, 0, &text);
	fText->Invalidate();
}

void
BTextControl::Draw(BRect)
{
	const char* label = Label();
	if (label != nullptr && label[0] != '\0') {
		font_height height;
		fText->GetFontHeight(&height);
		float width = StringWidth(label);
		float x = 0;
		if (fLabelAlignment == B_ALIGN_RIGHT)
			x = fDivider - kLabelGap + 2 - width;
		else if (fLabelAlignment == B_ALIGN_CENTER)
			x = floorf((fDivider - width) / 2);
		// On the baseline of the text beside it.
		float y = fText->Frame().top + fText->TextRect().top + height.ascent;
		SetHighColor(IsEnabled() ? ui_color(B_PANEL_TEXT_COLOR)
		                         : tint_color(ViewColor(), B_DISABLED_LABEL_TINT));
		SetLowColor(ViewColor());
		DrawString(label, BPoint(x, y));
	}

	BRect frame = _TextFrame();
	rgb_color base = ViewColor();
	rgb_color shadow = tint_color(base, B_DARKEN_1_TINT);
	rgb_color light = tint_color(base, B_LIGHTEN_MAX_TINT);
	rgb_color dark = tint_color(base, IsEnabled() ? B_DARKEN_3_TINT : B_DARKEN_2_TINT);
	rgb_color inner = light;
	bool focused = fText->IsFocus() && Window() != nullptr && Window()->IsActive();
	if (focused)
		dark = inner = ui_color(B_KEYBOARD_NAVIGATION_COLOR);
	BPrivate::StrokeBevel(this, frame, shadow, light);
	BPrivate::StrokeBevel(this, frame.InsetByCopy(1, 1), dark, inner);
}

void
BTextControl::MouseDown(BPoint)
{
	if (IsEnabled())
		fText->MakeFocus(true);
}

void
BTextControl::FrameResized(float width, float height)
{
	BControl::FrameResized(width, height);
	_LayoutTextView();
}

void
BTextControl::WindowActivated(bool active)
{
	BControl::WindowActivated(active);
	if (fText->IsFocus())
		Invalidate();
}

void
BTextControl::MakeFocus(bool focus)
{
	fText->MakeFocus(focus);
}

void
BTextControl::SetEnabled(bool enabled)
{
	if (enabled == IsEnabled())
		return;
	if (!enabled && fText->IsFocus())
		fText->MakeFocus(false);
	BControl::SetEnabled(enabled);
	fText->MakeEditable(enabled);
	fText->MakeSelectable(enabled);
	if (enabled && fNavigable)
		fText->SetFlags(fText->Flags() | B_NAVIGABLE);
	else
		fText->SetFlags(fText->Flags() & ~B_NAVIGABLE);
	_UpdateTextColors();
}

void
BTextControl::SetFont(const BFont* font, uint32 mask)
{
	BControl::SetFont(font, mask);
	fText->SetFont(font, mask);
	fText->SetFontAndColor(font, mask);
	_LayoutTextView();
}

void
BTextControl::GetPreferredSize(float* width, float* height)
{
	font_height fontHeight;
	fText->GetFontHeight(&fontHeight);
	if (width != nullptr)
		*width = Bounds().Width();
	if (height != nullptr) {
		*height = ceilf(fontHeight.ascent + fontHeight.descent + fontHeight.leading) +
		          2 * (kFrameInset + kTextMargin);
	}
}

void
BTextControl::SetText(const char* text)
{
	fText->SetText(text);
	fChanged = false;
	if (fText->IsFocus())
		fText->SelectAll();
}

const char*
BTextControl::Text() const
{
	return fText->Text();
}

BTextView*
BTextControl::TextView() const
{
	return fText;
}

void
BTextControl::SetModificationMessage(BMessage* message)
{
	delete fModificationMessage;
	fModificationMessage = message;
}

void
BTextControl::SetAlignment(alignment label, alignment text)
{
	fLabelAlignment = label;
	fText->SetAlignment(text);
	Invalidate();
}

void
BTextControl::GetAlignment(alignment* label, alignment* text) const
{
	if (label != nullptr)
		*label = fLabelAlignment;
	if (text != nullptr)
		*text = fText->Alignment();
}

void
BTextControl::SetDivider(float position)
{
	fDivider = std::max(0.0f, floorf(position + 0.5f));
	_LayoutTextView();
}

void
BTextControl::_TextModified()
{
	if (fModificationMessage != nullptr)
		InvokeNotify(fModificationMessage, B_CONTROL_MODIFIED);
}

// Enter sends the control's message and then, as in any dialog, presses the window's
// default button.
void
BTextControl::_EnterPressed()
{
	Invoke();
	fChanged = false;
	fText->SelectAll();
	BWindow* window = Window();
	BView* button = window != nullptr ? window->DefaultButton() : nullptr;
	if (button == nullptr || button == this)
		return;
	BControl* control = dynamic_cast<BControl*>(button);
	if (control == nullptr || control->IsEnabled()) {
		const char enter[] = {B_ENTER, '\0'};
		button->KeyDown(enter, 1);
	}
}

void
BTextControl::_FocusLeft()
{
	if (!fChanged)
		return;
	fChanged = false;
	Invoke();
}
