// Window and menu logic against a recording backend, without an X server: which frame
// notices a window believes, what looks, feels and flags mean for the native window, and
// where menus open near the screen's edges.
#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <AppDefs.h>
#include <InterfaceDefs.h>
#include <MenuItem.h>
#include <PopUpMenu.h>
#include <Window.h>

#include "InterfaceBackend.h"
#include "RecordingBackend.h"
#include "TestSupport.h"

using BPrivate::native_window;
using BPrivate::WindowProperties;
using kvtest::RecordingBackend;
using kvtest::WaitUntil;

namespace {

class BackendTest : public ::testing::Test
{
protected:
	void SetUp() override { BPrivate::SetBackend(&fBackend); }
	void TearDown() override { BPrivate::SetBackend(nullptr); }

	RecordingBackend::Record Record(native_window window)
	{
		RecordingBackend::Record record;
		EXPECT_TRUE(fBackend.Window(window, &record));
		return record;
	}

	bool Shown(native_window window)
	{
		RecordingBackend::Record record;
		return fBackend.Window(window, &record) && record.shown && !record.destroyed;
	}

	RecordingBackend fBackend;
};

// Records the frame changes the window believed.
class FrameWindow : public BWindow
{
public:
	FrameWindow()
	    : BWindow(BRect(10, 10, 109, 109), "frames", B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, 0)
	{}

	void FrameMoved(BPoint where) override
	{
		std::lock_guard<std::mutex> guard(lock);
		moves.push_back(where);
	}

	void FrameResized(float width, float height) override
	{
		std::lock_guard<std::mutex> guard(lock);
		resizes.push_back(BPoint(width, height));
	}

	std::mutex lock;
	std::vector<BPoint> moves;
	std::vector<BPoint> resizes;
};

BMessage*
FrameNotice(uint32 what, BPoint value, uint32 request)
{
	BMessage* notice = new BMessage(what);
	if (what == B_WINDOW_MOVED) {
		notice->AddPoint("where", value);
	} else {
		notice->AddInt32("width", (int32)value.x);
		notice->AddInt32("height", (int32)value.y);
	}
	notice->AddInt32(BPrivate::kFrameRequestField, (int32)request);
	return notice;
}

} // namespace

TEST_F(BackendTest, FrameNoticesOlderThanTheLatestRequestAreDropped)
{
	FrameWindow* window = new FrameWindow;
	native_window native = fBackend.Last();
	window->Show();
	ASSERT_TRUE(WaitUntil([&] { return Shown(native); }));

	window->Lock();
	window->MoveTo(100, 100);
	window->MoveTo(200, 200);
	window->Unlock();
	EXPECT_EQ(Record(native).frameRequests, 2u);
	EXPECT_EQ(Record(native).frame.LeftTop(), BPoint(200, 200));

	// The server's answers to the first move (and an older resize) arrive after the second
	// request: they would put the window back. Then the user moves it on.
	fBackend.Post(native, FrameNotice(B_WINDOW_MOVED, BPoint(100, 100), 1));
	fBackend.Post(native, FrameNotice(B_WINDOW_RESIZED, BPoint(49, 49), 1));
	fBackend.Post(native, FrameNotice(B_WINDOW_MOVED, BPoint(300, 250), 2));
	fBackend.Post(native, FrameNotice(B_WINDOW_RESIZED, BPoint(149, 79), 2));
	ASSERT_TRUE(WaitUntil([&] {
		std::lock_guard<std::mutex> guard(window->lock);
		return !window->resizes.empty();
	}));
	window->Lock();
	EXPECT_EQ(window->Frame(), BRect(300, 250, 449, 329));
	{
		std::lock_guard<std::mutex> guard(window->lock);
		EXPECT_EQ(window->moves, std::vector<BPoint>{BPoint(300, 250)});
		EXPECT_EQ(window->resizes, std::vector<BPoint>{BPoint(149, 79)});
	}
	window->Quit();
	// Once the window is gone the backend has been told, so nothing posts to it any more.
	EXPECT_TRUE(Record(native).destroyed);
	EXPECT_FALSE(fBackend.Post(native, FrameNotice(B_WINDOW_MOVED, BPoint(0, 0), 2)));
}

