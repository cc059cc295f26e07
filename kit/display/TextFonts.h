// The faces text is drawn with: a font description resolved through fontconfig to its
// primary face, and, for characters that face lacks, to the fallback faces the desktop's
// configuration ranks after it. Each face is ready to shape (HarfBuzz), measure and draw
// (cairo) at the description's size. Faces live as long as the process and may be used
// from any thread.
#ifndef _KV_DISPLAY_TEXT_FONTS_H
#define _KV_DISPLAY_TEXT_FONTS_H

#include <set>
#include <string>
#include <vector>

#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <hb.h>

#include "FontDescription.h"

namespace BPrivate {

struct TextFace
{
	cairo_scaled_font_t* scaledFont; // hinted metrics, grey antialiasing
	hb_font_t* shaper;               // immutable; scaled to the face's design units
	FcPattern* pattern;              // as fontconfig rendered it; owns coverage
	FcCharSet* coverage;
	double pixelsPerUnit; // design units to pixels at this size
	double pixelSize;
};

// A font description ("DejaVu Sans Bold 12px", families may be a comma-separated list)
// as fontconfig is asked for it.
struct FontRequest
{
	std::vector<std::string> familyOrder; // as given, without repeats
	std::set<std::string> families;
	bool bold = false;
	bool oblique = false;
	double pixelSize = 12;
};

FontRequest ParseFontDescription(const std::string& description);

// Fontconfig's name for the face description resolves to through config, with the
// rendering settings config gives it: everything that decides which glyphs are drawn and
// how.
std::string ResolvedFontName(FcConfig* config, const std::string& description);

class FontSet;

// The faces of font; the set lives as long as the process.
FontSet& FontSetFor(const FontDescription& font);

class FontSet
{
public:
	explicit FontSet(const std::string& description);
	~FontSet();
	FontSet(const FontSet&) = delete;
	FontSet& operator=(const FontSet&) = delete;

	const TextFace& Primary() const { return *fPrimary; }
	const FontHeight& Height() const { return fHeight; }

	// The face to draw character with: the primary face when it has the character, else
	// the first fallback that has it, else the primary face (which draws its "missing"
	// glyph).
	const TextFace& FaceFor(uint32_t character);

private:
	const TextFace& _Fallback(uint32_t character);

	FcPattern* fRequest; // as asked for, before substitution
	const TextFace* fPrimary;
	FontHeight fHeight;
	// Ranked by the full configuration once first needed, under the fonts' lock.
	FcPattern* fFallbackRequest;
	FcFontSet* fFallbacks;
	FcCharSet* fFallbackCoverage;
	std::vector<const TextFace*> fFallbackFaces; // made when first drawn with
};

// Without remembered font choices, reads the system's font configuration on a detached
// thread of its own while the program does other start-up work; the first text measured
// or drawn waits for it instead of reading it again. With them, the configuration is read
// when text first needs it. It lives as long as the process.
void StartReadingFontConfiguration();

} // namespace BPrivate

#endif // _KV_DISPLAY_TEXT_FONTS_H
