// The link view on a private Xvfb, driven through XTEST: clicks launch and drags do not,
// the colours follow the pointer, the context menu copies onto the X clipboard (read back
// with xclip), drags onto our own views carry the link, and drags onto another program's
// XDND window make the file there, refusing names that exist, links and unsafe names.
// The About window's link is one of these.
#include <cstring>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

#include <AppDefs.h>
#include <Clipboard.h>
#include <InterfaceDefs.h>
#include <Message.h>
#include <TypeConstants.h>

#include "Display.h"
#include "WidgetTestSupport.h"
#include "kit/interface/GuiTestSupport.h"
#include "support/ProgramSupport.h"
#include "support/TestSupport.h"
#include "support/XKeyCodes.h"
#include "widgets/KVAboutWindow.h"
#include "widgets/KVLinkView.h"

using namespace kvtest;

namespace {

const char* const kXclip = "/usr/bin/xclip";
const uint32_t kLinkBlue = 0x0000ff;
const uint32_t kHoverBlue = 0x000078;

class DropView : public BView
{
public:
	explicit DropView(BRect frame) : BView(frame, "drop", B_FOLLOW_NONE, B_WILL_DRAW) {}

	void MessageReceived(BMessage* message) override
	{
		if (!message->WasDropped()) {
			BView::MessageReceived(message);
			return;
		}
		std::lock_guard<std::mutex> guard(fLock);
		fDropped.push_back(*message);
	}

	// The drop after the first count ones.
	bool Dropped(size_t count, BMessage* out)
	{
		std::lock_guard<std::mutex> guard(fLock);
		if (fDropped.size() <= count)
			return false;
		*out = fDropped[count];
		return true;
	}

private:
	std::mutex fLock;
	std::vector<BMessage> fDropped;
};

// Another program's drop target: kv_xdnd_target, reporting one line at a time.
class TargetProgram : public ProgramLines
{
public:
	explicit TargetProgram(const std::string& uri)
	    : ProgramLines(std::string(KV_XDND_TARGET) + " 600 300 200 200 '" + uri + "'")
	{}

	// The answer to the direct save: the line after "types ...".
	std::string Answer()
	{
		for (std::string line = Line(); !line.empty(); line = Line()) {
			if (line.compare(0, 4, "xds ") == 0)
				return line.substr(4);
		}
		return "<no answer>";
	}
};

std::string
StringField(const BMessage& message, const char* name)
{
	const char* value = nullptr;
	return message.FindString(name, &value) == B_OK ? value : "<none>";
}

class LinkViewXTest : public GuiTest
{
protected:
	void SetUp() override
	{
		GuiTest::SetUp();
		if (IsSkipped())
			return;
		fPrograms = std::make_unique<StandInPrograms>();
		fWindow = new RecordingWindow(BRect(50, 50, 449, 149), B_TITLED_WINDOW_LOOK,
		                              B_NORMAL_WINDOW_FEEL, B_WILL_ACCEPT_FIRST_CLICK);
		BView* background = new BView(fWindow->Bounds(), "bg", B_FOLLOW_ALL, B_WILL_DRAW);
		// Unlike a menu, so that a menu on screen can be told from the window.
		background->SetViewColor(255, 255, 255);
		fWindow->AddChild(background);
		fWeb = new KVLinkView(BRect(20, 20, 220, 36), "web", "Example site", "http://example.org/");
		background->AddChild(fWeb);
		fMail = new KVLinkView(BRect(20, 60, 220, 76), "mail", "Me/You", "me@example.org");
		background->AddChild(fMail);
		fWindow->Show();
		ASSERT_TRUE(WaitUntil([&] { return fWindow->activeNow.load(); }));
	}

	void TearDown() override
	{
		if (fDropWindow != nullptr)
			Close(fDropWindow);
		if (fWindow != nullptr)
			Close(fWindow);
		fPrograms.reset();
		GuiTest::TearDown();
	}

	// The middle of a link's text and the first pixel of its underline, on screen.
	void Where(KVLinkView* link, BPoint* middle, BPoint* underline)
	{
		ASSERT_TRUE(fWindow->Lock());
		BRect text = link->ConvertToScreen(link->GetTextRect());
		font_height height;
		link->GetFontHeight(&height);
		*middle = BPoint(std::floor((text.left + text.right) / 2),
		                 std::floor((text.top + text.bottom) / 2) - 2);
		*underline = link->ConvertToScreen(BPoint(2, link->Bounds().bottom - height.descent));
		fWindow->Unlock();
	}

