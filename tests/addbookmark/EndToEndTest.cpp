// The real program on a private Xvfb, driven like a user through XTEST: the add-bookmark
// window opens from the minus key, the settings menu and a folder's "Add Bookmark Here";
// a bookmark typed into it launches by the hot key at once; and the program quits cleanly
// with the window open (with an alert or a popped-up menu too), by a script's quit request or
// SIGTERM, while the store changes.
#include "kit/display/XServer.h"
#include "kit/interface/GuiTestSupport.h"
#include "store/KVMenu.h"

#include <MenuItem.h>
#include <SeparatorItem.h>

#include "support/ProgramSupport.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

using namespace kvtest;

namespace {

namespace fs = std::filesystem;

const char* const kBarTitle = "Kestrovane";
const char* const kAddTitle = "Kestrovane - Add Bookmark";
// The bar's default place and column layout; the add-bookmark window centres itself.
const int kBarLeft = 30;
const int kBarTop = 30;
const int kAddLeft = (1024 - 330) / 2;
const int kAddTop = (768 - 380) / 2;

// Where a control of the add-bookmark window is on screen: window + content view (0, 20).
int
AddX(int x)
{
	return kAddLeft + x;
}

int
AddY(int y)
{
	return kAddTop + 20 + y;
}

class EndToEndTest : public XServerTest
{
protected:
	void SetUp() override
	{
		XServerTest::SetUp();
		if (IsSkipped() || HasFatalFailure())
			return;
		// Windows come and go while the tree is read: a vanished one is no failure.
		XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });

