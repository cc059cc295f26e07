// Size limits reach the window manager as WM_NORMAL_HINTS and bound the program's own
// resizes; a window the user may not resize follows the program's resizes.
#include "WindowPrivate.h"

#include "GuiTestSupport.h"
#include "support/TestSupport.h"

// After gtest, whose headers use names that Xlib defines as macros.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

using namespace kvtest;

namespace {

// The minimum and maximum X window sizes in the window's hints; 0 when not given.
struct Limits
{
	int minWidth = 0, minHeight = 0, maxWidth = 0, maxHeight = 0;
};

Limits
ReadLimits(BWindow* window)
{
	Limits limits;
	Display* display = XOpenDisplay(nullptr);
	if (display == nullptr)
		return limits;
	XSizeHints hints;
	long supplied = 0;
	if (XGetWMNormalHints(display, BPrivate::WindowAccess::Native(window), &hints, &supplied)) {
		if ((hints.flags & PMinSize) != 0) {
			limits.minWidth = hints.min_width;
			limits.minHeight = hints.min_height;
		}
		if ((hints.flags & PMaxSize) != 0) {
			limits.maxWidth = hints.max_width;
			limits.maxHeight = hints.max_height;
		}
	}
	XCloseDisplay(display);
	return limits;
}

class WindowLimitsTest : public GuiTest
{};

} // namespace

TEST_F(WindowLimitsTest, SizeLimitsBoundResizesAndReachTheWindowManager)
{
	RecordingWindow* window = new RecordingWindow(BRect(100, 100, 299, 199));
	ASSERT_TRUE(window->Lock());
	window->SetSizeLimits(100, 300, 50, 150);
	Limits limits = ReadLimits(window);
	EXPECT_EQ(limits.minWidth, 101);
	EXPECT_EQ(limits.maxWidth, 301);
	EXPECT_EQ(limits.minHeight, 51);
	EXPECT_EQ(limits.maxHeight, 151);

	window->ResizeTo(500, 20);
	EXPECT_EQ(window->Frame(), BRect(100, 100, 400, 150));
	window->ResizeTo(20, 500);
	EXPECT_EQ(window->Frame(), BRect(100, 100, 200, 250));
	// Narrower limits shrink a window that no longer fits.
	window->SetSizeLimits(0, 80, 0, 60);
	EXPECT_EQ(window->Frame(), BRect(100, 100, 180, 160));
	window->Quit();
}

// The bar window is not resizable and resizes itself when its orientation changes: the
// window manager must be told its new size as the only one allowed.
TEST_F(WindowLimitsTest, AWindowTheUserMayNotResizeFollowsTheProgramsResizes)
{
	RecordingWindow* window = new RecordingWindow(BRect(30, 30, 51, 293), B_BORDERED_WINDOW_LOOK,
	                                              B_NORMAL_WINDOW_FEEL, B_NOT_RESIZABLE);
	ASSERT_TRUE(window->Lock());
	window->ResizeTo(232, 24);
	Limits limits = ReadLimits(window);
	// The one-pixel border is part of the X window.
	EXPECT_EQ(limits.minWidth, 235);
	EXPECT_EQ(limits.maxWidth, 235);
	EXPECT_EQ(limits.minHeight, 27);
	EXPECT_EQ(limits.maxHeight, 27);

	window->SetFlags(B_NOT_V_RESIZABLE);
	limits = ReadLimits(window);
	// The width is free again.
	EXPECT_LE(limits.minWidth, 1);
	EXPECT_EQ(limits.maxWidth, 32767);
	EXPECT_EQ(limits.minHeight, 27);
	EXPECT_EQ(limits.maxHeight, 27);
	window->Quit();
}
