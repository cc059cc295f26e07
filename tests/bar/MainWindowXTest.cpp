// The bar window in this process on a private display, with a real store and stand-in
// browsers: which browser entries are marked for each installation, what reaches a
// browser and what never does, the two alignments and their persistence, colour drops.
#include <cmath>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include <Autolock.h>
#include <MenuItem.h>
#include <Message.h>
#include <Messenger.h>
#include <Path.h>
#include <PopUpMenu.h>

#include "BarTestSupport.h"
#include "app/KVConstants.h"
#include "app/KVSettings.h"
#include "bar/KVBar.h"
#include "bar/KVButton.h"
#include "bar/KVMainWindow.h"
#include "kit/interface/GuiTestSupport.h"

using namespace kvtest;

namespace {

const BPoint kBarCorner(30, 30);

class MainWindowXTest : public GuiTest
{
protected:
	void TearDown() override
	{
		CloseBar();
		delete gSettings;
		gSettings = nullptr;
		fProfile.reset();
		GuiTest::TearDown();
	}

	void UseProfile(bool opera, bool netPositive)
	{
		// The old profile's environment goes before the new one's is set.
		fProfile.reset();
		fProfile = std::make_unique<BarProfile>(opera, netPositive);
		gSettings = new KVSettings(BPath(fProfile->SettingsFile().c_str()));
		gSettings->Load();
	}

	KVMainWindow* OpenBar(bool show = true)
	{
		fWindow = new KVMainWindow(BRect(kBarCorner.x, kBarCorner.y, 0, 0));
		if (show)
			fWindow->Show();
		else
			fWindow->Run();
		return fWindow;
	}

	// Closes the bar as the program does at its end, then writes and re-reads the settings
	// the way the next start finds them.
	void RestartSettings()
	{
		CloseBar();
		gSettings->Save();
		delete gSettings;
		gSettings = new KVSettings(BPath(fProfile->SettingsFile().c_str()));
		ASSERT_TRUE(gSettings->Load());
	}

	void CloseBar()
	{
		if (fWindow != nullptr)
			Close(fWindow);
		fWindow = nullptr;
	}

	void Post(BMessage message) { ASSERT_EQ(BMessenger(fWindow).SendMessage(&message), B_OK); }

	BMenuItem* Item(const char* label)
	{
		BAutolock lock(fWindow);
		return fWindow->SettingsMenu()->FindItem(label);
	}

	// Waits until a message posted now has been handled: everything posted before too.
	void Settle()
	{
		BMessage reply;
		BMessenger(fWindow).SendMessage(B_PULSE, &reply);
	}

