// The colours the bar's views draw their bevels with, all derived from the user's bar
// colour so that any colour dropped on the bar still reads as raised or sunk.
#ifndef KV_BEVEL_H
#define KV_BEVEL_H

#include <GraphicsDefs.h>
#include <InterfaceDefs.h>
#include <View.h>

// The lit edge: each channel brighter by 80, saturating at white above 174.
inline rgb_color
BevelLight(rgb_color color)
{
	auto lift = [](uint8 channel) -> uint8 { return channel > 174 ? 255 : channel + 80; };
	return rgb_color{lift(color.red), lift(color.green), lift(color.blue), color.alpha};
}

// The shaded edge: each channel darker by 80, saturating at black at 79 and below.
inline rgb_color
BevelDark(rgb_color color)
{
	auto drop = [](uint8 channel) -> uint8 { return channel <= 79 ? 0 : channel - 80; };
	return rgb_color{drop(color.red), drop(color.green), drop(color.blue), color.alpha};
}

// The three colours of one bevel: the fill and its two edges.
struct KVBevelColors
{
	rgb_color fill;
	rgb_color light;
	rgb_color dark;

	explicit KVBevelColors(rgb_color color)
	    : fill(color), light(BevelLight(color)), dark(BevelDark(color))
	{}

	void Tint(float tint)
	{
		fill = tint_color(fill, tint);
		light = tint_color(light, tint);
		dark = tint_color(dark, tint);
	}
};

// A frame along the edge of rect, drawn from its right-top corner: topLeft along the top
// and left edges, then bottomRight along the bottom and right ones.
inline void
StrokeFrame(BView* view, BRect rect, rgb_color topLeft, rgb_color bottomRight)
{
	view->MovePenTo(rect.right, rect.top);
	view->SetHighColor(topLeft);
	view->StrokeLine(BPoint(rect.left, rect.top));
	view->StrokeLine(BPoint(rect.left, rect.bottom));
	view->SetHighColor(bottomRight);
	view->StrokeLine(BPoint(rect.right, rect.bottom));
	view->StrokeLine(BPoint(rect.right, rect.top));
}

#endif // KV_BEVEL_H
