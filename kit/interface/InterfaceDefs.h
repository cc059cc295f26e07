// Interface kit constants and free functions shared by views, windows and controls.
#ifndef _INTERFACE_DEFS_H
#define _INTERFACE_DEFS_H

#include <GraphicsDefs.h>
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

#endif // _INTERFACE_DEFS_H
