// BFont measurement through the display backend's pango text, and the keyboard's
// modifier state; both work without an X server.
#include <Font.h>

#include <cstring>

#include <InterfaceDefs.h>

#include "Canvas.h"
#include "Display.h"

float
BFont::StringWidth(const char* string) const
{
	if (string == nullptr)
		return 0.0f;
	return BPrivate::TextWidth(*this, string, (int32)std::strlen(string));
}

float
BFont::StringWidth(const char* string, int32 length) const
{
	if (string == nullptr || length <= 0)
		return 0.0f;
	return BPrivate::TextWidth(*this, string, (int32)strnlen(string, (size_t)length));
}

void
BFont::GetStringWidths(const char* stringArray[], const int32 lengthArray[], int32 numStrings,
                       float widthArray[]) const
{
	for (int32 i = 0; i < numStrings; i++)
		widthArray[i] = StringWidth(stringArray[i], lengthArray[i]);
}

void
BFont::GetHeight(font_height* height) const
{
	BPrivate::TextHeight(*this, height);
}

void
BFont::GetBoundingBoxesAsGlyphs(const char* string, int32 numChars, font_metric_mode,
                                BRect boundingBoxArray[]) const
{
	BPrivate::TextGlyphBoxes(*this, string, numChars, boundingBoxArray);
}

uint32
modifiers()
{
	BPrivate::Display* display = BPrivate::Display::Default();
	return display != nullptr ? display->Modifiers() : 0;
}
