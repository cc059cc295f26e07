// The add-bookmark window against a live store, driven by messages (no display: alerts
// print their text on standard error). A looper stands in for the bar: it applies the
// node monitor's messages under the store lock and forwards the bare notice to the window,
// as the bar does.
#include "addbookmark/KVBookmarkWindow.h"
#include "addbookmark/KVStepViews.h"
#include "bar/KVMainWindow.h"
#include "store/KVMonitor.h"

#include <KVConstants.h>

#include <Autolock.h>
#include <Button.h>
#include <Locker.h>
#include <Looper.h>
#include <Menu.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <Message.h>
#include <Messenger.h>
#include <OS.h>
#include <TextControl.h>

#include "StoreSupport.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using kvtest::WaitUntil;

using kvtest::WithNul;

void
MakeBookmark(const std::string& path, const std::string& url, const std::string& keywords)
{
	ASSERT_TRUE(kvtest::MakeBookmark(path, url, keywords));
}

class BarStandIn : public BLooper
{
public:
	BarStandIn() : BLooper("bar stand-in") {}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == kMsgBookmarkWindowGone) {
			gone++;
			return;
		}
		if (message->what != B_NODE_MONITOR) {
			BLooper::MessageReceived(message);
			return;
		}
		BAutolock lock(KVMainWindow::fLocker);
		KVMainWindow::fMonitor->HandleNodeMessage(message);
		if (KVBookmarkWindow::fMsgWindow != nullptr)
			KVBookmarkWindow::fMsgWindow->SendMessage(B_NODE_MONITOR);
	}

	std::atomic<int32> gone{0};
};

class BookmarkWindowTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		ASSERT_TRUE(fTempStore.IsReady());
		ASSERT_TRUE(fTempStore.MakeFolder("0 - News"));
		ASSERT_TRUE(fTempStore.MakeFolder("1 - Work"));
		MakeBookmark(Store("0 - News/2 - Search"), "http://search.example/", "find");
		// A second file with slot 3's digit; the menus show the first one only.
		MakeBookmark(Store("0 - News/2 - Zed"), "http://zed.example/", "");

		KVMainWindow::fLocker = new BLocker("store lock");
		fBar = new BarStandIn;
		{
			BAutolock lock(KVMainWindow::fLocker);
			KVMainWindow::fMonitor = new KVMonitor(fBar, BMessenger(fBar));
			KVMainWindow::fMsgWindow = new BMessenger(fBar);
		}
		fBar->Run();
	}

	void TearDown() override
	{
		// As the bar does: the window's thread is over before the store goes.
		if (fThread >= 0) {
			fWindow.SendMessage(B_QUIT_REQUESTED);
			status_t result;
			wait_for_thread(fThread, &result);
		}
		fBar->Lock();
		fBar->Quit();
		delete KVMainWindow::fMonitor;
		KVMainWindow::fMonitor = nullptr;
		delete KVMainWindow::fMsgWindow;
		KVMainWindow::fMsgWindow = nullptr;
		delete KVMainWindow::fLocker;
		KVMainWindow::fLocker = nullptr;
	}

	std::string Store(const std::string& relative) const { return fTempStore.Sub(relative); }

	KVBookmarkWindow* Open(int32 folder, int32 slot)
	{
		KVBookmarkWindow* window =
		        static_cast<KVBookmarkWindow*>(MakeBookmarkWindow(BRect(5, 5, 0, 0), folder, slot));
		window->Show();
		fThread = window->Thread();
		fWindow = BMessenger(window);
		fView = window->AddView();
		fRaw = window;
		return window;
	}

	void Send(uint32 what)
	{
		BMessage message(what);
		ASSERT_EQ(B_OK, fWindow.SendMessage(&message));
	}

	void Send(BMessage message) { ASSERT_EQ(B_OK, fWindow.SendMessage(&message)); }

	// Reads the window's state with its lock held; false once the window is gone.
	template <typename F> bool Read(F reader)
	{
		if (!fWindow.IsValid() || !fRaw->Lock())
			return false;
		reader();
		fRaw->Unlock();
		return true;
	}

	struct State
	{
		int32 folder = -1;
		int32 slot = -1;
		std::string name, url, keywords, keyword;
		std::vector<std::string> folderLabels, slotLabels;
		int32 markedFolder = -1, markedSlot = -1;
	};

	State Current()
	{
		State state;
		Read([&] {
			state.folder = fRaw->Folder();
			state.slot = fRaw->Slot();
			state.name = fView->fEditInfoView->fName->Text();
			state.url = fView->fEditInfoView->fUrl->Text();
			state.keywords = fView->fEditInfoView->fKeywords->Text();
			state.keyword = fView->fLocationView->fKeyword->Text();
			BMenu* folders = fView->fLocationView->fFolderField->Menu();
			BMenu* slots = fView->fLocationView->fSlotField->Menu();
			for (int32 i = 0; i < 10; i++) {
				state.folderLabels.push_back(folders->ItemAt(i)->Label());
				state.slotLabels.push_back(slots->ItemAt(i)->Label());
			}
			state.markedFolder = folders->IndexOf(folders->FindMarked());
			state.markedSlot = slots->IndexOf(slots->FindMarked());
		});
		return state;
	}

	// Waits until every message sent so far has been handled.
	void Settle()
	{
		BMessage ping('ping');
		BMessage reply;
		fWindow.SendMessage(&ping, &reply);
	}

	void Type(const char* name, const char* url, const char* keywords)
	{
		Read([&] {
			fView->fEditInfoView->fName->SetText(name);
			fView->fEditInfoView->fUrl->SetText(url);
			fView->fEditInfoView->fKeywords->SetText(keywords);
		});
	}

	kvtest::TempStore fTempStore{"kv-abwindow"};
	const kvtest::TempDir& fDir = fTempStore.Dir();
	const std::string& fStore = fTempStore.Path();
	BarStandIn* fBar = nullptr;
	BMessenger fWindow;
	thread_id fThread = -1;
	KVBookmarkWindow* fRaw = nullptr;
	KVAddBookmarkView* fView = nullptr;
};

