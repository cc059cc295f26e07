// Kit-internal: the one-pixel bevel that buttons, etched boxes and text fields are drawn
// from.
#ifndef _KV_BEVEL_H
#define _KV_BEVEL_H

#include <View.h>

namespace BPrivate {

// A frame lit from the top left: leftTop colours its left and top edges, rightBottom its
// right and bottom ones.
inline void
StrokeBevel(BView* view, BRect frame, rgb_color leftTop, rgb_color rightBottom)
{
	view->BeginLineArray(4);
	view->AddLine(frame.LeftBottom(), frame.LeftTop(), leftTop);
	view->AddLine(frame.LeftTop(), frame.RightTop(), leftTop);
	view->AddLine(frame.RightTop(), frame.RightBottom(), rightBottom);
	view->AddLine(frame.RightBottom(), frame.LeftBottom(), rightBottom);
	view->EndLineArray();
}

} // namespace BPrivate

#endif // _KV_BEVEL_H
