// The real Kestrovane on a private X server, driven as a user and other programs drive
// it: the hot key typed while another program has the focus, the store changed by the
// shell underneath, a second start, and every way of asking it to quit.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

#include "BarTestSupport.h"
#include "kit/interface/GuiTestSupport.h"
#include "support/XKeyCodes.h"

using namespace kvtest;

namespace {

const char* const kSignature = "application/x-Zintu.Kestrovane";
// Inside button "0" of a bar at (30, 30) in its default column, away from the digit.
const int kButtonX = 34;
const int kButtonY = 47;
const uint32_t kBarGrey = 0xd8d8d8;

bool
FileExists(const std::string& path)
{
	return access(path.c_str(), F_OK) == 0;
}

// The end of a program's output, where a sanitizer's report lands.
std::string
Tail(const std::string& text)
{
	return text.size() > 4000 ? text.substr(text.size() - 4000) : text;
}

size_t
CountOf(const std::string& text, const std::string& what)
{
	size_t count = 0;
	for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
		count++;
	return count;
}

class KestrovaneE2ETest : public XServerTest
{
protected:
	void SetUp() override
	{
		XServerTest::SetUp();
		if (IsSkipped() || HasFatalFailure())
			return;
		fProfile = std::make_unique<BarProfile>();
	}

	void TearDown() override
	{
		fBar.reset();
		XServerTest::TearDown();
	}

	void StartBar(int buttonX = kButtonX, int buttonY = kButtonY)
	{
		std::vector<std::string> env = fProfile->Environment();
		env.push_back("DISPLAY=" + fServer->DisplayName());
		fBar = std::make_unique<BackgroundProcess>(std::vector<std::string>{KestrovanePath()}, env);
		ASSERT_TRUE(fClient->WaitForPixel(buttonX, buttonY, kBarGrey, 10000))
		        << "the bar never showed\n"
		        << fBar->Output();
	}

	ProcessResult Send(const std::string& what)
	{
		std::vector<std::string> env = fProfile->Environment();
		return RunProcess({KvsendPath(), kSignature, what}, "", env);
	}

	void HotKey(int folderDigit, int slotDigit)
	{
		fClient->Tap(xkey::kSuper);
		fClient->Tap(xkey::kKeypad[folderDigit]);
		fClient->Tap(xkey::kKeypad[slotDigit]);
		fClient->Sync();
	}

	// Waits until the bar has reported count notices containing what.
	bool WaitForTrace(const std::string& what, size_t count)
	{
		return WaitUntil([&] { return CountOf(fBar->Output(), what) >= count; },
		                 std::chrono::milliseconds(5000));
	}

	void Shell(const std::string& command)
	{
		ProcessResult result = RunProcess({"/bin/sh", "-c", command});
		ASSERT_EQ(result.exitStatus, 0) << command << "\n" << result.error;
	}