TEST_F(BookmarkWindowTest, OpensWithTheLabelsAndThePreselection)
{
	Open(1, 3);
	State state = Current();
	EXPECT_EQ(1, state.folder);
	EXPECT_EQ(3, state.slot);
	EXPECT_EQ(0, state.markedFolder);
	EXPECT_EQ(2, state.markedSlot);
	EXPECT_EQ("News", state.keyword);
	EXPECT_EQ("Search", state.name);
	EXPECT_EQ("http://search.example/", state.url);
	EXPECT_EQ("find", state.keywords);
	EXPECT_EQ("0 - News", state.folderLabels[0]);
	EXPECT_EQ("1 - Work", state.folderLabels[1]);
	EXPECT_EQ("9 - ", state.folderLabels[9]);
	EXPECT_EQ("1 - ", state.slotLabels[1]);
	EXPECT_EQ("2 - Search", state.slotLabels[2]);
	Read([&] {
		EXPECT_EQ(fView->fAddButton, fRaw->DefaultButton());
		EXPECT_STREQ("Kestrovane - Add Bookmark", fRaw->Title());
	});
	BAutolock lock(KVMainWindow::fLocker);
	ASSERT_NE(nullptr, KVBookmarkWindow::fMsgWindow);
	EXPECT_TRUE(KVBookmarkWindow::fMsgWindow->IsValid());
}

TEST_F(BookmarkWindowTest, ValuesOutsideOneToTenSelectNothing)
{
	Open(12, -1);
	State state = Current();
	EXPECT_EQ(0, state.folder);
	EXPECT_EQ(0, state.slot);
	EXPECT_EQ("0", state.slotLabels[0]) << "no folder, no slot labels";

	BMessage here(kMsgAddBookmarkHere);
	here.AddInt32("folder", 0);
	here.AddInt32("slot", 11);
	Send(here);
	BMessage entry(KVFolder[1]);
	entry.AddInt32("folder", 2);
	entry.AddInt32("slot", 42);
	Send(entry);
	// A "button" that is not one of the browse buttons pops nothing up.
	BMessage button(KVFolder[0]);
	int32 notAButton = 0;
	button.AddPointer("button", &notAButton);
	Send(button);
	Settle();
	state = Current();
	EXPECT_EQ(2, state.folder);
	EXPECT_EQ(0, state.slot);
	EXPECT_EQ("Work", state.keyword);
}

