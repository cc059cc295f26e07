// BPath: where BeOS paths land on the host, and path arithmetic with and without
// normalisation.
#include <Directory.h>
#include <Entry.h>
#include <Path.h>

#include "StorageTestUtils.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TEST(PathTest, BootHomePathsMapIntoTheUsersDirectories)
{
	kvtest::ScopedEnv home("HOME", "/srv/people/ann");
	{
		kvtest::ScopedEnv config("XDG_CONFIG_HOME", "/srv/conf");
		EXPECT_STREQ("/srv/conf/Kestrovane", BPath("/boot/home/config/settings/Kestrovane").Path());
		EXPECT_STREQ("/srv/conf", BPath("/boot/home/config/settings").Path());
		EXPECT_STREQ("/srv/people/ann/config/else", BPath("/boot/home/config/else").Path());
		EXPECT_STREQ("/srv/people/ann/Desktop", BPath("/boot/home/Desktop").Path());
		EXPECT_STREQ("/srv/people/ann", BPath("/boot/home").Path());
	}
	{
		kvtest::ScopedEnv config("XDG_CONFIG_HOME", "relative/is/ignored");
		EXPECT_STREQ("/srv/people/ann/.config/Kestrovane.settings",
		             BPath("/boot/home/config/settings/Kestrovane.settings").Path());
	}
	kvtest::ScopedEnv config("XDG_CONFIG_HOME", nullptr);
	EXPECT_STREQ("/srv/people/ann/.config/x", BPath("/boot/home/config/settings/x").Path());
	// Only whole components are mapped; everything else is a host path already.
	EXPECT_STREQ("/boot/homely", BPath("/boot/homely").Path());
	EXPECT_STREQ("/srv/people/ann/config/settingsX", BPath("/boot/home/config/settingsX").Path());
	EXPECT_STREQ("/etc/hosts", BPath("/etc/hosts").Path());
}

TEST(PathTest, LeafParentAndAppend)
{
	BPath path("/a/b", "c d");
	ASSERT_EQ(B_OK, path.InitCheck());
	EXPECT_STREQ("/a/b/c d", path.Path());
	EXPECT_STREQ("c d", path.Leaf());

	ASSERT_EQ(B_OK, path.Append("e/f"));
	EXPECT_STREQ("/a/b/c d/e/f", path.Path());
	EXPECT_EQ(B_BAD_VALUE, path.Append("/abs"));

	ASSERT_EQ(B_OK, path.GetParent(&path));
	EXPECT_STREQ("/a/b/c d/e", path.Path());
	BPath root("/");
	BPath parent;
	EXPECT_EQ(B_ENTRY_NOT_FOUND, root.GetParent(&parent));
	EXPECT_STREQ("", root.Leaf());
	ASSERT_EQ(B_OK, BPath("/top").GetParent(&parent));
	EXPECT_STREQ("/", parent.Path());

	// Rebuilding a path from its own text must not read freed memory.
	ASSERT_EQ(B_OK, path.SetTo(path.Path(), path.Leaf()));
	EXPECT_STREQ("/a/b/c d/e/e", path.Path());

	BPath none;
	EXPECT_EQ(B_NO_INIT, none.InitCheck());
	EXPECT_EQ(nullptr, none.Path());
	EXPECT_EQ(nullptr, none.Leaf());
	EXPECT_EQ(B_BAD_VALUE, BPath("").InitCheck());
	EXPECT_EQ(B_BAD_VALUE, BPath(static_cast<const char*>(nullptr)).InitCheck());
	EXPECT_EQ(B_BAD_VALUE, BPath("/a", "/b").InitCheck());
}

TEST(PathTest, NormalisationResolvesLinksAndDots)
{
	kvtest::TempDir dir("kv-path");
	ASSERT_EQ(0, mkdir(dir.Sub("real").c_str(), 0755));
	ASSERT_EQ(0, symlink(dir.Sub("real").c_str(), dir.Sub("link").c_str()));
	char resolved[4096];
	ASSERT_NE(nullptr, realpath(dir.Sub("real").c_str(), resolved));

	BPath kept(dir.Sub("link/file").c_str());
	EXPECT_EQ(dir.Sub("link/file"), kept.Path());
	BPath normalized(dir.Sub("link/file").c_str(), nullptr, true);
	EXPECT_EQ(std::string(resolved) + "/file", normalized.Path());
	// Dots force normalisation even when it was not asked for.
	BPath dotted(dir.Sub("real/../link/./x").c_str());
	EXPECT_EQ(std::string(resolved) + "/x", dotted.Path());

	EXPECT_EQ(B_ENTRY_NOT_FOUND, BPath(dir.Sub("missing/x").c_str(), nullptr, true).InitCheck());
	// Without normalisation nothing is looked up on disk.
	EXPECT_EQ(B_OK, BPath(dir.Sub("missing/x").c_str()).InitCheck());
}

TEST(PathTest, RelativePathsAreTakenFromTheWorkingDirectory)
{
	kvtest::TempDir dir("kv-path");
	char resolved[4096];
	ASSERT_NE(nullptr, realpath(dir.Path().c_str(), resolved));
	char previous[4096];
	ASSERT_NE(nullptr, getcwd(previous, sizeof(previous)));
	ASSERT_EQ(0, chdir(dir.Path().c_str()));
	BPath path("out/../leaf");
	EXPECT_NE(B_OK, path.InitCheck()) << "out does not exist";
	BPath simple("leaf");
	EXPECT_EQ(std::string(resolved) + "/leaf", simple.Path());
	ASSERT_EQ(0, chdir(previous));
}

TEST(PathTest, NamesAtTheLengthLimit)
{
	std::string longest(255, 'n');
	std::string tooLong(256, 'n');
	EXPECT_EQ(B_OK, BPath("/tmp", longest.c_str()).InitCheck());
	EXPECT_EQ(B_NAME_TOO_LONG, BPath("/tmp", tooLong.c_str()).InitCheck());
	BPath path("/tmp");
	EXPECT_EQ(B_NAME_TOO_LONG, path.Append(tooLong.c_str()));
	EXPECT_STREQ("/tmp", path.Path()) << "a failed Append keeps the path";

	std::string deep;
	for (int i = 0; i < 9; i++)
		deep += "/" + longest.substr(0, 120);
	EXPECT_EQ(B_NAME_TOO_LONG, BPath(deep.c_str()).InitCheck());
}

TEST(PathTest, PathsFromEntriesAndDirectories)
{
	kvtest::TempDir dir("kv-path");
	ASSERT_TRUE(kvtest::Touch(dir.Sub("f")));
	char resolved[4096];
	ASSERT_NE(nullptr, realpath(dir.Path().c_str(), resolved));

	BEntry entry(dir.Sub("f").c_str());
	BPath fromEntry(&entry);
	EXPECT_EQ(std::string(resolved) + "/f", fromEntry.Path());
	entry_ref ref;
	ASSERT_EQ(B_OK, entry.GetRef(&ref));
	EXPECT_EQ(fromEntry, BPath(&ref));

	BDirectory directory(dir.Path().c_str());
	BPath fromDirectory(&directory, "f");
	EXPECT_EQ(fromEntry, fromDirectory);
	EXPECT_TRUE(fromEntry == fromEntry.Path());
	EXPECT_TRUE(fromEntry != "/elsewhere");
}

} // namespace
