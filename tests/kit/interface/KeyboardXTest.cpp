// Keys on a private Xvfb through XTEST: a view watching the whole keyboard sees every key
// of another program with its raw code and key states, auto-repeat is marked, and a
// modifier released while another window had the focus does not stay held.
#include <cstring>
#include <mutex>
#include <vector>

#include <AppDefs.h>
#include <InterfaceDefs.h>
#include <Message.h>
#include <TextControl.h>
#include <TypeConstants.h>
#include <Window.h>

#include "WindowPrivate.h"

#include "GuiTestSupport.h"
#include "support/TestSupport.h"

#include <X11/Xlib.h>

using namespace kvtest;

namespace {

// Keeps a copy of every key message it is handed, whichever way it came.
class KeyRecorder : public BView
{
public:
	KeyRecorder(BRect frame) : BView(frame, "keys", B_FOLLOW_NONE, B_WILL_DRAW)
	{
		SetViewColor(kFill);
	}

	void KeyDown(const char*, int32) override { _Record(Window()->CurrentMessage()); }
	void KeyUp(const char*, int32) override { _Record(Window()->CurrentMessage()); }

	void MessageReceived(BMessage* message) override
	{
		switch (message->what) {
		case B_UNMAPPED_KEY_DOWN:
		case B_UNMAPPED_KEY_UP:
		case B_MODIFIERS_CHANGED:
			_Record(message);
			break;
		default:
			BView::MessageReceived(message);
		}
	}

	std::vector<BMessage> Messages()
	{
		std::lock_guard<std::mutex> guard(fLock);
		return fMessages;
	}

	size_t Count()
	{
		std::lock_guard<std::mutex> guard(fLock);
		return fMessages.size();
	}

private:
	void _Record(const BMessage* message)
	{
		if (message == nullptr)
			return;
		std::lock_guard<std::mutex> guard(fLock);
		fMessages.push_back(*message);
	}

	std::mutex fLock;
	std::vector<BMessage> fMessages;
};

bool
KeyIsDown(const BMessage& message, uint32 key)
{
	const void* data = nullptr;
	ssize_t size = 0;
	if (message.FindData("states", B_UINT8_TYPE, &data, &size) != B_OK || size != 16)
		return false;
	const uint8* states = static_cast<const uint8*>(data);
	return (states[key / 8] & (1 << (7 - key % 8))) != 0;
}

int32
Int32(const BMessage& message, const char* name, int32 missing = -1)
{
	int32 value = missing;
	message.FindInt32(name, &value);
	return value;
}

class KeyboardXTest : public GuiTest
{
protected:
	// A window at (100, 100) whose recorder watches the keyboard, and another program's
	// window holding the focus.
	KeyRecorder* ShowWatcher(RecordingWindow** windowOut)
	{
		RecordingWindow* window = new RecordingWindow(BRect(100, 100, 299, 199));
		KeyRecorder* recorder = new KeyRecorder(BRect(10, 10, 189, 89));
		window->AddChild(recorder);
		window->Show();
		EXPECT_TRUE(WaitUntil([&] { return window->activeNow.load(); }));
		EXPECT_TRUE(window->Lock());
		recorder->SetEventMask(B_KEYBOARD_EVENTS);
		window->Unlock();
		*windowOut = window;
		return recorder;
	}

	// Presses (or releases) the key and waits for the message it gives the recorder.
	bool Stroke(KeyRecorder* recorder, unsigned int keycode, bool press, BMessage* arrived)
	{
		size_t before = recorder->Count();
		fClient->Key(keycode, press);
		if (!WaitUntil([&] { return recorder->Count() > before; }))
			return false;
		*arrived = recorder->Messages()[before];
		return true;
	}
};

} // namespace

