// BEntry and entry_ref: links followed or not, renames that never clobber by accident,
// refs that resolve through the directories met, and awkward names.
#include <Directory.h>
#include <Entry.h>
#include <Node.h>
#include <Path.h>

#include "StorageTestUtils.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class EntryTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		char resolved[4096];
		ASSERT_NE(nullptr, realpath(fDir.Path().c_str(), resolved));
		fRoot = resolved;
	}

	std::string Sub(const std::string& relative) const { return fRoot + "/" + relative; }

	kvtest::TempDir fDir{"kv-entry"};
	std::string fRoot;
};

TEST_F(EntryTest, LinksFollowedOrNot)
{
	ASSERT_TRUE(kvtest::WriteFile(Sub("target"), "data"));
	ASSERT_EQ(0, symlink("target", Sub("link").c_str()));

	BEntry link(Sub("link").c_str());
	ASSERT_EQ(B_OK, link.InitCheck());
	EXPECT_TRUE(link.IsSymLink());
	EXPECT_FALSE(link.IsFile());
	BEntry followed(Sub("link").c_str(), true);
	EXPECT_TRUE(followed.IsFile());
	BPath path;
	ASSERT_EQ(B_OK, followed.GetPath(&path));
	EXPECT_EQ(Sub("target"), path.Path());
	char name[B_FILE_NAME_LENGTH];
	ASSERT_EQ(B_OK, link.GetName(name));
	EXPECT_STREQ("link", name);
}

TEST_F(EntryTest, DanglingAndLoopingLinksGiveCleanResults)
{
	ASSERT_EQ(0, symlink("nowhere", Sub("dangling").c_str()));
	ASSERT_EQ(0, symlink("loop-b", Sub("loop-a").c_str()));
	ASSERT_EQ(0, symlink("loop-a", Sub("loop-b").c_str()));
	ASSERT_EQ(0, symlink("/no/such/dir/x", Sub("far").c_str()));

	BEntry dangling(Sub("dangling").c_str());
	EXPECT_TRUE(dangling.Exists());
	EXPECT_TRUE(dangling.IsSymLink());
	BEntry end(Sub("dangling").c_str(), true);
	ASSERT_EQ(B_OK, end.InitCheck()) << "the end of a chain need not exist";
	EXPECT_FALSE(end.Exists());

	EXPECT_EQ(B_LINK_LIMIT, BEntry(Sub("loop-a").c_str(), true).InitCheck());
	EXPECT_EQ(B_OK, BEntry(Sub("loop-a").c_str()).InitCheck());
	EXPECT_EQ(B_ENTRY_NOT_FOUND, BEntry(Sub("far").c_str(), true).InitCheck());

	BNode node(Sub("loop-a").c_str());
	EXPECT_EQ(B_LINK_LIMIT, node.InitCheck());
	EXPECT_EQ(B_ENTRY_NOT_FOUND, BNode(Sub("dangling").c_str()).InitCheck());
}

TEST_F(EntryTest, RenameNeverClobbersUnlessAsked)
{
	ASSERT_TRUE(kvtest::WriteFile(Sub("a"), "A"));
	ASSERT_TRUE(kvtest::WriteFile(Sub("b"), "B"));
	BEntry entry(Sub("a").c_str());

	EXPECT_EQ(B_FILE_EXISTS, entry.Rename("b"));
	EXPECT_EQ("A", kvtest::ReadFile(Sub("a")));
	EXPECT_EQ("B", kvtest::ReadFile(Sub("b")));

	ASSERT_EQ(B_OK, entry.Rename("c"));
	char name[B_FILE_NAME_LENGTH];
	entry.GetName(name);
	EXPECT_STREQ("c", name);
	EXPECT_EQ("A", kvtest::ReadFile(Sub("c")));

	ASSERT_EQ(B_OK, entry.Rename(Sub("b").c_str(), true));
	EXPECT_EQ("A", kvtest::ReadFile(Sub("b")));
	EXPECT_FALSE(BEntry(Sub("c").c_str()).Exists());

	BEntry missing(Sub("gone").c_str());
	EXPECT_EQ(B_ENTRY_NOT_FOUND, missing.Rename("other"));
	EXPECT_EQ(B_BAD_VALUE, entry.Rename(""));
}

TEST_F(EntryTest, MoveToAnotherDirectoryAndRemove)
{
	ASSERT_EQ(0, mkdir(Sub("dest").c_str(), 0755));
	ASSERT_TRUE(kvtest::WriteFile(Sub("file"), "x"));
	ASSERT_TRUE(kvtest::WriteFile(Sub("dest/file"), "old"));
	BDirectory dest(Sub("dest").c_str());
	BEntry entry(Sub("file").c_str());

	EXPECT_EQ(B_FILE_EXISTS, entry.MoveTo(&dest));
	ASSERT_EQ(B_OK, entry.MoveTo(&dest, "renamed"));
	BPath path;
	entry.GetPath(&path);
	EXPECT_EQ(Sub("dest/renamed"), path.Path());
	EXPECT_EQ("old", kvtest::ReadFile(Sub("dest/file")));

	ASSERT_EQ(B_OK, entry.Remove());
	EXPECT_FALSE(entry.Exists());
	EXPECT_EQ(B_OK, entry.InitCheck());
	BEntry directory(Sub("dest").c_str());
	EXPECT_EQ(B_DIRECTORY_NOT_EMPTY, directory.Remove());
}

