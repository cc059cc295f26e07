// Kit-internal text layout on a cairo context, shared by the canvas and the font metrics:
// shaped with HarfBuzz, drawn with cairo, usable from any thread.
#ifndef _KV_DISPLAY_TEXT_LAYOUT_H
#define _KV_DISPLAY_TEXT_LAYOUT_H

#include <string>

#include <cairo.h>

#include "FontDescription.h"

namespace BPrivate {

// Draws valid UTF-8 text with its baseline's left end at the current point of context and
// returns the advance.
float ShowText(cairo_t* context, const FontDescription& font, const std::string& text);

} // namespace BPrivate

#endif // _KV_DISPLAY_TEXT_LAYOUT_H
