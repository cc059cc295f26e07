// KVImporter end to end: command line, fatal errors, the tree it writes and the faults it
// survives.
#include "ImporterTestSupport.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

const char* kSimple = "\xEF\xBB\xBFOpera Hotlist version 2.0\nOptions: encoding = utf8\n\n"
                      "#URL\n\tNAME=Top\n\tURL=http://top/\n\n"
                      "#FOLDER\n\tID=1\n\tNAME=News/Daily\n\n"
                      "#URL\n\tNAME=a/b\n\tURL=http://q/?x=1&y=2\n\n"
                      "#FOLDER\n\tNAME=\xE6\x97\xA5\xE6\x9C\xAC\n"
                      "#URL\n\tURL=http://late/\n\tNAME=\xD0\x9F\xD1\x80\xD0\xB8\n-\n"
                      "#NOTE\n\tNAME=note\n\tURL=http://note/\n"
                      "#SEPERATOR\n#DELETED\n\tNAME=gone\n"
                      "-\n#URL\n\tNAME=Last\n\tURL=http://last/";

} // namespace

TEST_F(ImporterTest, UsageAndHelp)
{
	std::string usage = "Usage:\n\t" + Importer() + " [destination path]\n";
	for (const auto& arguments : {std::vector<std::string>{}, {fDest, "x"}}) {
		kvtest::ProcessResult result = Run(arguments);
		EXPECT_EQ(result.exitStatus, 255);
		EXPECT_EQ(result.output, usage);
	}
	for (const char* option : {"--help", "-h"}) {
		kvtest::ProcessResult result = Run({option});
		EXPECT_EQ(result.exitStatus, 0);
		EXPECT_EQ(result.output, usage);
	}
	EXPECT_FALSE(fs::exists(fDest));
}

TEST_F(ImporterTest, MissingOperaFile)
{
	kvtest::ProcessResult result = Import();
	EXPECT_EQ(result.exitStatus, 251);
	EXPECT_EQ(result.output, "Couldn't open " + OperaFile() + " (Opera bookmarks file)!\n");
}

TEST_F(ImporterTest, InvalidDestination)
{
	WriteOpera(kSimple);
	kvtest::ProcessResult result = Run({""});
	EXPECT_EQ(result.exitStatus, 254);
	EXPECT_EQ(result.output, " is invalid.\n");
}

TEST_F(ImporterTest, ReadOnlyVolume)
{
	if (!kvtest::CanMount())
		GTEST_SKIP() << "cannot mount";
	WriteOpera(kSimple);
	fs::create_directory(fHome.Sub("ro"));
	kvtest::ScopedMount mount("tmpfs", fHome.Sub("ro"), "ro");
	ASSERT_TRUE(mount.IsMounted());
	std::string dest = fHome.Sub("ro/dest");
	kvtest::ProcessResult result = Run({dest});
	EXPECT_EQ(result.exitStatus, 253);
	EXPECT_EQ(result.output, "Tried to create " + dest + " on a read only volume!\n");
}

TEST_F(ImporterTest, WritesTheTree)
{
	WriteOpera(kSimple);
	kvtest::ProcessResult result = Import();
	EXPECT_EQ(result.exitStatus, 0);
	EXPECT_EQ(result.output, "");

	std::string news = fDest + "/News_Daily";
	std::string japan = news + "/\xE6\x97\xA5\xE6\x9C\xAC";
	ExpectBookmark(fDest + "/Top", "Top", "http://top/");
	ExpectBookmark(news + "/a_b", "a/b", "http://q/?x=1&y=2");
	ExpectBookmark(japan + "/\xD0\x9F\xD1\x80\xD0\xB8", "\xD0\x9F\xD1\x80\xD0\xB8", "http://late/");
	ExpectBookmark(fDest + "/Last", "Last", "http://last/");

	size_t entries = 0;
	for (auto it = fs::recursive_directory_iterator(fDest); it != fs::end(it); ++it)
		entries++;
	EXPECT_EQ(entries, 6u) << "notes, separators and deleted entries write nothing";
	EXPECT_EQ(kvtest::ListXattrs(fDest + "/Top").size(), 4u);
}

TEST_F(ImporterTest, StaysInsideTheDestination)
{
	// Dot names, and more folder ends than folders, at the top and inside a folder.
	WriteOpera("-\n-\n#URL\n\tNAME=.\n\tURL=http://dot/\n#FOLDER\n\tNAME=..\n"
	           "#FOLDER\n\tNAME=.\n#URL\n\tNAME=..\n\tURL=http://dotdot/\n-\n-\n-\n-\n"
	           "#URL\n\tNAME=out\n\tURL=http://out/\n");
	fs::create_directory(fDest);
	kvtest::ProcessResult result = Import();
	EXPECT_EQ(result.exitStatus, 0);
	EXPECT_EQ(result.output, "");
	ExpectBookmark(fDest + "/_", ".", "http://dot/");
	ExpectBookmark(fDest + "/__/_/__", "..", "http://dotdot/");
	ExpectBookmark(fDest + "/out", "out", "http://out/");

	std::vector<std::string> home;
	for (const auto& entry : fs::directory_iterator(fHome.Path()))
		home.push_back(entry.path().filename());
	std::sort(home.begin(), home.end());
	EXPECT_EQ(home, (std::vector<std::string>{"config", "dest"}));
}

