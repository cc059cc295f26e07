// The drag strip at the bar's left (row) or top (column) end, with the close box on it.
// Dragging it moves the window, a double click minimises it, a secondary click opens the
// settings menu (the strip's message 'kvSw').
#ifndef KV_BAR_H
#define KV_BAR_H

#include <Control.h>

#include "app/KVSettings.h"

// The tiny box on the strip that ends the program.
class KVCloseButton : public BView
{
public:
	explicit KVCloseButton(BRect frame);
	virtual ~KVCloseButton();

	virtual void AttachedToWindow();
	virtual void Draw(BRect updateRect);
	virtual void MouseDown(BPoint where);
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage);
	virtual void MouseUp(BPoint where);
	virtual void WindowActivated(bool active);

	bool IsPressed() const { return fPressed; }

private:
	void _SetPressed(bool pressed);

	bool fPressed;
	// The press began on an active window; only such a press may end the program.
	bool fTracking;
};

class KVBar : public BControl
{
public:
	KVBar();
	virtual ~KVBar();

	virtual void MessageReceived(BMessage* message);
	virtual void AttachedToWindow();
	virtual void Draw(BRect updateRect);
	virtual void MouseDown(BPoint where);
	virtual void MouseUp(BPoint where);
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage);
	virtual void SetViewColor(rgb_color color);
	using BView::SetViewColor;

	// A 13-pixel strip along the window's left edge (horizontal) or top edge (vertical).
	void SetAlign(KVAlign align);
	KVAlign Align() const { return fAlign; }
	void DblClicked(BPoint where);

	KVCloseButton* CloseButton() const { return fCloseButton; }

private:
	KVCloseButton* fCloseButton;
	KVAlign fAlign;
	BPoint fDragOffset;
	bool fDragging;
	int32 fMouseButtons;
};

#endif // KV_BAR_H
