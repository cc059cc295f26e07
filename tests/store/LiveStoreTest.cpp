// The live store against a real store directory, real node-monitor messages and shell
// commands changing the tree as the file manager would.
#include "LiveStoreSupport.h"

#include "store/KVMenu.h"

#include <KVConstants.h>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace kvtest {
namespace {

const char* const kEmpty = "Add Bookmark Here";

class LiveStoreTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		mkdir(fStore.Store().c_str(), 0777);
		Shell("mkdir -p " + Quote(fStore.Store() + "/2 - Work") + " " +
		      Quote(fStore.Store() + "/5 - Fun") + " && " +
		      BookmarkCommand(fStore.Store() + "/2 - Work/0 - Home", "http://home") + " && " +
		      BookmarkCommand(fStore.Store() + "/2 - Work/1 - Mail", "http://mail"));
		fStore.Start();
	}
	std::string Work() { return Quote(fStore.Store() + "/2 - Work"); }
	std::string Fun() { return Quote(fStore.Store() + "/5 - Fun"); }

	LiveStore fStore;
};

TEST_F(LiveStoreTest, StartUpReadsTheTreeAndMakesMissingFolders)
{
	std::vector<FolderState> store = fStore.Window()->Snapshot();
	EXPECT_EQ(ReadDisk(fStore.Store()), store) << Describe(store);
	EXPECT_EQ("2 - Work", store[2].title);
	EXPECT_EQ("Work", store[2].name);
	EXPECT_EQ("0 - Home [http://home]", store[2].labels[0]);
	EXPECT_EQ("0 -", store[0].title);
	EXPECT_EQ("", store[0].name);
	EXPECT_EQ(kEmpty, store[0].labels[0]);
}

TEST_F(LiveStoreTest, CreatedAndMovedInFilesFillTheirSlots)
{
	Shell(BookmarkCommand(fStore.Store() + "/2 - Work/4 - News", "http://news"));
	EXPECT_TRUE(fStore.WaitForLabel(3, 5, "4 - News [http://news]"));
	Shell(BookmarkCommand(fStore.Outside() + "/9 - Late", "http://late") + " && mv " +
	      Quote(fStore.Outside() + "/9 - Late") + " " + Fun());
	EXPECT_TRUE(fStore.WaitForLabel(6, 10, "9 - Late [http://late]"));
}

TEST_F(LiveStoreTest, RenamesInPlaceAndToAnotherDigit)
{
	Shell("mv " + Work() + "/'0 - Home' " + Work() + "/'0 - Start'");
	EXPECT_TRUE(fStore.WaitForLabel(3, 1, "0 - Start [http://home]"));
	// Another digit moves the bookmark to that slot.
	Shell("mv " + Work() + "/'1 - Mail' " + Work() + "/'7 - Mail'");
	EXPECT_TRUE(fStore.WaitForLabel(3, 8, "7 - Mail [http://mail]"));
	EXPECT_EQ(kEmpty, fStore.Label(3, 2));
	// A rename onto the digit of a slot that is taken leaves that slot's bookmark alone.
	Shell("mv " + Work() + "/'7 - Mail' " + Work() + "/'0 - Mail'");
	EXPECT_TRUE(fStore.WaitForLabel(3, 8, kEmpty)) << fStore.Label(3, 8);
	EXPECT_EQ("0 - Start [http://home]", fStore.Label(3, 1));
	// A file renamed into a slot pattern fills its slot.
	Shell(BookmarkCommand(fStore.Store() + "/2 - Work/notes", "http://n") + " && mv " + Work() +
	      "/notes " + Work() + "/'4 - notes'");
	EXPECT_TRUE(fStore.WaitForLabel(3, 5, "4 - notes [http://n]"));
}

