// BFont: the value part (family, style, size, face); measuring is in FontMetrics.cpp.
#include <Font.h>

#include <cstdio>
#include <cstring>

namespace {

const char* kSansFamily = "DejaVu Sans";
const char* kMonoFamily = "DejaVu Sans Mono";

BFont
MakeSystemFont(const char* family, const char* style, uint16 face, float size)
{
	BFont font;
	font.SetFamilyAndStyle(family, style);
	font.SetFace(face);
	font.SetSize(size);
	return font;
}

// BeOS sizes are in pixels at 72 dpi: 10 for the plain font, 12 for the bold one.
const BFont sPlainFont = MakeSystemFont(kSansFamily, "Book", B_REGULAR_FACE, 10.0f);
const BFont sBoldFont = MakeSystemFont(kSansFamily, "Bold", B_BOLD_FACE, 12.0f);
const BFont sFixedFont = MakeSystemFont(kMonoFamily, "Book", B_REGULAR_FACE, 12.0f);

} // namespace

const BFont* be_plain_font = &sPlainFont;
const BFont* be_bold_font = &sBoldFont;
const BFont* be_fixed_font = &sFixedFont;

BFont::BFont()
    : fFamily(kSansFamily), fStyle("Book"), fSize(10.0f), fShear(90.0f), fRotation(0.0f),
      fFace(B_REGULAR_FACE), fFlags(0)
{}

BFont::BFont(const BFont& font) = default;

BFont::BFont(const BFont* font) : BFont()
{
	if (font != nullptr)
		*this = *font;
}

BFont& BFont::operator=(const BFont& font) = default;

bool
BFont::operator==(const BFont& font) const
{
	return fFamily == font.fFamily && fStyle == font.fStyle && fSize == font.fSize &&
	       fShear == font.fShear && fRotation == font.fRotation && fFace == font.fFace &&
	       fFlags == font.fFlags;
}

status_t
BFont::SetFamilyAndStyle(const font_family family, const font_style style)
{
	if (family != nullptr)
		fFamily.assign(family, strnlen(family, B_FONT_FAMILY_LENGTH));
	if (style != nullptr) {
		fStyle.assign(style, strnlen(style, B_FONT_STYLE_LENGTH));
		bool bold = fStyle.find("Bold") != std::string::npos;
		bool italic = fStyle.find("Italic") != std::string::npos ||
		              fStyle.find("Oblique") != std::string::npos;
		fFace = (bold ? B_BOLD_FACE : 0) | (italic ? B_ITALIC_FACE : 0);
		if (fFace == 0)
			fFace = B_REGULAR_FACE;
	}
	return B_OK;
}

void
BFont::SetFamilyAndFace(const font_family family, uint16 face)
{
	SetFamilyAndStyle(family, nullptr);
	SetFace(face);
}

void
BFont::GetFamilyAndStyle(font_family* family, font_style* style) const
{
	if (family != nullptr)
		std::snprintf(*family, sizeof(font_family), "%s", fFamily.c_str());
	if (style != nullptr)
		std::snprintf(*style, sizeof(font_style), "%s", fStyle.c_str());
}

void
BFont::SetSize(float size)
{
	// Fonts cannot be rendered at any size; keep a drawable range.
	if (size < 1.0f)
		size = 1.0f;
	if (size > 10000.0f)
		size = 10000.0f;
	fSize = size;
}

void
BFont::SetFace(uint16 face)
{
	fFace = face;
	bool bold = (face & B_BOLD_FACE) != 0;
	bool italic = (face & B_ITALIC_FACE) != 0;
	if (bold && italic)
		fStyle = "Bold Oblique";
	else if (bold)
		fStyle = "Bold";
	else if (italic)
		fStyle = "Oblique";
	else
		fStyle = "Book";
}

void
BFont::CopyFrom(const BFont& font, uint32 mask)
{
	if ((mask & B_FONT_FAMILY_AND_STYLE) != 0) {
		fFamily = font.fFamily;
		fStyle = font.fStyle;
		fFace = font.fFace;
	}
	if ((mask & B_FONT_SIZE) != 0)
		fSize = font.fSize;
	if ((mask & B_FONT_SHEAR) != 0)
		fShear = font.fShear;
	if ((mask & B_FONT_ROTATION) != 0)
		fRotation = font.fRotation;
	if ((mask & B_FONT_FACE) != 0)
		SetFace(font.fFace);
	if ((mask & B_FONT_FLAGS) != 0)
		fFlags = font.fFlags;
}

std::string
BFont::Description() const
{
	std::string description = fFamily;
	if ((fFace & B_BOLD_FACE) != 0)
		description += " Bold";
	if ((fFace & B_ITALIC_FACE) != 0)
		description += " Oblique";
	char size[32];
	std::snprintf(size, sizeof(size), " %gpx", fSize);
	return description + size;
}

void
BFont::PrintToStream() const
{
	std::printf("BFont(%s %s, %.1f)\n", fFamily.c_str(), fStyle.c_str(), fSize);
}
