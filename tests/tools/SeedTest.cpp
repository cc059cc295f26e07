// kvseed run as the demo runs it: the store it writes must read back through the store's
// own rules, and it must never replace what a profile already holds.
#include "TestSupport.h"
#include "store/KVNames.h"

#include <Entry.h>

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>

namespace {

class SeedTest : public ::testing::Test
{
protected:
	// The profile is this process's too, so FindItem reads the store kvseed wrote.
	SeedTest()
	    : fProfile("kv-seed"), fConfig("XDG_CONFIG_HOME", fProfile.Path().c_str()),
	      fHome("HOME", fProfile.Path().c_str())
	{}

	kvtest::ProcessResult Seed(const std::string& lines)
	{
		std::string file = fProfile.Sub("seed.txt");
		kvtest::WriteFile(file, lines);
		return kvtest::RunProcess(
		        {KV_SEED_PATH, file}, "",
		        {"XDG_CONFIG_HOME=" + fProfile.Path(), "HOME=" + fProfile.Path()});
	}

	std::string Store() const { return fProfile.Sub("Kestrovane"); }

	kvtest::TempDir fProfile;
	kvtest::ScopedEnv fConfig;
	kvtest::ScopedEnv fHome;
};

bool
IsDirectory(const std::string& path)
{
	struct stat info;
	return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

TEST_F(SeedTest, WritesFoldersAndBookmarksTheStoreReads)
{
	kvtest::ProcessResult result = Seed("# demo\n"
	                                    "0\t-\tNews\n"
	                                    "0\t0\tDebian\thttps://www.debian.org/\n"
	                                    "0\t9\tLWN\thttps://lwn.net/\tlinux weekly\r\n"
	                                    "3\t2\tNo folder line\thttps://example.org/a b\n");
	ASSERT_EQ(result.exitStatus, 0) << result.error;

	EXPECT_EQ(FindItem(1, 0), BString(Store().c_str()) << "/0 - News");
	BString debian = FindItem(1, 1);
	ASSERT_EQ(debian, BString(Store().c_str()) << "/0 - News/0 - Debian");
	BString url, keywords;
	ASSERT_TRUE(ReadBookmarkFile(BEntry(debian.String()), &url, &keywords));
	EXPECT_EQ(url, "https://www.debian.org/");
	EXPECT_EQ(keywords, "");

	ASSERT_TRUE(ReadBookmarkFile(BEntry(FindItem(1, 10).String()), &url, &keywords));
	EXPECT_EQ(url, "https://lwn.net/");
	EXPECT_EQ(keywords, "linux weekly");

	// Values keep their NUL, as the bar's own bookmark files do.
	std::string raw;
	ASSERT_TRUE(kvtest::GetXattr(debian.String(), "user.META:title", &raw));
	EXPECT_EQ(raw, std::string("Debian", 7));

	// A folder named by no line is made the way the bar makes one.
	EXPECT_EQ(FindItem(4, 0), BString(Store().c_str()) << "/3 -");
	EXPECT_EQ(FindItem(4, 3), BString(Store().c_str()) << "/3 -/2 - No folder line");
}

TEST_F(SeedTest, KeepsTheFoldersAndBookmarksAProfileHas)
{
	ASSERT_EQ(Seed("1\t-\tMine\n1\t4\tOwn\thttps://own.example/\n").exitStatus, 0);
	kvtest::ProcessResult again = Seed("1\t-\tDemo\n1\t4\tDemo\thttps://demo.example/\n");
	EXPECT_EQ(again.exitStatus, 0) << again.error;

	EXPECT_TRUE(IsDirectory(Store() + "/1 - Mine"));
	EXPECT_FALSE(IsDirectory(Store() + "/1 - Demo"));
	BString url, keywords;
	ASSERT_TRUE(ReadBookmarkFile(BEntry(FindItem(2, 5).String()), &url, &keywords));
	EXPECT_EQ(url, "https://own.example/");
}

TEST_F(SeedTest, RejectsABadFileBeforeWritingAnything)
{
	for (const char* bad : {"0\t12\tTwo digits\thttps://x/\n", "0\t1\tNo URL\n",
	                        "0\t1\ta/b\thttps://x/\n", "x\t-\tFolder\n", "0\t-\tToo\tmany\n"}) {
		kvtest::ProcessResult result = Seed(std::string("2\t-\tFine\n") + bad);
		EXPECT_EQ(result.exitStatus, 2) << bad;
		EXPECT_FALSE(IsDirectory(Store())) << bad;
	}
}

} // namespace