	std::unique_ptr<BarProfile> fProfile;
	KVMainWindow* fWindow = nullptr;
};

BMessage
Choose(int32 folder, int32 slot)
{
	BMessage message(KVFolder[folder - 1]);
	message.AddInt32("folder", folder);
	message.AddInt32("slot", slot);
	return message;
}

BMessage
HotKeyLaunch(int8 folder, int8 slot)
{
	BMessage message(kMsgLaunchItem);
	message.AddInt8("folder", folder);
	message.AddInt8("slot", slot);
	return message;
}

TEST_F(MainWindowXTest, BrowserEntriesFollowWhatIsInstalled)
{
	struct Case
	{
		bool opera, netPositive;
		int32 stored;
		bool operaMarked, netPositiveMarked;
		int32 browser;
	};
	const Case cases[] = {
	        {true, true, 0, true, false, 0},  {true, true, 1, false, true, 1},
	        {true, true, 7, false, false, 7}, {true, false, 1, true, false, 0},
	        {true, false, 7, true, false, 0}, {false, true, 0, false, true, 1},
	        {false, true, 7, false, true, 1},
	};
	for (const Case& c : cases) {
		UseProfile(c.opera, c.netPositive);
		gSettings->SetBrowser(static_cast<KVBrowser>(c.stored));
		OpenBar(false);
		std::string name = std::to_string(c.opera) + std::to_string(c.netPositive) + " stored " +
		                   std::to_string(c.stored);
		BMenuItem* opera = Item("Use Opera");
		BMenuItem* netPositive = Item("Use NetPositive");
		ASSERT_NE(opera, nullptr);
		ASSERT_NE(netPositive, nullptr);
		EXPECT_EQ(opera->IsEnabled(), c.opera) << name;
		EXPECT_EQ(netPositive->IsEnabled(), c.netPositive) << name;
		EXPECT_EQ(opera->IsMarked(), c.operaMarked) << name;
		EXPECT_EQ(netPositive->IsMarked(), c.netPositiveMarked) << name;
		EXPECT_EQ(gSettings->GetBrowser(), c.browser) << name;
		CloseBar();
		delete gSettings;
		gSettings = nullptr;
	}
}

// Exactly one argument, the URL, and only for a bookmark that exists: a URL that a
// browser would read as an option, an empty one, and numbers out of range launch nothing.
TEST_F(MainWindowXTest, WhatReachesTheBrowser)
{
	UseProfile(true, true);
	fProfile->AddBookmark("0 - News/0 - Spaces", "http://example.org/a b");
	fProfile->AddBookmark("0 - News/1 - Option", "--remote=evil");
	fProfile->AddBookmark("0 - News/2 - Empty", "");
	OpenBar();

	Post(Choose(1, 1));
	ASSERT_TRUE(fProfile->WaitForLaunches(1));
	for (int32 slot : {2, 3, 0, 11, -4, 10})
		Post(Choose(1, slot));
	BMessage bare(KVFolder[0]);
	bare.AddInt32("slot", 99);
	Post(bare);
	for (int8 folder : {0, 11, -1})
		Post(HotKeyLaunch(folder, 1));
	Post(HotKeyLaunch(1, 0));
	Post(HotKeyLaunch(1, 2));
	Post(HotKeyLaunch(1, 1));
	ASSERT_TRUE(fProfile->WaitForLaunches(2));

	// The NetPositive entry itself chooses NetPositive; any other "source" changes the
	// setting but never makes a foreign pointer the marked entry.
	BMessage useOpera(kMsgUseOpera);
	BMenuItem* netPositive = Item("Use NetPositive");
	useOpera.AddPointer("source", Item("About"));
	Post(useOpera);
	Settle();
	EXPECT_EQ(gSettings->GetBrowser(), kBrowserOpera);
	EXPECT_TRUE(netPositive->IsMarked());
	EXPECT_FALSE(Item("Use Opera")->IsMarked());
	Post(Choose(1, 1));
	ASSERT_TRUE(fProfile->WaitForLaunches(3));

	std::vector<std::string> launches = fProfile->Launches();
	ASSERT_EQ(launches.size(), 3u);
	EXPECT_EQ(launches[0], "netpositive 1: http://example.org/a b|");
	EXPECT_EQ(launches[1], "netpositive 1: http://example.org/a b|");
	EXPECT_EQ(launches[2], "opera 1: http://example.org/a b|");
}

TEST_F(MainWindowXTest, AlignmentsAndTheirPersistence)
{
	UseProfile(true, true);
	OpenBar();
	{
		BAutolock lock(fWindow);
		EXPECT_EQ(fWindow->Frame(), BRect(30, 30, 51, 293)) << "22 by 264 at (30, 30)";
		EXPECT_EQ(fWindow->ButtonAt(9)->Frame(), BRect(1, 239, 21, 259));
		EXPECT_EQ(fWindow->Bar()->Frame(), BRect(0, 0, 21, 13));
	}
	Post(BMessage(kMsgAlignHorizontal));
	Settle();
	{
		BAutolock lock(fWindow);
		EXPECT_EQ(fWindow->Frame(), BRect(30, 30, 262, 54)) << "233 by 25, same corner";
		EXPECT_EQ(fWindow->ButtonAt(0)->Frame(), BRect(14, 0, 34, 20));
		EXPECT_EQ(fWindow->ButtonAt(9)->Frame(), BRect(212, 0, 232, 20));
		EXPECT_EQ(fWindow->Bar()->Frame(), BRect(0, 0, 13, 24));
		EXPECT_TRUE(fWindow->SettingsMenu()->FindItem("Align Horizontally")->IsMarked());
		EXPECT_FALSE(fWindow->SettingsMenu()->FindItem("Align Vertically")->IsMarked());
	}
	// Button "9" is drawn at the row's far end on the screen.
	EXPECT_TRUE(WaitUntil([&] { return fClient->Pixel(30 + 230, 30 + 10) != 0; }));

	ASSERT_NO_FATAL_FAILURE(RestartSettings());
	EXPECT_EQ(gSettings->GetAlign(), kAlignHorizontal);
	EXPECT_EQ(gSettings->GetPos(), kBarCorner);
	OpenBar();
	BAutolock lock(fWindow);
	EXPECT_EQ(fWindow->Frame().Width(), 232);
}

TEST_F(MainWindowXTest, ColourDroppedOnAButtonRecoloursTheBarAndPersists)
{
	UseProfile(true, true);
	OpenBar();
	const rgb_color colour = {40, 120, 200, 255};
	BMessage drop(B_PASTE);
	drop.AddData("RGBColor", B_RGB_COLOR_TYPE, &colour, sizeof(colour));
	{
		BAutolock lock(fWindow);
		ASSERT_EQ(BMessenger(fWindow->ButtonAt(3)).SendMessage(&drop), B_OK);
	}
	// The background between buttons "0" and "1" is never tinted.
	EXPECT_TRUE(fClient->WaitForPixel(41, 30 + 36, Rgb(colour)));
	{
		BAutolock lock(fWindow);
		rgb_color expected = fWindow->IsActive() ? colour : tint_color(colour, B_DARKEN_1_TINT);
		EXPECT_TRUE(fClient->WaitForPixel(31 + 3, 30 + 14 + 25 * 9 + 3, Rgb(expected)))
		        << "button 9's fill";
		EXPECT_TRUE(fClient->WaitForPixel(30 + 15, 30 + 6, Rgb(expected))) << "the strip";
		EXPECT_EQ(Rgb(fWindow->Bar()->CloseButton()->ViewColor()), Rgb(colour));
	}
	ASSERT_NO_FATAL_FAILURE(RestartSettings());
	EXPECT_EQ(Rgb(*gSettings->GetColor()), Rgb(colour));
}

TEST_F(MainWindowXTest, HotKeyEntriesToggleTheirBits)
{
	UseProfile(true, true);
	gSettings->SetHotKey(kHotKeyAlt | kHotKeyWindows);
	OpenBar(false);
	Post(BMessage(kMsgHotKeyAlt));
	Post(BMessage(kMsgHotKeyKeypadDelete));
	Settle();
	EXPECT_EQ(gSettings->GetHotKey(), kHotKeyWindows | kHotKeyKeypadDelete);
	EXPECT_FALSE(Item("Alt Key")->IsMarked());
	EXPECT_TRUE(Item("Delete Key On Numeric Keypad")->IsMarked());
	EXPECT_TRUE(Item("\"Windows\" Key")->IsMarked());
	Post(BMessage(kMsgAlwaysOnTop));
	Settle();
	EXPECT_TRUE(gSettings->GetOnTop());
	EXPECT_TRUE(Item("Always On Top")->IsMarked());
}

} // namespace
