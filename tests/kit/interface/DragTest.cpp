// Drag and drop on a private Xvfb: drags between our own views, Escape, a direct-save drag
// onto another program's drop target, and colours and text dropped by another program.
// The other programs are the small XDND clients kv_xdnd_target and kv_xdnd_source.
#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <sys/stat.h>
#include <vector>

#include <AppDefs.h>
#include <Bitmap.h>
#include <Entry.h>
#include <Path.h>
#include <TypeConstants.h>

#include "Display.h"
#include "GuiTestSupport.h"
#include "support/ProgramSupport.h"
#include "support/TestSupport.h"
#include "support/XKeyCodes.h"

using namespace kvtest;

namespace {

const uint32 kDragged = 'drgm';
const uint32 kReply = 'rply';
const uint32 kSentinel = 'sntl';

struct Received
{
	uint32 what = 0;
	bool dropped = false;
	BPoint dropPoint;
	BPoint offset;
	BMessage message;
};

// Keeps every message it gets; answers drops when asked to; counts drag motions.
class DropView : public BView
{
public:
	explicit DropView(BRect frame) : BView(frame, "drop", B_FOLLOW_NONE, B_WILL_DRAW)
	{
		SetViewColor(kFill);
	}

	void MouseMoved(BPoint, uint32, const BMessage* drag) override
	{
		if (drag != nullptr && drag->what == kDragged)
			dragMoves++;
	}

	void MessageReceived(BMessage* message) override
	{
		Received received;
		received.what = message->what;
		received.dropped = message->WasDropped();
		received.dropPoint = message->DropPoint(&received.offset);
		received.message = *message;
		if (message->WasDropped() && answer)
			message->SendReply(kReply);
		std::lock_guard<std::mutex> guard(fLock);
		fReceived.push_back(received);
	}

	bool Find(uint32 what, Received* out)
	{
		std::lock_guard<std::mutex> guard(fLock);
		for (const Received& received : fReceived) {
			if (received.what == what) {
				if (out != nullptr)
					*out = received;
				return true;
			}
		}
		return false;
	}

	std::atomic<int32> dragMoves{0};
	bool answer = true;

private:
	std::mutex fLock;
	std::vector<Received> fReceived;
};

// Starts a drag on the first move with the button down: a bookmark-like message and a
// 40x20 red image grabbed at (5, 5), with itself as reply handler.
class DragView : public DropView
{
public:
	explicit DragView(BRect frame) : DropView(frame) {}

	void MouseDown(BPoint) override
	{
		SetMouseEventMask(B_POINTER_EVENTS);
		fPressed = true;
	}

	void MouseUp(BPoint) override { fPressed = false; }

	void MouseMoved(BPoint, uint32, const BMessage*) override
	{
		if (!fPressed || started)
			return;
		BMessage* message = new BMessage(withFile ? (uint32)B_MIME_DATA : kDragged);
		if (withFile) {
			message->AddInt32("be:actions", B_COPY_TARGET);
			message->AddString("be:types", "application/octet-stream");
			message->AddString("be:filetypes", "application/x-vnd.Be-bookmark");
			message->AddString("be:type_descriptions", "bookmark");
			message->AddString("be:clip_name", "Example");
		}
		const char url[] = "https://example.org/a b";
		message->AddData("text/plain", B_MIME_TYPE, url, sizeof(url));
		BBitmap* image = new BBitmap(BRect(0, 0, 39, 19), B_RGBA32);
		uint8* bits = (uint8*)image->Bits();
		for (int32 i = 0; i < image->BitsLength() / 4; i++) {
			uint8 pixel[4] = {0, 0, 255, 255};
			std::memcpy(bits + 4 * i, pixel, 4);
		}
		DragMessage(message, image, B_OP_ALPHA, BPoint(5, 5), this);
		delete message;
		started = true;
	}

