// A slot refilled after a rename or an arrival is watched and read: a value written right
// after the rename reaches the menu, and so does one written long after (the watch is in
// place). Renames of a bookmark, of its folder, and a file renamed into a slot.
#include "LiveStoreSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/stat.h>

namespace kvtest {
namespace {

const int kRounds = 10;

std::string
Url(int round)
{
	return "http://u" + std::to_string(round);
}

class WatchThenReadTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		mkdir(fStore.Store().c_str(), 0777);
		Shell("mkdir -p " + Quote(Folder("0 - F0")) + " && " +
		      BookmarkCommand(Folder("0 - F0") + "/0 - N0", Url(0)));
		fStore.Start();
	}

	std::string Folder(const std::string& leaf) { return fStore.Store() + "/" + leaf; }

	// The value goes in straight after the rename, while the store is still taking it up.
	void RenameThenWrite(const std::string& from, const std::string& to, const std::string& file,
	                     int round)
	{
		ASSERT_EQ(0, rename(from.c_str(), to.c_str()));
		ASSERT_TRUE(SetXattr(file, "user.META:url", Url(round) + std::string(1, '\0')));
	}

	// A later change to the file shows too: the refilled slot is watched.
	void WriteLater(const std::string& file, int folder, int slot, const std::string& name)
	{
		ASSERT_TRUE(SetXattr(file, "user.META:url", std::string("http://later\0", 13)));
		ASSERT_TRUE(fStore.WaitForLabel(folder, slot, name + " [http://later]"))
		        << fStore.Label(folder, slot);
	}

	LiveStore fStore;
};

TEST_F(WatchThenReadTest, ValuesWrittenRightAfterARenameReachTheMenu)
{
	std::string folder = Folder("0 - F0");
	for (int round = 1; round <= kRounds; round++) {
		std::string name = "0 - N" + std::to_string(round);
		std::string previous = folder + "/0 - N" + std::to_string(round - 1);
		RenameThenWrite(previous, folder + "/" + name, folder + "/" + name, round);
		ASSERT_TRUE(fStore.WaitForLabel(1, 1, name + " [" + Url(round) + "]"))
		        << fStore.Label(1, 1);
		WriteLater(folder + "/" + name, 1, 1, name);
	}
	std::string file = "/0 - N" + std::to_string(kRounds);
	for (int round = 1; round <= kRounds; round++) {
		std::string next = Folder("0 - F" + std::to_string(round));
		RenameThenWrite(folder, next, next + file, kRounds + round);
		folder = next;
		ASSERT_TRUE(fStore.WaitForLabel(1, 1, file.substr(1) + " [" + Url(kRounds + round) + "]"))
		        << fStore.Label(1, 1);
		WriteLater(folder + file, 1, 1, file.substr(1));
	}
}

TEST_F(WatchThenReadTest, AFileRenamedIntoASlotShowsItsLatestValues)
{
	std::string folder = Folder("0 - F0");
	for (int round = 1; round <= kRounds; round++) {
		std::string notes = folder + "/notes";
		Shell(BookmarkCommand(notes, "http://old"));
		std::string slot = folder + "/1 - notes";
		RenameThenWrite(notes, slot, slot, round);
		ASSERT_TRUE(fStore.WaitForLabel(1, 2, "1 - notes [" + Url(round) + "]"))
		        << fStore.Label(1, 2);
		WriteLater(slot, 1, 2, "1 - notes");
		ASSERT_EQ(0, rename(slot.c_str(), notes.c_str()));
		ASSERT_TRUE(fStore.WaitForLabel(1, 2, "Add Bookmark Here")) << fStore.Label(1, 2);
	}
}

} // namespace
} // namespace kvtest
