// The "system" clipboard against other X programs on a private Xvfb: xclip reads what the
// program copies and puts text there for the program to paste; a raw Xlib client checks
// MULTIPLE and an owner that never answers.
#include <atomic>
#include <cstring>
#include <thread>
#include <unistd.h>

#include <Clipboard.h>
#include <Message.h>
#include <Window.h>

#include "Display.h"
#include "GuiTestSupport.h"
#include "support/TestSupport.h"

// After gtest: Xlib's macros (None, Bool) clash with its names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

using namespace kvtest;

namespace {

const char* const kXclip = "/usr/bin/xclip";
const uint32 kCopy = 'copy';
const uint32 kPaste = 'past';

// What the program puts on the clipboard: the text with its NUL, as programs copy it.
status_t
Copy(const std::string& text)
{
	BClipboard clipboard("system");
	if (!clipboard.Lock())
		return B_ERROR;
	clipboard.Clear();
	clipboard.Data()->AddData("text/plain", B_MIME_TYPE, text.c_str(), (ssize_t)text.size() + 1);
	status_t status = clipboard.Commit();
	clipboard.Unlock();
	return status;
}

// The "text/plain" bytes as the program finds them, or false when there are none.
bool
Paste(std::string* bytes, uint32* count = nullptr)
{
	BClipboard clipboard("system");
	if (!clipboard.Lock())
		return false;
	const void* data = nullptr;
	ssize_t size = 0;
	bool found = clipboard.Data()->FindData("text/plain", B_MIME_TYPE, &data, &size) == B_OK;
	if (found)
		bytes->assign((const char*)data, (size_t)size);
	if (count != nullptr)
		*count = clipboard.SystemCount();
	clipboard.Unlock();
	return found;
}

std::string
WithNul(const std::string& text)
{
	return std::string(text.c_str(), text.size() + 1);
}

// A text of about size bytes, lines of UTF-8 with a running number, so that a chunk lost
// or repeated shows.
std::string
LargeText(size_t size, const char* word)
{
	std::string text;
	for (int line = 0; text.size() < size; line++)
		text += std::to_string(line) + " " + word + " ÄÖÜ ✓\n";
	return text;
}

// A window that copies and pastes in its own thread, as a program's menu item would.
class ClipboardWindow : public BWindow
{
public:
	ClipboardWindow() : BWindow(BRect(50, 50, 149, 99), "Clipboard", B_TITLED_WINDOW, 0) {}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == kCopy) {
			const char* text = nullptr;
			message->FindString("text", &text);
			copyStatus = Copy(text != nullptr ? text : "");
			copied = true;
		} else if (message->what == kPaste) {
			std::string bytes;
			Paste(&bytes);
			std::lock_guard<std::mutex> guard(lock);
			pasted = bytes;
			pastes++;
		} else {
			BWindow::MessageReceived(message);
		}
	}

	std::mutex lock;
	std::string pasted; // guarded by lock
	std::atomic<int32> pastes{0};
	std::atomic<bool> copied{false};
	std::atomic<status_t> copyStatus{B_ERROR};
};

// A display client runs on the display thread itself, where the clipboard must not wait
// for that thread.
class DisplayThreadClient : public BPrivate::WindowClient
{
public:
	void BackendMessage(BMessage* message) override
	{
		delete message;
		if (done)
			return;
		found = Paste(&pasted);
		copyStatus = Copy("from the display thread");
		done = true;
	}

	bool found = false;
	std::string pasted;
	status_t copyStatus = B_ERROR;
	std::atomic<bool> done{false};
};

class ClipboardXTest : public GuiTest
{
protected:
	void SetUp() override
	{
		GuiTest::SetUp();
		if (IsSkipped() || HasFatalFailure())
			return;
		if (access(kXclip, X_OK) != 0)
			GTEST_SKIP() << "xclip is not installed";
		fAtom = XInternAtom(fClient->Handle(), "CLIPBOARD", False);
	}