	std::atomic<bool> started{false};
	std::atomic<bool> withFile{false};

private:
	bool fPressed = false;
};

// A drop target program reporting line by line on its standard output.
class TargetProgram : public ProgramLines
{
public:
	explicit TargetProgram(const std::string& arguments)
	    : ProgramLines(std::string(KV_XDND_TARGET) + " " + arguments)
	{}
};

class DragTest : public GuiTest
{
protected:
	void SetUp() override
	{
		GuiTest::SetUp();
		if (IsSkipped())
			return;
		fSourceWindow = new RecordingWindow(BRect(50, 50, 249, 199), B_TITLED_WINDOW_LOOK,
		                                    B_NORMAL_WINDOW_FEEL, B_WILL_ACCEPT_FIRST_CLICK);
		fSource = new DragView(BRect(0, 0, 199, 149));
		fSourceWindow->AddChild(fSource);
		fTargetWindow = new RecordingWindow(BRect(350, 50, 549, 199));
		fTarget = new DropView(BRect(0, 0, 199, 149));
		fTargetWindow->AddChild(fTarget);
		// One after the other: the window shown last takes the focus.
		fTargetWindow->Show();
		ASSERT_TRUE(fClient->WaitForPixel(400, 100, 0x0000c8));
		fSourceWindow->Show();
		ASSERT_TRUE(fClient->WaitForPixel(100, 100, 0x0000c8));
		ASSERT_TRUE(WaitUntil([this] { return fSourceWindow->activeNow.load(); }));
	}

	void TearDown() override
	{
		if (fSourceWindow != nullptr)
			Close(fSourceWindow);
		if (fTargetWindow != nullptr)
			Close(fTargetWindow);
		GuiTest::TearDown();
	}

	// Presses in the source view and moves until the drag has started.
	void StartDrag()
	{
		fClient->MoveMouse(100, 100);
		fClient->Button(1, true);
		fClient->MoveMouse(108, 104);
		fClient->Sync();
		ASSERT_TRUE(WaitUntil([this] { return fSource->started.load(); }));
	}

	// Every message sent to view before now has been handled once this returns.
	void Settle(BWindow* window, BView* view)
	{
		BMessenger(view, window).SendMessage(kSentinel);
		ASSERT_TRUE(WaitUntil([view] { return ((DropView*)view)->Find(kSentinel, nullptr); }));
	}

	RecordingWindow* fSourceWindow = nullptr;
	RecordingWindow* fTargetWindow = nullptr;
	DragView* fSource = nullptr;
	DropView* fTarget = nullptr;
};

} // namespace

TEST_F(DragTest, DragBetweenOurWindowsDeliversTheMessageWithItsDropPointAndReply)
{
	StartDrag();
	fClient->MoveMouse(300, 120);
	fClient->MoveMouse(420, 130);
	fClient->Sync();
	// The view under the pointer sees the dragged message, and the image follows the
	// pointer, grabbed at (5, 5).
	ASSERT_TRUE(WaitUntil([this] { return fTarget->dragMoves.load() > 0; }));
	EXPECT_TRUE(fClient->WaitForPixel(420 + 20, 130 + 8, 0xff0000));
	fClient->Button(1, false);
	fClient->Sync();

	Received drop;
	ASSERT_TRUE(WaitUntil([&] { return fTarget->Find(kDragged, &drop); }));
	EXPECT_TRUE(drop.dropped);
	EXPECT_EQ(drop.dropPoint, BPoint(420, 130));
	EXPECT_EQ(drop.offset, BPoint(5, 5));
	EXPECT_TRUE(drop.message.HasData("text/plain", B_MIME_TYPE));
	// The target's reply reaches the drag's reply handler; the image is gone.
	EXPECT_TRUE(WaitUntil([this] { return fSource->Find(kReply, nullptr); }));
	EXPECT_TRUE(fClient->WaitForPixel(420 + 20, 130 + 8, 0x0000c8));
	EXPECT_FALSE(BPrivate::Display::Default()->IsDragging());
}

TEST_F(DragTest, EscapeCancelsTheDrag)
{
	StartDrag();
	fClient->MoveMouse(420, 130);
	fClient->Sync();
	ASSERT_TRUE(WaitUntil([this] { return fTarget->dragMoves.load() > 0; }));
	fClient->Tap(xkey::kEscape);
	fClient->Sync();
	ASSERT_TRUE(WaitUntil([] { return !BPrivate::Display::Default()->IsDragging(); }));
	EXPECT_TRUE(fClient->WaitForPixel(420 + 20, 130 + 8, 0x0000c8));
	fClient->Button(1, false);
	fClient->Sync();
	Settle(fTargetWindow, fTarget);
	EXPECT_FALSE(fTarget->Find(kDragged, nullptr));
}

