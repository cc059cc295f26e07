// Windows on a private Xvfb without a window manager: what is drawn reaches the screen,
// and pointer and keys injected through XTEST arrive as BeOS messages.
#include <chrono>
#include <thread>

#include <AppDefs.h>
#include <InterfaceDefs.h>
#include <MessageQueue.h>
#include <Messenger.h>
#include <OS.h>

#include "WindowPrivate.h"

#include "GuiTestSupport.h"
#include "support/TestSupport.h"

#include <X11/Xlib.h>

using namespace kvtest;

namespace {

// A window at (100, 100) of 200 by 100 pixels whose view fills it but a 10-pixel margin.
struct ShownWindow
{
	RecordingWindow* window;
	RecordingView* view;
};

class WindowXTest : public GuiTest
{
protected:
	ShownWindow Show(bool trackOutside = false, uint32 flags = 0)
	{
		RecordingWindow* window = new RecordingWindow(
		        BRect(100, 100, 299, 199), B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, flags);
		RecordingView* view = new RecordingView(BRect(10, 10, 189, 89), trackOutside);
		window->AddChild(view);
		window->Show();
		EXPECT_TRUE(fClient->WaitForPixel(110, 110, Rgb(kLight)));
		EXPECT_TRUE(WaitUntil([&] { return window->activeNow.load(); }));
		return ShownWindow{window, view};
	}
};

} // namespace

TEST_F(WindowXTest, DrawnPixelsReachTheScreenAtTheWindowsPosition)
{
	ShownWindow shown = Show();
	// The bevel: light left and top edges, dark right and bottom ones, the view colour
	// inside, and the window's white background around the view.
	EXPECT_EQ(fClient->Pixel(110, 150), Rgb(kLight));
	EXPECT_EQ(fClient->Pixel(150, 110), Rgb(kLight));
	EXPECT_EQ(fClient->Pixel(289, 150), Rgb(kDark));
	EXPECT_EQ(fClient->Pixel(150, 189), Rgb(kDark));
	EXPECT_EQ(fClient->Pixel(200, 180), Rgb(kFill));
	EXPECT_EQ(fClient->Pixel(100, 100), 0xffffffu);
	EXPECT_EQ(fClient->Pixel(299, 199), 0xffffffu);
	EXPECT_NE(fClient->Pixel(300, 200), 0xffffffu);

	// The text: yellowish pixels on its line and nowhere below it.
	int textPixels = 0;
	for (int y = 125; y <= 141; y++) {
		for (int x = 118; x < 230; x++) {
			uint32_t pixel = fClient->Pixel(x, y);
			textPixels += ((pixel >> 16) & 0xff) > 0x80 && ((pixel >> 8) & 0xff) > 0x80 ? 1 : 0;
		}
	}
	EXPECT_GT(textPixels, 40);

	if (shown.window->Lock()) {
		EXPECT_EQ(shown.window->Frame(), BRect(100, 100, 299, 199));
		EXPECT_EQ(shown.view->ConvertToScreen(BPoint(0, 0)), BPoint(110, 110));
		shown.window->Unlock();
	}
	Close(shown.window);
}

// The display's notice of the resize is queued before the move is asked for; it still
// describes the old place and must not take the window back there.
TEST_F(WindowXTest, AWindowResizedThenMovedBeforeShowingStaysWhereItWasMoved)
{
	RecordingWindow* window = new RecordingWindow(BRect(20, 20, 119, 69));
	window->AddChild(new RecordingView(BRect(0, 0, 49, 49)));
	window->ResizeTo(199, 99);
	ASSERT_TRUE(WaitUntil([&] {
		return window->MessageQueue()->FindMessage((uint32)B_WINDOW_MOVED, 0) != nullptr;
	}));
	window->MoveTo(400, 300);
	window->Show();
	EXPECT_TRUE(fClient->WaitForPixel(400, 300, Rgb(kLight)));
	// Whatever notices were queued have been handled once the window answers a message.
	BMessage reply;
	BMessenger(window).SendMessage('sync', &reply);
	ASSERT_TRUE(window->Lock());
	EXPECT_EQ(window->Frame(), BRect(400, 300, 599, 399));
	window->Unlock();
	EXPECT_TRUE(fClient->WaitForPixel(400, 300, Rgb(kLight)));
	Close(window);
}

