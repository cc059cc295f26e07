// BRegion: inclusion, exclusion and intersection keep disjoint pixel rectangles.
#include <gtest/gtest.h>

#include <Region.h>

namespace {

int
Area(const BRegion& region)
{
	int area = 0;
	for (int32 i = 0; i < region.CountRects(); i++) {
		BRect rect = region.RectAt(i);
		area += (rect.IntegerWidth() + 1) * (rect.IntegerHeight() + 1);
	}
	return area;
}

} // namespace

TEST(RegionTest, IncludeExcludeAndIntersectCountEveryPixelOnce)
{
	BRegion region(BRect(0, 0, 9, 9));
	region.Include(BRect(5, 5, 14, 14));
	EXPECT_EQ(Area(region), 100 + 100 - 25);
	EXPECT_EQ(region.Frame(), BRect(0, 0, 14, 14));
	EXPECT_TRUE(region.Contains(BPoint(12, 12)));
	EXPECT_FALSE(region.Contains(BPoint(12, 2)));

	region.Exclude(BRect(3, 3, 6, 6));
	EXPECT_EQ(Area(region), 175 - 16);
	EXPECT_FALSE(region.Contains(BPoint(4, 4)));
	EXPECT_TRUE(region.Contains(BPoint(7, 7)));

	BRegion other(BRect(8, 0, 20, 1));
	region.IntersectWith(&other);
	EXPECT_EQ(Area(region), 2 * 2);
	EXPECT_TRUE(region.Intersects(BRect(9, 1, 30, 30)));
	EXPECT_FALSE(region.Intersects(BRect(10, 0, 30, 30)));

	// Self operations and invalid rectangles leave sane results.
	region.Include(&region);
	EXPECT_EQ(Area(region), 4);
	region.Include(BRect(5, 5, 4, 4));
	EXPECT_EQ(Area(region), 4);
	region.Exclude(&region);
	EXPECT_EQ(region.CountRects(), 0);
	EXPECT_FALSE(region.Frame().IsValid());
}

TEST(RegionTest, EqualityIgnoresHowTheAreaIsSplit)
{
	BRegion split(BRect(0, 0, 4, 9));
	split.Include(BRect(5, 0, 9, 9));
	BRegion whole(BRect(0, 0, 9, 9));
	EXPECT_TRUE(split == whole);
	whole.OffsetBy(1, 0);
	EXPECT_FALSE(split == whole);
}
