// BBox: a frame that groups views, with a fancy (etched) or plain border and an optional
// label in its top edge.
#ifndef _BOX_H
#define _BOX_H

#include <View.h>

class BBox : public BView
{
public:
	BBox(BRect frame, const char* name = nullptr,
	     uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
	     uint32 flags = B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE_JUMP,
	     border_style border = B_FANCY_BORDER);
	virtual ~BBox();

	// Takes the parent's colours.
	virtual void AttachedToWindow();
	virtual void Draw(BRect updateRect);

	virtual void SetBorder(border_style border);
	border_style Border() const { return fBorder; }

	// The label is copied; null removes it.
	void SetLabel(const char* label);
	const char* Label() const { return fLabel; }

private:
	void _DrawFrame(BRect frame);

	char* fLabel;
	border_style fBorder;
};

#endif // _BOX_H