TEST_F(EntryTest, RefsResolveThroughKnownDirectoriesAndFailCleanly)
{
	ASSERT_EQ(0, mkdir(Sub("folder").c_str(), 0755));
	ASSERT_TRUE(kvtest::WriteFile(Sub("folder/item"), "x"));
	entry_ref ref;
	ASSERT_EQ(B_OK, get_ref_for_path(Sub("folder/item").c_str(), &ref));
	EXPECT_STREQ("item", ref.name);

	BEntry back(&ref);
	ASSERT_EQ(B_OK, back.InitCheck());
	BPath path(&back);
	EXPECT_EQ(Sub("folder/item"), path.Path());

	// The folder is renamed behind the kit's back: the ref still finds it.
	ASSERT_EQ(0, rename(Sub("folder").c_str(), Sub("renamed").c_str()));
	BEntry moved(&ref);
	ASSERT_EQ(B_OK, moved.InitCheck());
	moved.GetPath(&path);
	EXPECT_EQ(Sub("renamed/item"), path.Path());

	node_ref directoryRef(ref.device, ref.directory);
	BDirectory directory(&directoryRef);
	EXPECT_EQ(B_OK, directory.InitCheck());

	ASSERT_TRUE(kvtest::RemoveTree(Sub("renamed")));
	EXPECT_EQ(B_ENTRY_NOT_FOUND, BEntry(&ref).InitCheck());
	EXPECT_EQ(B_ENTRY_NOT_FOUND, BDirectory(&directoryRef).InitCheck());

	entry_ref unknown(ref.device, 987654321, "x");
	EXPECT_EQ(B_ENTRY_NOT_FOUND, BEntry(&unknown).InitCheck());
	EXPECT_EQ(B_ENTRY_NOT_FOUND, BNode(&unknown).InitCheck());
	entry_ref nameless(ref.device, ref.directory, nullptr);
	EXPECT_EQ(B_BAD_VALUE, BEntry(&nameless).InitCheck());
	entry_ref sneaky(ref.device, ref.directory, "../x");
	EXPECT_EQ(B_BAD_VALUE, BEntry(&sneaky).InitCheck());
}

TEST_F(EntryTest, EntryRefsCopyAndCompare)
{
	entry_ref a(3, 4, "name");
	entry_ref b(a);
	EXPECT_EQ(a, b);
	b.set_name("other");
	EXPECT_NE(a, b);
	EXPECT_STREQ("name", a.name);
	b = a;
	EXPECT_EQ(a, b);
	EXPECT_TRUE(entry_ref(3, 4, "a") < entry_ref(3, 4, "b"));
	EXPECT_TRUE(entry_ref(3, 4, "z") < entry_ref(3, 5, "a"));
}

TEST_F(EntryTest, AwkwardNames)
{
	std::string invalid = "bad-\xff\xfe-\xc3";
	std::string longest(255, 'L');
	std::string tooLong(256, 'L');
	ASSERT_TRUE(kvtest::WriteFile(Sub(invalid), "x"));
	ASSERT_TRUE(kvtest::WriteFile(Sub(longest), "x"));

	BEntry odd(Sub(invalid).c_str());
	ASSERT_EQ(B_OK, odd.InitCheck());
	EXPECT_TRUE(odd.IsFile());
	char name[B_FILE_NAME_LENGTH];
	ASSERT_EQ(B_OK, odd.GetName(name));
	EXPECT_EQ(invalid, name);

	BEntry atLimit(Sub(longest).c_str());
	ASSERT_EQ(B_OK, atLimit.InitCheck());
	ASSERT_EQ(B_OK, atLimit.GetName(name));
	EXPECT_EQ(longest, name);
	EXPECT_EQ(B_NAME_TOO_LONG, BEntry(Sub(tooLong).c_str()).InitCheck());
	EXPECT_EQ(B_NAME_TOO_LONG, atLimit.Rename(tooLong.c_str()));
	EXPECT_EQ(B_OK, odd.Rename((invalid + "2").c_str()));
}

TEST_F(EntryTest, ParentsAndBadArguments)
{
	ASSERT_EQ(0, mkdir(Sub("d").c_str(), 0755));
	BEntry entry(Sub("d/not-yet").c_str());
	ASSERT_EQ(B_OK, entry.InitCheck()) << "an entry may be abstract";
	EXPECT_FALSE(entry.Exists());
	BEntry parent;
	ASSERT_EQ(B_OK, entry.GetParent(&parent));
	BPath path(&parent);
	EXPECT_EQ(Sub("d"), path.Path());
	BDirectory directory;
	ASSERT_EQ(B_OK, entry.GetParent(&directory));

	EXPECT_EQ(B_ENTRY_NOT_FOUND, BEntry(Sub("no/such").c_str()).InitCheck());
	EXPECT_EQ(B_BAD_VALUE, BEntry(static_cast<const char*>(nullptr)).InitCheck());
	BEntry root("/");
	EXPECT_EQ(B_ENTRY_NOT_FOUND, root.GetParent(&parent));
	BEntry none;
	EXPECT_EQ(B_NO_INIT, none.InitCheck());
	EXPECT_FALSE(none.Exists());
	EXPECT_EQ(B_NO_INIT, none.Rename("x"));
}

} // namespace
