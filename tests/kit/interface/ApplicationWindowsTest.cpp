// The program's window list and windows started hidden: a helper that looks for views
// under the pointer walks BApplication's windows, never the kit's menus, and its own
// window runs before it is ever shown; a window asked to quit with the program may ask
// the user first.
#include <sys/stat.h>

#include <Alert.h>
#include <Application.h>
#include <Cursor.h>
#include <MenuItem.h>
#include <PopUpMenu.h>

#include "GuiTestSupport.h"
#include "ScreenShot.h"
#include "support/TestSupport.h"
#include "support/XKeyCodes.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

using namespace kvtest;

namespace {

const uint32 kMsgPing = 'ping';
const uint32 kMsgOpenMenu = 'opnM';

class HelperWindow : public RecordingWindow
{
public:
	HelperWindow(BRect frame) : RecordingWindow(frame) {}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == kMsgPing) {
			pinged = true;
			return;
		}
		if (message->what == kMsgOpenMenu) {
			menu->Go(BPoint(400, 300), false, false, true);
			return;
		}
		RecordingWindow::MessageReceived(message);
	}

	BPopUpMenu* menu = nullptr;
	std::atomic<bool> pinged{false};
};

// Asks the user, as an editor with unsaved changes does, before it lets the program quit.
class AskingWindow : public BWindow
{
public:
	AskingWindow() : BWindow(BRect(300, 300, 399, 359), "asking", B_TITLED_WINDOW, 0) {}

	bool QuitRequested() override
	{
		answer = (new BAlert("", "Save changes?", "Cancel", "Don't save"))->Go();
		return answer == 1;
	}

	std::atomic<int32> answer{-2};
};

// Opens a menu and waits for its answer, as a window's folder buttons do.
class MenuWaitingWindow : public BWindow
{
public:
	MenuWaitingWindow() : BWindow(BRect(300, 100, 399, 159), "menu waiting", B_TITLED_WINDOW, 0)
	{
		menu = new BPopUpMenu("menu", false, false);
		menu->AddItem(new BMenuItem("Item", nullptr));
	}

	~MenuWaitingWindow() override { delete menu; }

	void MessageReceived(BMessage* message) override
	{
		if (message->what != kMsgOpenMenu) {
			BWindow::MessageReceived(message);
			return;
		}
		menu->Go(BPoint(400, 300), false, true, false);
		*menuEnded = true;
	}

	BPopUpMenu* menu;
	// The test's, as the window is gone once the program has quit.
	std::atomic<bool>* menuEnded = nullptr;
};

// While the program's quit asks it, makes the other window open its menu, as a click
// queued before the quit does, and agrees once that menu has ended.
class MenuOpeningWindow : public BWindow
{
public:
	MenuOpeningWindow() : BWindow(BRect(300, 300, 399, 359), "menu opening", B_TITLED_WINDOW, 0) {}

	bool QuitRequested() override
	{
		other->PostMessage(kMsgOpenMenu);
		return WaitUntil([&] { return other->menuEnded->load(); });
	}

	MenuWaitingWindow* other = nullptr;
};

// A cursor that is a black 16 by 16 square, unlike any pointer of the desktop.
std::vector<uint8>
SquareCursor()
{
	std::vector<uint8> data(68, 0xff);
	data[0] = 16;
	data[1] = 1;
	data[2] = 0;
	data[3] = 0;
	return data;
}

// Whether the pointer now shows as the black square, read back from the X server.
bool
ShowsSquare(XClient* client)
{
	XFixesCursorImage* image = XFixesGetCursorImage(client->Handle());
	if (image == nullptr)
		return false;
	bool square = image->width == 16 && image->height == 16 &&
	              (image->pixels[0] & 0xffffffff) == 0xff000000 &&
	              (image->pixels[255] & 0xffffffff) == 0xff000000;
	XFree(image);
	return square;
}

