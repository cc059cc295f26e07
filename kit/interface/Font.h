// BFont: a face, size and style of text, measured and drawn through fontconfig and HarfBuzz.
// be_plain_font and be_bold_font are the system's sans faces (DejaVu Sans).
#ifndef _FONT_H
#define _FONT_H

#include <string>

#include <Rect.h>
#include <SupportDefs.h>

#define B_FONT_FAMILY_LENGTH 63
#define B_FONT_STYLE_LENGTH 63
typedef char font_family[B_FONT_FAMILY_LENGTH + 1];
typedef char font_style[B_FONT_STYLE_LENGTH + 1];

// Which properties SetFont() copies from a font.
enum
{
	B_FONT_FAMILY_AND_STYLE = 0x00000001,
	B_FONT_SIZE = 0x00000002,
	B_FONT_SHEAR = 0x00000004,
	B_FONT_ROTATION = 0x00000008,
	B_FONT_SPACING = 0x00000010,
	B_FONT_ENCODING = 0x00000020,
	B_FONT_FACE = 0x00000040,
	B_FONT_FLAGS = 0x00000080,
	B_FONT_FALSE_BOLD_WIDTH = 0x00000100,
	B_FONT_ALL = 0x000001FF
};

// Face bits.
enum
{
	B_ITALIC_FACE = 0x0001,
	B_UNDERSCORE_FACE = 0x0002,
	B_NEGATIVE_FACE = 0x0004,
	B_OUTLINED_FACE = 0x0008,
	B_STRIKEOUT_FACE = 0x0010,
	B_BOLD_FACE = 0x0020,
	B_REGULAR_FACE = 0x0040
};

enum font_metric_mode
{
	B_SCREEN_METRIC = 0,
	B_PRINTING_METRIC = 1
};

// How TruncateString() shortens text that is too wide.
enum
{
	B_TRUNCATE_END = 0,
	B_TRUNCATE_BEGINNING = 1,
	B_TRUNCATE_MIDDLE = 2,
	B_TRUNCATE_SMART = 3
};

class BString;

struct font_height
{
	float ascent;
	float descent;
	float leading;
};

struct escapement_delta
{
	float nonspace;
	float space;
};

class BFont
{
public:
	BFont();
	BFont(const BFont& font);
	BFont(const BFont* font);
	BFont& operator=(const BFont& font);
	bool operator==(const BFont& font) const;
	bool operator!=(const BFont& font) const { return !(*this == font); }

	status_t SetFamilyAndStyle(const font_family family, const font_style style);
	void SetFamilyAndFace(const font_family family, uint16 face);
	void GetFamilyAndStyle(font_family* family, font_style* style) const;
	void SetSize(float size);
	float Size() const { return fSize; }
	void SetFace(uint16 face);
	uint16 Face() const { return fFace; }
	void SetShear(float shear) { fShear = shear; }
	float Shear() const { return fShear; }
	void SetRotation(float rotation) { fRotation = rotation; }
	float Rotation() const { return fRotation; }
	void SetFlags(uint32 flags) { fFlags = flags; }
	uint32 Flags() const { return fFlags; }

	// Widths in pixels of text laid out in one line. The text need not be valid UTF-8:
	// invalid bytes are measured as replacement characters.
	float StringWidth(const char* string) const;
	float StringWidth(const char* string, int32 length) const;
	void GetStringWidths(const char* stringArray[], const int32 lengthArray[], int32 numStrings,
	                     float widthArray[]) const;
	void GetHeight(font_height* height) const;
	// Shortens the text to fit width, replacing what is cut by an ellipsis; never cuts
	// inside a UTF-8 character.
	void TruncateString(BString* inOut, uint32 mode, float width) const;

	// One rectangle per glyph (per character of the UTF-8 text): the ink of the glyph,
	// relative to the baseline origin of the string (top negative above the baseline), an
	// invalid rectangle for a glyph that inks nothing; the caller provides room for every
	// character.
	void GetBoundingBoxesAsGlyphs(const char* string, int32 numChars, font_metric_mode mode,
	                              BRect boundingBoxArray[]) const;

	// The inked area of each string drawn on one line, relative to the left end of its
	// baseline (top negative above it), in whole pixels; an invalid rectangle for a string
	// that inks nothing (empty, only spaces). deltas may be null; they are not applied.
	void GetBoundingBoxesForStrings(const char* stringArray[], int32 numStrings,
	                                font_metric_mode mode, escapement_delta deltas[],
	                                BRect boundingBoxArray[]) const;
	// Copies the properties named by mask from font.
	void CopyFrom(const BFont& font, uint32 mask);

	void PrintToStream() const;

	// The description of this font ("DejaVu Sans Bold 12px"); kit-internal.
	std::string Description() const;

private:
	std::string fFamily;
	std::string fStyle;
	float fSize;
	float fShear;
	float fRotation;
	uint16 fFace;
	uint32 fFlags;
};

// The system fonts; valid for the life of the process.
extern const BFont* be_plain_font;
extern const BFont* be_bold_font;
extern const BFont* be_fixed_font;

#endif // _FONT_H