	std::unique_ptr<BarProfile> fProfile;
	std::unique_ptr<BackgroundProcess> fBar;
};

// Another program has the focus: only the desktop-wide hot key can reach the bar, and
// keypad 5 with Num Lock off (a key that types nothing) must still count as a digit
// without popping up folder 6's menu.
TEST_F(KestrovaneE2ETest, HotKeyFromAnotherProgramLaunchesTheBookmark)
{
	fProfile->AddBookmark("2 - Work/7 - Eight", "http://example.org/eight");
	fProfile->AddBookmark("5 - Six/5 - Six", "http://example.org/six?a=1&b=2");
	ASSERT_NO_FATAL_FAILURE(StartBar());
	unsigned long other = fClient->CreateFocusedWindow(400, 400, 200, 150);

	HotKey(2, 7);
	ASSERT_TRUE(fProfile->WaitForLaunches(1));
	HotKey(5, 5);
	ASSERT_TRUE(fProfile->WaitForLaunches(2));
	std::vector<std::string> launches = fProfile->Launches();
	ASSERT_EQ(launches.size(), 2u);
	EXPECT_NE(launches[0].find(" 1: http://example.org/eight|"), std::string::npos) << launches[0];
	EXPECT_NE(launches[1].find(" 1: http://example.org/six?a=1&b=2|"), std::string::npos)
	        << launches[1];
	EXPECT_EQ(CountOf(fBar->Output(), "Showing menu"), 0u) << fBar->Output();
	EXPECT_EQ(CountOf(fBar->Output(), "Got sequence going"), 2u);
	fClient->DestroyWindow(other);
}

// kvbookmarks hands "open" to the running bar, which launches the bookmark itself: without
// the bar passing the request on to its window, nothing would start.
TEST_F(KestrovaneE2ETest, OpenFromTheShellGoesThroughTheBar)
{
	fProfile->AddBookmark("3 - Shell/1 - Two", "http://example.org/two");
	ASSERT_NO_FATAL_FAILURE(StartBar());
	ProcessResult open =
	        RunProcess({BinaryDir() + "/tools/kvbookmarks/kvbookmarks", "open", "3", "1"}, "",
	                   fProfile->Environment());
	ASSERT_EQ(open.exitStatus, 0) << open.error;
	ASSERT_TRUE(fProfile->WaitForLaunches(1)) << fBar->Output();
	EXPECT_NE(fProfile->Launches()[0].find(" 1: http://example.org/two|"), std::string::npos)
	        << fProfile->Launches()[0];
}

// The file manager (here the shell) moves bookmarks in, renames, moves and removes them;
// the hot key proves what the bar believes after each change.
TEST_F(KestrovaneE2ETest, StoreChangedByTheShellIsFollowed)
{
	fProfile->AddBookmark("5 - Six/5 - Six", "http://example.org/six");
	TempDir outside("kvoutside");
	ASSERT_NO_FATAL_FAILURE(StartBar());
	fClient->CreateFocusedWindow(400, 400, 200, 150);
	BarProfile& profile = *fProfile;
	std::string store = profile.Store();
	// The bar reads its store just after its first frame: a launch shows it has.
	HotKey(5, 5);
	ASSERT_TRUE(profile.WaitForLaunches(1)) << fBar->Output();

	// Made elsewhere, then moved in, as a download manager or a file manager does.
	Shell("mkdir -p '" + outside.Path() + "' && cd '" + outside.Path() +
	      "' && touch b && setfattr -n user.mime_type -v application/x-vnd.Be-bookmark b && "
	      "setfattr -n user.META:url -v http://example.org/moved b && "
	      "setfattr -n user.META:keyw -v '' b && mv b '" +
	      store + "/1 -/0 - Moved in'");
	ASSERT_TRUE(WaitForTrace("B_ENTRY_MOVED", 1));
	HotKey(1, 0);
	ASSERT_TRUE(profile.WaitForLaunches(2)) << fBar->Output();

	Shell("mv '" + store + "/1 -/0 - Moved in' '" + store + "/1 -/3 - Renamed'");
	ASSERT_TRUE(WaitForTrace("B_ENTRY_MOVED", 2));
	HotKey(1, 3);
	ASSERT_TRUE(profile.WaitForLaunches(3)) << fBar->Output();

	Shell("mv '" + store + "/1 -/3 - Renamed' '" + store + "/8 -/9 - Elsewhere'");
	ASSERT_TRUE(WaitForTrace("B_ENTRY_MOVED", 3));
	HotKey(8, 9);
	ASSERT_TRUE(profile.WaitForLaunches(4));

	Shell("rm '" + store + "/8 -/9 - Elsewhere'");
	// Removals are applied by the re-read that follows a burst of them.
	ASSERT_TRUE(WaitForTrace("kKVRunnerMsg", 1));
	HotKey(8, 9);
	HotKey(1, 3);
	HotKey(5, 5);
	ASSERT_TRUE(profile.WaitForLaunches(5));
	std::vector<std::string> launches = profile.Launches();
	ASSERT_EQ(launches.size(), 5u) << "an empty slot launched something";
	for (int i = 1; i < 4; i++)
		EXPECT_NE(launches[i].find("http://example.org/moved|"), std::string::npos) << i;
	EXPECT_NE(launches[4].find("http://example.org/six|"), std::string::npos);
}

TEST_F(KestrovaneE2ETest, SecondStartLeavesOneBar)
{
	ASSERT_NO_FATAL_FAILURE(StartBar());
	std::vector<std::string> env = fProfile->Environment();
	env.push_back("DISPLAY=" + fServer->DisplayName());

	ProcessResult second = RunProcess({KestrovanePath()}, "", env);
	EXPECT_EQ(second.exitStatus, 0);
	ProcessResult version = RunProcess({KestrovanePath(), "--version"}, "", env);
	EXPECT_EQ(version.exitStatus, 0);
	EXPECT_EQ(version.output, "Kestrovane 1.5.0\n");
	ProcessResult help = RunProcess({KestrovanePath(), "--help"}, "", env);
	EXPECT_EQ(help.exitStatus, 0);
	EXPECT_NE(help.output.find("--version"), std::string::npos);
	EXPECT_TRUE(fBar->IsRunning());
	EXPECT_FALSE(FileExists(fProfile->SettingsFile()))
	        << "only the running copy writes the settings, and only when it ends";

	EXPECT_EQ(Send("quit").exitStatus, 0);
	EXPECT_EQ(fBar->Wait(), 0) << Tail(fBar->Output());
	EXPECT_TRUE(FileExists(fProfile->SettingsFile()));
}

// Dragged by its strip, the bar keeps the grabbed point under the pointer; quit by another
// program, it saves where it stands, and the next start opens it there.
TEST_F(KestrovaneE2ETest, ThePlaceTheBarWasDraggedToSurvivesARestart)
{
	ASSERT_NO_FATAL_FAILURE(StartBar());
	fClient->MoveMouse(46, 36);
	fClient->Button(1, true);
	for (int step = 1; step <= 10; step++)
		fClient->MoveMouse(46 + 20 * step, 36 + 10 * step);
	fClient->Button(1, false);
	fClient->Sync();
	ASSERT_TRUE(fClient->WaitForPixel(kButtonX + 200, kButtonY + 100, kBarGrey));
	EXPECT_EQ(Send("quit").exitStatus, 0);
	ASSERT_EQ(fBar->Wait(), 0) << Tail(fBar->Output());

	ASSERT_NO_FATAL_FAILURE(StartBar(kButtonX + 200, kButtonY + 100));
	EXPECT_NE(fClient->Pixel(kButtonX, kButtonY), kBarGrey) << "the bar opened at its old place";
	EXPECT_EQ(Send("quit").exitStatus, 0);
	EXPECT_EQ(fBar->Wait(), 0) << Tail(fBar->Output());
}

// Alt+Q quits from the bar; from the About window it is ignored; another program's quit
// request and SIGTERM work whatever window is active.
TEST_F(KestrovaneE2ETest, QuitRequests)
{
	ASSERT_NO_FATAL_FAILURE(StartBar());
	ASSERT_EQ(Send("about").exitStatus, 0);
	// The About window opens centred; clicking it makes it the active window.
	ASSERT_TRUE(WaitUntil([&] { return fClient->Pixel(512, 300) != 0; }));
	fClient->Click(512, 300);
	fClient->Key(xkey::kAlt, true);
	fClient->Tap(xkey::Letter('q'));
	fClient->Key(xkey::kAlt, false);
	fClient->Sync();
	EXPECT_FALSE(WaitUntil([&] { return !fBar->IsRunning(); }, std::chrono::milliseconds(1500)))
	        << "Alt+Q in the About window ended the program";
	EXPECT_EQ(Send("quit").exitStatus, 0);
	EXPECT_EQ(fBar->Wait(), 0) << Tail(fBar->Output());

	ASSERT_NO_FATAL_FAILURE(StartBar());
	// On the strip, clear of the close box.
	fClient->Click(46, 36);
	fClient->Key(xkey::kAlt, true);
	fClient->Tap(xkey::Letter('q'));
	fClient->Key(xkey::kAlt, false);
	fClient->Sync();
	EXPECT_EQ(fBar->Wait(), 0) << "Alt+Q on the active bar\n" << Tail(fBar->Output());

	std::remove(fProfile->SettingsFile().c_str());
	ASSERT_NO_FATAL_FAILURE(StartBar());
	fBar->Signal(SIGTERM);
	EXPECT_EQ(fBar->Wait(), 0) << "SIGTERM\n" << Tail(fBar->Output());
	EXPECT_TRUE(FileExists(fProfile->SettingsFile())) << "SIGTERM saves the settings";
}

} // namespace