TEST_F(ImporterTest, LongLinesDoNotEndTheImport)
{
	std::string url = "http://long/" + std::string(3000, 'u');
	WriteOpera("#URL\n\tNAME=Long\n\tURL=" + url + "\n\tDESCRIPTION=" + std::string(20000, 'd') +
	           "\n#URL\n\tNAME=After\n\tURL=http://after/\n");
	kvtest::ProcessResult result = Import();
	EXPECT_EQ(result.exitStatus, 0);
	EXPECT_EQ(result.output, "");
	ExpectBookmark(fDest + "/Long", "Long", url);
	ExpectBookmark(fDest + "/After", "After", "http://after/");
}

TEST_F(ImporterTest, UnwritableAttributesLeaveNoHalfBookmark)
{
	// Linux keeps no attribute value above 64 KiB: the new file goes, the old one stays.
	std::string huge = "http://huge/" + std::string(70000, 'h');
	WriteOpera("#URL\n\tNAME=Huge\n\tURL=" + huge + "\n#URL\n\tNAME=Old\n\tURL=" + huge +
	           "\n#URL\n\tNAME=Fine\n\tURL=http://fine/\n");
	fs::create_directory(fDest);
	ASSERT_TRUE(kvtest::WriteFile(fDest + "/Old", "old data"));
	ASSERT_TRUE(kvtest::SetXattr(fDest + "/Old", "user.META:url", "http://old/"));

	kvtest::ProcessResult result = Import("y");
	EXPECT_EQ(result.exitStatus, 0);
	EXPECT_EQ(result.output, "Couldn't write the attributes of " + fDest +
	                                 "/Huge! The file was removed.\n"
	                                 "File " +
	                                 fDest +
	                                 "/Old exists! Overwrite? (y/n/a): "
	                                 "Couldn't write the attributes of " +
	                                 fDest + "/Old!\n");
	EXPECT_FALSE(fs::exists(fDest + "/Huge"));
	EXPECT_TRUE(fs::exists(fDest + "/Old"));
	EXPECT_EQ(Attr(fDest + "/Old", "META:url"), "http://old/");
	ExpectBookmark(fDest + "/Fine", "Fine", "http://fine/");
}

TEST_F(ImporterTest, FileSystemWithoutAttributes)
{
	if (!kvtest::CanMount())
		GTEST_SKIP() << "cannot mount";
	WriteOpera("#URL\n\tNAME=One\n\tURL=http://one/\n#URL\n\tNAME=Two\n\tURL=http://two/\n");
	fs::create_directory(fHome.Sub("ram"));
	kvtest::ScopedMount mount("ramfs", fHome.Sub("ram"), "");
	ASSERT_TRUE(mount.IsMounted());
	std::string dest = fHome.Sub("ram/dest");
	kvtest::ProcessResult result = Run({dest});
	EXPECT_EQ(result.exitStatus, 0);
	EXPECT_EQ(result.output, "Couldn't write the attributes of " + dest +
	                                 "/One! The file was removed.\n"
	                                 "Couldn't write the attributes of " +
	                                 dest + "/Two! The file was removed.\n");
	EXPECT_TRUE(fs::is_empty(dest));
}

TEST_F(ImporterTest, BlockedPathsAreReportedNotReplaced)
{
	// A file where a folder should go, and a dangling link where a bookmark should go.
	WriteOpera("#FOLDER\n\tNAME=Busy\n#URL\n\tNAME=In\n\tURL=http://in/\n-\n"
	           "#URL\n\tNAME=Link\n\tURL=http://link/\n");
	fs::create_directory(fDest);
	ASSERT_TRUE(kvtest::WriteFile(fDest + "/Busy", "keep"));
	fs::create_symlink(fHome.Sub("outside"), fDest + "/Link");

	kvtest::ProcessResult result = Import();
	EXPECT_EQ(result.exitStatus, 0);
	EXPECT_EQ(result.output, "Could not create " + fDest + "/Busy!\nCould not create " + fDest +
	                                 "/Busy/In!\nCould not create " + fDest + "/Link!\n");
	EXPECT_EQ(kvtest::ReadFile(fDest + "/Busy"), "keep");
	EXPECT_FALSE(fs::exists(fHome.Sub("outside")));
}
