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

namespace {

class WorkspaceWindow : public BWindow
{
public:
	WorkspaceWindow(BRect frame, uint32 workspaces)
	    : BWindow(frame, "Workspaces", B_BORDERED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, 0, workspaces)
	{
		AddChild(new FilledView(Bounds()));
	}

	void WorkspacesChanged(uint32 oldWorkspaces, uint32 newWorkspaces) override
	{
		changedFrom = oldWorkspaces;
		changedTo = newWorkspaces;
	}

	std::atomic<uint32> changedFrom{0};
	std::atomic<uint32> changedTo{0};
};

} // namespace

TEST_F(WindowManagerTest, WorkspacesMapToDesktops)
{
	WorkspaceWindow* everywhere = new WorkspaceWindow(BRect(100, 500, 199, 549), B_ALL_WORKSPACES);
	WorkspaceWindow* here = new WorkspaceWindow(BRect(300, 500, 399, 549), B_CURRENT_WORKSPACE);
	everywhere->Show();
	here->Show();
	ASSERT_TRUE(fClient->WaitForPixel(150, 520, 0xdc0000));
	ASSERT_TRUE(fClient->WaitForPixel(350, 520, 0xdc0000));
	unsigned long native = BPrivate::WindowAccess::Native(everywhere);
	EXPECT_TRUE(WaitUntil(
	        [&] { return fClient->CardinalProperty(native, "_NET_WM_DESKTOP") == 0xffffffff; }));
	EXPECT_EQ(here->Workspaces(), 1u);

	// A pager moves the window to the second desktop: the window hears of it.
	fClient->MoveToDesktop(BPrivate::WindowAccess::Native(here), 1);
	EXPECT_TRUE(WaitUntil([&] { return here->changedTo.load() == 2u; }));
	EXPECT_EQ(here->changedFrom.load(), 1u);
	Close(everywhere);
	Close(here);
}

TEST_F(WindowManagerTest, ActivateBringsTheWindowBackFromAnotherProgram)
{
	RecordingWindow* window = new RecordingWindow(BRect(100, 300, 299, 399));
	window->AddChild(new FilledView(window->Bounds()));
	window->Show();
	ASSERT_TRUE(fClient->WaitForPixel(150, 350, 0xdc0000));
	ASSERT_TRUE(WaitUntil([&] { return window->activeNow.load(); }));
	fClient->CreateFocusedWindow(50, 250, 400, 300);
	ASSERT_TRUE(WaitUntil([&] { return !window->activeNow.load(); }));
	ASSERT_TRUE(fClient->WaitForPixel(150, 350, 0x808080));

	ASSERT_TRUE(window->Lock());
	window->Activate();
	window->Unlock();
	EXPECT_TRUE(WaitUntil([&] { return window->activeNow.load(); }));
	EXPECT_TRUE(fClient->WaitForPixel(150, 350, 0xdc0000));
	Close(window);
}
