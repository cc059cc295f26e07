// Pango text: measurement and drawing with one pango context per thread, hinted metrics so
// that widths are whole pixels as on BeOS, and font descriptions cached per thread.
#include "TextLayout.h"

#include <cmath>
#include <map>
#include <mutex>
#include <thread>

#include <fontconfig/fontconfig.h>

#include <pango/pangocairo.h>

#include "Canvas.h"

namespace BPrivate {

namespace {

std::once_flag sFontConfigurationRead;

// Parsing the configuration is most of a program's start-up work; it is done once, and a
// thread that needs it while another is parsing waits for that one.
void
ReadFontConfiguration()
{
	std::call_once(sFontConfigurationRead, [] { FcInit(); });
}

// The pango objects of one thread, released when the thread ends.
class ThreadText
{
public:
	ThreadText()
	{
		ReadFontConfiguration();
		fFontMap = pango_cairo_font_map_new();
		fContext = pango_font_map_create_context(fFontMap);
		cairo_font_options_t* options = cairo_font_options_create();
		cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
		cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
		pango_cairo_context_set_font_options(fContext, options);
		cairo_font_options_destroy(options);
		pango_cairo_context_set_resolution(fContext, 72.0);
		fLayout = pango_layout_new(fContext);
	}

	~ThreadText()
	{
		for (auto& entry : fDescriptions)
			pango_font_description_free(entry.second);
		g_object_unref(fLayout);
		g_object_unref(fContext);
		g_object_unref(fFontMap);
	}

	PangoContext* Context() const { return fContext; }

	// A layout holding text in font; owned by this object, valid until the next call.
	PangoLayout* Layout(const FontSpec& font, const std::string& text)
	{
		pango_layout_set_font_description(fLayout, Description(font));
		pango_layout_set_text(fLayout, text.data(), (int)text.size());
		return fLayout;
	}

	const PangoFontDescription* Description(const FontSpec& font)
	{
		std::string name = font.Description();
		auto found = fDescriptions.find(name);
		if (found != fDescriptions.end())
			return found->second;
		PangoFontDescription* description = pango_font_description_from_string(name.c_str());
		fDescriptions[name] = description;
		return description;
	}

private:
	PangoFontMap* fFontMap;
	PangoContext* fContext;
	PangoLayout* fLayout;
	std::map<std::string, PangoFontDescription*> fDescriptions;
};

ThreadText&
Text()
{
	thread_local ThreadText sText;
	return sText;
}

} // namespace

void
StartReadingFontConfiguration()
{
	std::thread(ReadFontConfiguration).detach();
}

std::string
ValidUtf8(const char* text, int32 length)
{
	std::string result;
	if (text == nullptr || length <= 0)
		return result;
	result.reserve((size_t)length);
	const char* end = text + length;
	const char* cursor = text;
	while (cursor < end) {
		if (*cursor == '\0') {
			cursor++;
			continue;
		}
		const gchar* validEnd = nullptr;
		g_utf8_validate(cursor, end - cursor, &validEnd);
		result.append(cursor, validEnd);
		cursor = validEnd;
		if (cursor < end && *cursor != '\0') {
			result.append("\xEF\xBF\xBD");
			cursor++;
		}
	}
	return result;
}

float
ShowText(cairo_t* context, const FontSpec& font, const std::string& text)
{
	ThreadText& threadText = Text();
	PangoLayout* layout = threadText.Layout(font, text);
	pango_cairo_update_context(context, threadText.Context());
	pango_layout_context_changed(layout);
	double x, y;
	cairo_get_current_point(context, &x, &y);
	int baseline = pango_layout_get_baseline(layout);
	cairo_move_to(context, x, y - (double)baseline / PANGO_SCALE);
	pango_cairo_show_layout(context, layout);
	PangoRectangle logical;
	pango_layout_get_pixel_extents(layout, nullptr, &logical);
	return (float)logical.width;
}

float
TextWidth(const FontSpec& font, const char* text, int32 length)
{
	std::string valid = ValidUtf8(text, length);
	if (valid.empty())
		return 0.0f;
	PangoLayout* layout = Text().Layout(font, valid);
	PangoRectangle logical;
	pango_layout_get_pixel_extents(layout, nullptr, &logical);
	return (float)logical.width;
}

BRect
TextInkBounds(const FontSpec& font, const char* text, int32 length)
{
	std::string valid = ValidUtf8(text, length);
	if (valid.empty())
		return BRect(0, 0, -1, -1);
	PangoLayout* layout = Text().Layout(font, valid);
	PangoRectangle ink;
	pango_layout_get_pixel_extents(layout, &ink, nullptr);
	if (ink.width <= 0 || ink.height <= 0)
		return BRect(0, 0, -1, -1);
	// Pango measures from the layout's top; BeOS from the baseline.
	float top = (float)ink.y - (float)PANGO_PIXELS(pango_layout_get_baseline(layout));
	return BRect((float)ink.x, top, (float)(ink.x + ink.width - 1), top + (float)(ink.height - 1));
}

void
TextHeight(const FontSpec& font, FontHeight* height)
{
	if (height == nullptr)
		return;
	ThreadText& threadText = Text();
	PangoFontMetrics* metrics =
	        pango_context_get_metrics(threadText.Context(), threadText.Description(font), nullptr);
	float ascent = (float)pango_font_metrics_get_ascent(metrics) / PANGO_SCALE;
	float descent = (float)pango_font_metrics_get_descent(metrics) / PANGO_SCALE;
	float lineHeight = (float)pango_font_metrics_get_height(metrics) / PANGO_SCALE;
	pango_font_metrics_unref(metrics);
	height->ascent = std::ceil(ascent);
	height->descent = std::ceil(descent);
	height->leading = std::max(0.0f, std::ceil(lineHeight - ascent - descent));
}

void
TextGlyphBoxes(const FontSpec& font, const char* text, int32 numChars, BRect boxes[])
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