TEST_F(BookmarkWindowTest, ChoosingSlotsClearsOrLoadsTheFields)
{
	Open(0, 0);
	Send(KVFolder[0]);
	Type("typed", "http://typed/", "typed words");
	Send(KVSlot[4]);
	Settle();
	State state = Current();
	EXPECT_EQ(1, state.folder);
	EXPECT_EQ(5, state.slot);
	EXPECT_EQ("", state.name);
	EXPECT_EQ("", state.url);
	EXPECT_EQ("", state.keywords);
	EXPECT_EQ("News", state.keyword);

	Send(KVSlot[2]);
	Settle();
	state = Current();
	EXPECT_EQ("Search", state.name);
	EXPECT_EQ("http://search.example/", state.url);
	EXPECT_EQ(2, state.markedSlot);

	// An entry of a popped-up folder menu, and "Add Bookmark Here" of another folder.
	BMessage entry(KVFolder[0]);
	entry.AddInt32("folder", 1);
	entry.AddInt32("slot", 3);
	Send(entry);
	BMessage here(kMsgAddBookmarkHere);
	here.AddInt32("folder", 2);
	here.AddInt32("slot", 7);
	Send(here);
	Settle();
	state = Current();
	EXPECT_EQ(2, state.folder);
	EXPECT_EQ(7, state.slot);
	EXPECT_EQ(1, state.markedFolder);
	EXPECT_EQ(6, state.markedSlot);
	EXPECT_EQ("Work", state.keyword);
	EXPECT_EQ("", state.name);
	EXPECT_EQ("2 - ", state.slotLabels[2]);
}

TEST_F(BookmarkWindowTest, StoreChangesRelabelAndRefresh)
{
	Open(1, 3);
	Type("typed over", "", "");
	ASSERT_TRUE(kvtest::SetXattr(Store("0 - News/2 - Search"), "user.META:url",
	                             WithNul("http://changed.example/")));
	fs::rename(Store("1 - Work"), Store("1 - Play"));
	EXPECT_TRUE(WaitUntil([&] {
		State state = Current();
		return state.url == "http://changed.example/" && state.folderLabels[1] == "1 - Play";
	}));
	EXPECT_EQ("Search", Current().name) << "the stored bookmark replaces what was typed";

	MakeBookmark(Store("0 - News/5 - Mail"), "http://mail.example/", "");
	EXPECT_TRUE(WaitUntil([&] { return Current().slotLabels[5] == "5 - Mail"; }));
}

TEST_F(BookmarkWindowTest, AddItWithoutSlotAlertsAndKeepsTheWindow)
{
	Open(1, 0);
	testing::internal::CaptureStdout();
	testing::internal::CaptureStderr();
	Send(kMsgAddIt);
	Settle();
	std::string out = testing::internal::GetCapturedStdout();
	std::string err = testing::internal::GetCapturedStderr();
	EXPECT_NE(std::string::npos, err.find("Please select a slot to add to first!"));
	EXPECT_EQ(std::string::npos, out.find("Item Path")) << out;
	ASSERT_TRUE(fWindow.IsValid());
	EXPECT_EQ(1, Current().folder) << "the choice is kept";
	EXPECT_EQ(0, fBar->gone.load());
}

