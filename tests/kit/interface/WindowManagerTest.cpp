// Windows under a window manager (openbox on a private Xvfb): EWMH feels and looks.
#include <AppDefs.h>

#include "GuiTestSupport.h"
#include "WindowPrivate.h"
#include "support/TestSupport.h"

using namespace kvtest;

namespace {

constexpr rgb_color kRed = {220, 0, 0, 255};

class FilledView : public BView
{
public:
	FilledView(BRect frame) : BView(frame, "filled", B_FOLLOW_ALL, B_WILL_DRAW)
	{
		SetViewColor(kRed);
	}
};

class WindowManagerTest : public GuiTest
{
protected:
	WindowManagerTest() { fWithWindowManager = true; }

	BWindow* ShowRed(BRect frame, window_look look, window_feel feel)
	{
		BWindow* window = new BWindow(frame, "Red", look, feel, B_NOT_RESIZABLE);
		window->AddChild(new FilledView(window->Bounds()));
		window->Show();
		EXPECT_TRUE(fClient->WaitForPixel((int)frame.left + 20, (int)frame.top + 20, 0xdc0000));
		return window;
	}
};

} // namespace

TEST_F(WindowManagerTest, FloatingAllWindowStaysAboveAnotherProgramsWindow)
{
	BWindow* floating =
	        ShowRed(BRect(100, 100, 199, 199), B_BORDERED_WINDOW_LOOK, B_FLOATING_ALL_WINDOW_FEEL);
	// A normal window beside it shows the other program's window really covers things.
	BWindow* normal =
	        ShowRed(BRect(500, 100, 599, 199), B_BORDERED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL);

	fClient->CreateFocusedWindow(50, 50, 600, 300);
	EXPECT_TRUE(fClient->WaitForPixel(550, 150, 0x808080));
	EXPECT_EQ(fClient->Pixel(150, 150), 0xdc0000u);
	Close(floating);
	Close(normal);
}

TEST_F(WindowManagerTest, BorderedWindowHasNoDecorationButTitledHas)
{
	BWindow* bordered =
	        ShowRed(BRect(300, 300, 399, 349), B_BORDERED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL);
	BWindow* titled =
	        ShowRed(BRect(600, 400, 699, 449), B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL);

	int x, y, width, height;
	unsigned long frame = fClient->TopLevel(BPrivate::WindowAccess::Native(bordered));
	ASSERT_TRUE(fClient->Geometry(frame, &x, &y, &width, &height));
	EXPECT_EQ(width, 102);
	EXPECT_EQ(height, 52);
	// The content where it was asked for, inside a one-pixel black border.
	EXPECT_TRUE(fClient->WaitForPixel(300, 300, 0xdc0000));
	EXPECT_EQ(fClient->Pixel(299, 300), 0x000000u);
	EXPECT_EQ(fClient->Pixel(400, 349), 0x000000u);

	frame = fClient->TopLevel(BPrivate::WindowAccess::Native(titled));
	ASSERT_TRUE(fClient->Geometry(frame, &x, &y, &width, &height));
	EXPECT_GT(height, 50 + 10);
	EXPECT_TRUE(fClient->WaitForPixel(600, 400, 0xdc0000));
	Close(bordered);
	Close(titled);
}
