// One folder button of the bar: a bevelled square with a bold digit. It tracks the
// pointer itself (pressed while the pointer is inside, invoked on release inside) and
// hands colours dropped on it to the window, which recolours the whole bar.
#ifndef KV_BUTTON_H
#define KV_BUTTON_H

#include <Button.h>

class KVButton : public BButton
{
public:
	// Takes ownership of message, as BButton does.
	KVButton(BRect frame, const char* name, const char* label, BMessage* message,
	         uint32 resizingMode, uint32 flags);
	virtual ~KVButton();

	virtual void MessageReceived(BMessage* message);
	virtual void Draw(BRect updateRect);
	virtual void MouseDown(BPoint where);
	virtual void MouseUp(BPoint where);
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage);

	bool IsPressed() const { return fPressed; }

private:
	bool fPressed;
	bool fTracking;
};

#endif // KV_BUTTON_H