TEST_F(BookmarkWindowTest, AddItFilesTracesAndCloses)
{
	Open(1, 6);
	Type("New/One", "http://new.example/", "fresh");
	testing::internal::CaptureStdout();
	Send(kMsgAddIt);
	EXPECT_TRUE(WaitUntil([&] { return !fWindow.IsValid(); }));
	EXPECT_TRUE(WaitUntil([&] { return fBar->gone.load() == 1; }));
	std::string out = testing::internal::GetCapturedStdout();
	EXPECT_NE(std::string::npos,
	          out.find("void KVBookmarkWindow::MessageReceived(class BMessage *):\n\tItem Path = " +
	                   Store("0 - News") + "\n"))
	        << out;
	std::string path = Store("0 - News/5 - New_One");
	EXPECT_EQ(WithNul("http://new.example/"), [&] {
		std::string value;
		kvtest::GetXattr(path, "user.META:url", &value);
		return value;
	}());
	{
		BAutolock lock(KVMainWindow::fLocker);
		EXPECT_EQ(nullptr, KVBookmarkWindow::fMsgWindow);
	}
	EXPECT_TRUE(WaitUntil([&] {
		BAutolock lock(KVMainWindow::fLocker);
		KVItem* item = KVMainWindow::fMonitor->fFolders[0]->Items()[5];
		return item->IsValid() && std::string(item->Url()) == "http://new.example/";
	}));
}

TEST_F(BookmarkWindowTest, TheBookmarkSeenIsTheOneRewritten)
{
	struct stat before;
	ASSERT_EQ(0, stat(Store("0 - News/2 - Search").c_str(), &before));
	Open(1, 3);
	Type("Searching", "http://search2.example/", "find");
	Read([&] { fView->fLocationView->fKeyword->SetText("Daily"); });
	testing::internal::CaptureStdout();
	Send(kMsgAddIt);
	EXPECT_TRUE(WaitUntil([&] { return !fWindow.IsValid(); }));
	std::string out = testing::internal::GetCapturedStdout();
	EXPECT_NE(std::string::npos, out.find("\tItem needs rename\n\n")) << out;
	struct stat after;
	ASSERT_EQ(0, stat(Store("0 - Daily/2 - Searching").c_str(), &after));
	EXPECT_EQ(before.st_ino, after.st_ino);
	std::string url;
	ASSERT_TRUE(kvtest::GetXattr(Store("0 - Daily/2 - Zed"), "user.META:url", &url));
	EXPECT_EQ(WithNul("http://zed.example/"), url);
}

TEST_F(BookmarkWindowTest, ContentViewPassesCommandsOnAndStepBoxesDropThem)
{
	Open(0, 0);
	BMessenger browse(fView->fBrowseView);
	BMessenger location(fView->fLocationView);
	ASSERT_EQ(B_OK, browse.SendMessage(kMsgCancel));
	ASSERT_EQ(B_OK, location.SendMessage(kMsgCancel));
	Settle();
	EXPECT_TRUE(fWindow.IsValid());
	BMessenger content(fView);
	ASSERT_EQ(B_OK, content.SendMessage(kMsgCancel));
	EXPECT_TRUE(WaitUntil([&] { return !fWindow.IsValid(); }));
}

TEST_F(BookmarkWindowTest, ShowInTrackerOpensTheStore)
{
	std::string script = fDir.Sub("tracker.sh");
	std::string opened = fDir.Sub("opened");
	ASSERT_TRUE(kvtest::WriteFile(script, "#!/bin/sh\nprintf '%s\\n' \"$@\" > " + opened + "\n"));
	ASSERT_EQ(0, chmod(script.c_str(), 0755));
	std::string table = fDir.Sub("applications");
	ASSERT_TRUE(kvtest::WriteFile(table, "application/x-vnd.Be-TRAK " + script + "\n"));
	kvtest::ScopedEnv tableEnv("KIT_APPLICATION_TABLE", table.c_str());

	Open(0, 0);
	Send(kMsgShowInTracker);
	EXPECT_TRUE(WaitUntil([&] { return kvtest::ReadFile(opened) == fStore + "\n"; }))
	        << kvtest::ReadFile(opened);
	EXPECT_TRUE(fWindow.IsValid());
}

} // namespace

// No display: windows stay loopers and alerts print instead of waiting for a click.
int
main(int argc, char** argv)
{
	unsetenv("DISPLAY");
	testing::InitGoogleTest(&argc, argv);
	return RUN_ALL_TESTS();
}