class ApplicationWindowsTest : public GuiTest
{
protected:
	ApplicationWindowsTest() : fDir("appwin"), fRuntime("XDG_RUNTIME_DIR", fDir.Sub("run").c_str())
	{
		mkdir(fDir.Sub("run").c_str(), 0700);
	}

	TempDir fDir;
	ScopedEnv fRuntime;
};

} // namespace

TEST_F(ApplicationWindowsTest, TheWindowListShowsTheProgramsWindowsButNotItsMenus)
{
	BApplication app("application/x-vnd.kvtest-window-list");
	ASSERT_EQ(app.InitCheck(), B_OK);
	HelperWindow* first = new HelperWindow(BRect(50, 50, 149, 99));
	HelperWindow* second = new HelperWindow(BRect(200, 50, 299, 99));
	first->menu = new BPopUpMenu("menu", false, false);
	first->menu->AddItem(new BMenuItem("Item", nullptr));
	first->Show();
	ASSERT_TRUE(WaitUntil([&] { return first->activeNow.load(); }));
	EXPECT_EQ(app.CountWindows(), 2);
	EXPECT_EQ(app.WindowAt(0), first);
	EXPECT_EQ(app.WindowAt(1), second);
	EXPECT_EQ(app.WindowAt(2), nullptr);
	EXPECT_EQ(app.WindowAt(-1), nullptr);

	// An open menu is a window of the kit's, not one of the program's.
	first->PostMessage(kMsgOpenMenu);
	ASSERT_TRUE(fClient->WaitForPixel(404, 304, Rgb(ui_color(B_MENU_BACKGROUND_COLOR))));
	EXPECT_EQ(app.CountWindows(), 2);

	Close(second);
	EXPECT_EQ(app.CountWindows(), 1);
	EXPECT_EQ(app.WindowAt(0), first);
	BPopUpMenu* menu = first->menu;
	// Escape closes it, once the menu has taken the keyboard (a busy machine may show it
	// first); the menu is deleted only once its window has let it go.
	bool closed = WaitUntil(
	        [&] {
		        fClient->Tap(9);
		        return WaitUntil(
		                [&] {
			                return fClient->Pixel(404, 304) !=
			                       Rgb(ui_color(B_MENU_BACKGROUND_COLOR));
		                },
		                std::chrono::milliseconds(500));
	        },
	        std::chrono::milliseconds(8000));
	EXPECT_TRUE(closed);
	Close(first);
	delete menu;
	EXPECT_EQ(app.CountWindows(), 0);
}

// A bubble window is started with Run() and shown much later; showing it must not try to
// start its thread a second time.
TEST_F(ApplicationWindowsTest, AWindowRunBeforeShowHandlesMessagesHiddenAndShowsLater)
{
	HelperWindow* window = new HelperWindow(BRect(100, 100, 199, 149));
	window->AddChild(new RecordingView(BRect(10, 10, 89, 39)));
	// The looper reports a second start on standard error.
	testing::internal::CaptureStderr();
	thread_id thread = window->Run();
	ASSERT_GT(thread, 0);
	window->PostMessage(kMsgPing);
	ASSERT_TRUE(WaitUntil([&] { return window->pinged.load(); }));
	ASSERT_TRUE(window->Lock());
	EXPECT_TRUE(window->IsHidden());
	EXPECT_EQ(window->Run(), thread);
	window->Show();
	EXPECT_EQ(window->Thread(), thread);
	window->Unlock();
	EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
	EXPECT_TRUE(fClient->WaitForPixel(110, 110, Rgb(kLight)));
	Close(window);
}

