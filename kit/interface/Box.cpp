// BBox: border and label drawing.
#include "Box.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "Bevel.h"

BBox::BBox(BRect frame, const char* name, uint32 resizingMode, uint32 flags, border_style border)
    : BView(frame, name, resizingMode, flags | B_WILL_DRAW), fLabel(nullptr), fBorder(border)
{
	SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	SetLowColor(ViewColor());
}

BBox::~BBox()
{
	free(fLabel);
}

void
BBox::AttachedToWindow()
{
	if (Parent() != nullptr) {
		SetViewColor(Parent()->ViewColor());
		SetLowColor(Parent()->ViewColor());
	}
	BView::AttachedToWindow();
}

void
BBox::Draw(BRect)
{
	BRect frame = Bounds();
	font_height height;
	GetFontHeight(&height);
	// With a label the border runs through the middle of the label's line.
	if (fLabel != nullptr)
		frame.top = floorf((height.ascent + height.descent) / 2);
	_DrawFrame(frame);
	if (fLabel == nullptr)
		return;
	float width = StringWidth(fLabel);
	SetLowColor(ViewColor());
	FillRect(BRect(6, 0, 6 + width + 4, ceilf(height.ascent + height.descent)), B_SOLID_LOW);
	SetHighColor(ui_color(B_PANEL_TEXT_COLOR));
	DrawString(fLabel, BPoint(8, ceilf(height.ascent)));
}

void
BBox::_DrawFrame(BRect frame)
{
	rgb_color base = ViewColor();
	rgb_color light = tint_color(base, B_LIGHTEN_MAX_TINT);
	rgb_color shadow = tint_color(base, B_DARKEN_3_TINT);
	switch (fBorder) {
	case B_FANCY_BORDER:
		// Etched: a shadow line with a light one inside, offset by one pixel.
		BPrivate::StrokeBevel(this, frame, shadow, light);
		BPrivate::StrokeBevel(this, frame.InsetByCopy(1, 1), light, shadow);
		break;
	case B_PLAIN_BORDER:
		BeginLineArray(4);
		AddLine(frame.LeftBottom(), frame.LeftTop(), light);
		AddLine(frame.LeftTop(), frame.RightTop(), light);
		AddLine(frame.RightTop(), frame.RightBottom(), shadow);
		AddLine(frame.RightBottom(), frame.LeftBottom(), shadow);
		EndLineArray();
		break;
	case B_NO_BORDER:
		break;
	}
}

void
BBox::SetBorder(border_style border)
{
	if (border == fBorder)
		return;
	fBorder = border;
	Invalidate();
}

void
BBox::SetLabel(const char* label)
{
	free(fLabel);
	fLabel = label != nullptr ? strdup(label) : nullptr;
	Invalidate();
}