TEST(WindowRoleTest, LooksFeelsAndFlagsBecomeOneSetOfProperties)
{
	using BPrivate::WindowPropertiesFor;
	WindowProperties titled =
	        WindowPropertiesFor("t", B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, 0, 1);
	EXPECT_EQ(titled.kind, BPrivate::kNormalWindowKind);
	EXPECT_TRUE(titled.decorated);
	EXPECT_EQ(titled.borderInset, 0);
	EXPECT_FALSE(titled.keepAbove || titled.aboveEverything || titled.modal);
	EXPECT_TRUE(titled.takesFocus && titled.movable && titled.closable);

	// Floating feels stay above; only floating-all is kept above other programs too.
	for (window_feel feel : {B_FLOATING_APP_WINDOW_FEEL, B_FLOATING_SUBSET_WINDOW_FEEL}) {
		WindowProperties floating = WindowPropertiesFor("f", B_FLOATING_WINDOW_LOOK, feel, 0, 1);
		EXPECT_TRUE(floating.keepAbove) << feel;
		EXPECT_FALSE(floating.aboveEverything) << feel;
		EXPECT_EQ(floating.kind, BPrivate::kNormalWindowKind) << feel;
	}
	WindowProperties floatingAll =
	        WindowPropertiesFor("f", B_TITLED_WINDOW_LOOK, B_FLOATING_ALL_WINDOW_FEEL, 0, 1);
	EXPECT_TRUE(floatingAll.keepAbove && floatingAll.aboveEverything);

	// Modal feels are dialogs; the modal state is for app- and all-modal windows, and
	// only modal-all is above everything.
	WindowProperties modalApp =
	        WindowPropertiesFor("m", B_MODAL_WINDOW_LOOK, B_MODAL_APP_WINDOW_FEEL, 0, 1);
	EXPECT_EQ(modalApp.kind, BPrivate::kDialogWindowKind);
	EXPECT_TRUE(modalApp.modal);
	EXPECT_FALSE(modalApp.keepAbove);
	WindowProperties modalAll =
	        WindowPropertiesFor("m", B_MODAL_WINDOW_LOOK, B_MODAL_ALL_WINDOW_FEEL, 0, 1);
	EXPECT_TRUE(modalAll.modal && modalAll.keepAbove && modalAll.aboveEverything);
	WindowProperties modalSubset =
	        WindowPropertiesFor("m", B_MODAL_WINDOW_LOOK, B_MODAL_SUBSET_WINDOW_FEEL, 0, 1);
	EXPECT_EQ(modalSubset.kind, BPrivate::kDialogWindowKind);
	EXPECT_FALSE(modalSubset.modal);

	// A help bubble: borderless, floating above all, never focused; the same look that
	// takes the focus is an ordinary (undecorated) window.
	WindowProperties bubble = WindowPropertiesFor("b", B_BORDERED_WINDOW_LOOK,
	                                              B_FLOATING_ALL_WINDOW_FEEL, B_AVOID_FOCUS, 1);
	EXPECT_EQ(bubble.kind, BPrivate::kTooltipWindowKind);
	EXPECT_TRUE(bubble.IsPopup() && !bubble.decorated && !bubble.takesFocus);
	EXPECT_EQ(bubble.borderInset, 1);
	EXPECT_EQ(WindowPropertiesFor("b", B_NO_BORDER_WINDOW_LOOK, B_FLOATING_ALL_WINDOW_FEEL, 0, 1)
	                  .kind,
	          BPrivate::kNormalWindowKind);
	WindowProperties menu = WindowPropertiesFor("m", B_BORDERED_WINDOW_LOOK,
	                                            BPrivate::kMenuWindowFeel, B_AVOID_FOCUS, 1);
	EXPECT_EQ(menu.kind, BPrivate::kMenuWindowKind);
	EXPECT_TRUE(menu.aboveEverything);

	WindowProperties fixedWidth = WindowPropertiesFor("w", B_TITLED_WINDOW_LOOK,
	                                                  B_NORMAL_WINDOW_FEEL, B_NOT_H_RESIZABLE, 1);
	EXPECT_FALSE(fixedWidth.resizableHorizontally);
	EXPECT_TRUE(fixedWidth.resizableVertically);
	WindowProperties fixed = WindowPropertiesFor("w", B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL,
	                                             B_NOT_RESIZABLE | B_NOT_MOVABLE | B_NOT_CLOSABLE |
	                                                     B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE,
	                                             1);
	EXPECT_FALSE(fixed.resizableHorizontally || fixed.resizableVertically || fixed.movable ||
	             fixed.closable || fixed.zoomable || fixed.minimizable);
	EXPECT_EQ(WindowPropertiesFor("a", B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, 0,
	                              B_ALL_WORKSPACES)
	                  .workspaces,
	          BPrivate::kAllWorkspaces);
}

TEST_F(BackendTest, WindowsHandTheirRoleToTheBackendAndUpdateIt)
{
	BWindow* window = new BWindow(BRect(0, 0, 99, 99), "tools", B_FLOATING_WINDOW_LOOK,
	                              B_FLOATING_APP_WINDOW_FEEL, 0, B_CURRENT_WORKSPACE);
	native_window native = fBackend.Last();
	RecordingBackend::Record record = Record(native);
	EXPECT_EQ(record.properties.title, "tools");
	EXPECT_TRUE(record.properties.keepAbove);
	// The current workspace is the backend's, asked once when the window is made.
	EXPECT_EQ(record.properties.workspaces, 1u << 2);
	EXPECT_EQ(window->Workspaces(), 1u << 2);

	window->SetFeel(B_NORMAL_WINDOW_FEEL);
	window->SetTitle("renamed");
	window->SetFeel(B_MODAL_ALL_WINDOW_FEEL);
	record = Record(native);
	ASSERT_EQ(record.changes.size(), 3u);
	EXPECT_FALSE(record.changes[0].keepAbove);
	EXPECT_EQ(record.changes[1].title, "renamed");
	EXPECT_TRUE(record.changes[2].keepAbove && record.changes[2].modal);
	// The workspaces go apart from the other properties: those are written by the window
	// and must not undo a move to another desktop that the window has not heard of yet.
	for (const WindowProperties& change : record.changes)
		EXPECT_EQ(change.workspaces, 1u << 2);
	window->SetWorkspaces(B_ALL_WORKSPACES);
	record = Record(native);
	EXPECT_EQ(record.properties.workspaces, BPrivate::kAllWorkspaces);
	EXPECT_EQ(record.changes.size(), 3u);
	window->Quit();
}