// A window may be gone before Run() (or Show()) returns: one that quits at its first
// message (an alert dismissed at once) must not be touched once its thread runs.
TEST_F(ApplicationWindowsTest, AWindowThatQuitsAtOnceIsNotTouchedAfterItsThreadStarts)
{
	std::vector<thread_id> threads;
	for (int round = 0; round < 100; round++) {
		BWindow* window = new BWindow(BRect(100, 100, 119, 119), "brief", B_TITLED_WINDOW, 0);
		window->AddChild(new BView(window->Bounds(), "pulsing", B_FOLLOW_ALL, B_PULSE_NEEDED));
		window->PostMessage(B_QUIT_REQUESTED);
		threads.push_back(window->Run());
	}
	// The display they used goes with the test: every window must be gone first.
	for (thread_id thread : threads) {
		status_t result;
		wait_for_thread(thread, &result);
	}
}

TEST_F(ApplicationWindowsTest, TheProgramsCursorShowsInWindowsMadeAfterItWasSet)
{
	BApplication app("application/x-vnd.kvtest-app-cursor");
	ASSERT_EQ(app.InitCheck(), B_OK);
	std::vector<uint8> square = SquareCursor();
	app.SetCursor(square.data());
	HelperWindow* window = new HelperWindow(BRect(100, 100, 299, 199));
	window->AddChild(new RecordingView(BRect(10, 10, 189, 89)));
	window->Show();
	ASSERT_TRUE(WaitUntil([&] { return window->activeNow.load(); }));
	// Over a view without a cursor of its own, after a move inside the window.
	fClient->MoveMouse(150, 150);
	fClient->MoveMouse(160, 150);
	EXPECT_TRUE(WaitUntil([&] { return ShowsSquare(fClient.get()); }));
	// B_HAND_CURSOR gives the desktop's pointer back.
	app.SetCursor(B_HAND_CURSOR);
	fClient->MoveMouse(170, 150);
	EXPECT_TRUE(WaitUntil([&] { return !ShowsSquare(fClient.get()); }));
	Close(window);
}

// The program's quit asks each window first; an alert a window opens then waits for the
// user like any other, and a window the user keeps open keeps the program running.
TEST_F(ApplicationWindowsTest, AWindowMayAskTheUserBeforeTheProgramQuits)
{
	BApplication app("application/x-vnd.kvtest-quit-asks");
	ASSERT_EQ(app.InitCheck(), B_OK);
	AskingWindow* window = new AskingWindow;
	window->Show();
	// Only an alert's default button wears the dark frame: it tells when one is up.
	uint32_t frame = Rgb(tint_color(ui_color(B_PANEL_BACKGROUND_COLOR), B_DARKEN_4_TINT));
	auto alertShown = [&] { return ScreenShot(fClient->Handle()).LongestRun(frame) >= 40; };

	std::atomic<int> agreed{-1};
	std::thread quit([&] { agreed = app.QuitRequested() ? 1 : 0; });
	bool shown = WaitUntil(alertShown);
	EXPECT_TRUE(shown);
	if (shown)
		fClient->Tap(xkey::kEscape);
	quit.join();
	EXPECT_EQ(window->answer.load(), 0);
	EXPECT_EQ(agreed.load(), 0);
	Close(window);
}

// A menu that opens while the quit asks the windows would hold its window, and with it the
// quit, until the user closed it: it closes at once instead.
TEST_F(ApplicationWindowsTest, AMenuOpenedWhileTheQuitAsksTheWindowsClosesAtOnce)
{
	BApplication app("application/x-vnd.kvtest-quit-menu");
	ASSERT_EQ(app.InitCheck(), B_OK);
	// Asked first, as it was made first.
	MenuOpeningWindow* opener = new MenuOpeningWindow;
	MenuWaitingWindow* waiter = new MenuWaitingWindow;
	std::atomic<bool> menuEnded{false};
	waiter->menuEnded = &menuEnded;
	opener->other = waiter;
	opener->Show();
	waiter->Show();

	std::atomic<int> agreed{-1};
	std::thread quit([&] { agreed = app.QuitRequested() ? 1 : 0; });
	quit.join();
	EXPECT_TRUE(menuEnded.load());
	ASSERT_EQ(agreed.load(), 1);
}