	ProcessResult ReadWithXclip(const char* target = nullptr)
	{
		std::vector<std::string> argv = {kXclip, "-o", "-selection", "clipboard"};
		if (target != nullptr) {
			argv.push_back("-t");
			argv.push_back(target);
		}
		return RunProcess(argv);
	}

	// xclip stays behind as the owner until another client takes the clipboard; its
	// output goes nowhere so that RunProcess need not wait for it.
	void WriteWithXclip(const std::string& text, const char* target = "UTF8_STRING")
	{
		Window before = Owner();
		std::string command = std::string("exec ") + kXclip + " -i -selection clipboard -t " +
		                      target + " >/dev/null 2>&1";
		ASSERT_EQ(0, RunProcess({"/bin/sh", "-c", command}, text).exitStatus);
		ASSERT_TRUE(WaitUntil([&] { return Owner() != before && Owner() != None; }));
	}

	Window Owner() { return XGetSelectionOwner(fClient->Handle(), fAtom); }

	// The program learns through an event that another client took the clipboard, so a
	// paste right after may still see its own text: wait until it sees the other's.
	bool PastesAs(const std::string& text)
	{
		std::string pasted;
		return WaitUntil([&] { return Paste(&pasted) && pasted == WithNul(text); });
	}

	Atom fAtom = None;
};

TEST_F(ClipboardXTest, CopiedTextIsReadByOtherProgramsInEachFormat)
{
	const std::string text = "Grüße aus Kestrovane ✓ 日本";
	ASSERT_EQ(B_OK, Copy(text));

	ProcessResult read = ReadWithXclip();
	EXPECT_EQ(0, read.exitStatus) << read.error;
	EXPECT_EQ(text, read.output) << "the NUL stays inside the program";
	EXPECT_EQ(text, ReadWithXclip("text/plain;charset=utf-8").output);
	EXPECT_EQ(text, ReadWithXclip("text/plain").output);

	ProcessResult targets = ReadWithXclip("TARGETS");
	for (const char* name : {"TARGETS", "MULTIPLE", "UTF8_STRING", "STRING", "TEXT"})
		EXPECT_NE(std::string::npos, targets.output.find(name)) << name;

	// Latin-1 cannot carry this text: STRING is refused instead of mangled.
	EXPECT_NE(0, ReadWithXclip("STRING").exitStatus);
	ASSERT_EQ(B_OK, Copy("café"));
	EXPECT_EQ("caf\xe9", ReadWithXclip("STRING").output);
	EXPECT_EQ("café", ReadWithXclip().output);

	// A cleared clipboard offers no text, not the previous one.
	BClipboard clipboard("system");
	ASSERT_TRUE(clipboard.Lock());
	clipboard.Clear();
	EXPECT_EQ(B_OK, clipboard.Commit());
	clipboard.Unlock();
	EXPECT_NE(0, ReadWithXclip().exitStatus);
}

TEST_F(ClipboardXTest, TextFromOtherProgramsIsPastedWithItsNul)
{
	ASSERT_EQ(B_OK, Copy("ours"));
	const std::string text = "Ünïcödé from xclip ✓";
	WriteWithXclip(text);
	ASSERT_TRUE(PastesAs(text));
	std::string pasted;
	uint32 count = 0;
	ASSERT_TRUE(Paste(&pasted, &count));

	// Loading the same text again is no new change.
	uint32 again = 0;
	ASSERT_TRUE(Paste(&pasted, &again));
	EXPECT_EQ(count, again);

	// An owner that has only Latin-1 text.
	WriteWithXclip("caf\xe9", "STRING");
	ASSERT_TRUE(Paste(&pasted, &again));
	EXPECT_EQ(WithNul("café"), pasted);
	EXPECT_GT(again, count);
}

TEST_F(ClipboardXTest, LargeTextsRoundTripInPieces)
{
	const std::string ours = LargeText(1 << 20, "ours");
	ASSERT_EQ(B_OK, Copy(ours));
	ProcessResult read = ReadWithXclip();
	EXPECT_EQ(0, read.exitStatus) << read.error;
	EXPECT_EQ(ours.size(), read.output.size());
	EXPECT_TRUE(read.output == ours);

	const std::string theirs = LargeText(3 << 19, "theirs");
	WriteWithXclip(theirs);
	EXPECT_TRUE(PastesAs(theirs));
}