TEST_F(WindowXTest, ClicksArriveWithViewPositionButtonsAndClickCount)
{
	ShownWindow shown = Show();
	fClient->Click(150, 140);
	ASSERT_TRUE(WaitUntil([&] { return shown.view->Count(B_MOUSE_UP) == 1; }));
	Event down, up;
	ASSERT_TRUE(shown.view->Find(B_MOUSE_DOWN, 0, &down));
	ASSERT_TRUE(shown.view->Find(B_MOUSE_UP, 0, &up));
	EXPECT_EQ(down.where, BPoint(40, 30));
	EXPECT_EQ(down.buttons, B_PRIMARY_MOUSE_BUTTON);
	EXPECT_EQ(down.clicks, 1);
	EXPECT_EQ(up.where, BPoint(40, 30));
	EXPECT_EQ(up.buttons, 0);

	// A second click at nearly the same place counts 2; another button starts over.
	fClient->Click(151, 141);
	ASSERT_TRUE(WaitUntil([&] { return shown.view->Count(B_MOUSE_DOWN) == 2; }));
	std::vector<Event> events = shown.view->Events();
	Event second;
	int downs = 0;
	for (const Event& event : events) {
		if (event.what == B_MOUSE_DOWN && ++downs == 2)
			second = event;
	}
	EXPECT_EQ(second.clicks, 2);
	fClient->Click(151, 141, 3);
	ASSERT_TRUE(WaitUntil([&] { return shown.view->Count(B_MOUSE_DOWN) == 3; }));
	events = shown.view->Events();
	Event third;
	for (const Event& event : events) {
		if (event.what == B_MOUSE_DOWN)
			third = event;
	}
	EXPECT_EQ(third.buttons, B_SECONDARY_MOUSE_BUTTON);
	EXPECT_EQ(third.clicks, 1);
	Close(shown.window);
}

TEST_F(WindowXTest, DragKeepsMouseEventsOutsideTheViewUntilRelease)
{
	ShownWindow shown = Show(true);
	fClient->MoveMouse(150, 140);
	fClient->Button(1, true);
	fClient->MoveMouse(160, 145);
	fClient->MoveMouse(500, 400);
	ASSERT_TRUE(WaitUntil([&] {
		std::vector<Event> events = shown.view->Events();
		return !events.empty() && events.back().what == B_MOUSE_MOVED &&
		       events.back().where == BPoint(390, 290);
	}));
	fClient->Button(1, false);
	ASSERT_TRUE(WaitUntil([&] { return shown.view->Count(B_MOUSE_UP) == 1; }));

	std::vector<Event> events = shown.view->Events();
	Event up;
	ASSERT_TRUE(shown.view->Find(B_MOUSE_UP, 0, &up));
	EXPECT_EQ(up.where, BPoint(390, 290));
	bool exited = false;
	for (const Event& event : events) {
		if (event.what == B_MOUSE_MOVED && event.transit == B_EXITED_VIEW)
			exited = true;
		if (event.what == B_MOUSE_MOVED && event.where == BPoint(390, 290)) {
			EXPECT_TRUE(event.transit == B_EXITED_VIEW || event.transit == B_OUTSIDE_VIEW);
		}
	}
	EXPECT_TRUE(exited);
	Close(shown.window);
}

TEST_F(WindowXTest, KeyTypedInTheFocusedWindowArrivesOnce)
{
	ShownWindow shown = Show();
	ASSERT_TRUE(shown.window->Lock());
	shown.view->MakeFocus(true);
	// Watching the whole keyboard as well must not bring the key twice.
	shown.view->SetEventMask(B_KEYBOARD_EVENTS);
	shown.window->Unlock();

	fClient->Tap(38); // A
	ASSERT_TRUE(WaitUntil([&] { return shown.view->Count(B_KEY_UP) >= 1; }));
	fClient->Tap(36); // Return: a second event behind the first, so late duplicates show
	ASSERT_TRUE(WaitUntil([&] { return shown.view->Count(B_KEY_UP) >= 2; }));
	EXPECT_EQ(shown.view->Count(B_KEY_DOWN), 2u);
	EXPECT_EQ(shown.view->Count(B_KEY_UP), 2u);
	Event down;
	ASSERT_TRUE(shown.view->Find(B_KEY_DOWN, 0, &down));
	EXPECT_EQ(down.key, 0x3c);
	EXPECT_EQ(down.bytes, "a");
	ASSERT_TRUE(down.hasStates);
	EXPECT_TRUE(down.KeyIsDown(0x3c));
	std::vector<Event> events = shown.view->Events();
	Event enter;
	for (const Event& event : events) {
		if (event.what == B_KEY_DOWN)
			enter = event;
	}
	EXPECT_EQ(enter.key, 0x47);
	EXPECT_EQ(enter.bytes, std::string(1, (char)B_ENTER));
	Close(shown.window);
}

