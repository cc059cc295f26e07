// Kit-internal parts of BView shared by its source files: the saved drawing states of
// PushState()/PopState() and a line array being collected.
#ifndef _VIEW_PRIVATE_H
#define _VIEW_PRIVATE_H

#include <vector>

#include <View.h>

struct BView::SavedState
{
	rgb_color highColor;
	rgb_color lowColor;
	drawing_mode drawingMode;
	source_alpha alphaSource;
	alpha_function alphaFunction;
	float penSize;
	BPoint penLocation;
	BPoint origin;
	BFont font;
};

struct BView::LineArray
{
	struct Line
	{
		BPoint start;
		BPoint end;
		rgb_color color;
	};
	std::vector<Line> lines;
};

#endif // _VIEW_PRIVATE_H
