// Remembered font choices: they resolve text's faces exactly as the full font
// configuration does, and choices that no longer fit the configuration are not used.
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "FontChoices.h"
#include "TestSupport.h"
#include "TextFonts.h"

using namespace BPrivate;
using namespace kvtest;

namespace {

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

TEST_F(FontChoicesTest, FacesResolveTheSameThroughTheChoicesAsThroughTheFullConfiguration)
{
	// "Sans" and "Monospace" are names the configuration resolves to other families.
	ASSERT_TRUE(RememberFontChoices(fPath, FontConfigurationStamp(),
	                                {"DejaVu Sans", "DejaVu Sans Mono", "Sans", "Monospace"}));
	std::set<std::string> families;
	FcConfig* choices = LoadFontChoices(fPath, FontConfigurationStamp(), &families);
	ASSERT_NE(choices, nullptr);
	EXPECT_EQ(families,
	          (std::set<std::string>{"DejaVu Sans", "DejaVu Sans Mono", "Monospace", "Sans"}));
	// The same face with the same rendering settings draws the same glyphs at the same places.
	for (const char* description :
	     {"DejaVu Sans 10px", "DejaVu Sans Bold 12px", "DejaVu Sans Mono 10px", "Sans Oblique 9px",
	      "Monospace 11px"}) {
		SCOPED_TRACE(description);
		std::string full = ResolvedFontName(nullptr, description);
		EXPECT_NE(full.find(".ttf"), std::string::npos) << full;
		EXPECT_EQ(ResolvedFontName(choices, description), full);
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

	// A font added to or removed from a chosen font's folder changes the folder's time.
	{
		size_t folders = whole.find("\nfolders\n");
		ASSERT_NE(folders, std::string::npos);
		size_t stampStart = whole.find('\n', folders + 9) + 1;
		size_t stampEnd = whole.find('\n', stampStart);
		std::string changed = whole;
		changed.replace(stampEnd - 1, 1, whole[stampEnd - 1] == '1' ? "2" : "1");
		std::ofstream(fPath, std::ios::trunc) << changed;
		EXPECT_EQ(LoadFontChoices(fPath, FontConfigurationStamp(), nullptr), nullptr);
	}

	// Cut short anywhere, or with a broken configuration, the file is ignored.
	for (size_t length : {whole.size() / 4, whole.size() / 2, whole.size() - 20}) {
		std::ofstream(fPath, std::ios::trunc) << whole.substr(0, length);
		EXPECT_EQ(LoadFontChoices(fPath, FontConfigurationStamp(), nullptr), nullptr) << length;
	}
}