TEST_F(LiveStoreTest, MovesBetweenFoldersAndToTheTrash)
{
	// Both folders follow a move between them, whichever is numbered lower.
	Shell("mv " + Work() + "/'0 - Home' " + Fun() + "/'0 - Home'");
	EXPECT_TRUE(fStore.WaitForLabel(6, 1, "0 - Home [http://home]"));
	EXPECT_EQ(kEmpty, fStore.Label(3, 1));
	Shell("mv " + Fun() + "/'0 - Home' " + Work() + "/'3 - Home'");
	EXPECT_TRUE(fStore.WaitForLabel(3, 4, "3 - Home [http://home]"));
	EXPECT_EQ(kEmpty, fStore.Label(6, 1));

	Shell("mkdir -p " + Quote(fStore.Outside() + "/Trash") + " && mv " + Work() + "/'1 - Mail' " +
	      Quote(fStore.Outside() + "/Trash/"));
	EXPECT_TRUE(fStore.WaitForLabel(3, 2, kEmpty));
}

TEST_F(LiveStoreTest, AttributeEditUpdatesTheLabelAndChmodChangesNothing)
{
	int32 rebuilds = fStore.Window()->Rebuilds();
	Shell("setfattr -n user.META:url -v http://changed " + Work() + "/'0 - Home'");
	EXPECT_TRUE(fStore.WaitForLabel(3, 1, "0 - Home [http://changed]"));
	std::vector<FolderState> before = fStore.Window()->Snapshot();
	int32 handled = fStore.Window()->Handled();
	Shell("chmod 600 " + Work() + "/'1 - Mail'");
	EXPECT_TRUE(WaitUntil([&] { return fStore.Window()->Handled() > handled; }));
	EXPECT_EQ(before, fStore.Window()->Snapshot());
	EXPECT_EQ(rebuilds, fStore.Window()->Rebuilds());
}

TEST_F(LiveStoreTest, BurstOfDeletionsRebuildsOnceAboutASecondAfterTheLast)
{
	Shell(BookmarkCommand(fStore.Store() + "/2 - Work/2 - Third", "http://3"));
	ASSERT_TRUE(fStore.WaitForLabel(3, 3, "2 - Third [http://3]"));
	int32 rebuilds = fStore.Window()->Rebuilds();
	Shell("rm " + Work() + "/'0 - Home' && sleep 0.4 && rm " + Work() +
	      "/'1 - Mail' && sleep 0.4 && rm " + Work() + "/'2 - Third'");
	auto last = std::chrono::steady_clock::now();
	// Nothing happens before the second is up; then one rebuild.
	ASSERT_TRUE(fStore.WaitForRebuildAfter(rebuilds));
	auto elapsed = std::chrono::steady_clock::now() - last;
	EXPECT_GE(elapsed, std::chrono::milliseconds(800));
	EXPECT_EQ(rebuilds + 1, fStore.Window()->Rebuilds());
	EXPECT_EQ(ReadDisk(fStore.Store()), fStore.Window()->Snapshot());
}

TEST_F(LiveStoreTest, DeletedStoreComesBackEmpty)
{
	int32 rebuilds = fStore.Window()->Rebuilds();
	Shell("rm -r " + Quote(fStore.Store()));
	ASSERT_TRUE(fStore.WaitForRebuildAfter(rebuilds));
	std::vector<FolderState> store = fStore.Window()->Snapshot();
	for (int i = 0; i < 10; i++) {
		EXPECT_EQ(std::to_string(i) + " -", store[i].title);
		EXPECT_EQ(std::vector<std::string>(10, kEmpty), store[i].labels);
	}
	// The new store is watched.
	Shell(BookmarkCommand(fStore.Store() + "/4 -/0 - Back", "http://back"));
	EXPECT_TRUE(fStore.WaitForLabel(5, 1, "0 - Back [http://back]"));
}

