// Icons of the bookmark and person types as bitmaps, in both sizes and both colour spaces.
#include <Bitmap.h>
#include <MimeType.h>

#include <set>

#include <gtest/gtest.h>

TEST(IconTest, BookmarkAndPersonIconsFillBitmapsOfTheirSize)
{
	for (const char* type : {"application/x-vnd.Be-bookmark", "application/x-person"}) {
		BMimeType mime(type);
		for (icon_size size : {B_MINI_ICON, B_LARGE_ICON}) {
			BBitmap rgba(BRect(0, 0, size - 1, size - 1), B_RGBA32);
			ASSERT_EQ(mime.GetIcon(&rgba, size), B_OK) << type;
			const uint8* bits = static_cast<const uint8*>(rgba.Bits());
			uint8 cornerAlpha = bits[3];
			bool opaqueSomewhere = false;
			for (int32 i = 0; i < size * size; i++)
				opaqueSomewhere |= bits[i * 4 + 3] == 255;
			EXPECT_TRUE(opaqueSomewhere) << type << " " << size;
			EXPECT_EQ(cornerAlpha, 0) << "icons keep a transparent margin";

			BBitmap indexed(BRect(0, 0, size - 1, size - 1), B_CMAP8);
			ASSERT_EQ(mime.GetIcon(&indexed, size), B_OK);
			const uint8* indexes = static_cast<const uint8*>(indexed.Bits());
			std::set<uint8> used;
			for (int32 row = 0; row < size; row++) {
				for (int32 column = 0; column < size; column++)
					used.insert(indexes[row * indexed.BytesPerRow() + column]);
			}
			EXPECT_EQ(indexes[0], B_TRANSPARENT_MAGIC_CMAP8);
			EXPECT_GT(used.size(), 2u) << "the icon draws in more than one colour";
		}
	}
}

TEST(IconTest, WrongSizesAndUnknownTypesFailCleanly)
{
	BMimeType bookmark("application/x-vnd.Be-bookmark");
	BBitmap small(BRect(0, 0, 15, 15), B_RGBA32);
	EXPECT_EQ(bookmark.GetIcon(&small, B_LARGE_ICON), B_BAD_VALUE);
	EXPECT_EQ(bookmark.GetIcon(nullptr, B_MINI_ICON), B_BAD_VALUE);
	BMimeType other("text/plain");
	EXPECT_EQ(other.GetIcon(&small, B_MINI_ICON), B_ENTRY_NOT_FOUND);
}