TEST_F(ClipboardXTest, CommitAfterAnotherProgramTakesTheClipboardBack)
{
	ASSERT_EQ(B_OK, Copy("first"));
	WriteWithXclip("xclip's");
	ASSERT_TRUE(PastesAs("xclip's"));

	ASSERT_EQ(B_OK, Copy("second"));
	EXPECT_EQ("second", ReadWithXclip().output);
	std::string pasted;
	ASSERT_TRUE(Paste(&pasted));
	EXPECT_EQ(WithNul("second"), pasted);
}

TEST_F(ClipboardXTest, WindowThreadsCopyAndPasteWithoutDeadlock)
{
	ClipboardWindow* window = new ClipboardWindow;
	window->Show();

	WriteWithXclip("for the window");
	ASSERT_TRUE(PastesAs("for the window"));
	window->PostMessage(kPaste);
	ASSERT_TRUE(WaitUntil([&] { return window->pastes == 1; }));
	{
		std::lock_guard<std::mutex> guard(window->lock);
		EXPECT_EQ(WithNul("for the window"), window->pasted);
	}

	BMessage copy(kCopy);
	copy.AddString("text", "from the window");
	window->PostMessage(&copy);
	ASSERT_TRUE(WaitUntil([&] { return window->copied.load(); }));
	EXPECT_EQ(B_OK, window->copyStatus.load());
	EXPECT_EQ("from the window", ReadWithXclip().output);

	Close(window);
}

TEST_F(ClipboardXTest, DisplayThreadUsesTheLocalDataWithoutWaitingForItself)
{
	ASSERT_EQ(B_OK, Copy("ours"));
	WriteWithXclip("theirs");
	ASSERT_TRUE(PastesAs("theirs"));

	// Showing the window sends its client a message from the display thread.
	DisplayThreadClient client;
	BPrivate::Display* display = BPrivate::Display::Default();
	BPrivate::WindowProperties properties;
	properties.title = "client";
	BPrivate::native_window window =
	        display->CreateWindow(&client, BRect(10, 10, 59, 59), properties);
	display->ShowWindow(window);
	bool done = WaitUntil([&] { return client.done.load(); });
	display->DestroyWindow(window);
	ASSERT_TRUE(done);
	EXPECT_TRUE(client.found);
	EXPECT_EQ(WithNul("theirs"), client.pasted) << "the data last loaded";
	EXPECT_EQ(B_OK, client.copyStatus);
	EXPECT_EQ("from the display thread", ReadWithXclip().output);
}