TEST_F(KeyboardXTest, EveryKeyOfAnotherProgramReachesAWatcherEvenDuringItsGrab)
{
	RecordingWindow* window = nullptr;
	KeyRecorder* recorder = ShowWatcher(&window);
	unsigned long other = fClient->CreateFocusedWindow(500, 500, 100, 100);
	ASSERT_TRUE(WaitUntil([&] { return !window->activeNow.load(); }));

	struct KeyCase
	{
		unsigned int keycode;
		uint32 raw;
		uint32 down;
		uint32 up;
	};
	const uint32 kModifiers = B_MODIFIERS_CHANGED;
	const KeyCase cases[] = {
	        {50, 0x4b, kModifiers, kModifiers},                 // left Shift
	        {62, 0x56, kModifiers, kModifiers},                 // right Shift
	        {37, 0x5c, kModifiers, kModifiers},                 // left Control
	        {105, 0x60, kModifiers, kModifiers},                // right Control
	        {64, 0x5d, kModifiers, kModifiers},                 // left Alt
	        {108, 0x5f, kModifiers, kModifiers},                // right Alt
	        {133, 0x66, kModifiers, kModifiers},                // left "Windows"
	        {134, 0x67, kModifiers, kModifiers},                // right "Windows"
	        {135, 0x68, kModifiers, kModifiers},                // Menu
	        {90, 0x64, B_KEY_DOWN, B_KEY_UP},                   // keypad 0
	        {87, 0x58, B_KEY_DOWN, B_KEY_UP},                   // keypad 1
	        {88, 0x59, B_KEY_DOWN, B_KEY_UP},                   // keypad 2
	        {89, 0x5a, B_KEY_DOWN, B_KEY_UP},                   // keypad 3
	        {83, 0x48, B_KEY_DOWN, B_KEY_UP},                   // keypad 4
	        {84, 0x49, B_UNMAPPED_KEY_DOWN, B_UNMAPPED_KEY_UP}, // keypad 5: types nothing
	        {85, 0x4a, B_KEY_DOWN, B_KEY_UP},                   // keypad 6
	        {79, 0x37, B_KEY_DOWN, B_KEY_UP},                   // keypad 7
	        {80, 0x38, B_KEY_DOWN, B_KEY_UP},                   // keypad 8
	        {81, 0x39, B_KEY_DOWN, B_KEY_UP},                   // keypad 9
	        {91, 0x65, B_KEY_DOWN, B_KEY_UP},                   // keypad Delete
	        {38, 0x3c, B_KEY_DOWN, B_KEY_UP},                   // A
	};
	// A program holding the keyboard (a desktop's hot key, another program's open menu)
	// does not hide the keys either.
	for (bool grabbed : {false, true}) {
		if (grabbed) {
			ASSERT_EQ(GrabSuccess, XGrabKeyboard(fClient->Handle(), other, False, GrabModeAsync,
			                                     GrabModeAsync, CurrentTime));
			fClient->Sync();
		}
		for (const KeyCase& key : cases) {
			SCOPED_TRACE(testing::Message() << "key code " << key.keycode << " grab " << grabbed);
			BMessage down, up;
			ASSERT_TRUE(Stroke(recorder, key.keycode, true, &down));
			EXPECT_EQ(key.down, down.what);
			EXPECT_EQ((int32)key.raw, Int32(down, "key"));
			EXPECT_TRUE(KeyIsDown(down, key.raw));
			EXPECT_EQ(0, Int32(down, "be:key_repeat", 0));
			ASSERT_TRUE(Stroke(recorder, key.keycode, false, &up));
			EXPECT_EQ(key.up, up.what);
			EXPECT_EQ((int32)key.raw, Int32(up, "key"));
			EXPECT_FALSE(KeyIsDown(up, key.raw));
		}
	}
	XUngrabKeyboard(fClient->Handle(), CurrentTime);
	fClient->Sync();
	Close(window);
}