TEST_F(WindowXTest, KeysOfAnotherProgramReachAViewWatchingTheKeyboard)
{
	ShownWindow shown = Show();
	ASSERT_TRUE(shown.window->Lock());
	shown.view->SetEventMask(B_KEYBOARD_EVENTS);
	shown.window->Unlock();
	fClient->CreateFocusedWindow(500, 500, 100, 100);
	ASSERT_TRUE(WaitUntil([&] { return !shown.window->activeNow.load(); }));

	// X key code, BeOS raw code, and whether it is a modifier.
	struct KeyCase
	{
		unsigned int keycode;
		uint32 raw;
		uint32 what;
	};
	const KeyCase cases[] = {
	        {50, 0x4b, B_MODIFIERS_CHANGED},  // left Shift
	        {62, 0x56, B_MODIFIERS_CHANGED},  // right Shift
	        {37, 0x5c, B_MODIFIERS_CHANGED},  // left Control
	        {105, 0x60, B_MODIFIERS_CHANGED}, // right Control
	        {64, 0x5d, B_MODIFIERS_CHANGED},  // left Alt
	        {133, 0x66, B_MODIFIERS_CHANGED}, // left "Windows"
	        {134, 0x67, B_MODIFIERS_CHANGED}, // right "Windows"
	        {90, 0x64, B_KEY_DOWN},           // keypad 0
	        {88, 0x59, B_KEY_DOWN},           // keypad 2
	        {79, 0x37, B_KEY_DOWN},           // keypad 7
	        {91, 0x65, B_KEY_DOWN},           // keypad Delete
	};
	for (const KeyCase& key : cases) {
		SCOPED_TRACE(key.keycode);
		size_t before = shown.view->Events().size();
		fClient->Key(key.keycode, true);
		Event pressed;
		ASSERT_TRUE(WaitUntil([&] {
			std::vector<Event> events = shown.view->Events();
			for (size_t i = before; i < events.size(); i++) {
				if (events[i].hasStates && events[i].KeyIsDown(key.raw)) {
					pressed = events[i];
					return true;
				}
			}
			return false;
		}));
		EXPECT_EQ(pressed.key, (int32)key.raw);
		EXPECT_TRUE(pressed.what == key.what || pressed.what == B_UNMAPPED_KEY_DOWN);
		fClient->Key(key.keycode, false);
		ASSERT_TRUE(WaitUntil([&] {
			std::vector<Event> events = shown.view->Events();
			return events.size() > before + 1 && events.back().hasStates &&
			       !events.back().KeyIsDown(key.raw);
		}));
	}
	Close(shown.window);
}

TEST_F(WindowXTest, InvalidUtf8AndTwoWindowsDrawingAtOnce)
{
	// Two windows redraw from their own threads, one with a label cut inside a character.
	RecordingWindow* first = new RecordingWindow(BRect(50, 300, 249, 399));
	RecordingWindow* second = new RecordingWindow(BRect(300, 300, 499, 399));
	RecordingView* firstView = new RecordingView(BRect(0, 0, 199, 99));
	RecordingView* secondView = new RecordingView(BRect(0, 0, 199, 99));
	first->AddChild(firstView);
	second->AddChild(secondView);
	first->Show();
	second->Show();
	ASSERT_TRUE(fClient->WaitForPixel(50, 300, Rgb(kLight)));
	ASSERT_TRUE(fClient->WaitForPixel(300, 300, Rgb(kLight)));
	std::thread other([&] {
		for (int i = 0; i < 30; i++) {
			if (second->Lock()) {
				secondView->Invalidate();
				second->Unlock();
			}
		}
	});
	for (int i = 0; i < 30; i++) {
		if (first->Lock()) {
			firstView->Invalidate();
			firstView->DrawString("Caf\xc3", BPoint(5, 60));
			firstView->DrawString("\xff\xfe bad", BPoint(5, 80));
			first->Unlock();
		}
	}
	other.join();
	EXPECT_TRUE(WaitUntil([&] { return firstView->draws.load() >= 2; }));
	EXPECT_TRUE(fClient->WaitForPixel(499, 399, Rgb(kDark)) ||
	            fClient->WaitForPixel(498, 398, Rgb(kDark)));
	Close(first);
	Close(second);
}