		ASSERT_EQ(0, chmod(fRuntime.Path().c_str(), 0700));
		std::string store = fConfig.Sub("Kestrovane");
		ASSERT_EQ(0, mkdir(store.c_str(), 0755));
		ASSERT_EQ(0, mkdir((store + "/0 - News").c_str(), 0755));
		std::string browser = fConfig.Sub("browser.sh");
		ASSERT_TRUE(WriteFile(browser, "#!/bin/sh\nprintf '%s\\n' \"$@\" >> " + Launched() + "\n"));
		ASSERT_EQ(0, chmod(browser.c_str(), 0755));
		ASSERT_TRUE(WriteFile(fConfig.Sub("applications"),
		                      "application/x-vnd.Be-NPOS " + browser + "\n"));
		fEnv = {"XDG_CONFIG_HOME=" + fConfig.Path(), "HOME=" + fConfig.Path(),
		        "XDG_RUNTIME_DIR=" + fRuntime.Path(),
		        "KIT_APPLICATION_TABLE=" + fConfig.Sub("applications"),
		        "DISPLAY=" + fServer->DisplayName()};
	}

	std::string Launched() const { return fConfig.Sub("launched"); }
	std::string News(const std::string& leaf) const
	{
		return fConfig.Sub("Kestrovane/0 - News/" + leaf);
	}

	std::unique_ptr<BackgroundProcess> Start()
	{
		auto program = std::make_unique<BackgroundProcess>(
		        std::vector<std::string>{KestrovanePath()}, fEnv);
		EXPECT_TRUE(WaitForWindow(kBarTitle, true)) << program->Output();
		EXPECT_TRUE(WaitForFocus(kBarTitle));
		return program;
	}

	// A top-level window of that title is (or is no longer) shown.
	bool WaitForWindow(const char* title, bool shown, int milliseconds = 10000)
	{
		return WaitUntil([&] { return IsShown(title) == shown; },
		                 std::chrono::milliseconds(milliseconds));
	}

	// The bar takes the input focus when it is shown; keys sent before then are lost.
	bool WaitForFocus(const char* title)
	{
		return WaitUntil([&] {
			unsigned long focus = fClient->FocusWindow();
			return focus != 0 && focus == Find(title);
		});
	}

	unsigned long Find(const char* title)
	{
		Display* display = fClient->Handle();
		Window root = DefaultRootWindow(display);
		Window parent;
		Window* children = nullptr;
		unsigned int count = 0;
		if (XQueryTree(display, root, &root, &parent, &children, &count) == 0)
			return 0;
		unsigned long found = 0;
		for (unsigned int i = 0; i < count && found == 0; i++) {
			char* name = nullptr;
			if (XFetchName(display, children[i], &name) != 0 && name != nullptr) {
				if (strcmp(name, title) == 0)
					found = children[i];
				XFree(name);
			}
		}
		if (children != nullptr)
			XFree(children);
		return found;
	}

	bool IsShown(const char* title)
	{
		Display* display = fClient->Handle();
		Window root = DefaultRootWindow(display);
		Window parent;
		Window* children = nullptr;
		unsigned int count = 0;
		if (XQueryTree(display, root, &root, &parent, &children, &count) == 0)
			return false;
		bool found = false;
		for (unsigned int i = 0; i < count && !found; i++) {
			char* name = nullptr;
			XWindowAttributes attributes;
			if (XFetchName(display, children[i], &name) != 0 && name != nullptr) {
				found = strcmp(name, title) == 0 &&
				        XGetWindowAttributes(display, children[i], &attributes) != 0 &&
				        attributes.map_state == IsViewable;
				XFree(name);
			}
		}
		if (children != nullptr)
			XFree(children);
		return found;
	}

	void Tap(KeySym symbol)
	{
		fClient->Tap(XKeysymToKeycode(fClient->Handle(), symbol));
		fClient->Sync();
	}

	void Type(const std::string& text)
	{
		unsigned int shift = XKeysymToKeycode(fClient->Handle(), XK_Shift_L);
		for (char c : text) {
			KeySym symbol = c == ':'   ? XK_semicolon
			                : c == '/' ? XK_slash
			                : c == '.' ? XK_period
			                           : static_cast<KeySym>(c);
			if (c == ':')
				fClient->Key(shift, true);
			Tap(symbol);
			if (c == ':')
				fClient->Key(shift, false);
		}
		fClient->Sync();
	}

	// Opens folder 1's menu at the bar's button "0" and chooses the entry of slot 1.
	void ChooseAddBookmarkHere()
	{
		KVMenu menu("", false, false, B_ITEMS_IN_COLUMN);
		menu.AddItem(new KVTitleItem("0 - News", nullptr, 0, 0));
		menu.AddSeparatorItem();
		for (int i = 0; i < 10; i++)
			menu.AddItem(new BMenuItem("Add Bookmark Here", nullptr));
		std::vector<BRect> frames = MenuScreenFrames(&menu, BPoint(kBarLeft + 21, kBarTop + 14));
		BRect slot = frames[2];
		// The menu is up once its entries are drawn over the screen's background.
		uint32_t background = fClient->Pixel(slot.left + 4, slot.top + 2);
		fClient->Click(kBarLeft + 11, kBarTop + 24);
		EXPECT_TRUE(WaitForChange(slot.left + 4, slot.top + 2, background));
		// Pointed at, the entry shows its highlight: the menu follows the pointer now.
		int x = static_cast<int>(slot.left + slot.Width() / 2);
		int y = static_cast<int>(slot.top + slot.Height() / 2);
		uint32_t plain = fClient->Pixel(slot.left + 2, y);
		fClient->MoveMouse(x, y);
		EXPECT_TRUE(WaitForChange(slot.left + 2, y, plain));
		fClient->Click(x, y);
	}

	// A menu is up once it covers a pixel that showed the screen's background.
	bool WaitForChange(int x, int y, uint32_t before)
	{
		return WaitUntil([&] { return fClient->Pixel(x, y) != before; },
		                 std::chrono::milliseconds(3000));
	}

	std::vector<uint32_t> Row(int left, int right, int y)
	{
		std::vector<uint32_t> pixels;
		for (int x = left; x <= right; x++)
			pixels.push_back(fClient->Pixel(x, y));
		return pixels;
	}

	// A quit request from another program, as a script would send it.
	int Quit()
	{
		std::string command = "XDG_RUNTIME_DIR=" + fRuntime.Path() + " " + BinaryDir() +
		                      "/tools/kvsend/kvsend application/x-Zintu.Kestrovane quit" +
		                      " >/dev/null 2>&1";
		return system(command.c_str());
	}

	void Cancel()
	{
		fClient->Click(AddX(160), AddY(335));
		EXPECT_TRUE(WaitForWindow(kAddTitle, false));
	}

	TempDir fConfig{"kv-e2e"};
	TempDir fRuntime{"kv-e2e-run"};
	std::vector<std::string> fEnv;
};

