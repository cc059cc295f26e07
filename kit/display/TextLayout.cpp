// Pango text: measurement and drawing with one pango context per thread, hinted metrics so
// that widths are whole pixels as on BeOS, and font descriptions cached per thread. Until
// the system's font configuration is read, remembered font choices (FontChoices.h) draw
// the families they cover.
#include "TextLayout.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include <fontconfig/fontconfig.h>

#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>

#include "Canvas.h"
#include "FontChoices.h"

namespace BPrivate {

namespace {

std::once_flag sFontConfigurationRead;
std::atomic<bool> sFontConfigurationReady(false);

// The remembered choices, loaded once; they live as long as the process. While the full
// configuration is read they are fontconfig's current one, so that pango, which waits for
// fontconfig's start before it measures anything, finds it started at once.
// Like everything below, they are never destroyed: window threads may still draw while
// the process ends.
std::once_flag sChoicesLoaded;
FcConfig* sChoices = nullptr;
std::set<std::string>& sChosenFamilies = *new std::set<std::string>;
std::string& sChoicesPath = *new std::string;
std::string& sChoicesStamp = *new std::string;

// The families drawn with so far, and those the remembered choices hold.
std::mutex& sFamiliesLock = *new std::mutex;
std::set<std::string>& sUsedFamilies = *new std::set<std::string>;
std::set<std::string>& sRememberedFamilies = *new std::set<std::string>;

void
LoadChoices()
{
	std::call_once(sChoicesLoaded, [] {
		// The environment is read here, once: other threads may change it meanwhile.
		sChoicesPath = FontChoicesPath();
		sChoicesStamp = FontConfigurationStamp();
		sChoices = LoadFontChoices(sChoicesPath, sChoicesStamp, &sChosenFamilies);
		if (sChoices != nullptr)
			FcConfigSetCurrent(sChoices);
		std::lock_guard<std::mutex> lock(sFamiliesLock);
		sRememberedFamilies = sChosenFamilies;
	});
}

// Writes the choices again when a family is new to them, or when the full configuration
// now resolves a family otherwise (a font installed since).
void
RememberChoices(bool check)
{
	LoadChoices();
	std::set<std::string> families;
	{
		std::lock_guard<std::mutex> lock(sFamiliesLock);
		bool complete = std::includes(sRememberedFamilies.begin(), sRememberedFamilies.end(),
		                              sUsedFamilies.begin(), sUsedFamilies.end());
		if (complete && !check)
			return;
		families = sRememberedFamilies;
		families.insert(sUsedFamilies.begin(), sUsedFamilies.end());
		sRememberedFamilies = families;
	}
	RememberFontChoices(sChoicesPath, sChoicesStamp, families);
}

// Parsing the configuration is most of a program's start-up work; it is done once, and a
// thread that needs it while another is parsing waits for that one.
void
ReadFontConfiguration()
{
	std::call_once(sFontConfigurationRead, [] {
		LoadChoices();
		if (sChoices == nullptr) {
			FcInit();
		} else if (FcConfig* full = FcInitLoadConfigAndFonts()) {
			FcConfigSetCurrent(full);
			FcConfigDestroy(full);
		}
		sFontConfigurationReady = true;
	});
}

// The families of a description ("A,B 12"), each as fontconfig would be asked for it.
std::set<std::string>
FamiliesOf(const PangoFontDescription* description)
{
	std::set<std::string> families;
	const char* list = pango_font_description_get_family(description);
	std::string all = list != nullptr ? list : "";
	size_t start = 0;
	while (start <= all.size()) {
		size_t comma = all.find(',', start);
		std::string family = all.substr(start, comma == std::string::npos ? comma : comma - start);
		while (!family.empty() && family.front() == ' ')
			family.erase(0, 1);
		while (!family.empty() && family.back() == ' ')
			family.pop_back();
		if (!family.empty())
			families.insert(family);
		if (comma == std::string::npos)
			break;
		start = comma + 1;
	}
	return families;
}

// The pango objects of one thread, released when the thread ends.
class ThreadText
{
public:
	ThreadText() : fUsesChoices(false)
	{
		// Fontconfig's current configuration is settled before pango first asks for it.
		if (!sFontConfigurationReady) {
			LoadChoices();
			if (sChoices == nullptr)
				ReadFontConfiguration();
		}
		fUsesChoices = !sFontConfigurationReady;
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
	PangoLayout* Layout(const FontDescription& font, const std::string& text)
	{
		pango_layout_set_font_description(fLayout, Description(font));
		pango_layout_set_text(fLayout, text.data(), (int)text.size());
		return fLayout;
	}

	// The description of font, with the configuration that draws it in place.
	const PangoFontDescription* Description(const FontDescription& font)
	{
		std::string name = font.Description();
		auto found = fDescriptions.find(name);
		if (found != fDescriptions.end()) {
			_Settle(found->second);
			return found->second;
		}
		PangoFontDescription* description = pango_font_description_from_string(name.c_str());
		fDescriptions[name] = description;
		std::set<std::string> families = FamiliesOf(description);
		{
			std::lock_guard<std::mutex> lock(sFamiliesLock);
			sUsedFamilies.insert(families.begin(), families.end());
		}
		_Settle(description);
		if (sFontConfigurationReady)
			RememberChoices(false);
		return description;
	}

	// Heights are asked for at every draw; pango's answer costs a sample text's layout.
	bool KnownHeight(const PangoFontDescription* description, FontHeight* height) const
	{
		auto found = fHeights.find(description);
		if (found == fHeights.end())
			return false;
		*height = found->second;
		return true;
	}

	void RememberHeight(const PangoFontDescription* description, const FontHeight& height)
	{
		fHeights[description] = height;
	}

private:
	// The remembered choices serve until the full configuration is read, and only for the
	// families they hold; anything else waits for the full configuration.
	void _Settle(const PangoFontDescription* description)
	{
		if (fUsesChoices && !sFontConfigurationReady) {
			std::set<std::string> families = FamiliesOf(description);
			if (std::includes(sChosenFamilies.begin(), sChosenFamilies.end(), families.begin(),
			                  families.end())) {
				return;
			}
		}
		ReadFontConfiguration();
		if (!fUsesChoices)
			return;
		pango_fc_font_map_set_config(PANGO_FC_FONT_MAP(fFontMap), nullptr);
		pango_layout_context_changed(fLayout);
		fHeights.clear();
		fUsesChoices = false;
	}

	PangoFontMap* fFontMap;
	PangoContext* fContext;
	PangoLayout* fLayout;
	std::map<std::string, PangoFontDescription*> fDescriptions;
	std::map<const PangoFontDescription*, FontHeight> fHeights;
	bool fUsesChoices;
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
	LoadChoices();
	std::thread([] {
		ReadFontConfiguration();
		RememberChoices(sChoices != nullptr);
	}).detach();
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
ShowText(cairo_t* context, const FontDescription& font, const std::string& text)
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
TextWidth(const FontDescription& font, const char* text, int32 length)
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
TextInkBounds(const FontDescription& font, const char* text, int32 length)
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
TextHeight(const FontDescription& font, FontHeight* height)
{
	if (height == nullptr)
		return;
	ThreadText& threadText = Text();
	const PangoFontDescription* description = threadText.Description(font);
	if (threadText.KnownHeight(description, height))
		return;
	PangoFontMetrics* metrics =
	        pango_context_get_metrics(threadText.Context(), description, nullptr);
	float ascent = (float)pango_font_metrics_get_ascent(metrics) / PANGO_SCALE;
	float descent = (float)pango_font_metrics_get_descent(metrics) / PANGO_SCALE;
	float lineHeight = (float)pango_font_metrics_get_height(metrics) / PANGO_SCALE;
	pango_font_metrics_unref(metrics);
	height->ascent = std::ceil(ascent);
	height->descent = std::ceil(descent);
	height->leading = std::max(0.0f, std::ceil(lineHeight - ascent - descent));
	threadText.RememberHeight(description, *height);
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