namespace {

// Blocks its window's thread for a while when told to, as a synchronous menu or alert does.
class SleepyView : public RecordingView
{
public:
	SleepyView(BRect frame) : RecordingView(frame) {}

	void MessageReceived(BMessage* message) override
	{
		if (message->what != 'slep') {
			RecordingView::MessageReceived(message);
			return;
		}
		blocked = true;
		snooze(3000000);
		blocked = false;
	}

	std::atomic<bool> blocked{false};
};

} // namespace

TEST_F(WindowXTest, BlockedWindowStillRepaintsWhenUncovered)
{
	RecordingWindow* window = new RecordingWindow(BRect(100, 100, 299, 199));
	SleepyView* view = new SleepyView(BRect(10, 10, 189, 89));
	window->AddChild(view);
	window->Show();
	ASSERT_TRUE(fClient->WaitForPixel(200, 180, Rgb(kFill)));
	window->PostMessage('slep', view);
	ASSERT_TRUE(WaitUntil([&] { return view->blocked.load(); }));

	unsigned long cover = fClient->CreateFocusedWindow(150, 150, 100, 100);
	ASSERT_TRUE(fClient->WaitForPixel(200, 180, 0x808080));
	fClient->DestroyWindow(cover);
	EXPECT_TRUE(fClient->WaitForPixel(200, 180, Rgb(kFill), 1500));
	EXPECT_TRUE(view->blocked.load());
	Close(window);
}

TEST_F(WindowXTest, FloatingWindowStaysAboveWithoutWindowManager)
{
	RecordingWindow* floating = new RecordingWindow(
	        BRect(600, 100, 799, 199), B_BORDERED_WINDOW_LOOK, B_FLOATING_ALL_WINDOW_FEEL);
	floating->AddChild(new RecordingView(BRect(10, 10, 189, 89)));
	floating->Show();
	ASSERT_TRUE(fClient->WaitForPixel(700, 180, Rgb(kFill)));
	fClient->CreateFocusedWindow(550, 50, 300, 300);
	// Another program's window appears on top; the floating window comes back above it.
	EXPECT_TRUE(fClient->WaitForPixel(700, 180, Rgb(kFill)));
	EXPECT_EQ(fClient->Pixel(560, 60), 0x808080u);
	Close(floating);
}

TEST_F(WindowXTest, CommandWClosesOnlyClosableWindows)
{
	ShownWindow locked = Show(false, B_NOT_CLOSABLE);
	ASSERT_TRUE(locked.window->Lock());
	locked.view->MakeFocus(true);
	locked.window->Unlock();
	int32 windows = BPrivate::CountWindows();
	fClient->Key(64, true); // Alt, the Command key
	fClient->Tap(25);       // W
	fClient->Key(64, false);
	// Not a shortcut for this window: the key reaches the focus view, the window stays.
	ASSERT_TRUE(WaitUntil([&] { return locked.view->Count(B_KEY_DOWN) == 1; }));
	EXPECT_EQ(BPrivate::CountWindows(), windows);
	Close(locked.window);
	EXPECT_EQ(BPrivate::CountWindows(), windows - 1);

	Show();
	fClient->Key(64, true);
	fClient->Tap(25);
	fClient->Key(64, false);
	EXPECT_TRUE(WaitUntil([&] { return BPrivate::CountWindows() == windows - 1; }));
}

namespace {

// What a window manager sends when the user clicks a window's close button.
void
SendDeleteWindow(XClient* client, unsigned long window)
{
	::Display* display = client->Handle();
	XEvent event = {};
	event.xclient.type = ClientMessage;
	event.xclient.window = window;
	event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
	event.xclient.format = 32;
	event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
	event.xclient.data.l[1] = CurrentTime;
	XSendEvent(display, window, False, NoEventMask, &event);
	XFlush(display);
}

} // namespace