// Under a window manager a new window is mapped before it draws, so that the manager frames
// it meanwhile. A help bubble, a window shown again (it still holds its last frame) and any
// window without a manager draw first and appear whole.
TEST_F(BackendTest, OnlyANewWindowUnderAWindowManagerIsMappedBeforeItDraws)
{
	struct Case
	{
		bool manager;
		bool bubble;
		bool mapsFirst;
	};
	for (const Case& c : {Case{true, false, true}, Case{true, true, false},
	                      Case{false, false, false}, Case{false, true, false}}) {
		SCOPED_TRACE(std::string(c.manager ? "manager" : "none") + (c.bubble ? " bubble" : ""));
		fBackend.SetWindowManager(c.manager);
		BWindow* window =
		        c.bubble ? new BWindow(BRect(0, 0, 49, 19), "bubble", B_BORDERED_WINDOW_LOOK,
		                               B_FLOATING_ALL_WINDOW_FEEL, B_AVOID_FOCUS)
		                 : new BWindow(BRect(0, 0, 99, 99), "plain", B_TITLED_WINDOW, 0);
		native_window native = fBackend.Last();
		window->Show();
		ASSERT_TRUE(WaitUntil([&] { return Shown(native) && Record(native).presents > 0; }));
		EXPECT_EQ(Record(native).presentsBeforeShown == 0, c.mapsFirst);

		ASSERT_TRUE(window->Lock());
		window->Hide();
		uint32 presents = Record(native).presents;
		window->Show();
		window->Unlock();
		ASSERT_TRUE(WaitUntil([&] { return Shown(native) && Record(native).presents > presents; }));
		EXPECT_GT(Record(native).presentsBeforeShown, presents);
		ASSERT_TRUE(window->Lock());
		window->Quit();
	}
}

namespace {

// Opens a pop-up menu at where on a thread of its own and waits for Go() to return.
struct MenuRun
{
	explicit MenuRun(BPoint where) : menu("menu")
	{
		for (const char* label : {"First item", "Second item", "A rather long third item"})
			menu.AddItem(new BMenuItem(label, new BMessage('item')));
		thread = std::thread([this, where] { chosen = menu.Go(where); });
	}

	BPopUpMenu menu;
	std::thread thread;
	BMenuItem* chosen = nullptr;
};

} // namespace

TEST_F(BackendTest, MenusOpenWhereAskedAndMoveBackOntoTheScreenAtItsEdges)
{
	struct Case
	{
		BPoint where;
		bool keepsLeft;
		bool keepsTop;
	} cases[] = {
	        {BPoint(20, 30), true, true},    // room enough
	        {BPoint(630, 30), false, true},  // too far right: moves left
	        {BPoint(20, 475), true, false},  // too low: moves up
	        {BPoint(639, 479), false, false} // the corner: both
	};
	BRect screen = fBackend.ScreenFrame();
	for (const Case& c : cases) {
		native_window before = fBackend.Last();
		MenuRun run(c.where);
		ASSERT_TRUE(WaitUntil([&] {
			native_window last = fBackend.Last();
			return last != before && Shown(last);
		}));
		native_window native = fBackend.Last();
		RecordingBackend::Record record = Record(native);
		EXPECT_EQ(record.properties.kind, BPrivate::kMenuWindowKind);
		BRect frame = record.frame;
		EXPECT_TRUE(screen.Contains(frame)) << c.where.x << "," << c.where.y;
		EXPECT_EQ(frame.left == c.where.x, c.keepsLeft) << c.where.x;
		EXPECT_EQ(frame.top == c.where.y, c.keepsTop) << c.where.y;
		if (!c.keepsLeft) {
			EXPECT_EQ(frame.right, screen.right);
		}
		if (!c.keepsTop) {
			EXPECT_EQ(frame.bottom, screen.bottom);
		}

		ASSERT_TRUE(WaitUntil([&] { return Record(native).grabbed; }));
		BMessage* escape = new BMessage(B_KEY_DOWN);
		escape->AddString("bytes", "\x1b");
		fBackend.Post(native, escape);
		run.thread.join();
		EXPECT_EQ(run.chosen, nullptr);
		EXPECT_TRUE(WaitUntil([&] { return Record(native).destroyed; }));
	}
}
