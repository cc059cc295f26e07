// Truncating labels to a width: the ellipsis goes where asked and UTF-8 stays whole.
#include <gtest/gtest.h>

#include <cstring>

#include <Font.h>
#include <String.h>

namespace {

bool
IsValidUtf8(const char* text)
{
	const unsigned char* p = (const unsigned char*)text;
	while (*p != 0) {
		int length = *p < 0x80         ? 1
		             : (*p >> 5) == 6  ? 2
		             : (*p >> 4) == 14 ? 3
		             : (*p >> 3) == 30 ? 4
		                               : 0;
		if (length == 0)
			return false;
		for (int i = 1; i < length; i++) {
			if ((p[i] & 0xc0) != 0x80)
				return false;
		}
		p += length;
	}
	return true;
}

} // namespace

TEST(FontTest, TruncateStringFitsTheWidthAndKeepsCharactersWhole)
{
	const char* label = "Caf\xc3\xa9 \xc3\xa9l\xc3\xa9gant \xe2\x82\xac bookmarks of the week";
	float full = be_plain_font->StringWidth(label);
	const uint32 modes[] = {B_TRUNCATE_END, B_TRUNCATE_BEGINNING, B_TRUNCATE_MIDDLE};
	for (uint32 mode : modes) {
		for (float width = 5; width < full; width += 7) {
			BString text(label);
			be_plain_font->TruncateString(&text, mode, width);
			EXPECT_LE(be_plain_font->StringWidth(text.String()), width) << mode;
			EXPECT_TRUE(IsValidUtf8(text.String())) << text.String();
			if (text.Length() > 0) {
				EXPECT_NE(strstr(text.String(), "\xe2\x80\xa6"), nullptr);
			}
		}
	}
	BString end(label);
	be_plain_font->TruncateString(&end, B_TRUNCATE_END, full / 2);
	EXPECT_EQ(strncmp(end.String(), "Caf", 3), 0);
	BString beginning(label);
	be_plain_font->TruncateString(&beginning, B_TRUNCATE_BEGINNING, full / 2);
	EXPECT_EQ(strcmp(beginning.String() + beginning.Length() - 4, "week"), 0);

	// What fits stays as it is, invalid bytes and all.
	BString fits("ok\xff");
	be_plain_font->TruncateString(&fits, B_TRUNCATE_END, full);
	EXPECT_STREQ(fits.String(), "ok\xff");
}

// A link's hit rectangle comes from the inked box of its label: it must sit on the
// baseline, reach below it only for descenders, and grow with the text.
TEST(FontTest, StringBoundingBoxesAreTheInkedPixelsAroundTheBaseline)
{
	const char* strings[] = {"xo", "xg", "Hxo Hxo", "", "   ", "ok\xff"};
	BRect boxes[6];
	font_height height;
	be_plain_font->GetHeight(&height);
	be_plain_font->GetBoundingBoxesForStrings(strings, 6, B_SCREEN_METRIC, nullptr, boxes);

	EXPECT_LT(boxes[0].top, 0);
	EXPECT_GE(boxes[0].top, -height.ascent);
	EXPECT_LE(boxes[0].bottom, 0);
	EXPECT_GE(boxes[0].left, 0);
	EXPECT_LE(boxes[0].right, be_plain_font->StringWidth("xo"));
	EXPECT_GT(boxes[1].bottom, 0);
	EXPECT_LE(boxes[1].bottom, height.descent);
	EXPECT_LT(boxes[2].top, boxes[0].top);
	EXPECT_GT(boxes[2].Width(), 2 * boxes[0].Width());
	EXPECT_FALSE(boxes[3].IsValid());
	EXPECT_FALSE(boxes[4].IsValid());
	EXPECT_TRUE(boxes[5].IsValid());
}
