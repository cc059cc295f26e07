// A font as the display backend sees it: a description string such as
// "DejaVu Sans Bold 12px", which the interface kit's BFont writes. Keeps the backend free
// of the interface kit's font class.
#ifndef _KV_DISPLAY_FONT_DESCRIPTION_H
#define _KV_DISPLAY_FONT_DESCRIPTION_H

#include <string>
#include <utility>

namespace BPrivate {

class FontDescription
{
public:
	explicit FontDescription(std::string description) : fDescription(std::move(description)) {}
	const std::string& Description() const { return fDescription; }

private:
	std::string fDescription;
};

// Whole-pixel line metrics of a font, as BeOS's font_height.
struct FontHeight
{
	float ascent;
	float descent;
	float leading;
};

} // namespace BPrivate

#endif // _KV_DISPLAY_FONT_DESCRIPTION_H
