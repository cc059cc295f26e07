// The bubble helper in a running application on a private Xvfb: a resting pointer shows
// the nearest ancestor's help once per rest; texts replaced ten thousand times while the
// poller reads them; the helper deleted from its window's thread while a bubble shows;
// and a window closed with help registered leaves nothing that a new view could match.
#include <atomic>
#include <cstddef>
#include <thread>

#include <Application.h>
#include <Window.h>

#include "kit/interface/GuiTestSupport.h"
#include "support/TestSupport.h"
#include "widgets/KVBubbleHelper.h"

using namespace kvtest;

namespace {

const uint32_t kBubbleYellow = 0xf0f064;
const uint32 kDeleteHelper = 'dlhp';
const BRect kWindowFrame(100, 100, 399, 299);
// Over the child view, which has no help of its own.
const BPoint kRest(250, 250);

class TestApp : public BApplication
{
public:
	TestApp() : BApplication("application/x-vnd.kvtest-bubble") {}

	void ReadyToRun() override { running = true; }

	static std::atomic<bool> running;
};

std::atomic<bool> TestApp::running{false};

// Deletes the helper in its own thread with itself locked, as the bar window does in
// its destructor.
class HelpWindow : public RecordingWindow
{
public:
	explicit HelpWindow(BRect frame) : RecordingWindow(frame) {}

	void MessageReceived(BMessage* message) override
	{
		if (message->what != kDeleteHelper) {
			RecordingWindow::MessageReceived(message);
			return;
		}
		delete helper.exchange(nullptr);
		deleted = true;
	}

	std::atomic<KVBubbleHelper*> helper{nullptr};
	std::atomic<bool> deleted{false};
};

// A view that always lives at the same address: made after an old one was deleted, it is
// exactly the view a stale help entry would name.
class RecycledView : public BView
{
public:
	explicit RecycledView(BRect frame) : BView(frame, "recycled", B_FOLLOW_NONE, B_WILL_DRAW) {}

	static void* operator new(size_t size)
	{
		EXPECT_LE(size, sizeof(sStorage));
		return sStorage;
	}

	static void operator delete(void*) {}

private:
	alignas(std::max_align_t) static unsigned char sStorage[4096];
};

alignas(std::max_align_t) unsigned char RecycledView::sStorage[4096];

class BubbleHelperXTest : public GuiTest
{
protected:
	void SetUp() override
	{
		GuiTest::SetUp();
		if (IsSkipped())
			return;
		TestApp::running = false;
		fAppThread = std::thread([] {
			TestApp app;
			app.Run();
		});
		ASSERT_TRUE(WaitUntil([] { return TestApp::running.load(); }));
		fWindow = MakeWindow(&fParent, &fChild, true);
		fHelper = new KVBubbleHelper;
		fWindow->helper = fHelper;
		ASSERT_TRUE(fWindow->Lock());
		fHelper->SetHelp(fParent, "Parent help");
		fWindow->Unlock();
	}

	void TearDown() override
	{
		if (fWindow != nullptr) {
			delete fWindow->helper.exchange(nullptr);
			Close(fWindow);
		}
		if (fAppThread.joinable()) {
			be_app_messenger.SendMessage(B_QUIT_REQUESTED);
			fAppThread.join();
		}
		GuiTest::TearDown();
	}

	HelpWindow* MakeWindow(BView** parent, BView** child, bool recycled)
	{
		HelpWindow* window = new HelpWindow(kWindowFrame);
		*parent = new BView(window->Bounds(), "parent", B_FOLLOW_ALL, B_WILL_DRAW);
		BRect frame(100, 100, 199, 199);
		*child = recycled ? new RecycledView(frame)
		                  : new BView(frame, "child", B_FOLLOW_NONE, B_WILL_DRAW);
		(*parent)->AddChild(*child);
		window->AddChild(*parent);
		window->Show();
		EXPECT_TRUE(WaitUntil([&] { return window->activeNow.load(); }));
		return window;
	}

	// The bubble's top-left corner sits 20 pixels below the pointer; inside its margin the
	// text view shows its yellow.
	bool BubbleAt(BPoint pointer, int milliseconds = 5000)
	{
		return fClient->WaitForPixel((int)pointer.x + 1, (int)pointer.y + 21, kBubbleYellow,
		                             milliseconds);
	}

	bool BubbleGone(BPoint pointer, int milliseconds = 5000)
	{
		return WaitUntil(
		        [&] {
			        return fClient->Pixel((int)pointer.x + 1, (int)pointer.y + 21) != kBubbleYellow;
		        },
		        std::chrono::milliseconds(milliseconds));
	}

	void Rest(BPoint where)
	{
		fClient->MoveMouse((int)where.x, (int)where.y);
		fClient->Sync();
	}

