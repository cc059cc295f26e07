// Colour tinting, as the bevels of buttons and bars use it.
#include <InterfaceDefs.h>

#include <algorithm>
#include <cmath>

namespace {

uint8
Channel(float value)
{
	return static_cast<uint8>(std::clamp(std::lround(value), 0L, 255L));
}

} // namespace

rgb_color
tint_color(rgb_color color, float tint)
{
	rgb_color result;
	result.alpha = color.alpha;
	if (tint < 1.0f) {
		// Move towards white by (1 - tint) of the remaining distance, scaled so that 0 is white.
		float amount = 1.0f - std::max(tint, 0.0f);
		result.red = Channel(color.red + (255 - color.red) * amount);
		result.green = Channel(color.green + (255 - color.green) * amount);
		result.blue = Channel(color.blue + (255 - color.blue) * amount);
	} else {
		// Darken: 2.0 is black, 1.0 unchanged.
		float amount = 2.0f - std::min(tint, 2.0f);
		result.red = Channel(color.red * amount);
		result.green = Channel(color.green * amount);
		result.blue = Channel(color.blue * amount);
	}
	return result;
}

rgb_color
ui_color(color_which which)
{
	switch (which) {
	case B_PANEL_BACKGROUND_COLOR:
	case B_MENU_BACKGROUND_COLOR:
	case B_CONTROL_BACKGROUND_COLOR:
		return make_color(216, 216, 216);
	case B_WINDOW_TAB_COLOR:
		return make_color(255, 203, 0);
	case B_KEYBOARD_NAVIGATION_COLOR:
	case B_CONTROL_HIGHLIGHT_COLOR:
		return make_color(0, 0, 229);
	case B_DESKTOP_COLOR:
		return make_color(51, 102, 152);
	case B_MENU_SELECTION_BACKGROUND_COLOR:
		return make_color(115, 120, 184);
	case B_MENU_SELECTED_ITEM_TEXT_COLOR:
		return make_color(255, 255, 255);
	case B_DOCUMENT_BACKGROUND_COLOR:
		return make_color(255, 255, 255);
	case B_CONTROL_BORDER_COLOR:
		return make_color(184, 184, 184);
	case B_TOOL_TIP_BACKGROUND_COLOR:
		return make_color(255, 255, 200);
	default:
		return make_color(0, 0, 0);
	}
}
