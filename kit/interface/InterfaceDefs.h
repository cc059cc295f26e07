// Interface kit constants and free functions shared by views, windows and controls.
#ifndef _INTERFACE_DEFS_H
#define _INTERFACE_DEFS_H

#include <GraphicsDefs.h>
#include <InputDefs.h>
#include <SupportDefs.h>

// Tints for tint_color(): below 1.0 lightens, above darkens.
#define B_LIGHTEN_MAX_TINT 0.0f
#define B_LIGHTEN_2_TINT 0.385f
#define B_LIGHTEN_1_TINT 0.590f
#define B_NO_TINT 1.0f
#define B_DARKEN_1_TINT 1.147f
#define B_DARKEN_2_TINT 1.295f
#define B_DARKEN_3_TINT 1.407f
#define B_DARKEN_4_TINT 1.555f
#define B_DARKEN_MAX_TINT 2.0f
#define B_DISABLED_LABEL_TINT B_DARKEN_3_TINT
#define B_HIGHLIGHT_BACKGROUND_TINT B_DARKEN_2_TINT
#define B_DISABLED_MARK_TINT B_LIGHTEN_2_TINT

// Lightens (tint < 1) towards white or darkens (tint > 1) towards black; alpha is kept.
rgb_color tint_color(rgb_color color, float tint);

enum alignment
{
	B_ALIGN_LEFT,
	B_ALIGN_RIGHT,
	B_ALIGN_CENTER
};

enum orientation
{
	B_HORIZONTAL,
	B_VERTICAL
};

enum border_style
{
	B_PLAIN_BORDER,
	B_FANCY_BORDER,
	B_NO_BORDER
};

enum button_width
{
	B_WIDTH_AS_USUAL,
	B_WIDTH_FROM_WIDEST,
	B_WIDTH_FROM_LABEL
};

// Workspaces of a window: a bit per workspace.
#define B_CURRENT_WORKSPACE 0
#define B_ALL_WORKSPACES 0xffffffff

// The system's user-interface colours.
enum color_which
{
	B_PANEL_BACKGROUND_COLOR = 1,
	B_MENU_BACKGROUND_COLOR = 2,
	B_WINDOW_TAB_COLOR = 3,
	B_KEYBOARD_NAVIGATION_COLOR = 4,
	B_DESKTOP_COLOR = 5,
	B_MENU_SELECTION_BACKGROUND_COLOR = 6,
	B_MENU_ITEM_TEXT_COLOR = 7,
	B_MENU_SELECTED_ITEM_TEXT_COLOR = 8,
	B_PANEL_TEXT_COLOR = 10,
	B_DOCUMENT_BACKGROUND_COLOR = 11,
	B_DOCUMENT_TEXT_COLOR = 12,
	B_CONTROL_BACKGROUND_COLOR = 13,
	B_CONTROL_TEXT_COLOR = 14,
	B_CONTROL_BORDER_COLOR = 15,
	B_CONTROL_HIGHLIGHT_COLOR = 16,
	B_TOOL_TIP_BACKGROUND_COLOR = 20,
	B_TOOL_TIP_TEXT_COLOR = 21
};

// The colour for which, as on BeOS; black for an unknown one.
rgb_color ui_color(color_which which);

// The current modifier bits of the keyboard (0 when no display is reachable).
uint32 modifiers();

#endif // _INTERFACE_DEFS_H