// A raw client asks for several targets at once; the one the clipboard cannot give is
// marked None, the others are converted into their properties.
TEST_F(ClipboardXTest, MultipleConvertsEachPairOrMarksItNone)
{
	ASSERT_EQ(B_OK, Copy("Zürich"));
	::Display* x = fClient->Handle();
	Window requestor = XCreateSimpleWindow(x, DefaultRootWindow(x), 0, 0, 1, 1, 0, 0, 0);
	Atom names[6];
	const char* atomNames[] = {"MULTIPLE",  "ATOM_PAIR", "UTF8_STRING",
	                           "image/png", "KV_P1",     "KV_P2"};
	XInternAtoms(x, (char**)atomNames, 6, False, names);
	Atom p3 = XInternAtom(x, "KV_P3", False), pairsProperty = XInternAtom(x, "KV_PAIRS", False);
	long pairs[] = {(long)names[2], (long)names[4],  (long)names[3],
	                (long)names[5], (long)XA_STRING, (long)p3};
	XChangeProperty(x, requestor, pairsProperty, names[1], 32, PropModeReplace,
	                (unsigned char*)pairs, 6);
	XConvertSelection(x, fAtom, names[0], pairsProperty, requestor, CurrentTime);
	XFlush(x);

	XEvent event;
	ASSERT_TRUE(WaitUntil(
	        [&] { return XCheckTypedWindowEvent(x, requestor, SelectionNotify, &event); }));
	EXPECT_EQ(pairsProperty, event.xselection.property);

	auto read = [&](Atom property, Atom* type) {
		unsigned char* data = nullptr;
		int format;
		unsigned long count, after;
		std::string bytes;
		if (XGetWindowProperty(x, requestor, property, 0, 1 << 20, False, AnyPropertyType, type,
		                       &format, &count, &after, &data) == Success &&
		    data != nullptr) {
			bytes.assign((const char*)data, format == 32 ? count * sizeof(long) : count);
		}
		if (data != nullptr)
			XFree(data);
		return bytes;
	};
	Atom type = None;
	std::string answered = read(pairsProperty, &type);
	ASSERT_EQ(sizeof(pairs), answered.size());
	const long* result = (const long*)answered.data();
	EXPECT_EQ((long)names[2], result[0]);
	EXPECT_EQ((long)None, result[2]) << "no image on the clipboard";
	EXPECT_EQ((long)XA_STRING, result[4]);
	EXPECT_EQ("Zürich", read(names[4], &type));
	EXPECT_EQ("Z\xfcrich", read(p3, &type));
	EXPECT_EQ((Atom)XA_STRING, type);
	XDestroyWindow(x, requestor);
}

// Other owners that give no text: one refuses every target, one never answers. Pasting
// finds nothing (not the program's old text) and does not hang; copying takes the
// clipboard back.
TEST_F(ClipboardXTest, OwnersThatGiveNoTextLeaveNothingToPaste)
{
	ASSERT_EQ(B_OK, Copy("ours"));
	WriteWithXclip("stale");
	ASSERT_TRUE(PastesAs("stale"));
	::Display* x = fClient->Handle();
	Window other = XCreateSimpleWindow(x, DefaultRootWindow(x), 0, 0, 1, 1, 0, 0, 0);
	XSetSelectionOwner(x, fAtom, other, CurrentTime);
	XSync(x, False);
	ASSERT_TRUE(WaitUntil([&] { return Owner() == other; }));

	std::atomic<bool> done{false};
	bool found = true;
	std::string pasted;
	std::thread paster([&] {
		found = Paste(&pasted);
		done = true;
	});
	std::vector<std::string> asked;
	bool finished = WaitUntil([&] {
		XEvent request;
		while (XCheckTypedWindowEvent(x, other, SelectionRequest, &request)) {
			char* name = XGetAtomName(x, request.xselectionrequest.target);
			asked.push_back(name);
			XFree(name);
			XEvent refusal;
			std::memset(&refusal, 0, sizeof(refusal));
			refusal.xselection.type = SelectionNotify;
			refusal.xselection.requestor = request.xselectionrequest.requestor;
			refusal.xselection.selection = request.xselectionrequest.selection;
			refusal.xselection.target = request.xselectionrequest.target;
			refusal.xselection.property = None;
			refusal.xselection.time = request.xselectionrequest.time;
			XSendEvent(x, refusal.xselection.requestor, False, NoEventMask, &refusal);
			XFlush(x);
		}
		return done.load();
	});
	paster.join();
	EXPECT_TRUE(finished);
	EXPECT_FALSE(found) << pasted;
	EXPECT_EQ((std::vector<std::string>{"UTF8_STRING", "STRING"}), asked);

	// Now the owner stays silent: the paste gives up after its deadline.
	done = false;
	found = true;
	std::thread waiter([&] {
		found = Paste(&pasted);
		done = true;
	});
	finished = WaitUntil([&] { return done.load(); });
	waiter.join();
	EXPECT_TRUE(finished);
	EXPECT_FALSE(found) << pasted;

	ASSERT_EQ(B_OK, Copy("fresh"));
	EXPECT_EQ("fresh", ReadWithXclip().output);
	XDestroyWindow(x, other);
}

} // namespace
