// BDirectory and create_directory: stable order, what is made where, read-only volumes,
// directories that cannot be read.
#include <Directory.h>
#include <Entry.h>
#include <File.h>
#include <Path.h>

#include "StorageTestUtils.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::vector<std::string>
EntryNames(BDirectory& directory, bool traverse = false)
{
	std::vector<std::string> names;
	BEntry entry;
	char name[B_FILE_NAME_LENGTH];
	while (directory.GetNextEntry(&entry, traverse) == B_OK) {
		entry.GetName(name);
		names.push_back(name);
	}
	return names;
}

TEST(DirectoryTest, EntriesComeInByteOrderWithoutDots)
{
	kvtest::TempDir dir("kv-dir");
	for (const char* name : {"b", "B", "a", "10 - x", "9 - y", "\xff-high", " lead"})
		ASSERT_TRUE(kvtest::Touch(dir.Sub(name)));
	ASSERT_EQ(0, mkdir(dir.Sub("2 - folder").c_str(), 0755));

	BDirectory directory(dir.Path().c_str());
	ASSERT_EQ(B_OK, directory.InitCheck());
	std::vector<std::string> expected = {" lead", "10 - x", "2 - folder", "9 - y",
	                                     "B",     "a",      "b",          "\xff-high"};
	EXPECT_EQ(expected, EntryNames(directory));
	EXPECT_EQ(8, directory.CountEntries());

	BEntry entry;
	EXPECT_EQ(B_ENTRY_NOT_FOUND, directory.GetNextEntry(&entry));
	ASSERT_EQ(B_OK, directory.Rewind());
	entry_ref ref;
	ASSERT_EQ(B_OK, directory.GetNextRef(&ref));
	EXPECT_STREQ(" lead", ref.name);
	struct dirent dirents[3];
	EXPECT_EQ(3, directory.GetNextDirents(dirents, sizeof(dirents)));
	EXPECT_STREQ("10 - x", dirents[0].d_name);
	EXPECT_STREQ("9 - y", dirents[2].d_name);
	EXPECT_EQ(1, directory.GetNextDirents(dirents, sizeof(dirents), 1));
	EXPECT_STREQ("B", dirents[0].d_name);
}

TEST(DirectoryTest, ChangesDuringAWalk)
{
	kvtest::TempDir dir("kv-dir");
	for (const char* name : {"a", "b", "c"})
		ASSERT_TRUE(kvtest::Touch(dir.Sub(name)));
	BDirectory directory(dir.Path().c_str());
	BEntry entry;
	ASSERT_EQ(B_OK, directory.GetNextEntry(&entry));
	ASSERT_EQ(0, unlink(dir.Sub("b").c_str()));
	ASSERT_TRUE(kvtest::Touch(dir.Sub("d")));
	ASSERT_EQ(B_OK, directory.GetNextEntry(&entry));
	char name[B_FILE_NAME_LENGTH];
	entry.GetName(name);
	EXPECT_STREQ("c", name) << "a removed entry is skipped";
	EXPECT_EQ(3, directory.CountEntries());
	EXPECT_EQ(B_ENTRY_NOT_FOUND, directory.GetNextEntry(&entry));
	directory.Rewind();
	EXPECT_EQ((std::vector<std::string>{"a", "c", "d"}), EntryNames(directory));
}

TEST(DirectoryTest, LinksInAWalk)
{
	kvtest::TempDir dir("kv-dir");
	ASSERT_EQ(0, mkdir(dir.Sub("real").c_str(), 0755));
	ASSERT_EQ(0, symlink("real", dir.Sub("to-real").c_str()));
	ASSERT_EQ(0, symlink("loop", dir.Sub("loop").c_str()));
	ASSERT_EQ(0, symlink("missing", dir.Sub("dangling").c_str()));

	BDirectory directory(dir.Path().c_str());
	BEntry entry;
	int directories = 0;
	int links = 0;
	while (directory.GetNextEntry(&entry, true) == B_OK) {
		directories += entry.IsDirectory();
		links += entry.IsSymLink();
	}
	EXPECT_EQ(2, directories) << "real, and to-real followed";
	EXPECT_EQ(1, links) << "the loop is handed out as the link itself";

	directory.Rewind();
	EXPECT_EQ((std::vector<std::string>{"dangling", "loop", "real", "to-real"}),
	          EntryNames(directory, false));
	EXPECT_TRUE(directory.Contains("to-real", B_SYMLINK_NODE));
	EXPECT_FALSE(directory.Contains("to-real", B_DIRECTORY_NODE));
	EXPECT_TRUE(directory.Contains("real", B_DIRECTORY_NODE));
	EXPECT_FALSE(directory.Contains("missing"));
	BEntry outside("/etc");
	EXPECT_FALSE(directory.Contains(&outside));
}

