// BButton: a push button drawn with a bevel. It shows itself pressed while the pointer
// holds it and invokes its message when released inside. The window's default button
// is drawn with a dark frame and is pressed by Enter.
#ifndef _BUTTON_H
#define _BUTTON_H

#include <Control.h>

class BButton : public BControl
{
public:
	BButton(BRect frame, const char* name, const char* label, BMessage* message,
	        uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
	        uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
	virtual ~BButton();

	virtual void Draw(BRect updateRect);
	virtual void MouseDown(BPoint where);
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage);
	virtual void MouseUp(BPoint where);
	// Enter and Space press the button.
	virtual void KeyDown(const char* bytes, int32 numBytes);
	virtual void DetachedFromWindow();

	// Makes this the window's default button (or stops being it).
	virtual void MakeDefault(bool flag);
	bool IsDefault() const;

	// Room for the label with margins, at least 75 pixels wide.
	virtual void GetPreferredSize(float* width, float* height);

private:
	void _DrawBevel(BRect frame, bool pressed);
	void _DrawLabel(BRect frame);
};

#endif // _BUTTON_H
