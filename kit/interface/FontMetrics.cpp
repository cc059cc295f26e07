// BFont measurement through the display backend's text layout, and the keyboard's
// modifier state; both work without an X server.
#include <Font.h>

#include <cstring>
#include <string>
#include <vector>

#include <InterfaceDefs.h>
#include <String.h>

#include "Canvas.h"
#include "InterfaceBackend.h"

float
BFont::StringWidth(const char* string) const
{
	if (string == nullptr)
		return 0.0f;
	return BPrivate::TextWidth(BPrivate::FontDescription(Description()), string,
	                           (int32)std::strlen(string));
}

float
BFont::StringWidth(const char* string, int32 length) const
{
	if (string == nullptr || length <= 0)
		return 0.0f;
	return BPrivate::TextWidth(BPrivate::FontDescription(Description()), string,
	                           (int32)strnlen(string, (size_t)length));
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
	if (height == nullptr)
		return;
	BPrivate::FontHeight metrics;
	BPrivate::TextHeight(BPrivate::FontDescription(Description()), &metrics);
	height->ascent = metrics.ascent;
	height->descent = metrics.descent;
	height->leading = metrics.leading;
}

void
BFont::GetBoundingBoxesAsGlyphs(const char* string, int32 numChars, font_metric_mode,
                                BRect boundingBoxArray[]) const
{
	BPrivate::TextGlyphBoxes(BPrivate::FontDescription(Description()), string, numChars,
	                         boundingBoxArray);
}

void
BFont::GetBoundingBoxesForStrings(const char* stringArray[], int32 numStrings, font_metric_mode,
                                  escapement_delta[], BRect boundingBoxArray[]) const
{
	if (stringArray == nullptr || boundingBoxArray == nullptr)
		return;
	for (int32 i = 0; i < numStrings; i++) {
		const char* string = stringArray[i];
		boundingBoxArray[i] =
		        string != nullptr
		                ? BPrivate::TextInkBounds(BPrivate::FontDescription(Description()), string,
		                                          (int32)std::strlen(string))
		                : BRect(0, 0, -1, -1);
	}
}

namespace {

// Byte offsets of the characters of text, and its length at the end.
std::vector<int32>
CharacterStarts(const std::string& text)
{
	std::vector<int32> starts;
	for (int32 i = 0; i < (int32)text.size(); i++) {
		if (((uint8)text[i] & 0xc0) != 0x80)
			starts.push_back(i);
	}
	starts.push_back((int32)text.size());
	return starts;
}

} // namespace

void
BFont::TruncateString(BString* inOut, uint32 mode, float width) const
{
	if (inOut == nullptr || StringWidth(inOut->String()) <= width)
		return;
	static const std::string kEllipsis = "\xe2\x80\xa6";
	std::string text = BPrivate::ValidUtf8(inOut->String(), inOut->Length());
	std::vector<int32> starts = CharacterStarts(text);
	int32 count = (int32)starts.size() - 1;
	// Keep as many characters as fit, taking them from the kept side(s).
	std::string best;
	for (int32 kept = count - 1; kept >= 0; kept--) {
		std::string candidate;
		if (mode == B_TRUNCATE_BEGINNING) {
			candidate = kEllipsis + text.substr(starts[count - kept]);
		} else if (mode == B_TRUNCATE_MIDDLE || mode == B_TRUNCATE_SMART) {
			int32 head = (kept + 1) / 2;
			int32 tail = kept - head;
			candidate =
			        text.substr(0, starts[head]) + kEllipsis + text.substr(starts[count - tail]);
		} else {
			candidate = text.substr(0, starts[kept]) + kEllipsis;
		}
		if (StringWidth(candidate.c_str()) <= width) {
			best = candidate;
			break;
		}
	}
	inOut->SetTo(best.c_str());
}

uint32
modifiers()
{
	return BPrivate::Backend()->Modifiers();
}
