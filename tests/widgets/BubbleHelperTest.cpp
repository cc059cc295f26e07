// The bubble helper without a display: where a bubble goes at the screen's edges, how
// long a text stays, the help list, and a second instance that must stay out of the
// first one's way.
#include <gtest/gtest.h>

#include <View.h>

#include "widgets/KVBubbleHelper.h"

namespace {

const BRect kScreen(0, 0, 1023, 767);

} // namespace

TEST(BubblePlacement, BelowRightOfThePointerAboveItAtTheBottomAndPulledInAtTheRight)
{
	// In the open: 20 pixels below the pointer, left edges aligned.
	EXPECT_EQ(KVBubbleHelper::BubblePosition(BPoint(100, 100), 60, 18, kScreen), BPoint(100, 120));
	// The bottom edge: a bubble that would end below screen bottom - 3 goes above, its
	// bottom 4 pixels over the pointer.
	EXPECT_EQ(KVBubbleHelper::BubblePosition(BPoint(100, 726), 60, 18, kScreen), BPoint(100, 746));
	EXPECT_EQ(KVBubbleHelper::BubblePosition(BPoint(100, 727), 60, 18, kScreen),
	          BPoint(100, 727 - 18 - 4));
	EXPECT_EQ(KVBubbleHelper::BubblePosition(BPoint(100, 767), 60, 18, kScreen),
	          BPoint(100, 767 - 22));
	// The right edge: its right edge lines up with the screen's.
	EXPECT_EQ(KVBubbleHelper::BubblePosition(BPoint(963, 100), 60, 18, kScreen), BPoint(963, 120));
	EXPECT_EQ(KVBubbleHelper::BubblePosition(BPoint(1000, 100), 60, 18, kScreen), BPoint(963, 120));
	// The corner: both at once.
	EXPECT_EQ(KVBubbleHelper::BubblePosition(BPoint(1023, 767), 60, 18, kScreen), BPoint(963, 745));
	// A screen that does not start at the origin.
	BRect second(1024, 0, 2047, 767);
	EXPECT_EQ(KVBubbleHelper::BubblePosition(BPoint(2040, 10), 100, 30, second), BPoint(1947, 30));
}

TEST(BubblePlacement, ATextStaysATenthOfASecondPerByteAndAtLeastTwoSeconds)
{
	EXPECT_EQ(KVBubbleHelper::DisplayTicks(nullptr), 20);
	EXPECT_EQ(KVBubbleHelper::DisplayTicks("12345"), 20);
	EXPECT_EQ(KVBubbleHelper::DisplayTicks(std::string(50, 'x').c_str()), 50);
}

// No application runs here, so the helper's thread only waits for one; the destructor
// must still stop it.
TEST(BubbleHelperList, OneEntryPerViewTextsCopiedAndASecondInstanceIsInert)
{
	BView first(BRect(0, 0, 10, 10), "first", B_FOLLOW_NONE, 0);
	BView second(BRect(0, 0, 10, 10), "second", B_FOLLOW_NONE, 0);
	KVBubbleHelper helper;
	ASSERT_TRUE(helper.IsActive());
	char text[] = "Work";
	helper.SetHelp(&first, text);
	text[0] = 'X';
	helper.SetHelp(&first, "Home");
	helper.SetHelp(&second, "Other");
	helper.SetHelp(nullptr, "ignored");
	BString found;
	ASSERT_TRUE(helper.GetHelp(&first, &found));
	EXPECT_STREQ(found.String(), "Home");
	helper.SetHelp(&second, nullptr);
	EXPECT_FALSE(helper.GetHelp(&second, &found));

	{
		testing::internal::CaptureStderr();
		KVBubbleHelper inert;
		std::string said = testing::internal::GetCapturedStderr();
		EXPECT_NE(said.find("only one KVBubbleHelper instance allowed/necessary"),
		          std::string::npos)
		        << said;
		EXPECT_FALSE(inert.IsActive());
		inert.SetHelp(&first, "from the inert one");
		EXPECT_FALSE(inert.GetHelp(&first, &found));
	}
	// The first one's list and thread are untouched by the second's life.
	ASSERT_TRUE(helper.GetHelp(&first, &found));
	EXPECT_STREQ(found.String(), "Home");

	// However many come and go while the working one lives.
	{
		KVBubbleHelper* replaced = new KVBubbleHelper;
		EXPECT_FALSE(replaced->IsActive());
		delete replaced;
	}
}

TEST(BubbleHelperList, ANewHelperWorksAfterTheOldOneIsGone)
{
	{
		KVBubbleHelper helper;
		EXPECT_TRUE(helper.IsActive());
	}
	KVBubbleHelper again;
	EXPECT_TRUE(again.IsActive());
}