TEST_F(LiveStoreTest, RenamedStoreIsLeftAloneAndANewOneStarts)
{
	std::string renamed = fStore.Store() + ".old";
	Shell("mv " + Quote(fStore.Store()) + " " + Quote(renamed));
	EXPECT_TRUE(WaitUntil([&] { return fStore.Label(3, 1) == kEmpty; }));
	struct stat info;
	EXPECT_EQ(0, stat((fStore.Store() + "/9 -").c_str(), &info));
	EXPECT_EQ(0, stat((renamed + "/2 - Work/0 - Home").c_str(), &info));
	Shell(BookmarkCommand(fStore.Store() + "/2 -/0 - New", "http://new"));
	EXPECT_TRUE(fStore.WaitForLabel(3, 1, "0 - New [http://new]"));
}

TEST_F(LiveStoreTest, FolderRenamesKeepOrReplaceTheFolder)
{
	Shell("mv " + Work() + " " + Quote(fStore.Store() + "/2 - Office"));
	EXPECT_TRUE(WaitUntil([&] { return fStore.Window()->Snapshot()[2].name == "Office"; }));
	EXPECT_EQ("0 - Home [http://home]", fStore.Label(3, 1));
	// To another digit: folder 3 makes a new "2 -", which is watched like any other.
	Shell("mv " + Quote(fStore.Store() + "/2 - Office") + " " +
	      Quote(fStore.Store() + "/7 - Office"));
	EXPECT_TRUE(WaitUntil([&] { return fStore.Window()->Snapshot()[2].title == "2 -"; }));
	EXPECT_EQ(kEmpty, fStore.Label(3, 1));
	Shell(BookmarkCommand(fStore.Store() + "/2 -/5 - Fresh", "http://fresh"));
	EXPECT_TRUE(fStore.WaitForLabel(3, 6, "5 - Fresh [http://fresh]"));
	// Moved out of the store: replaced by a new directory.
	Shell("mv " + Fun() + " " + Quote(fStore.Outside() + "/Fun"));
	EXPECT_TRUE(WaitUntil([&] { return fStore.Window()->Snapshot()[5].title == "5 -"; }));
}

TEST_F(LiveStoreTest, ChosenEntriesSendTheirFolderAndSlot)
{
	BAutolock lock(fStore.Window()->fLocker);
	KVPath* folder = fStore.Window()->fMonitor->fFolders[2];
	ASSERT_EQ(B_OK, folder->Items()[0]->MenuItem()->Invoke());
	ASSERT_EQ(B_OK, folder->Items()[5]->MenuItem()->Invoke());
	lock.Unlock();
	ASSERT_TRUE(WaitUntil([&] { return fStore.Window()->Invoked().size() == 2; }));
	std::vector<BMessage> sent = fStore.Window()->Invoked();
	EXPECT_EQ(KVFolder[2], sent[0].what);
	EXPECT_EQ(uint32(kMsgAddBookmarkHere), sent[1].what);
	int32 value = 0;
	EXPECT_EQ(B_OK, sent[1].FindInt32("folder", &value));
	EXPECT_EQ(3, value);
	EXPECT_EQ(B_OK, sent[1].FindInt32("slot", &value));
	EXPECT_EQ(6, value);
	EXPECT_TRUE(sent[0].HasPointer("source"));
	EXPECT_TRUE(sent[0].HasInt64("when"));
}

TEST(LiveStoreFatalTest, UnusableStoreDirectoryStopsTheProgramAfterTheAlert)
{
	// The configuration "directory" is a file: the store can be neither found nor made.
	TempDir config("kvfatal");
	WriteFile(config.Sub("file"), "not a directory");
	ScopedEnv xdg("XDG_CONFIG_HOME", config.Sub("file").c_str());
	GTEST_FLAG_SET(death_test_style, "threadsafe");
	EXPECT_EXIT(
	        {
		        StoreWindow* window = new StoreWindow;
		        window->Start();
	        },
	        ::testing::ExitedWithCode(1), "ERROR:\n\n");
}

} // namespace
} // namespace kvtest