	void Press(BPoint where, int button = 1)
	{
		fClient->MoveMouse((int)where.x, (int)where.y);
		fClient->Button(button, true);
		fClient->Sync();
	}

	void Release(int button = 1)
	{
		fClient->Button(button, false);
		fClient->Sync();
	}

	// Presses on the link and moves away far enough to start its drag.
	void StartDrag(KVLinkView* link)
	{
		BPoint middle, underline;
		Where(link, &middle, &underline);
		Press(middle);
		fClient->MoveMouse((int)middle.x + 3, (int)middle.y);
		fClient->MoveMouse((int)middle.x + 14, (int)middle.y);
		fClient->Sync();
		// The view starts the drag in its window's thread, after this move arrives.
		ASSERT_TRUE(WaitUntil([] { return BPrivate::Display::Default()->IsDragging(); }));
	}

	std::string Clipboard()
	{
		ProcessResult result = RunProcess({kXclip, "-o", "-selection", "clipboard"});
		return result.exitStatus == 0 ? result.output : "<" + result.error + ">";
	}

	// Opens the context menu with a secondary click at where and waits until it holds
	// the keyboard: it highlights the item the pointer moves onto only after its grab.
	// The pointer then leaves the menu so that no click can choose an item.
	// Until the context menu opened at where has left the screen.
	bool WaitForMenuGone(BPoint where)
	{
		uint32_t plain = Rgb(ui_color(B_MENU_BACKGROUND_COLOR));
		uint32_t selected = Rgb(ui_color(B_MENU_SELECTION_BACKGROUND_COLOR));
		int x = (int)where.x + 3, y = (int)where.y - 6 + 3;
		return WaitUntil([&] {
			uint32_t pixel = fClient->Pixel(x, y);
			return pixel != plain && pixel != selected;
		});
	}

	bool OpenMenu(BPoint where)
	{
		uint32_t plain = Rgb(ui_color(B_MENU_BACKGROUND_COLOR));
		uint32_t selected = Rgb(ui_color(B_MENU_SELECTION_BACKGROUND_COLOR));
		int x = (int)where.x + 3, y = (int)where.y - 6 + 3;
		// A menu from before must be off the screen, or its pixels would pass for this one.
		if (!WaitForMenuGone(where))
			return false;
		Press(where, 3);
		Release(3);
		if (!WaitUntil([&] {
			    uint32_t pixel = fClient->Pixel(x, y);
			    return pixel == plain || pixel == selected;
		    })) {
			return false;
		}
		fClient->MoveMouse((int)where.x + 2, (int)where.y + 1);
		bool grabbed = fClient->WaitForPixel(x, y, selected);
		fClient->MoveMouse(10, 700);
		fClient->Sync();
		return grabbed;
	}

	std::unique_ptr<StandInPrograms> fPrograms;
	RecordingWindow* fWindow = nullptr;
	RecordingWindow* fDropWindow = nullptr;
	KVLinkView* fWeb = nullptr;
	KVLinkView* fMail = nullptr;
};

} // namespace

TEST_F(LinkViewXTest, AClickLaunchesTheLinkAndAPressThatTurnsIntoADragDoesNot)
{
	BPoint middle, underline;
	Where(fWeb, &middle, &underline);
	// The colours follow the pointer: hover, then back to the link colour off the text.
	fClient->MoveMouse((int)middle.x, (int)middle.y);
	fClient->MoveMouse((int)middle.x + 1, (int)middle.y);
	EXPECT_TRUE(fClient->WaitForPixel((int)underline.x, (int)underline.y, kHoverBlue));
	fClient->MoveMouse((int)middle.x, 140);
	EXPECT_TRUE(fClient->WaitForPixel((int)underline.x, (int)underline.y, kLinkBlue));

	// A move of more than 10 pixels with the button down is a drag; its release
	// launches nothing. A move of 10 pixels is still a click.
	StartDrag(fWeb);
	Release();
	Press(middle);
	fClient->MoveMouse((int)middle.x + 10, (int)middle.y);
	Release();
	ASSERT_EQ(fPrograms->WaitForArguments("html"), std::vector<std::string>{"http://example.org/"});
	// A press released outside the text launches nothing either.
	Press(middle);
	fClient->MoveMouse((int)middle.x, 140);
	Release();
	Press(middle);
	Release();
	ASSERT_TRUE(WaitUntil([&] { return fPrograms->Launches("html") >= 2; }));
	EXPECT_EQ(fPrograms->Launches("html"), 2);
}