	std::thread fAppThread;
	HelpWindow* fWindow = nullptr;
	BView* fParent = nullptr;
	BView* fChild = nullptr;
	KVBubbleHelper* fHelper = nullptr;
};

} // namespace

TEST_F(BubbleHelperXTest, ARestingPointerShowsTheNearestAncestorsHelpOncePerRest)
{
	Rest(kRest);
	ASSERT_TRUE(BubbleAt(kRest));
	// A short text stays about two seconds, then the bubble goes.
	EXPECT_TRUE(BubbleGone(kRest));
	// The same rest does not bring it back.
	EXPECT_FALSE(BubbleAt(kRest, 1500));
	// A new rest elsewhere does; a move hides it at once.
	BPoint next = kRest + BPoint(10, 0);
	Rest(next);
	ASSERT_TRUE(BubbleAt(next));
	Rest(kRest);
	EXPECT_TRUE(BubbleGone(next, 1000));
}

TEST_F(BubbleHelperXTest, TextsReplacedWhileThePollerReadsThemAndHelperDeletedWhileShowing)
{
	// The pointer rests over another window (an About window, say) while the bar replaces
	// its own texts from its thread: only the helper's own lock keeps the poller's walk of
	// the list and the replacements apart. Each new rest makes the poller look again.
	HelpWindow* other = new HelpWindow(BRect(450, 100, 649, 299));
	BView* otherView = new BView(other->Bounds(), "other", B_FOLLOW_ALL, B_WILL_DRAW);
	other->AddChild(otherView);
	other->Show();
	ASSERT_TRUE(WaitUntil([&] { return other->activeNow.load(); }));
	ASSERT_TRUE(other->Lock());
	fHelper->SetHelp(otherView, "Other window");
	other->Unlock();

	const char* texts[] = {"Parent help", "A longer help text for the second round", nullptr};
	BPoint where(550, 200);
	Rest(where);
	int shown = 0;
	auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
	for (int i = 0; i < 10000 || (shown < 3 && std::chrono::steady_clock::now() < deadline); i++) {
		ASSERT_TRUE(fWindow->Lock());
		fHelper->SetHelp(fParent, texts[i % 3] != nullptr ? texts[i % 3] : texts[0]);
		fHelper->SetHelp(fChild, texts[i % 3]);
		fWindow->Unlock();
		if (i % 200 == 0 && fClient->Pixel((int)where.x + 1, (int)where.y + 21) == kBubbleYellow) {
			shown++;
			where += BPoint(1, 0);
			Rest(where);
		}
	}
	EXPECT_GE(shown, 3);

	// Deleted from the bar window's thread, window locked, while a bubble shows.
	ASSERT_TRUE(BubbleAt(where, 8000));
	fWindow->PostMessage(kDeleteHelper);
	ASSERT_TRUE(WaitUntil([&] { return fWindow->deleted.load(); }));
	EXPECT_TRUE(BubbleGone(where));
	fHelper = nullptr;
	Close(other);
}

TEST_F(BubbleHelperXTest, AClosedWindowsViewsLeaveNoHelpForNewViews)
{
	ASSERT_TRUE(fWindow->Lock());
	fHelper->SetHelp(fChild, "Old child help");
	fHelper->SetHelp(fParent, nullptr);
	fWindow->Unlock();
	BView* oldChild = fChild;
	Close(fWindow);
	// A new window in the same place, whose child is where the old child was.
	fWindow = MakeWindow(&fParent, &fChild, true);
	ASSERT_EQ(fChild, oldChild);
	fWindow->helper = fHelper;
	Rest(kRest);
	EXPECT_FALSE(BubbleAt(kRest, 2000));
	ASSERT_TRUE(fWindow->Lock());
	fHelper->SetHelp(fChild, "New help");
	fWindow->Unlock();
	Rest(kRest + BPoint(2, 0));
	EXPECT_TRUE(BubbleAt(kRest + BPoint(2, 0)));
}

// Views that got their texts before their window was shown have bubbles too: the helper,
// which sleeps while the pointer is away from the windows it watches, finds the window.
TEST_F(BubbleHelperXTest, AWindowShownAfterItsViewsGotHelpIsWatchedToo)
{
	HelpWindow* later = new HelpWindow(BRect(450, 120, 649, 319));
	BView* view = new BView(later->Bounds(), "later", B_FOLLOW_ALL, B_WILL_DRAW);
	fHelper->SetHelp(view, "Shown later");
	later->AddChild(view);
	later->Show();
	ASSERT_TRUE(WaitUntil([&] { return later->activeNow.load(); }));
	// Within the helper's next look at the program's windows, a rest shows the text.
	int step = 0;
	bool shown = WaitUntil(
	        [&] {
		        BPoint where(550 + (step++ % 2), 200);
		        Rest(where);
		        return BubbleAt(where, 1500);
	        },
	        std::chrono::milliseconds(9000));
	EXPECT_TRUE(shown);
	Close(later);
}
