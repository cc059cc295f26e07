// Text on one line: split into runs of one face, one script and one direction, each shaped
// with HarfBuzz, placed in visual order (fribidi gives the levels of right-to-left text)
// and drawn with cairo. Advances are rounded to whole pixels, so that widths are whole
// pixels as on BeOS.
#include "TextLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include <fribidi.h>

#include "Canvas.h"
#include "TextFonts.h"

namespace BPrivate {

namespace {

// One run of glyphs, positioned from the run's left end on the baseline.
struct GlyphRun
{
	const TextFace* face;
	std::vector<cairo_glyph_t> glyphs;
	double advance;
	int level; // bidi embedding level; odd is right-to-left
};

struct ShapedText
{
	std::vector<GlyphRun> runs; // in visual order, left to right
	double advance = 0;
};

// The length of the UTF-8 sequence at text and its character; 0 for an invalid sequence.
size_t
DecodeUtf8(const unsigned char* text, const unsigned char* end, uint32_t* character)
{
	unsigned int lead = text[0];
	if (lead < 0x80) {
		*character = lead;
		return 1;
	}
	size_t length;
	uint32_t smallest;
	if (lead >= 0xc2 && lead <= 0xdf) {
		length = 2;
		smallest = 0x80;
		*character = lead & 0x1f;
	} else if (lead >= 0xe0 && lead <= 0xef) {
		length = 3;
		smallest = 0x800;
		*character = lead & 0x0f;
	} else if (lead >= 0xf0 && lead <= 0xf4) {
		length = 4;
		smallest = 0x10000;
		*character = lead & 0x07;
	} else {
		return 0;
	}
	if ((size_t)(end - text) < length)
		return 0;
	for (size_t i = 1; i < length; i++) {
		if ((text[i] & 0xc0) != 0x80)
			return 0;
		*character = (*character << 6) | (text[i] & 0x3f);
	}
	// Overlong forms, surrogates and values past Unicode's end are not characters.
	if (*character < smallest || *character > 0x10ffff ||
	    (*character >= 0xd800 && *character <= 0xdfff)) {
		return 0;
	}
	return length;
}

// The characters of valid UTF-8 text and the byte offset each starts at.
void
Decode(const std::string& text, std::vector<uint32_t>* characters, std::vector<uint32_t>* offsets)
{
	const unsigned char* start = (const unsigned char*)text.data();
	const unsigned char* end = start + text.size();
	const unsigned char* cursor = start;
	while (cursor < end) {
		uint32_t character = 0xfffd;
		size_t length = DecodeUtf8(cursor, end, &character);
		if (length == 0)
			length = 1;
		characters->push_back(character);
		offsets->push_back((uint32_t)(cursor - start));
		cursor += length;
	}
}

// Embedding levels of the characters; all 0 for text that has nothing right-to-left.
std::vector<FriBidiLevel>
BidiLevels(const std::vector<uint32_t>& characters)
{
	std::vector<FriBidiLevel> levels(characters.size(), 0);
	bool mayBeRightToLeft = false;
	for (uint32_t character : characters)
		mayBeRightToLeft = mayBeRightToLeft || character >= 0x0590;
	if (!mayBeRightToLeft)
		return levels;
	FriBidiStrIndex length = (FriBidiStrIndex)characters.size();
	std::vector<FriBidiCharType> types(characters.size());
	std::vector<FriBidiBracketType> brackets(characters.size());
	fribidi_get_bidi_types(characters.data(), length, types.data());
	fribidi_get_bracket_types(characters.data(), length, types.data(), brackets.data());
	// The paragraph takes the direction of its first strong character, as text fields do.
	FriBidiParType direction = FRIBIDI_PAR_ON;
	if (fribidi_get_par_embedding_levels_ex(types.data(), brackets.data(), length, &direction,
	                                        levels.data()) == 0) {
		std::fill(levels.begin(), levels.end(), 0);
	}
	return levels;
}

bool
TakesNeighboursScript(hb_script_t script)
{
	return script == HB_SCRIPT_COMMON || script == HB_SCRIPT_INHERITED ||
	       script == HB_SCRIPT_UNKNOWN;
}

// A stretch of characters [start, end) drawn with one face, script and direction.
struct Item
{
	size_t start;
	size_t end;
	const TextFace* face;
	int level;
	hb_script_t script;
};

std::vector<Item>
Itemize(FontSet& fonts, const std::vector<uint32_t>& characters,
        const std::vector<FriBidiLevel>& levels)
{
	hb_unicode_funcs_t* unicode = hb_unicode_funcs_get_default();
	std::vector<Item> items;
	for (size_t i = 0; i < characters.size(); i++) {
		uint32_t character = characters[i];
		hb_script_t script = hb_unicode_script(unicode, character);
		const TextFace* face = &fonts.FaceFor(character);
		Item* current = items.empty() ? nullptr : &items.back();
		// Marks, joiners and selectors stay with the character they belong to when its face
		// has them.
		if (current != nullptr && script == HB_SCRIPT_INHERITED && current->face->coverage &&
		    FcCharSetHasChar(current->face->coverage, character)) {
			face = current->face;
		}
		bool split = current == nullptr || face != current->face ||
		             (int)levels[i] != current->level ||
		             (!TakesNeighboursScript(script) && !TakesNeighboursScript(current->script) &&
		              script != current->script);
		if (split) {
			items.push_back(Item{i, i + 1, face, (int)levels[i], script});
			continue;
		}
		current->end = i + 1;
		if (TakesNeighboursScript(current->script) && !TakesNeighboursScript(script))
			current->script = script;
	}
	return items;
}

GlyphRun
ShapeItem(const std::string& text, const std::vector<uint32_t>& offsets, const Item& item)
{
	// One buffer per thread, reused for every run and released with the thread (menus and
	// alerts come and go with threads of their own).
	struct ShapingBuffer
	{
		hb_buffer_t* buffer = hb_buffer_create();
		~ShapingBuffer() { hb_buffer_destroy(buffer); }
	};
	thread_local ShapingBuffer sShaping;
	hb_buffer_t* buffer = sShaping.buffer;
	hb_buffer_clear_contents(buffer);
	uint32_t start = offsets[item.start];
	uint32_t end = item.end < offsets.size() ? offsets[item.end] : (uint32_t)text.size();
	hb_buffer_add_utf8(buffer, text.data(), (int)text.size(), start, (int)(end - start));
	hb_buffer_set_direction(buffer, item.level % 2 != 0 ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
	if (!TakesNeighboursScript(item.script))
		hb_buffer_set_script(buffer, item.script);
	hb_buffer_set_language(buffer, hb_language_get_default());
	hb_buffer_guess_segment_properties(buffer);
	hb_shape(item.face->shaper, buffer, nullptr, 0);

	unsigned int count = 0;
	hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(buffer, &count);
	hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(buffer, &count);
	GlyphRun run{item.face, {}, 0, item.level};
	run.glyphs.reserve(count);
	double scale = item.face->pixelsPerUnit;
	for (unsigned int i = 0; i < count; i++) {
		cairo_glyph_t glyph;
		glyph.index = infos[i].codepoint;
		glyph.x = run.advance + std::round(positions[i].x_offset * scale);
		glyph.y = -std::round(positions[i].y_offset * scale);
		run.glyphs.push_back(glyph);
		run.advance += std::round(positions[i].x_advance * scale);
	}
	return run;
}

// Reverses every stretch of runs at each level and above, highest level first, so that
// right-to-left runs read from the right.
void
OrderVisually(std::vector<GlyphRun>* runs)
{
	int highest = 0;
	int lowestOdd = 1000;
	for (const GlyphRun& run : *runs) {
		highest = std::max(highest, run.level);
		if (run.level % 2 != 0)
			lowestOdd = std::min(lowestOdd, run.level);
	}
	for (int level = highest; level >= lowestOdd; level--) {
		auto cursor = runs->begin();
		while (cursor != runs->end()) {
			if (cursor->level < level) {
				++cursor;
				continue;
			}
			auto stretchEnd = cursor;
			while (stretchEnd != runs->end() && stretchEnd->level >= level)
				++stretchEnd;
			std::reverse(cursor, stretchEnd);
			cursor = stretchEnd;
		}
	}
}

ShapedText
Shape(const FontDescription& font, const std::string& text)
{
	ShapedText shaped;
	std::vector<uint32_t> characters;
	std::vector<uint32_t> offsets;
	Decode(text, &characters, &offsets);
	if (characters.empty())
		return shaped;
	std::vector<FriBidiLevel> levels = BidiLevels(characters);
	for (const Item& item : Itemize(FontSetFor(font), characters, levels))
		shaped.runs.push_back(ShapeItem(text, offsets, item));
	OrderVisually(&shaped.runs);
	for (const GlyphRun& run : shaped.runs)
		shaped.advance += run.advance;
	return shaped;
}

// Each run's glyphs placed at (x, y) onward.
std::vector<cairo_glyph_t>
Placed(const GlyphRun& run, double x, double y)
{
	std::vector<cairo_glyph_t> glyphs = run.glyphs;
	for (cairo_glyph_t& glyph : glyphs) {
		glyph.x += x;
		glyph.y += y;
	}
	return glyphs;
}

} // namespace

std::string
ValidUtf8(const char* text, int32 length)
{
	std::string result;
	if (text == nullptr || length <= 0)
		return result;
	result.reserve((size_t)length);
	const unsigned char* cursor = (const unsigned char*)text;
	const unsigned char* end = cursor + length;
	while (cursor < end) {
		if (*cursor == '\0') {
			cursor++;
			continue;
		}
		uint32_t character;
		size_t sequence = DecodeUtf8(cursor, end, &character);
		if (sequence == 0) {
			result.append("\xEF\xBF\xBD");
			cursor++;
			continue;
		}
		result.append((const char*)cursor, sequence);
		cursor += sequence;
	}
	return result;
}

float
ShowText(cairo_t* context, const FontDescription& font, const std::string& text)
{
	ShapedText shaped = Shape(font, text);
	double x, y;
	cairo_get_current_point(context, &x, &y);
	for (const GlyphRun& run : shaped.runs) {
		std::vector<cairo_glyph_t> glyphs = Placed(run, x, y);
		cairo_set_font_face(context, cairo_scaled_font_get_font_face(run.face->scaledFont));
		cairo_set_font_size(context, run.face->pixelSize);
		cairo_font_options_t* options = cairo_font_options_create();
		cairo_scaled_font_get_font_options(run.face->scaledFont, options);
		cairo_set_font_options(context, options);
		cairo_font_options_destroy(options);
		cairo_show_glyphs(context, glyphs.data(), (int)glyphs.size());
		x += run.advance;
	}
	return (float)shaped.advance;
}

float
TextWidth(const FontDescription& font, const char* text, int32 length)
{
	std::string valid = ValidUtf8(text, length);
	if (valid.empty())
		return 0.0f;
	return (float)Shape(font, valid).advance;
}

BRect
TextInkBounds(const FontDescription& font, const char* text, int32 length)
{
	std::string valid = ValidUtf8(text, length);
	if (valid.empty())
		return BRect(0, 0, -1, -1);
	ShapedText shaped = Shape(font, valid);
	double left = 0, top = 0, right = 0, bottom = 0;
	bool inked = false;
	double x = 0;
	for (const GlyphRun& run : shaped.runs) {
		std::vector<cairo_glyph_t> glyphs = Placed(run, x, 0);
		cairo_text_extents_t extents;
		cairo_scaled_font_glyph_extents(run.face->scaledFont, glyphs.data(), (int)glyphs.size(),
		                                &extents);
		x += run.advance;
		if (extents.width <= 0 || extents.height <= 0)
			continue;
		double runRight = extents.x_bearing + extents.width;
		double runBottom = extents.y_bearing + extents.height;
		left = inked ? std::min(left, extents.x_bearing) : extents.x_bearing;
		top = inked ? std::min(top, extents.y_bearing) : extents.y_bearing;
		right = inked ? std::max(right, runRight) : runRight;
		bottom = inked ? std::max(bottom, runBottom) : runBottom;
		inked = true;
	}
	if (!inked)
		return BRect(0, 0, -1, -1);
	// Whole pixels that the ink touches, from the baseline's left end.
	return BRect((float)std::floor(left), (float)std::floor(top), (float)std::ceil(right) - 1,
	             (float)std::ceil(bottom) - 1);
}

void
TextHeight(const FontDescription& font, FontHeight* height)
{
	if (height != nullptr)
		*height = FontSetFor(font).Height();
}

void
TextGlyphBoxes(const FontDescription& font, const char* text, int32 numChars, BRect boxes[])
{
	if (text == nullptr || numChars <= 0 || boxes == nullptr)
		return;
	// Walk the characters of the raw bytes, as the caller counted them. Each box is the
	// ink of its character alone (a tall capital is taller than a small letter, which is
	// what callers measure), placed at the character's pen position in the string.
	int32 index = 0;
	const char* cursor = text;
	float x = 0;
	while (index < numChars && *cursor != '\0') {
		int32 bytes = 1;
		unsigned char lead = (unsigned char)*cursor;
		if (lead >= 0xf0)
			bytes = 4;
		else if (lead >= 0xe0)
			bytes = 3;
		else if (lead >= 0xc0)
			bytes = 2;
		for (int32 i = 1; i < bytes; i++) {
			if (cursor[i] == '\0') {
				bytes = i;
				break;
			}
		}
		BRect ink = TextInkBounds(font, cursor, bytes);
		boxes[index] = ink.IsValid() ? ink.OffsetByCopy(x, 0) : BRect(x, 0, x - 1, -1);
		x += TextWidth(font, cursor, bytes);
		cursor += bytes;
		index++;
	}
	for (; index < numChars; index++)
		boxes[index] = BRect(x, 0, x - 1, -1);
}

} // namespace BPrivate