TEST_F(EndToEndTest, OpensFromKeysMenusAndFilesABookmarkThatLaunchesAtOnce)
{
	std::unique_ptr<BackgroundProcess> program = Start();

	// The bar starts active: the minus key opens the window.
	Tap(XK_minus);
	ASSERT_TRUE(WaitForWindow(kAddTitle, true)) << program->Output();
	ASSERT_TRUE(WaitForFocus(kAddTitle));
	Cancel();

	// The settings menu from a secondary click on the strip, then its "Add Bookmark".
	uint32_t background = fClient->Pixel(kBarLeft + 30, kBarTop + 6);
	fClient->Click(kBarLeft + 17, kBarTop + 6, 3);
	ASSERT_TRUE(WaitForChange(kBarLeft + 30, kBarTop + 6, background));
	// The menu takes the keyboard a moment after it shows; its trigger "d" is typed until
	// it answers.
	ASSERT_TRUE(WaitUntil([&] {
		Tap(XK_d);
		return WaitForWindow(kAddTitle, true, 300);
	})) << program->Output();
	ASSERT_TRUE(WaitForFocus(kAddTitle));
	Cancel();

	// A folder's "Add Bookmark Here": slot 1 of folder 1 is chosen in the window.
	ChooseAddBookmarkHere();
	ASSERT_TRUE(WaitForWindow(kAddTitle, true)) << program->Output();
	ASSERT_TRUE(WaitForFocus(kAddTitle));
	fClient->Click(AddX(10 + 10 + 150), AddY(10 + 30));
	Type("home");
	fClient->Click(AddX(10 + 10 + 150), AddY(10 + 60));
	Type("http://example.org/");
	Tap(XK_Return);
	ASSERT_TRUE(WaitForWindow(kAddTitle, false));
	std::string url;
	EXPECT_TRUE(GetXattr(News("0 - home"), "user.META:url", &url));
	EXPECT_EQ(std::string("http://example.org/\0", 20), url);

	// Another program has the focus; the hot key (Windows, keypad 0, keypad 0) launches.
	unsigned long other = fClient->CreateFocusedWindow(600, 600, 50, 50);
	EXPECT_TRUE(WaitUntil([&] { return fClient->FocusWindow() == other; }));
	Tap(XK_Super_L);
	Tap(XK_KP_Insert);
	Tap(XK_KP_Insert);
	EXPECT_TRUE(WaitUntil([&] { return ReadFile(Launched()) == "http://example.org/\n"; }))
	        << ReadFile(Launched()) << program->Output();
	fClient->DestroyWindow(other);

	EXPECT_EQ(0, Quit());
	EXPECT_EQ(0, program->Wait(60000));
}

// Files come and go in the store while the program starts and quits.
class StoreToucher
{
public:
	explicit StoreToucher(const std::string& folder)
	    : fThread([this, folder] {
		      int round = 0;
		      while (!fStop) {
			      std::string path = folder + "/" + std::to_string(round % 10) + " - t";
			      WriteFile(path, "");
			      SetXattr(path, "user.mime_type", "application/x-vnd.Be-bookmark");
			      SetXattr(path, "user.META:url", std::string("u\0", 2));
			      SetXattr(path, "user.META:keyw", std::string("\0", 1));
			      fs::rename(path, path + "x");
			      std::error_code error;
			      fs::remove(path + "x", error);
			      round++;
		      }
	      })
	{}
	~StoreToucher()
	{
		fStop = true;
		fThread.join();
	}

private:
	std::atomic<bool> fStop{false};
	std::thread fThread;
};

// What stays up when the quit comes: the window alone, an alert over it, or a folder's menu
// popped up from its browse step.
enum class Open
{
	kWindow,
	kAlert,
	kFolderMenu
};

const int kDefaultQuitRounds = 50;

// KV_QUIT_ROUNDS asks for more (or fewer) rounds, to hunt a rare fault by hand.
int
QuitRoundCount()
{
	const char* rounds = getenv("KV_QUIT_ROUNDS");
	return rounds != nullptr && atoi(rounds) > 0 ? atoi(rounds) : kDefaultQuitRounds;
}

class QuitTest : public EndToEndTest
{
protected:
	void QuitRounds(int rounds, const std::vector<Open>& states)
	{
		StoreToucher toucher(News(""));
		for (int round = 0; round < rounds; round++) {
			SCOPED_TRACE("round " + std::to_string(round));
			std::unique_ptr<BackgroundProcess> program = Start();
			Tap(XK_minus);
			ASSERT_TRUE(WaitForWindow(kAddTitle, true)) << program->Output();
			ASSERT_TRUE(WaitForFocus(kAddTitle));
			Open state = states[round % states.size()];
			if (state == Open::kAlert) {
				// "Add It!" without a slot.
				Tap(XK_Return);
			} else if (state == Open::kFolderMenu) {
				std::vector<uint32_t> plain = Row(AddX(44), AddX(140), AddY(192));
				fClient->Click(AddX(10 + 44), AddY(130 + 42));
				ASSERT_TRUE(
				        WaitUntil([&] { return Row(AddX(44), AddX(140), AddY(192)) != plain; }));
			}
			// A quit request from a script, or SIGTERM from the session, in turn.
			if (round % 2 == 0)
				EXPECT_EQ(0, Quit());
			else
				EXPECT_EQ(0, kill(program->Pid(), SIGTERM));
			int status = program->Wait(60000);
			std::string log = program->Output();
			ASSERT_EQ(0, status) << log;
			EXPECT_EQ(std::string::npos, log.find("Sanitizer")) << log;
			EXPECT_EQ(std::string::npos, log.find("runtime error")) << log;
			ASSERT_TRUE(WaitForWindow(kBarTitle, false));
		}
	}
};

TEST_F(QuitTest, QuitsCleanlyWithTheWindowOpenFiftyTimes)
{
	QuitRounds(QuitRoundCount(), {Open::kWindow, Open::kAlert});
}

TEST_F(QuitTest, QuitsCleanlyWithAFolderMenuOpenOverTheWindow)
{
	QuitRounds(QuitRoundCount() / 3, {Open::kFolderMenu});
}

} // namespace
