// BStringView: drawing one aligned line of text.
#include "StringView.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

BStringView::BStringView(BRect frame, const char* name, const char* text, uint32 resizingMode,
                         uint32 flags)
    : BView(frame, name, resizingMode, flags), fText(text != nullptr ? strdup(text) : nullptr),
      fAlign(B_ALIGN_LEFT)
{
	SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	SetLowColor(ViewColor());
	SetHighColor(ui_color(B_PANEL_TEXT_COLOR));
}

BStringView::~BStringView()
{
	free(fText);
}

void
BStringView::AttachedToWindow()
{
	if (Parent() != nullptr) {
		SetViewColor(Parent()->ViewColor());
		SetLowColor(Parent()->ViewColor());
	}
	BView::AttachedToWindow();
}

void
BStringView::Draw(BRect)
{
	if (fText == nullptr)
		return;
	BRect bounds = Bounds();
	font_height height;
	GetFontHeight(&height);
	float width = StringWidth(fText);
	float x = bounds.left;
	if (fAlign == B_ALIGN_CENTER)
		x = floorf(bounds.left + (bounds.Width() - width) / 2);
	else if (fAlign == B_ALIGN_RIGHT)
		x = bounds.right - width;
	// The text sits on the bottom of its frame, less the descent, as on BeOS.
	float y = bounds.bottom - ceilf(height.descent);
	DrawString(fText, BPoint(x, y));
}

void
BStringView::SetFont(const BFont* font, uint32 mask)
{
	BView::SetFont(font, mask);
	Invalidate();
}

void
BStringView::GetPreferredSize(float* width, float* height)
{
	font_height fontHeight;
	GetFontHeight(&fontHeight);
	if (width != nullptr)
		*width = ceilf(StringWidth(fText != nullptr ? fText : ""));
	if (height != nullptr)
		*height = ceilf(fontHeight.ascent + fontHeight.descent + fontHeight.leading);
}

void
BStringView::SetText(const char* text)
{
	if (text != nullptr && fText != nullptr && strcmp(text, fText) == 0)
		return;
	free(fText);
	fText = text != nullptr ? strdup(text) : nullptr;
	Invalidate();
}

void
BStringView::SetAlignment(alignment flag)
{
	fAlign = flag;
	Invalidate();
}
