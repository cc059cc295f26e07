// BList: index checks, ordering operations and iteration.
#include <List.h>

#include <gtest/gtest.h>

namespace {

int gItems[5] = {0, 1, 2, 3, 4};

int
CompareInts(const void* a, const void* b)
{
	int left = **static_cast<int*const*>(a), right = **static_cast<int*const*>(b);
	return right - left;
}

} // namespace

TEST(ListTest, OutOfRangeIndexesFailWithoutHarm)
{
	BList list;
	EXPECT_FALSE(list.AddItem(&gItems[0], 1));
	EXPECT_TRUE(list.AddItem(&gItems[0], 0));
	EXPECT_EQ(list.ItemAt(1), nullptr);
	EXPECT_EQ(list.ItemAt(-1), nullptr);
	EXPECT_EQ(list.RemoveItem(int32(3)), nullptr);
	EXPECT_FALSE(list.ReplaceItem(2, &gItems[1]));
	EXPECT_FALSE(list.SwapItems(0, 5));
	EXPECT_FALSE(list.MoveItem(0, 1));
	EXPECT_EQ(list.CountItems(), 1);
}

TEST(ListTest, OrderOperationsKeepEveryItem)
{
	BList list;
	for (int& item : gItems)
		list.AddItem(&item);
	EXPECT_TRUE(list.MoveItem(0, 4));
	EXPECT_EQ(list.LastItem(), &gItems[0]);
	EXPECT_TRUE(list.SwapItems(0, 4));
	EXPECT_EQ(list.FirstItem(), &gItems[0]);
	list.SortItems(CompareInts);
	EXPECT_EQ(list.FirstItem(), &gItems[4]);
	EXPECT_EQ(list.IndexOf(&gItems[2]), 2);
	EXPECT_TRUE(list.RemoveItems(1, 100));
	EXPECT_EQ(list.CountItems(), 1);

	BList other;
	other.AddItem(&gItems[1]);
	EXPECT_TRUE(list.AddList(&other, 0));
	EXPECT_EQ(list.FirstItem(), &gItems[1]);
	EXPECT_TRUE(list.RemoveItem(&gItems[1]));
	EXPECT_FALSE(list.HasItem(&gItems[1]));
}

TEST(ListTest, DoForEachStopsWhenAsked)
{
	BList list;
	for (int& item : gItems)
		list.AddItem(&item);
	int visited = 0;
	list.DoForEach(
	        [](void* item, void* count) {
		        ++*static_cast<int*>(count);
		        return *static_cast<int*>(item) == 2;
	        },
	        &visited);
	EXPECT_EQ(visited, 3);
}