TEST_F(LinkViewXTest, TheContextMenuCopiesTheLinkAndEscapeChoosesNothing)
{
	if (access(kXclip, X_OK) != 0)
		GTEST_SKIP() << "xclip is not installed";
	BPoint middle, underline;
	Where(fWeb, &middle, &underline);
	ASSERT_TRUE(OpenMenu(middle));
	fClient->Tap(xkey::Letter('c'));
	fClient->Sync();
	EXPECT_TRUE(WaitUntil([&] { return Clipboard() == "http://example.org/"; })) << Clipboard();
	// Escape closes the menu without a choice: nothing is launched, and once the pointer
	// has passed over the text and left it, the link has its own colour again.
	ASSERT_TRUE(OpenMenu(middle));
	fClient->Tap(xkey::kEscape);
	// The pointer moves once the menu has let go of it, as a user's would.
	ASSERT_TRUE(WaitForMenuGone(middle));
	fClient->MoveMouse((int)middle.x, (int)middle.y);
	fClient->MoveMouse((int)middle.x + 1, (int)middle.y);
	fClient->MoveMouse((int)middle.x, 140);
	EXPECT_TRUE(fClient->WaitForPixel((int)underline.x, (int)underline.y, kLinkBlue));
	EXPECT_EQ(fPrograms->Launches("html"), 0);

	// A mail link is copied as the bare address.
	EXPECT_EQ(fMail->CopyToClipboard(), B_OK);
	EXPECT_TRUE(WaitUntil([&] { return Clipboard() == "me@example.org"; })) << Clipboard();
}

TEST_F(LinkViewXTest, ADragOntoOurOwnViewCarriesTheLinkAndASafeFileName)
{
	fDropWindow = new RecordingWindow(BRect(500, 50, 699, 249), B_TITLED_WINDOW_LOOK,
	                                  B_NORMAL_WINDOW_FEEL, B_WILL_ACCEPT_FIRST_CLICK);
	DropView* drop = new DropView(fDropWindow->Bounds());
	fDropWindow->AddChild(drop);
	fDropWindow->Show();
	ASSERT_TRUE(WaitUntil([&] { return fDropWindow->activeNow.load(); }));
	fWindow->Activate();
	ASSERT_TRUE(WaitUntil([&] { return fWindow->activeNow.load(); }));

	struct Case
	{
		KVLinkView* link;
		const char* clipName;
		const char* fileType;
		const char* text;
		const char* url;
	};
	const Case cases[] = {
	        {fWeb, "Example site", "application/x-vnd.Be-bookmark", "http://example.org/",
	         "http://example.org/"},
	        {fMail, "Me-You", "application/x-person", "me@example.org", nullptr},
	};
	size_t count = 0;
	for (const Case& c : cases) {
		StartDrag(c.link);
		fClient->MoveMouse(580, 150);
		fClient->MoveMouse(600, 150);
		Release();
		BMessage dropped;
		ASSERT_TRUE(WaitUntil([&] { return drop->Dropped(count, &dropped); })) << c.clipName;
		count++;
		EXPECT_EQ(dropped.what, (uint32)B_MIME_DATA);
		int32 action = 0;
		EXPECT_EQ(dropped.FindInt32("be:actions", &action), B_OK);
		EXPECT_EQ(action, (int32)B_COPY_TARGET);
		EXPECT_EQ(StringField(dropped, "be:clip_name"), c.clipName);
		EXPECT_EQ(StringField(dropped, "be:filetypes"), c.fileType);
		const void* data = nullptr;
		ssize_t size = 0;
		ASSERT_EQ(dropped.FindData("text/plain", B_MIME_TYPE, &data, &size), B_OK);
		EXPECT_EQ(std::string((const char*)data, size), std::string(c.text, strlen(c.text) + 1));
		EXPECT_EQ(StringField(dropped, "be:url"), c.url != nullptr ? c.url : "<none>");
		fWindow->Activate();
		ASSERT_TRUE(WaitUntil([&] { return fWindow->activeNow.load(); }));
	}
}

