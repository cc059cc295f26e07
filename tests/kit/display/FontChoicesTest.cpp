// Remembered font choices: text measured through them is measured exactly as through the
// full font configuration, and choices that no longer fit the configuration are not used.
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>

#include "FontChoices.h"
#include "TestSupport.h"

using namespace BPrivate;
using namespace kvtest;

namespace {

struct Extents
{
	PangoRectangle ink;
	PangoRectangle logical;
	int baseline;

	bool operator==(const Extents& other) const
	{
		return ink.x == other.ink.x && ink.y == other.ink.y && ink.width == other.ink.width &&
		       ink.height == other.ink.height && logical.width == other.logical.width &&
		       logical.height == other.logical.height && baseline == other.baseline;
	}
};

// Measures as the kit does: hinted metrics, grey antialiasing, 72 dots an inch.
Extents
Measure(FcConfig* config, const char* description, const char* text)
{
	PangoFontMap* map = pango_cairo_font_map_new();
	if (config != nullptr)
		pango_fc_font_map_set_config(PANGO_FC_FONT_MAP(map), config);
	PangoContext* context = pango_font_map_create_context(map);
	cairo_font_options_t* options = cairo_font_options_create();
	cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
	cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
	pango_cairo_context_set_font_options(context, options);
	cairo_font_options_destroy(options);
	pango_cairo_context_set_resolution(context, 72.0);
	PangoLayout* layout = pango_layout_new(context);
	PangoFontDescription* font = pango_font_description_from_string(description);
	pango_layout_set_font_description(layout, font);
	pango_layout_set_text(layout, text, -1);
	Extents extents;
	pango_layout_get_pixel_extents(layout, &extents.ink, &extents.logical);
	extents.baseline = pango_layout_get_baseline(layout);
	pango_font_description_free(font);
	g_object_unref(layout);
	g_object_unref(context);
	g_object_unref(map);
	return extents;
}

class FontChoicesTest : public testing::Test
{
protected:
	void SetUp() override
	{
		ASSERT_TRUE(FcInit());
		fPath = FontChoicesPath();
		ASSERT_EQ(fPath, std::string(fCache.Path()) + "/kit/fonts");
	}

	TempDir fHome{"kv-fonts"};
	TempDir fCache{"kv-fonts-cache"};
	ScopedEnv fHomeVariable{"HOME", fHome.Path().c_str()};
	ScopedEnv fCacheVariable{"XDG_CACHE_HOME", fCache.Path().c_str()};
	std::string fPath;
};

} // namespace

TEST_F(FontChoicesTest, TextMeasuresTheSameThroughTheChoicesAsThroughTheFullConfiguration)
{
	// "Sans" and "Monospace" are names the configuration resolves to other families.
	ASSERT_TRUE(RememberFontChoices(fPath, FontConfigurationStamp(),
	                                {"DejaVu Sans", "DejaVu Sans Mono", "Sans", "Monospace"}));
	std::set<std::string> families;
	FcConfig* choices = LoadFontChoices(fPath, FontConfigurationStamp(), &families);
	ASSERT_NE(choices, nullptr);
	EXPECT_EQ(families,
	          (std::set<std::string>{"DejaVu Sans", "DejaVu Sans Mono", "Monospace", "Sans"}));
	for (const char* description : {"DejaVu Sans 10", "DejaVu Sans Bold 12", "DejaVu Sans Mono 10",
	                                "Sans Italic 9", "Monospace 11"}) {
		for (const char* text :
		     {"0123456789", "Add Bookmark Here", "Wy\xc3\xa4g, fi ff \xe2\x80\x94 ok"}) {
			SCOPED_TRACE(std::string(description) + " / " + text);
			EXPECT_TRUE(Measure(choices, description, text) == Measure(nullptr, description, text));
		}
	}
	FcConfigDestroy(choices);
	// Remembering the same choices again leaves the file as it is.
	std::string before = ReadFile(fPath);
	ASSERT_TRUE(RememberFontChoices(fPath, FontConfigurationStamp(),
	                                {"DejaVu Sans", "DejaVu Sans Mono", "Sans", "Monospace"}));
	EXPECT_EQ(ReadFile(fPath), before);
}

TEST_F(FontChoicesTest, StaleDamagedOrMissingChoicesAreNotUsed)
{
	EXPECT_EQ(LoadFontChoices(fPath, FontConfigurationStamp(), nullptr), nullptr);
	EXPECT_FALSE(RememberFontChoices(fPath, FontConfigurationStamp(), {}));
	EXPECT_FALSE(RememberFontChoices(fPath, FontConfigurationStamp(), {"DejaVu\nSans"}));
	EXPECT_FALSE(RememberFontChoices("", FontConfigurationStamp(), {"DejaVu Sans"}));
	ASSERT_TRUE(RememberFontChoices(fPath, FontConfigurationStamp(), {"DejaVu Sans"}));
	std::string whole = ReadFile(fPath);

	// A configuration file of the user's appears: the choices may no longer be its own.
	{
		std::string folder = fHome.Path() + "/.config/fontconfig";
		ASSERT_EQ(std::system(("mkdir -p '" + folder + "'").c_str()), 0);
		std::ofstream(folder + "/fonts.conf") << "<fontconfig/>\n";
		EXPECT_EQ(LoadFontChoices(fPath, FontConfigurationStamp(), nullptr), nullptr);
		std::remove((folder + "/fonts.conf").c_str());
	}
	{
		ScopedEnv elsewhere("FONTCONFIG_FILE", "/nonexistent/fonts.conf");
		EXPECT_EQ(LoadFontChoices(fPath, FontConfigurationStamp(), nullptr), nullptr);
	}
	FcConfig* again = LoadFontChoices(fPath, FontConfigurationStamp(), nullptr);
	EXPECT_NE(again, nullptr);
	if (again != nullptr)
		FcConfigDestroy(again);

	// Cut short anywhere, or with a broken configuration, the file is ignored.
	for (size_t length : {whole.size() / 4, whole.size() / 2, whole.size() - 20}) {
		std::ofstream(fPath, std::ios::trunc) << whole.substr(0, length);
		EXPECT_EQ(LoadFontChoices(fPath, FontConfigurationStamp(), nullptr), nullptr) << length;
	}
}
