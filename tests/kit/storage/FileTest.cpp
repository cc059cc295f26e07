// BFile: the open modes and positioned input and output.
#include <Directory.h>
#include <Entry.h>
#include <File.h>

#include "StorageTestUtils.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TEST(FileTest, OpenModes)
{
	kvtest::TempDir dir("kv-file");
	std::string path = dir.Sub("f");
	BFile missing(path.c_str(), B_READ_ONLY);
	EXPECT_EQ(B_ENTRY_NOT_FOUND, missing.InitCheck());

	BFile created(path.c_str(), B_WRITE_ONLY | B_CREATE_FILE | B_FAIL_IF_EXISTS);
	ASSERT_EQ(B_OK, created.InitCheck());
	EXPECT_TRUE(created.IsWritable());
	EXPECT_FALSE(created.IsReadable());
	EXPECT_EQ(5, created.Write("hello", 5));
	char buffer[8];
	EXPECT_LT(created.Read(buffer, 1), 0);
	created.Unset();
	EXPECT_EQ(B_NO_INIT, created.InitCheck());

	EXPECT_EQ(B_FILE_EXISTS,
	          BFile(path.c_str(), B_READ_WRITE | B_CREATE_FILE | B_FAIL_IF_EXISTS).InitCheck());
	BFile appending(path.c_str(), B_WRITE_ONLY | B_OPEN_AT_END);
	EXPECT_EQ(1, appending.WriteAt(0, "!", 1));
	EXPECT_EQ("hello!", kvtest::ReadFile(path));

	BFile erased(path.c_str(), B_READ_WRITE | B_ERASE_FILE);
	off_t size = -1;
	ASSERT_EQ(B_OK, erased.GetSize(&size));
	EXPECT_EQ(0, size);
	EXPECT_TRUE(erased.IsReadable() && erased.IsWritable());

	EXPECT_EQ(B_IS_A_DIRECTORY, BFile(dir.Path().c_str(), B_READ_ONLY).InitCheck());
}

// An exclusive create is how a drop saves a file where another program chose: whatever is
// there already under the name is refused without being opened or followed.
TEST(FileTest, ExclusiveCreateNeverOpensOrFollowsWhatIsThere)
{
	kvtest::TempDir dir("kvfile");
	kvtest::TempDir elsewhere("kvfileelse");
	const uint32 exclusive = B_WRITE_ONLY | B_CREATE_FILE | B_FAIL_IF_EXISTS;
	// A dangling link: a plain create would make its target.
	ASSERT_EQ(0, symlink(elsewhere.Sub("target").c_str(), dir.Sub("dangling").c_str()));
	EXPECT_EQ(B_FILE_EXISTS, BFile(dir.Sub("dangling").c_str(), exclusive).InitCheck());
	struct stat info;
	EXPECT_NE(0, lstat(elsewhere.Sub("target").c_str(), &info));
	// A FIFO nobody reads: opening it for writing would block.
	ASSERT_EQ(0, mkfifo(dir.Sub("fifo").c_str(), 0600));
	EXPECT_EQ(B_FILE_EXISTS, BFile(dir.Sub("fifo").c_str(), exclusive).InitCheck());
	// A new name is made, empty.
	BFile made(dir.Sub("new").c_str(), exclusive);
	ASSERT_EQ(B_OK, made.InitCheck());
	off_t size = -1;
	ASSERT_EQ(B_OK, made.GetSize(&size));
	EXPECT_EQ(0, size);
}

TEST(FileTest, PositionsAndSizes)
{
	kvtest::TempDir dir("kv-file");
	BEntry entry(dir.Sub("f").c_str());
	BFile file(&entry, B_READ_WRITE | B_CREATE_FILE);
	ASSERT_EQ(B_OK, file.InitCheck());
	EXPECT_EQ(6, file.Write("abcdef", 6));
	EXPECT_EQ(6, file.Position());
	EXPECT_EQ(2, file.Seek(2, SEEK_SET));
	char buffer[8] = {};
	EXPECT_EQ(2, file.Read(buffer, 2));
	EXPECT_STREQ("cd", buffer);
	EXPECT_EQ(5, file.Seek(-1, SEEK_END));
	EXPECT_EQ(2, file.WriteAt(1, "XY", 2));
	EXPECT_EQ(3, file.ReadAt(0, buffer, 3));
	EXPECT_EQ(std::string("aXY"), std::string(buffer, 3));
	EXPECT_EQ(B_BAD_VALUE, file.Seek(0, 77));
	EXPECT_EQ(B_BAD_VALUE, file.ReadAt(-1, buffer, 1));

	ASSERT_EQ(B_OK, file.SetSize(2));
	off_t size = 0;
	file.GetSize(&size);
	EXPECT_EQ(2, size);
	EXPECT_EQ("aX", kvtest::ReadFile(dir.Sub("f")));

	BFile copy(file);
	EXPECT_EQ(B_OK, copy.InitCheck());
	EXPECT_TRUE(copy == file);
	BDirectory directory(dir.Path().c_str());
	BFile relative(&directory, "f", B_READ_ONLY);
	EXPECT_EQ(2, relative.Read(buffer, 8));
}

} // namespace
