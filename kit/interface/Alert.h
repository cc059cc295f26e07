// BAlert: a small modal window with an icon, a text and up to three buttons. Go() shows
// it; the alert deletes itself when a button is pressed.
#ifndef _ALERT_H
#define _ALERT_H

#include <memory>

#include <Window.h>

class BButton;
class BInvoker;
class BTextView;

enum alert_type
{
	B_EMPTY_ALERT = 0,
	B_INFO_ALERT,
	B_IDEA_ALERT,
	B_WARNING_ALERT,
	B_STOP_ALERT
};

enum button_spacing
{
	B_EVEN_SPACING = 0,
	B_OFFSET_SPACING
};

namespace BPrivate {
struct AlertResult;
}

class BAlert : public BWindow
{
public:
	// Buttons are numbered 0 to 2 from left to right; the last one given is the default
	// button (Enter). With two or three buttons Escape presses button 0. Null button1
	// or button2 leaves that button out. The texts are copied.
	BAlert(const char* title, const char* text, const char* button0, const char* button1 = nullptr,
	       const char* button2 = nullptr, button_width width = B_WIDTH_AS_USUAL,
	       alert_type type = B_INFO_ALERT);
	BAlert(const char* title, const char* text, const char* button0, const char* button1,
	       const char* button2, button_width width, button_spacing spacing,
	       alert_type type = B_INFO_ALERT);
	virtual ~BAlert();

	virtual void MessageReceived(BMessage* message);
	virtual void DispatchMessage(BMessage* message, BHandler* handler);

	// Makes key press button index (B_ESCAPE, B_ENTER or a character).
	void SetShortcut(int32 index, char key);
	char Shortcut(int32 index) const;

	// Shows the alert and waits, blocking only the calling thread, until a button is
	// pressed; returns its index, or -1 when the alert is quit without a button. With
	// no display, both Go()s write the text to standard error, delete the alert and
	// return at once (-1 for this one).
	int32 Go();
	// Shows the alert and returns at once. When a button is pressed, a copy of the
	// invoker's message with the int32 field "which" (the button's index) is sent
	// through it; the alert owns invoker (null: nothing is delivered).
	status_t Go(BInvoker* invoker);

	BButton* ButtonAt(int32 index) const;
	// The alert's text view, for styling; the alert owns it.
	BTextView* TextView() const { return fTextView; }

private:
	void _Init(const char* text, const char* const labels[3], button_width width,
	           button_spacing spacing, alert_type type);
	float _LayoutButtons(const char* const labels[3], button_width width, button_spacing spacing);
	void _LayoutText(float width);
	void _Finish(int32 which);
	bool _ShowWithoutDisplay();
	bool _DropWhileQuitting();

	BView* fBackground;
	BTextView* fTextView;
	BButton* fButtons[3];
	char fKeys[3];
	int32 fButtonCount;
	alert_type fType;
	BInvoker* fInvoker;
	std::shared_ptr<BPrivate::AlertResult> fResult;
	bool fFinished;
};

#endif // _ALERT_H