TEST_F(LinkViewXTest, ADragOntoAnotherProgramMakesTheFileButNeverReusesAName)
{
	TempDir dir("kvlinkdrop");
	TempDir elsewhere("kvlinkelse");
	WriteFile(dir.Sub("Taken"), "keep");
	ASSERT_EQ(symlink(elsewhere.Sub("victim").c_str(), dir.Sub("Dangling").c_str()), 0);
	WriteFile(elsewhere.Sub("empty"), "");
	ASSERT_EQ(symlink(elsewhere.Sub("empty").c_str(), dir.Sub("ToEmpty").c_str()), 0);

	struct Case
	{
		std::string name; // as written in the URI
		const char* answer;
	};
	const Case cases[] = {
	        {"My%20site", "S"},
	        // The name is there already: a file, a dangling link, a link to an empty file.
	        {"Taken", "F"},
	        {"Dangling", "F"},
	        {"ToEmpty", "F"},
	        // Names that are not one entry of the directory.
	        {"..", "E"},
	        {".", "E"},
	        {"", "E"},
	        {"a%2Fb", "E"},
	        {"a%00b", "E"},
	};
	for (const Case& c : cases) {
		TargetProgram target("file://" + dir.Path() + "/" + c.name);
		ASSERT_EQ(target.Line(), "ready");
		StartDrag(fWeb);
		fClient->MoveMouse(650, 350);
		fClient->MoveMouse(700, 400);
		Release();
		EXPECT_EQ(target.Answer(), c.answer) << c.name;
		fWindow->Activate();
		ASSERT_TRUE(WaitUntil([&] { return fWindow->activeNow.load(); }));
	}

	std::string made = dir.Sub("My site");
	std::string type;
	ASSERT_TRUE(WaitUntil([&] { return GetXattr(made, "user.mime_type", &type); }));
	EXPECT_EQ(type, "application/x-vnd.Be-bookmark");
	std::string value;
	ASSERT_TRUE(WaitUntil([&] { return GetXattr(made, "user.META:url", &value); }));
	EXPECT_EQ(value, std::string("http://example.org/", 20));
	ASSERT_TRUE(GetXattr(made, "user.META:title", &value));
	EXPECT_EQ(value, std::string("Example site", 13));

	EXPECT_EQ(ReadFile(dir.Sub("Taken")), "keep");
	EXPECT_TRUE(ListXattrs(dir.Sub("Taken")).empty());
	struct stat info;
	EXPECT_NE(lstat(elsewhere.Sub("victim").c_str(), &info), 0);
	EXPECT_TRUE(ListXattrs(elsewhere.Sub("empty")).empty());
	EXPECT_NE(lstat(dir.Sub("a").c_str(), &info), 0);
}

TEST_F(LinkViewXTest, TheAboutWindowsLinkOpensTheWebSiteAndEachRequestOpensAnother)
{
	KVAboutWindow* first = new KVAboutWindow(BRect(100, 300, 0, 0));
	KVAboutWindow* second = new KVAboutWindow(BRect(500, 300, 0, 0));
	uint32_t bare = fClient->Pixel(110, 310);
	first->Show();
	second->Show();
	// The click below goes to the screen: the window must be on it first.
	ASSERT_TRUE(WaitUntil([&] { return fClient->Pixel(110, 310) != bare; }));
	ASSERT_TRUE(first->Lock());
	EXPECT_EQ(first->Frame(), BRect(100, 300, 465, 504));
	EXPECT_STREQ(first->Title(), "About Kestrovane");
	KVLinkView* link = dynamic_cast<KVLinkView*>(first->FindView("kv_about_view_url1"));
	ASSERT_NE(link, nullptr);
	EXPECT_STREQ(link->URL(), kURLInfo[0]);
	EXPECT_TRUE(link->IsEnabled());
	BPoint middle = link->ConvertToScreen(link->GetTextRect()).LeftTop() + BPoint(10, 5);
	for (const char* name :
	     {"kv_about_view", "kv_about_view_box", "kv_about_view_title", "kv_about_view_string1",
	      "kv_about_view_string2", "kv_about_view_string3", "kv_about_view_string4"})
		EXPECT_NE(first->FindView(name), nullptr) << name;
	first->Unlock();
	ASSERT_TRUE(second->Lock());
	EXPECT_EQ(second->Frame(), BRect(500, 300, 865, 504));
	second->Unlock();

	first->Activate();
	fClient->Click((int)middle.x, (int)middle.y);
	EXPECT_EQ(fPrograms->WaitForArguments("html"), std::vector<std::string>{kURLInfo[0]});
	Close(first);
	Close(second);
}
