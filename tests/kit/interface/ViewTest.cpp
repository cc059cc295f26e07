// The view tree and geometry, and a window without a display: views still draw into its
// back buffer, which the tests read.
#include <gtest/gtest.h>

#include <Bitmap.h>
#include <Cursor.h>
#include <Region.h>
#include <View.h>
#include <Window.h>

#include "TestSupport.h"
#include "WindowPrivate.h"

namespace {

class HookView : public BView
{
public:
	HookView(BRect frame, const char* name, uint32 mode = B_FOLLOW_NONE)
	    : BView(frame, name, mode, B_WILL_DRAW | B_FRAME_EVENTS)
	{}

	void AttachedToWindow() override { attached++; }
	void DetachedFromWindow() override { detached++; }
	void FrameResized(float width, float height) override { resized = BPoint(width, height); }
	void Draw(BRect update) override
	{
		lastUpdate = update;
		draws++;
		SetHighColor(255, 0, 0);
		FillRect(Bounds());
		SetHighColor(0, 0, 0);
		StrokeLine(Bounds().LeftTop(), Bounds().RightTop());
	}

	int attached = 0;
	int detached = 0;
	int draws = 0;
	BPoint resized;
	BRect lastUpdate;
};

uint32
PixelOf(BWindow* window, int x, int y)
{
	BPrivate::Canvas* canvas = BPrivate::WindowAccess::BackBuffer(window);
	canvas->Flush();
	const uint8* p = canvas->Bits() + y * canvas->BytesPerRow() + x * 4;
	return (uint32)p[2] << 16 | (uint32)p[1] << 8 | p[0];
}

} // namespace

TEST(ViewTest, TreeFindsNamesAndConvertsCoordinates)
{
	BView parent(BRect(10, 20, 109, 119), "parent", B_FOLLOW_NONE, 0);
	BView* child = new BView(BRect(5, 5, 24, 24), "child", B_FOLLOW_NONE, 0);
	BView* grandchild = new BView(BRect(1, 2, 3, 4), "grandchild", B_FOLLOW_NONE, 0);
	BView* sibling = new BView(BRect(50, 50, 60, 60), "sibling", B_FOLLOW_NONE, 0);
	parent.AddChild(child);
	parent.AddChild(sibling, child);
	child->AddChild(grandchild);

	EXPECT_EQ(parent.CountChildren(), 2);
	EXPECT_EQ(parent.ChildAt(0), sibling);
	EXPECT_EQ(child->PreviousSibling(), sibling);
	EXPECT_EQ(parent.FindView("grandchild"), grandchild);
	EXPECT_EQ(parent.FindView("parent"), nullptr);
	EXPECT_EQ(grandchild->Parent(), child);
	EXPECT_EQ(child->Bounds(), BRect(0, 0, 19, 19));
	EXPECT_EQ(grandchild->ConvertToParent(BPoint(0, 0)), BPoint(1, 2));
	EXPECT_EQ(grandchild->ConvertToWindow(BPoint(0, 0)), BPoint(16, 27));
	EXPECT_EQ(grandchild->ConvertFromWindow(BPoint(16, 27)), BPoint(0, 0));

	// A child cannot be added twice, nor to itself.
	parent.AddChild(child);
	child->AddChild(child);
	EXPECT_EQ(parent.CountChildren(), 2);
	EXPECT_TRUE(parent.RemoveChild(sibling));
	EXPECT_FALSE(parent.RemoveChild(sibling));
	EXPECT_EQ(sibling->Parent(), nullptr);
	delete sibling;
}

TEST(ViewTest, ResizingModesFollowTheParent)
{
	BView parent(BRect(0, 0, 99, 99), "parent", B_FOLLOW_NONE, 0);
	BView* all = new BView(BRect(10, 10, 89, 89), "all", B_FOLLOW_ALL, 0);
	BView* right = new BView(BRect(80, 0, 89, 9), "right", B_FOLLOW_RIGHT | B_FOLLOW_TOP, 0);
	BView* none = new BView(BRect(0, 80, 9, 89), "none", B_FOLLOW_NONE, 0);
	parent.AddChild(all);
	parent.AddChild(right);
	parent.AddChild(none);
	parent.ResizeBy(20, 10);
	EXPECT_EQ(parent.Frame(), BRect(0, 0, 119, 109));
	EXPECT_EQ(all->Frame(), BRect(10, 10, 109, 99));
	EXPECT_EQ(right->Frame(), BRect(100, 0, 109, 9));
	EXPECT_EQ(none->Frame(), BRect(0, 80, 9, 89));
	parent.MoveTo(5.4f, 7.6f);
	EXPECT_EQ(parent.Frame().LeftTop(), BPoint(5, 8));
}