TEST(DirectoryTest, CreatingAndFindingInside)
{
	kvtest::TempDir dir("kv-dir");
	BDirectory directory(dir.Path().c_str());
	BFile file;
	ASSERT_EQ(B_OK, directory.CreateFile("new", &file));
	EXPECT_TRUE(file.IsWritable());
	EXPECT_EQ(4, file.Write("data", 4));
	EXPECT_EQ(B_FILE_EXISTS, directory.CreateFile("new", &file, true));
	EXPECT_EQ("data", kvtest::ReadFile(dir.Sub("new")));
	ASSERT_EQ(B_OK, directory.CreateFile("new", nullptr));
	EXPECT_EQ("", kvtest::ReadFile(dir.Sub("new"))) << "an existing file is erased";

	BDirectory sub;
	ASSERT_EQ(B_OK, directory.CreateDirectory("sub", &sub));
	EXPECT_EQ(B_FILE_EXISTS, directory.CreateDirectory("sub", nullptr));
	ASSERT_EQ(B_OK, sub.CreateFile("inner", nullptr));

	BEntry entry;
	ASSERT_EQ(B_OK, directory.FindEntry("sub/inner", &entry));
	EXPECT_TRUE(entry.IsFile());
	EXPECT_EQ(B_ENTRY_NOT_FOUND, directory.FindEntry("sub/none", &entry));
	EXPECT_EQ(B_NO_INIT, entry.InitCheck());
	EXPECT_TRUE(directory.Contains(dir.Sub("sub/inner").c_str(), B_FILE_NODE));

	BDirectory walker(dir.Path().c_str());
	ASSERT_EQ(B_OK, walker.SetTo(&walker, "sub")) << "a directory may step into its child";
	EXPECT_TRUE(walker.Contains("inner"));

	BEntry self;
	ASSERT_EQ(B_OK, sub.GetEntry(&self));
	EXPECT_TRUE(self.IsDirectory());
	EXPECT_EQ(B_NOT_A_DIRECTORY, BDirectory(dir.Sub("new").c_str()).InitCheck());
	EXPECT_EQ(B_ENTRY_NOT_FOUND, BDirectory(dir.Sub("none").c_str()).InitCheck());
}

TEST(DirectoryTest, UnreadableDirectoryEndsTheWalkWithAStatus)
{
	if (geteuid() != 0)
		GTEST_SKIP() << "needs root to drop to another user";
	kvtest::TempDir dir("kv-dir");
	ASSERT_EQ(0, chmod(dir.Path().c_str(), 0755));
	ASSERT_EQ(0, mkdir(dir.Sub("closed").c_str(), 0711));
	ASSERT_TRUE(kvtest::Touch(dir.Sub("closed/secret")));
	std::string path = dir.Sub("closed");
	int result = kvtest::RunUnprivileged([path]() {
		BDirectory directory(path.c_str());
		if (directory.InitCheck() != B_OK)
			return 1;
		BEntry entry;
		if (directory.GetNextEntry(&entry) != B_PERMISSION_DENIED)
			return 2;
		if (directory.CountEntries() != B_PERMISSION_DENIED)
			return 3;
		return directory.FindEntry("secret", &entry) == B_OK ? 0 : 4;
	});
	EXPECT_EQ(0, result);
}

TEST(DirectoryTest, CreateDirectoryResults)
{
	kvtest::TempDir dir("kv-dir");
	std::string deep = dir.Sub("a/b/c");
	EXPECT_EQ(B_OK, create_directory(deep.c_str(), 0777));
	EXPECT_TRUE(BEntry(deep.c_str()).IsDirectory());
	EXPECT_EQ(B_OK, create_directory(deep.c_str(), 0777)) << "existing is fine";
	EXPECT_EQ(B_OK, create_directory((dir.Sub("a//b/./d/")).c_str(), 0777));
	EXPECT_TRUE(BEntry(dir.Sub("a/b/d").c_str()).IsDirectory());

	ASSERT_TRUE(kvtest::Touch(dir.Sub("file")));
	EXPECT_EQ(B_BAD_VALUE, create_directory(dir.Sub("file").c_str(), 0777));
	EXPECT_EQ(B_BAD_VALUE, create_directory(dir.Sub("file/below").c_str(), 0777));
	EXPECT_EQ(B_BAD_VALUE, create_directory("", 0777));
	EXPECT_EQ(B_BAD_VALUE, create_directory(nullptr, 0777));
	EXPECT_EQ(B_BAD_VALUE, create_directory(dir.Sub(std::string(300, 'x')).c_str(), 0777));

	kvtest::ScopedEnv home("HOME", dir.Path().c_str());
	kvtest::ScopedEnv config("XDG_CONFIG_HOME", nullptr);
	EXPECT_EQ(B_OK, create_directory("/boot/home/config/settings/Kestrovane", 0777));
	EXPECT_TRUE(BEntry(dir.Sub(".config/Kestrovane").c_str()).IsDirectory());
}

TEST(DirectoryTest, CreateDirectoryOnAReadOnlyVolume)
{
	if (!kvtest::CanMount())
		GTEST_SKIP() << "cannot mount file systems here";
	kvtest::TempDir where("kv-ro");
	kvtest::ScopedMount mount("tmpfs", where.Path(), "ro,size=64k");
	ASSERT_TRUE(mount.IsMounted());
	EXPECT_EQ(B_NOT_ALLOWED, create_directory(where.Sub("dest/inner").c_str(), 0777));
	EXPECT_EQ(B_OK, create_directory(where.Path().c_str(), 0777)) << "it exists already";
}

TEST(DirectoryTest, CreateDirectoryWithoutPermission)
{
	if (geteuid() != 0)
		GTEST_SKIP() << "needs root to drop to another user";
	kvtest::TempDir dir("kv-dir");
	ASSERT_EQ(0, chmod(dir.Path().c_str(), 0755));
	std::string path = dir.Sub("x/y");
	int result = kvtest::RunUnprivileged([path]() {
		return create_directory(path.c_str(), 0777) == B_PERMISSION_DENIED ? 0 : 1;
	});
	EXPECT_EQ(0, result);
}

} // namespace
