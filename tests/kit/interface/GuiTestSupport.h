// Shared pieces of the GUI tests: a view that records what it receives and draws a bevel
// with text, a window that records activation, and a fixture that owns a private Xvfb.
#ifndef KV_TEST_GUI_TEST_SUPPORT_H
#define KV_TEST_GUI_TEST_SUPPORT_H

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <Menu.h>
#include <Message.h>
#include <View.h>
#include <Window.h>

#include "TestSupport.h"
#include "kit/display/XServer.h"

namespace kvtest {

struct Event
{
	uint32 what = 0;
	BPoint where;
	int32 buttons = -1;
	int32 clicks = -1;
	int32 transit = -1;
	int32 key = -1;
	std::string bytes;
	uint8 states[16] = {};
	bool hasStates = false;

	bool KeyIsDown(uint32 key) const { return (states[key / 8] & (1 << (7 - key % 8))) != 0; }
};

inline constexpr rgb_color kLight = {255, 255, 255, 255};
inline constexpr rgb_color kDark = {40, 40, 40, 255};
inline constexpr rgb_color kFill = {0, 0, 200, 255};

// A colour as the 0xRRGGBB value that XClient::Pixel() reads.
uint32_t Rgb(rgb_color color);

// The screen frames the items of a closed menu will have when it opens at where. An open
// menu lays itself out again in its own window's thread, so tests take the frames before
// opening it, never while it is open.
std::vector<BRect> MenuScreenFrames(BMenu* menu, BPoint where);

class RecordingView : public BView
{
public:
	RecordingView(BRect frame, bool trackOutside = false);

	void Draw(BRect updateRect) override;
	void MouseDown(BPoint where) override;
	void MouseUp(BPoint where) override;
	void MouseMoved(BPoint where, uint32 transit, const BMessage* drag) override;
	void KeyDown(const char* bytes, int32 numBytes) override;
	void KeyUp(const char* bytes, int32 numBytes) override;
	void MessageReceived(BMessage* message) override;

	std::vector<Event> Events();
	size_t Count(uint32 what);
	// The first event of that kind at or after index, or null.
	bool Find(uint32 what, size_t index, Event* event);
	std::atomic<int32> draws{0};

private:
	void _Record(uint32 what, BPoint where);

	std::mutex fLock;
	std::vector<Event> fEvents;
	bool fTrackOutside;
};

class RecordingWindow : public BWindow
{
public:
	RecordingWindow(BRect frame, window_look look = B_TITLED_WINDOW_LOOK,
	                window_feel feel = B_NORMAL_WINDOW_FEEL, uint32 flags = 0)
	    : BWindow(frame, "Test window", look, feel, flags)
	{}

	void WindowActivated(bool active) override { activeNow = active; }

	std::atomic<bool> activeNow{false};
};

// A private X server and a client of the test's own, for tests that run whole programs on
// it; the kit in the test process never connects. Skips when no server starts.
class XServerTest : public testing::Test
{
protected:
	void SetUp() override
	{
		fServer = std::make_unique<XServer>();
		if (!fServer->IsRunning())
			GTEST_SKIP() << fServer->Error();
		fClient = std::make_unique<XClient>();
		ASSERT_TRUE(fClient->IsValid());
	}

	void TearDown() override
	{
		fClient.reset();
		fServer.reset();
	}

	std::unique_ptr<XServer> fServer;
	std::unique_ptr<XClient> fClient;
};

class GuiTest : public testing::Test
{
protected:
	void SetUp() override;
	void TearDown() override;

	// Quits the window from the test thread.
	void Close(BWindow* window);

	std::unique_ptr<XServer> fServer;
	std::unique_ptr<XClient> fClient;
	bool fWithWindowManager = false;
};

// A menu opened from a window of the test's (made with the menu, with an activeNow flag):
// the fixture shows the window, learns where the menu's items will be on screen (before
// any other thread uses the menu) and aims the items at the window.
template <class OpenerWindow, class Menu> class MenuInWindowTest : public GuiTest
{
protected:
	// Call from SetUp() once the menu is built; the fixture owns it from then on.
	void ShowWith(Menu* menu, BPoint where)
	{
		fMenu = menu;
		fFrames = MenuScreenFrames(fMenu, where);
		fWindow = new OpenerWindow(fMenu);
		fWindow->Show();
		ASSERT_TRUE(WaitUntil([&] { return fWindow->activeNow.load(); }));
		fMenu->SetTargetForItems(fWindow);
	}

	void TearDown() override
	{
		if (fWindow != nullptr)
			Close(fWindow);
		delete fMenu;
		GuiTest::TearDown();
	}

	Menu* fMenu = nullptr;
	std::vector<BRect> fFrames;
	OpenerWindow* fWindow = nullptr;
};

} // namespace kvtest

#endif // KV_TEST_GUI_TEST_SUPPORT_H