TEST_F(DragTest, DirectSaveOntoAnotherProgramCreatesTheFileAndRepliesCopyTarget)
{
	TempDir dir("kvdrag");
	fSource->withFile = true;
	TargetProgram target("600 300 200 200 'file://" + dir.Path() + "/My%20link' text");
	ASSERT_EQ(target.Line(), "ready");
	StartDrag();
	fClient->MoveMouse(650, 350);
	fClient->MoveMouse(700, 400);
	fClient->Button(1, false);
	fClient->Sync();

	std::string types = target.Line();
	EXPECT_NE(types.find("XdndDirectSave0"), std::string::npos) << types;
	EXPECT_NE(types.find("text/plain;charset=utf-8"), std::string::npos) << types;
	EXPECT_EQ(target.Line(), "xds S");
	// The same drag's text, without its terminating NUL.
	EXPECT_EQ(target.Line(), "text https://example.org/a b");
	EXPECT_EQ(target.Line(), "finished");

	Received reply;
	ASSERT_TRUE(WaitUntil([&] { return fSource->Find(B_COPY_TARGET, &reply); }));
	entry_ref ref;
	ASSERT_EQ(reply.message.FindRef("directory", &ref), B_OK);
	EXPECT_STREQ(BPath(&ref).Path(), dir.Path().c_str());
	const char* name = nullptr;
	ASSERT_EQ(reply.message.FindString("name", &name), B_OK);
	EXPECT_STREQ(name, "My link");
	struct stat info;
	EXPECT_EQ(stat(dir.Sub("My link").c_str(), &info), 0);
	EXPECT_TRUE(WaitUntil([] { return !BPrivate::Display::Default()->IsDragging(); }));
}

TEST_F(DragTest, UnusableDirectSaveTargetsGetFailureAndNoCopyTarget)
{
	TempDir dir("kvdrag");
	fSource->withFile = true;
	const char* uris[] = {"file://%s/missing/x", "file://far.example.invalid%s/x"};
	const char* answers[] = {"xds F", "xds E"};
	for (int i = 0; i < 2; i++) {
		char uri[1024];
		snprintf(uri, sizeof(uri), uris[i], dir.Path().c_str());
		TargetProgram target(std::string("600 300 200 200 '") + uri + "'");
		ASSERT_EQ(target.Line(), "ready");
		fSource->started = false;
		StartDrag();
		fClient->MoveMouse(700, 400);
		fClient->Button(1, false);
		fClient->Sync();
		target.Line();
		EXPECT_EQ(target.Line(), answers[i]) << uri;
		EXPECT_EQ(target.Line(), "finished");
	}
	Settle(fSourceWindow, fSource);
	EXPECT_FALSE(fSource->Find(B_COPY_TARGET, nullptr));
	struct stat info;
	EXPECT_NE(stat(dir.Sub("missing").c_str(), &info), 0);
	EXPECT_NE(stat(dir.Sub("x").c_str(), &info), 0);
}

TEST_F(DragTest, ColourAndTextFromAnotherProgramArriveAtTheViewUnderThePointer)
{
	fClient->MoveMouse(430, 120);
	fClient->Sync();
	ProcessResult colour =
	        RunProcess({KV_XDND_SOURCE, "color", "0xffff", "0x8000", "0x00ff", "0xffff"});
	EXPECT_EQ(colour.output, "finished 1\n") << colour.error;
	Received paste;
	ASSERT_TRUE(WaitUntil([&] { return fTarget->Find(B_PASTE, &paste); }));
	EXPECT_TRUE(paste.dropped);
	EXPECT_EQ(paste.dropPoint, BPoint(430, 120));
	const void* data = nullptr;
	ssize_t size = 0;
	ASSERT_EQ(paste.message.FindData("RGBColor", B_RGB_COLOR_TYPE, &data, &size), B_OK);
	ASSERT_EQ(size, 4);
	rgb_color expected = {255, 128, 0, 255};
	EXPECT_EQ(*(const rgb_color*)data, expected);

	ProcessResult text = RunProcess({KV_XDND_SOURCE, "text", "dropped words"});
	EXPECT_EQ(text.output, "finished 1\n") << text.error;
	Received mime;
	ASSERT_TRUE(WaitUntil([&] { return fTarget->Find(B_MIME_DATA, &mime); }));
	EXPECT_TRUE(mime.dropped);
	ASSERT_EQ(mime.message.FindData("text/plain", B_MIME_TYPE, &data, &size), B_OK);
	EXPECT_EQ(std::string((const char*)data, size), "dropped words");

	// A type the kit cannot take is refused at the first position.
	ProcessResult other = RunProcess({KV_XDND_SOURCE, "image/png", "x"});
	EXPECT_EQ(other.output, "refused\n");
}
