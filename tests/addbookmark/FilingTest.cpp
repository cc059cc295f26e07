// Filing bookmarks into a real temporary store: the exact bytes written, rewriting and
// renaming a slot's bookmark, folder renames, and that nothing foreign is ever erased,
// retyped or followed, also when the file system refuses (read-only, full, no xattrs).
#include "store/KVFiling.h"

#include "StoreSupport.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

using kvtest::WithNul;

const std::string kType = kvtest::kBookmarkMimeType;

ino_t
Inode(const std::string& path)
{
	struct stat info;
	return lstat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

std::string
Xattr(const std::string& path, const std::string& name)
{
	std::string value;
	if (!kvtest::GetXattr(path, "user." + name, &value))
		return "<missing>";
	return value;
}

class FilingTest : public ::testing::Test
{
protected:
	void SetUp() override { ASSERT_TRUE(fTempStore.IsReady()); }

	std::string Store(const std::string& relative) const { return fTempStore.Sub(relative); }

	void MakeFolder(const std::string& name) { ASSERT_TRUE(fTempStore.MakeFolder(name)); }

	// A bookmark as another program would leave it, with one foreign attribute.
	void MakeBookmark(const std::string& relative, const std::string& url)
	{
		std::string path = Store(relative);
		ASSERT_TRUE(kvtest::MakeBookmark(path, url, "old words"));
		ASSERT_TRUE(kvtest::SetXattr(path, "user.META:title", WithNul("Old")));
		ASSERT_TRUE(kvtest::SetXattr(path, "user.other", "kept"));
	}

	KVBookmarkRequest Request(int32 folder, int32 slot, const char* name,
	                          const char* folderName = "News")
	{
		KVBookmarkRequest request;
		request.folder = folder;
		request.slot = slot;
		request.name = name;
		request.url = "http://example.org/a";
		request.keywords = "search words";
		request.folderName = folderName;
		return request;
	}

	std::vector<std::string> Entries(const std::string& relative)
	{
		std::vector<std::string> names;
		for (const auto& entry : fs::directory_iterator(Store(relative)))
			names.push_back(entry.path().filename().string());
		std::sort(names.begin(), names.end());
		return names;
	}

	kvtest::TempStore fTempStore{"kv-filing", "/nonexistent-home"};
	const std::string& fStore = fTempStore.Path();
};

TEST_F(FilingTest, NewBookmarkHasTheTypeAndEachAttributeWithItsNul)
{
	MakeFolder("0 - News");
	KVFilingResult result = FileBookmark(Request(1, 4, "Home"));

	ASSERT_EQ(kFilingDone, result.status);
	std::string path = Store("0 - News/3 - Home");
	EXPECT_EQ(path, result.itemPath.String());
	EXPECT_TRUE(result.created);
	EXPECT_FALSE(result.folderRenameTried);
	EXPECT_EQ(kType, Xattr(path, "mime_type"));
	EXPECT_EQ(WithNul("http://example.org/a"), Xattr(path, "META:url"));
	EXPECT_EQ(WithNul("search words"), Xattr(path, "META:keyw"));
	EXPECT_EQ(WithNul("Home"), Xattr(path, "META:title"));
	EXPECT_EQ(0u, fs::file_size(path));

	// Empty texts are still written, as a lone NUL.
	KVBookmarkRequest empty = Request(1, 5, "");
	empty.url = "";
	empty.keywords = "";
	ASSERT_EQ(kFilingDone, FileBookmark(empty).status);
	EXPECT_EQ(WithNul(""), Xattr(Store("0 - News/4 - "), "META:keyw"));
}

TEST_F(FilingTest, OccupiedSlotIsRewrittenInPlaceAndRenamedWithoutClobbering)
{
	MakeFolder("0 - News");
	MakeBookmark("0 - News/3 - Old", "http://old.example/");
	ino_t inode = Inode(Store("0 - News/3 - Old"));

	KVBookmarkRequest same = Request(1, 4, "Old");
	same.seenLeaf = "3 - Old";
	KVFilingResult result = FileBookmark(same);
	ASSERT_EQ(kFilingDone, result.status);
	EXPECT_FALSE(result.created);
	EXPECT_EQ(inode, Inode(Store("0 - News/3 - Old")));
	EXPECT_EQ(WithNul("http://example.org/a"), Xattr(Store("0 - News/3 - Old"), "META:url"));

	KVBookmarkRequest renamed = Request(1, 4, "New");
	renamed.seenLeaf = "3 - Old";
	ASSERT_EQ(kFilingDone, FileBookmark(renamed).status);
	std::string path = Store("0 - News/3 - New");
	EXPECT_EQ(inode, Inode(path)) << "the same file, renamed";
	EXPECT_FALSE(fs::exists(Store("0 - News/3 - Old")));
	EXPECT_EQ("kept", Xattr(path, "other"));
	EXPECT_EQ(kType, Xattr(path, "mime_type"));
	EXPECT_EQ(WithNul("New"), Xattr(path, "META:title"));

	// The new name is taken: nothing changes, not the bookmark, not the other entry.
	ASSERT_TRUE(kvtest::WriteFile(Store("0 - News/3 - Taken"), "someone's notes"));
	KVBookmarkRequest taken = Request(1, 4, "Taken");
	taken.seenLeaf = "3 - New";
	taken.url = "http://changed.example/";
	result = FileBookmark(taken);
	EXPECT_EQ(kFilingRenameFailed, result.status);
	EXPECT_STREQ("Could not change the item's name!", FilingAlertText(result.status));
	EXPECT_STREQ("Ouch!", FilingAlertButton(result.status));
	EXPECT_EQ(WithNul("http://example.org/a"), Xattr(path, "META:url"));
	EXPECT_EQ("someone's notes", kvtest::ReadFile(Store("0 - News/3 - Taken")));
	EXPECT_EQ("<missing>", Xattr(Store("0 - News/3 - Taken"), "mime_type"));
}

TEST_F(FilingTest, FolderIsRenamedAndTheBookmarkGoesIntoIt)
{
	MakeFolder("2 - Old");
	MakeFolder("2 - Older");
	MakeBookmark("2 - Old/0 - Site", "http://site.example/");

	KVBookmarkRequest request = Request(3, 1, "Site", "Work/Home");
	request.seenLeaf = "0 - Site";
	KVFilingResult result = FileBookmark(request);
	ASSERT_EQ(kFilingDone, result.status);
	EXPECT_TRUE(result.folderRenameTried);
	EXPECT_EQ(Store("2 - Old"), result.foundFolderPath.String());
	EXPECT_EQ(Store("2 - Work_Home"), result.folderPath.String());
	EXPECT_EQ(Store("2 - Work_Home/0 - Site"), result.itemPath.String());
	EXPECT_EQ(WithNul("http://example.org/a"), Xattr(result.itemPath.String(), "META:url"));
	EXPECT_EQ((std::vector<std::string>{"0 - Site"}), Entries("2 - Work_Home"))
	        << "the bookmark follows the renamed folder, not the next folder with the digit";
	EXPECT_TRUE(Entries("2 - Older").empty());

	// The name as typed matches its disk form: no second rename.
	ASSERT_EQ(0, rmdir(Store("2 - Older").c_str()));
	request.seenLeaf = "0 - Site";
	result = FileBookmark(request);
	EXPECT_EQ(kFilingDone, result.status);
	EXPECT_FALSE(result.folderRenameTried);

	// A rename that cannot be done leaves the folder; the bookmark is filed there.
	MakeFolder("4 - Taken");
	MakeFolder("4 - Mine");
	ASSERT_TRUE(kvtest::WriteFile(Store("4 - Other"), ""));
	result = FileBookmark(Request(5, 2, "Kept", "Other"));
	EXPECT_EQ(kFilingDone, result.status);
	EXPECT_TRUE(result.folderRenameTried);
	EXPECT_TRUE(fs::exists(Store("4 - Mine/1 - Kept")));
}

TEST_F(FilingTest, SelectionAndFolderMustExist)
{
	MakeFolder("0 - News");
	const std::pair<int32, int32> outside[] = {{0, 1}, {1, 0}, {11, 1}, {1, 11}, {-3, 2}};
	for (auto [folder, slot] : outside) {
		KVFilingResult result = FileBookmark(Request(folder, slot, "x"));
		EXPECT_EQ(kFilingNoSelection, result.status) << folder << "/" << slot;
		EXPECT_TRUE(result.foundFolderPath.IsEmpty());
	}
	EXPECT_STREQ("Please select a slot to add to first!", FilingAlertText(kFilingNoSelection));
	EXPECT_STREQ("OK", FilingAlertButton(kFilingNoSelection));

	KVFilingResult result = FileBookmark(Request(6, 1, "x"));
	EXPECT_EQ(kFilingNoFolder, result.status);
	EXPECT_STREQ("Could not find the specified folder! Could not add item!",
	             FilingAlertText(result.status));
	EXPECT_STREQ("ARGH!", FilingAlertButton(result.status));
	EXPECT_TRUE(Entries("0 - News").empty());
}

TEST_F(FilingTest, ForeignEntriesAtTheNameAreLeftAlone)
{
	MakeFolder("0 - News");
	std::string outside = fTempStore.Dir().Sub("outside-target");
	ASSERT_TRUE(kvtest::WriteFile(Store("0 - News/1 - Plain"), "plain data"));
	ASSERT_EQ(0, symlink(outside.c_str(), Store("0 - News/2 - Link").c_str()));
	MakeFolder("0 - News/3 - Dir");

	const char* names[] = {"Plain", "Link", "Dir"};
	for (int32 i = 0; i < 3; i++) {
		KVFilingResult result = FileBookmark(Request(1, i + 2, names[i]));
		EXPECT_EQ(kFilingCreateFailed, result.status) << names[i];
	}
	EXPECT_STREQ("Could not create new item!", FilingAlertText(kFilingCreateFailed));
	EXPECT_STREQ("ARGH!", FilingAlertButton(kFilingCreateFailed));
	EXPECT_EQ("plain data", kvtest::ReadFile(Store("0 - News/1 - Plain")));
	EXPECT_EQ("<missing>", Xattr(Store("0 - News/1 - Plain"), "mime_type"));
	EXPECT_FALSE(fs::exists(outside)) << "the dangling link was followed";
	EXPECT_TRUE(fs::is_symlink(Store("0 - News/2 - Link")));
	EXPECT_TRUE(fs::is_directory(Store("0 - News/3 - Dir")));
	EXPECT_EQ("<missing>", Xattr(Store("0 - News/3 - Dir"), "META:url"));

	// The slot shows a file that is no bookmark, or a link to one: neither is rewritten.
	ASSERT_TRUE(kvtest::WriteFile(Store("0 - News/5 - notes"), "notes"));
	KVBookmarkRequest notes = Request(1, 6, "Other name");
	notes.seenLeaf = "5 - notes";
	EXPECT_EQ(kFilingCreateFailed, FileBookmark(notes).status);
	EXPECT_EQ("<missing>", Xattr(Store("0 - News/5 - notes"), "mime_type"));
	EXPECT_FALSE(fs::exists(Store("0 - News/5 - Other name")));

	MakeBookmark("elsewhere", "http://elsewhere.example/");
	ASSERT_EQ(0, symlink(Store("elsewhere").c_str(), Store("0 - News/6 - Linked").c_str()));
	KVBookmarkRequest linked = Request(1, 7, "Linked");
	linked.seenLeaf = "6 - Linked";
	EXPECT_EQ(kFilingCreateFailed, FileBookmark(linked).status);
	EXPECT_EQ(WithNul("http://elsewhere.example/"), Xattr(Store("elsewhere"), "META:url"));

	// A seen file that is gone by now: the slot is free again.
	KVBookmarkRequest gone = Request(1, 9, "Fresh");
	gone.seenLeaf = "8 - Deleted";
	EXPECT_EQ(kFilingDone, FileBookmark(gone).status);
	EXPECT_TRUE(fs::exists(Store("0 - News/8 - Fresh")));
}

TEST_F(FilingTest, SlashesAndNulsNeverShapeThePath)
{
	MakeFolder("0 - News");
	KVFilingResult result = FileBookmark(Request(1, 1, "a/../../b"));
	ASSERT_EQ(kFilingDone, result.status);
	std::string path = Store("0 - News/0 - a_.._.._b");
	EXPECT_EQ(path, result.itemPath.String());
	EXPECT_EQ(WithNul("a/../../b"), Xattr(path, "META:title")) << "the title keeps the name";

	// Unchanged in its disk form: the same file, not renamed.
	ino_t inode = Inode(path);
	KVBookmarkRequest again = Request(1, 1, "a/../../b");
	again.seenLeaf = "0 - a_.._.._b";
	ASSERT_EQ(kFilingDone, FileBookmark(again).status);
	EXPECT_EQ(inode, Inode(path));

	BString withNul("ab");
	withNul += '\0';
	withNul += "cd";
	ASSERT_EQ(5, withNul.Length());
	KVBookmarkRequest nul = Request(1, 2, "");
	nul.name = withNul;
	result = FileBookmark(nul);
	ASSERT_EQ(kFilingDone, result.status);
	EXPECT_EQ(Store("0 - News/1 - ab_cd"), result.itemPath.String());
	EXPECT_EQ(WithNul(std::string("ab\0cd", 5)), Xattr(result.itemPath.String(), "META:title"));
	EXPECT_STREQ("x_y", DiskName(BString("x/y")).String());
}

// Root can mount: the store on a file system that refuses writes in different ways.
class MountedFilingTest : public FilingTest
{
protected:
	void SetUp() override
	{
		if (!kvtest::CanMount())
			GTEST_SKIP() << "needs root to mount file systems";
		FilingTest::SetUp();
	}

	void Mount(const char* type, const std::string& options)
	{
		fMount = std::make_unique<kvtest::ScopedMount>(type, fStore, options);
		ASSERT_TRUE(fMount->IsMounted());
	}

	std::unique_ptr<kvtest::ScopedMount> fMount;
};

TEST_F(MountedFilingTest, ReadOnlyStoreChangesNothing)
{
	Mount("tmpfs", "size=256k");
	MakeFolder("0 - News");
	MakeBookmark("0 - News/0 - Old", "http://old.example/");
	ASSERT_EQ(0, mount("none", fStore.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr));

	EXPECT_EQ(kFilingCreateFailed, FileBookmark(Request(1, 2, "New")).status);
	KVBookmarkRequest rename = Request(1, 1, "Renamed", "Other");
	rename.seenLeaf = "0 - Old";
	KVFilingResult result = FileBookmark(rename);
	EXPECT_TRUE(result.folderRenameTried);
	EXPECT_EQ(kFilingRenameFailed, result.status);
	KVBookmarkRequest same = Request(1, 1, "Old");
	same.seenLeaf = "0 - Old";
	result = FileBookmark(same);
	EXPECT_EQ(kFilingAttributesFailed, result.status);
	EXPECT_STREQ("Could not set the item's attributes!", FilingAlertText(result.status));
	EXPECT_STREQ("Ouch!", FilingAlertButton(result.status));
	EXPECT_EQ((std::vector<std::string>{"0 - News"}), Entries(""));
	EXPECT_EQ(WithNul("http://old.example/"), Xattr(Store("0 - News/0 - Old"), "META:url"));
}

TEST_F(MountedFilingTest, FullAttributeSpaceLeavesNoHalfBookmark)
{
	// A tmpfs with few inodes has little room for attributes: a few KiB in all.
	Mount("tmpfs", "size=64k,nr_inodes=8");
	MakeFolder("0 - News");
	KVBookmarkRequest big = Request(1, 1, "Big");
	big.url = BString(std::string(6000, 'u').c_str());
	KVFilingResult result = FileBookmark(big);
	EXPECT_EQ(kFilingAttributesFailed, result.status);
	EXPECT_TRUE(result.created);
	EXPECT_TRUE(Entries("0 - News").empty()) << "the file made for it is removed";

	MakeBookmark("0 - News/1 - Old", "http://old.example/");
	KVBookmarkRequest rewrite = Request(1, 2, "New");
	rewrite.seenLeaf = "1 - Old";
	rewrite.url = BString(std::string(1500, 'v').c_str());
	rewrite.keywords = BString(std::string(6000, 'k').c_str());
	result = FileBookmark(rewrite);
	EXPECT_EQ(kFilingAttributesFailed, result.status);
	EXPECT_FALSE(result.created);
	std::string path = Store("0 - News/1 - Old");
	ASSERT_TRUE(fs::exists(path)) << "the old name comes back";
	EXPECT_EQ(WithNul("http://old.example/"), Xattr(path, "META:url"));
	EXPECT_EQ(WithNul("old words"), Xattr(path, "META:keyw"));
	EXPECT_EQ(WithNul("Old"), Xattr(path, "META:title"));
	EXPECT_EQ("kept", Xattr(path, "other"));
}

TEST_F(MountedFilingTest, NoAttributesAtAllRemovesTheNewFile)
{
	Mount("ramfs", "");
	MakeFolder("0 - News");
	KVFilingResult result = FileBookmark(Request(1, 1, "Home"));
	EXPECT_EQ(kFilingTypeFailed, result.status);
	EXPECT_STREQ("Could not set the item's mime type!", FilingAlertText(result.status));
	EXPECT_TRUE(Entries("0 - News").empty());
}

} // namespace