TEST(ViewTest, WindowWithoutDisplayDrawsIntoItsBackBuffer)
{
	kvtest::ScopedEnv noDisplay("DISPLAY", nullptr);
	BWindow* window = new BWindow(BRect(0, 0, 59, 39), "Headless", B_TITLED_WINDOW_LOOK,
	                              B_NORMAL_WINDOW_FEEL, 0);
	HookView* view = new HookView(BRect(10, 10, 29, 19), "hook");
	HookView* hidden = new HookView(BRect(40, 10, 49, 19), "hidden");
	window->AddChild(view);
	window->AddChild(hidden);
	hidden->Hide();
	EXPECT_EQ(view->attached, 1);
	EXPECT_EQ(view->Parent(), nullptr);
	EXPECT_EQ(view->Window(), window);
	EXPECT_EQ(window->FindView("hook"), view);
	EXPECT_EQ(window->FindView(BPoint(15, 15)), view);
	EXPECT_EQ(window->FindView(BPoint(45, 15)), nullptr);

	view->Invalidate();
	window->UpdateIfNeeded();
	EXPECT_EQ(view->draws, 1);
	EXPECT_EQ(hidden->draws, 0);
	EXPECT_EQ(PixelOf(window, 10, 10), 0x000000u);
	EXPECT_EQ(PixelOf(window, 29, 19), 0xff0000u);
	EXPECT_EQ(PixelOf(window, 30, 19), 0xffffffu);

	// Drawing outside Draw() is clipped to the view; the update area limits Draw().
	view->SetHighColor(0, 0, 255);
	view->FillRect(BRect(-50, -50, 500, 500));
	EXPECT_EQ(PixelOf(window, 9, 9), 0xffffffu);
	EXPECT_EQ(PixelOf(window, 12, 12), 0x0000ffu);
	view->Invalidate(BRect(0, 5, 4, 9));
	window->UpdateIfNeeded();
	EXPECT_EQ(view->lastUpdate, BRect(0, 5, 4, 9));
	EXPECT_EQ(PixelOf(window, 12, 16), 0xff0000u);
	EXPECT_EQ(PixelOf(window, 16, 12), 0x0000ffu);

	BRegion clip;
	view->GetClippingRegion(&clip);
	EXPECT_EQ(clip.Frame(), BRect(0, 0, 19, 9));

	window->ResizeTo(79, 49);
	EXPECT_EQ(window->Bounds(), BRect(0, 0, 79, 49));
	EXPECT_TRUE(window->RemoveChild(view));
	EXPECT_EQ(view->detached, 1);
	EXPECT_EQ(view->Window(), nullptr);
	delete view;
	window->Quit();
}

TEST(ViewTest, BitmapAcceptsViewsForOffscreenDrawing)
{
	BBitmap bitmap(BRect(0, 0, 15, 15), B_RGBA32, true);
	ASSERT_TRUE(bitmap.IsValid());
	EXPECT_EQ(bitmap.BytesPerRow(), 64);
	BView* view = new BView(bitmap.Bounds(), "offscreen", B_FOLLOW_NONE, 0);
	bitmap.AddChild(view);
	ASSERT_TRUE(bitmap.Lock());
	view->SetHighColor(10, 20, 30);
	view->FillRect(BRect(2, 2, 3, 3));
	view->Sync();
	bitmap.Unlock();
	const uint8* bits = (const uint8*)bitmap.Bits();
	const uint8* pixel = bits + 2 * bitmap.BytesPerRow() + 2 * 4;
	EXPECT_EQ(pixel[0], 30);
	EXPECT_EQ(pixel[1], 20);
	EXPECT_EQ(pixel[2], 10);
	EXPECT_EQ(bits[4 * 4 + 3], 0);
	EXPECT_EQ(bitmap.FindView("offscreen"), view);

	// Palette bitmaps convert into 32 bits; views need a 32-bit bitmap.
	BBitmap cmap(BRect(0, 0, 1, 0), B_CMAP8);
	EXPECT_EQ(cmap.BytesPerRow(), 4);
	BBitmap rgba(BRect(0, 0, 1, 0), B_RGBA32);
	uint8 indices[4] = {0, 31, 0, 0};
	rgba.SetBits(indices, 4, 0, B_CMAP8);
	const uint8* converted = (const uint8*)rgba.Bits();
	EXPECT_EQ(converted[0], 0);
	EXPECT_EQ(converted[4], 255);
	EXPECT_EQ(index_for_color(make_color(255, 255, 255)), 31);
	EXPECT_EQ(index_for_color(B_TRANSPARENT_COLOR), B_TRANSPARENT_MAGIC_CMAP8);
	BBitmap refused(BRect(0, 0, 3, 3), B_CMAP8, true);
	EXPECT_FALSE(refused.IsValid());
	BBitmap empty(BRect(0, 0, -1, -1), B_RGBA32);
	EXPECT_EQ(empty.InitCheck(), B_BAD_VALUE);
	EXPECT_EQ(empty.Bits(), nullptr);
}

TEST(ViewTest, CursorDataIsCheckedAndReadable)
{
	BCursor hand(B_HAND_CURSOR);
	ASSERT_EQ(hand.InitCheck(), B_OK);
	EXPECT_EQ(hand.HotSpotX(), 2);
	EXPECT_TRUE(hand.IsOpaque(4, 1));
	EXPECT_TRUE(hand.IsBlack(4, 1));
	EXPECT_FALSE(hand.IsOpaque(15, 0));
	uint8 bad[68] = {32, 1, 0, 0};
	EXPECT_EQ(BCursor(bad).InitCheck(), B_BAD_VALUE);
	uint8 badHotSpot[68] = {16, 1, 16, 0};
	EXPECT_EQ(BCursor(badHotSpot).InitCheck(), B_BAD_VALUE);
	EXPECT_EQ(BCursor(B_CURSOR_ID_FOLLOW_LINK).Data(), nullptr);
}
