// Text shaping and fonts without a server: descriptions as the interface kit writes them,
// fallback faces for characters the primary face lacks, shaping (kerning, right-to-left
// runs), strict UTF-8, and measuring from several threads at once.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "Canvas.h"
#include "TextFonts.h"

using namespace BPrivate;

namespace {

const FontDescription kPlain("DejaVu Sans 10px");

float
Width(const FontDescription& font, const std::string& text)
{
	return TextWidth(font, text.data(), (int32)text.size());
}

} // namespace

TEST(TextLayoutTest, DescriptionsParseAsTheInterfaceKitWritesThem)
{
	FontRequest request = ParseFontDescription("DejaVu Sans Bold Oblique 12.5px");
	EXPECT_EQ(request.familyOrder, std::vector<std::string>{"DejaVu Sans"});
	EXPECT_TRUE(request.bold);
	EXPECT_TRUE(request.oblique);
	EXPECT_DOUBLE_EQ(request.pixelSize, 12.5);

	request = ParseFontDescription(" Noto Sans , DejaVu Sans,Noto Sans 9px");
	EXPECT_EQ(request.familyOrder, (std::vector<std::string>{"Noto Sans", "DejaVu Sans"}));
	EXPECT_FALSE(request.bold);

	// Nonsense sizes keep the default instead of asking fontconfig for them.
	EXPECT_DOUBLE_EQ(ParseFontDescription("DejaVu Sans nanpx").pixelSize, 12);
	EXPECT_DOUBLE_EQ(ParseFontDescription("DejaVu Sans -3px").pixelSize, 12);
	EXPECT_TRUE(ParseFontDescription("").families.empty());
}

TEST(TextLayoutTest, CharactersThePrimaryFaceLacksComeFromAFaceThatHasThem)
{
	FontSet& fonts = FontSetFor(kPlain);
	// DejaVu Sans has no mathematical bold capitals; DejaVu Serif, installed with it, has.
	const TextFace& fallback = fonts.FaceFor(0x1D400);
	EXPECT_NE(&fallback, &fonts.Primary());
	ASSERT_NE(fallback.coverage, nullptr);
	EXPECT_TRUE(FcCharSetHasChar(fallback.coverage, 0x1D400));
	EXPECT_EQ(&fonts.FaceFor('A'), &fonts.Primary());
	// A character no face has falls to the primary face, which draws its missing glyph.
	EXPECT_EQ(&fonts.FaceFor(0xE000), &fonts.Primary());
	EXPECT_GT(Width(kPlain, "\xee\x80\x80"), 0);
	// Mixed text measures as the sum of its parts: the runs of each face are placed one
	// after the other.
	std::string mixed = "A\xf0\x9d\x90\x80"
	                    "A";
	EXPECT_FLOAT_EQ(Width(kPlain, mixed),
	                2 * Width(kPlain, "A") + Width(kPlain, "\xf0\x9d\x90\x80"));
}

TEST(TextLayoutTest, TextIsShapedKernedAndRightToLeftRunsKeepTheirWidth)
{
	// DejaVu Sans kerns "AV": shaped together they are narrower than apart.
	FontDescription large("DejaVu Sans 40px");
	EXPECT_LT(Width(large, "AV"), Width(large, "A") + Width(large, "V"));
	// Hebrew with digits and Latin: reordering moves runs, it does not change the width.
	std::string hebrew = "\xd7\xa9\xd7\x9c\xd7\x95\xd7\x9d";
	EXPECT_GT(Width(kPlain, hebrew), 10);
	EXPECT_FLOAT_EQ(Width(kPlain, "ab " + hebrew), Width(kPlain, "ab ") + Width(kPlain, hebrew));
	// Arabic letters join: the shaped word differs from its letters side by side.
	std::string word = "\xd8\xb3\xd9\x84\xd8\xa7\xd9\x85";
	float apart = 0;
	for (size_t i = 0; i < word.size(); i += 2)
		apart += Width(kPlain, word.substr(i, 2));
	EXPECT_NE(Width(kPlain, word), apart);
	// Right-to-left text inks right of the pen and within its advance.
	float advance = Width(kPlain, hebrew);
	BRect ink = TextInkBounds(kPlain, hebrew.data(), (int32)hebrew.size());
	EXPECT_GE(ink.left, 0);
	EXPECT_LE(ink.right, advance + 1);
}

TEST(TextLayoutTest, InvalidUtf8IsReplacedByteByByte)
{
	// Overlong forms, surrogates and values past U+10FFFF are not characters.
	EXPECT_EQ(ValidUtf8("\xc0\xaf", 2), "\xef\xbf\xbd\xef\xbf\xbd");
	EXPECT_EQ(ValidUtf8("\xed\xa0\x80", 3), "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd");
	EXPECT_EQ(ValidUtf8("\xf4\x90\x80\x80", 4), "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd");
	// The largest character and a four-byte one are kept as they are.
	EXPECT_EQ(ValidUtf8("\xf4\x8f\xbf\xbf", 4), "\xf4\x8f\xbf\xbf");
	EXPECT_EQ(ValidUtf8("\xf0\x9f\x98\x80!", 5), "\xf0\x9f\x98\x80!");
}

TEST(TextLayoutTest, ThreadsMeasureAndResolveFontsAtOnce)
{
	// Window threads measure at the same time; each resolves fonts and fallbacks first.
	std::vector<std::thread> threads;
	std::vector<float> widths(4);
	for (int i = 0; i < 4; i++) {
		threads.emplace_back([i, &widths] {
			FontDescription font("DejaVu Sans " + std::to_string(11 + i % 2) + "px");
			float width = 0;
			for (int round = 0; round < 50; round++)
				width = Width(font, "Bookmark \xf0\x9d\x90\x80 \xd7\xa9\xd7\x9c\xd7\x95\xd7\x9d");
			FontHeight height;
			TextHeight(font, &height);
			widths[i] = height.ascent > 0 ? width : -1;
		});
	}
	for (std::thread& thread : threads)
		thread.join();
	EXPECT_GT(widths[0], 0);
	EXPECT_FLOAT_EQ(widths[0], widths[2]);
	EXPECT_FLOAT_EQ(widths[1], widths[3]);
}