TEST_F(KeyboardXTest, AutoRepeatedKeyDownsAreCountedForWatchersAndTheFocusView)
{
	RecordingWindow* window = nullptr;
	KeyRecorder* recorder = ShowWatcher(&window);
	unsigned long other = fClient->CreateFocusedWindow(500, 500, 100, 100);
	ASSERT_TRUE(WaitUntil([&] { return !window->activeNow.load(); }));

	// The server takes a press of a key already down as its auto-repeat.
	for (unsigned int keycode : {88u /* keypad 2 */, 84u /* keypad 5 */}) {
		SCOPED_TRACE(keycode);
		size_t before = recorder->Count();
		for (int i = 0; i < 3; i++)
			fClient->Key(keycode, true);
		fClient->Key(keycode, false);
		ASSERT_TRUE(WaitUntil([&] { return recorder->Count() >= before + 4; }));
		std::vector<BMessage> messages = recorder->Messages();
		for (int i = 0; i < 3; i++)
			EXPECT_EQ(i, Int32(messages[before + i], "be:key_repeat", 0)) << i;
		EXPECT_EQ(-1, Int32(messages[before + 3], "be:key_repeat"));
	}

	// Back in our window, with the recorder as the focus view: a held key repeats (the
	// server's own repeat, after its delay), each key-down arrives once, and the repeats
	// are counted the same way.
	fClient->DestroyWindow(other);
	ASSERT_TRUE(window->Lock());
	window->Activate();
	recorder->MakeFocus(true);
	window->Unlock();
	ASSERT_TRUE(WaitUntil([&] { return window->activeNow.load(); }));
	size_t before = recorder->Count();
	fClient->Key(38, true); // A
	EXPECT_TRUE(WaitUntil([&] { return recorder->Count() >= before + 3; }));
	fClient->Key(38, false);
	fClient->Tap(36); // Return, so that a late duplicate would show
	ASSERT_TRUE(WaitUntil([&] {
		std::vector<BMessage> messages = recorder->Messages();
		return messages.size() > before && messages.back().what == B_KEY_UP &&
		       Int32(messages.back(), "key") == 0x47;
	}));
	std::vector<BMessage> messages = recorder->Messages();
	size_t downs = 0;
	for (size_t i = before; i < messages.size() && messages[i].what == B_KEY_DOWN; i++) {
		EXPECT_EQ(0x3c, Int32(messages[i], "key"));
		EXPECT_EQ((int32)downs, Int32(messages[i], "be:key_repeat", 0)) << downs;
		downs++;
	}
	EXPECT_GE(downs, 3u);
	ASSERT_EQ(before + downs + 3, messages.size());
	EXPECT_EQ((uint32)B_KEY_UP, messages[before + downs].what);
	EXPECT_EQ(0, Int32(messages[before + downs + 1], "be:key_repeat", 0));
	Close(window);
}

TEST_F(KeyboardXTest, AltReleasedWhileNoWindowOfOursHadTheFocusDoesNotStick)
{
	BWindow* editorWindow = new BWindow(BRect(400, 100, 699, 199), "Editor", B_TITLED_WINDOW_LOOK,
	                                    B_NORMAL_WINDOW_FEEL, 0);
	BTextControl* control =
	        new BTextControl(BRect(10, 10, 289, 40), "name", "Name:", "", new BMessage('name'));
	editorWindow->AddChild(control);
	editorWindow->Show();
	RecordingWindow* closing = new RecordingWindow(BRect(100, 300, 299, 399));
	closing->AddChild(new RecordingView(BRect(10, 10, 189, 89)));
	closing->Show();
	ASSERT_TRUE(WaitUntil([&] { return closing->activeNow.load(); }));

	// Alt+W closes the focused window; Alt comes up while the pointer is over no window
	// of ours, so none of them sees the release.
	fClient->MoveMouse(900, 700);
	int32 windows = BPrivate::CountWindows();
	fClient->Key(64, true);
	fClient->Tap(25);
	ASSERT_TRUE(WaitUntil([&] { return BPrivate::CountWindows() == windows - 1; }));
	fClient->Key(64, false);
	fClient->Sync();

	ASSERT_TRUE(editorWindow->Lock());
	editorWindow->Activate();
	control->MakeFocus(true);
	editorWindow->Unlock();
	ASSERT_TRUE(WaitUntil([&] { return editorWindow->IsActive(); }));
	fClient->Tap(38); // A: typed, not Command+A
	fClient->Tap(56); // B
	std::string text;
	EXPECT_TRUE(WaitUntil([&] {
		if (!editorWindow->Lock())
			return false;
		text = control->Text();
		editorWindow->Unlock();
		return text == "ab";
	})) << text;
	Close(editorWindow);
}