TEST_F(WindowXTest, WindowManagersCloseQuitsOnlyClosableWindows)
{
	ShownWindow locked = Show(false, B_NOT_CLOSABLE);
	ASSERT_TRUE(locked.window->Lock());
	locked.view->MakeFocus(true);
	locked.window->Unlock();
	int32 windows = BPrivate::CountWindows();
	SendDeleteWindow(fClient.get(), fClient->FocusWindow());
	// A key behind the request shows that the window has handled it and is still there.
	fClient->Tap(38);
	ASSERT_TRUE(WaitUntil([&] { return locked.view->Count(B_KEY_DOWN) == 1; }));
	EXPECT_EQ(BPrivate::CountWindows(), windows);
	Close(locked.window);

	Show();
	SendDeleteWindow(fClient.get(), fClient->FocusWindow());
	EXPECT_TRUE(WaitUntil([&] { return BPrivate::CountWindows() == windows - 1; }));
}

namespace {

// Drags its window as the bar does: the grabbed point stays under the mouse.
class DragView : public BView
{
public:
	DragView(BRect frame) : BView(frame, "drag", B_FOLLOW_ALL, B_WILL_DRAW | B_PULSE_NEEDED)
	{
		SetViewColor(kFill);
	}

	void MouseDown(BPoint where) override
	{
		SetMouseEventMask(B_POINTER_EVENTS, B_NO_POINTER_HISTORY);
		fDragging = true;
		fOffset = where;
	}

	void MouseMoved(BPoint where, uint32, const BMessage*) override
	{
		if (!fDragging)
			return;
		Window()->MoveTo(ConvertToScreen(where) - fOffset);
		Sync();
	}

	void MouseUp(BPoint) override { fDragging = false; }

	void Pulse() override { pulses++; }

	std::atomic<int32> pulses{0};

private:
	bool fDragging = false;
	BPoint fOffset;
};

} // namespace

TEST_F(WindowXTest, DraggingAWindowKeepsTheGrabbedPointUnderTheMouse)
{
	RecordingWindow* window = new RecordingWindow(BRect(100, 100, 299, 199), B_BORDERED_WINDOW_LOOK,
	                                              B_NORMAL_WINDOW_FEEL, B_WILL_ACCEPT_FIRST_CLICK);
	DragView* view = new DragView(window->Bounds());
	window->AddChild(view);
	window->SetPulseRate(20000);
	window->Show();
	ASSERT_TRUE(fClient->WaitForPixel(150, 150, Rgb(kFill)));
	// Views that ask for pulses get them at the window's rate.
	EXPECT_TRUE(WaitUntil([&] { return view->pulses.load() >= 3; }));

	fClient->MoveMouse(150, 150);
	fClient->Button(1, true);
	for (int step = 1; step <= 10; step++)
		fClient->MoveMouse(150 + step * 10, 150 + step * 8);
	auto at = [&](BPoint expected) {
		return WaitUntil([&] {
			if (!window->Lock())
				return false;
			BPoint leftTop = window->Frame().LeftTop();
			window->Unlock();
			return leftTop == expected;
		});
	};
	EXPECT_TRUE(at(BPoint(200, 180)));
	fClient->Button(1, false);
	fClient->MoveMouse(400, 400);
	EXPECT_TRUE(at(BPoint(200, 180)));
	EXPECT_TRUE(fClient->WaitForPixel(210, 190, Rgb(kFill)));
	Close(window);
}

TEST_F(WindowXTest, HelpBubbleShowsWithoutTakingTheFocus)
{
	ShownWindow shown = Show();
	RecordingWindow* bubble =
	        new RecordingWindow(BRect(400, 400, 449, 419), B_BORDERED_WINDOW_LOOK,
	                            B_FLOATING_ALL_WINDOW_FEEL, B_NOT_MOVABLE | B_AVOID_FOCUS);
	bubble->AddChild(new RecordingView(BRect(0, 0, 49, 19)));
	bubble->Show();
	ASSERT_TRUE(fClient->WaitForPixel(400, 405, Rgb(kLight)));
	// A click in the bubble does not take the focus either.
	fClient->Click(420, 410);
	fClient->Click(150, 140);
	ASSERT_TRUE(WaitUntil([&] { return shown.view->Count(B_MOUSE_UP) == 1; }));
	EXPECT_TRUE(shown.window->activeNow.load());
	EXPECT_FALSE(bubble->activeNow.load());
	EXPECT_EQ(fClient->Pixel(399, 399), 0x000000u);
	Close(bubble);
	Close(shown.window);
}
