// kvbookmarks' store commands: what they write, file by file, and what they refuse to
// touch (files that are not the slot's bookmark, links out of the store, taken slots).
#include "ToolTestSupport.h"

#include <sys/stat.h>

namespace {

using std::filesystem::exists;

TEST_F(KvbookmarksTest, FilesListsMovesRenamesAndRemoves)
{
	ASSERT_EQ(Run({"add", "0", "3", "Debian", "https://www.debian.org/", "--keywords", "distro"})
	                  .exitStatus,
	          0);
	ExpectBookmark(Store("0 -/3 - Debian"), "https://www.debian.org/", "distro", "Debian");
	ASSERT_EQ(Run({"rename-folder", "0", "News"}).exitStatus, 0);
	ASSERT_EQ(Run({"add", "2", "0", "a/b", "https://ab.example/"}).exitStatus, 0);
	ExpectBookmark(Store("2 -/0 - a_b"), "https://ab.example/", "", "a/b");

	kvtest::ProcessResult list = Run({"list"});
	EXPECT_EQ(list.output, "0\t-\tNews\n0\t3\tDebian\thttps://www.debian.org/\tdistro\n"
	                       "2\t-\t\n2\t0\ta_b\thttps://ab.example/\n");
	kvtest::ProcessResult json = Run({"list", "--json"});
	EXPECT_NE(json.output.find("\"url\": \"https://www.debian.org/\""), std::string::npos);
	EXPECT_NE(json.output.find("\"folder\": 2"), std::string::npos);

	ASSERT_EQ(Run({"mv", "0", "3", "1", "5"}).exitStatus, 0);
	EXPECT_FALSE(exists(Store("0 - News/3 - Debian")));
	ExpectBookmark(Store("1 -/5 - Debian"), "https://www.debian.org/", "distro", "Debian");
	ASSERT_EQ(Run({"mv", "1", "5", "1", "6"}).exitStatus, 0);
	ASSERT_EQ(Run({"rm", "1", "6"}).exitStatus, 0);
	EXPECT_FALSE(exists(Store("1 -/6 - Debian")));
	EXPECT_EQ(Run({"rm", "1", "6"}).exitStatus, 1);
	ASSERT_EQ(Run({"rename-folder", "0", ""}).exitStatus, 0);
	EXPECT_TRUE(exists(Store("0 -")));
}

TEST_F(KvbookmarksTest, ReplaceRewritesOnlyTheSlotsOwnBookmark)
{
	ASSERT_EQ(Run({"add", "4", "1", "Old", "https://old.example/"}).exitStatus, 0);
	kvtest::ProcessResult taken = Run({"add", "4", "1", "New", "https://new.example/"});
	EXPECT_EQ(taken.exitStatus, 1);
	EXPECT_NE(taken.error.find("holds \"Old\""), std::string::npos) << taken.error;
	ExpectBookmark(Store("4 -/1 - Old"), "https://old.example/", "", "Old");

	ASSERT_EQ(Run({"add", "4", "1", "New", "https://new.example/", "--replace", "--keywords", "k"})
	                  .exitStatus,
	          0);
	EXPECT_FALSE(exists(Store("4 -/1 - Old")));
	ExpectBookmark(Store("4 -/1 - New"), "https://new.example/", "k", "New");
}

TEST_F(KvbookmarksTest, LeavesFilesThatAreNotTheSlotsBookmarkAlone)
{
	std::filesystem::create_directories(Store("0 - News"));
	std::filesystem::create_directories(fProfile.Sub("outside"));
	ASSERT_TRUE(kvtest::WriteFile(Store("0 - News/4 - notes"), "my notes"));
	// A link in the folder counts by its target, here a bookmark outside the store.
	std::string target = fProfile.Sub("outside/7 - Target");
	ASSERT_TRUE(kvtest::WriteFile(target, ""));
	ASSERT_TRUE(kvtest::SetXattr(target, "user.mime_type", "application/x-vnd.Be-bookmark"));
	ASSERT_TRUE(kvtest::SetXattr(target, "user.META:url", "https://target.example/"));
	ASSERT_TRUE(kvtest::SetXattr(target, "user.META:keyw", ""));
	std::filesystem::create_symlink(target, Store("0 - News/link"));

	EXPECT_EQ(Run({"list"}).output, "0\t-\tNews\n0\t4\tnotes\t\n"
	                                "0\t7\tTarget\thttps://target.example/\n");
	for (const std::vector<std::string>& command :
	     {std::vector<std::string>{"add", "0", "4", "X", "https://x/", "--replace"},
	      {"add", "0", "7", "X", "https://x/", "--replace"},
	      {"rm", "0", "4"},
	      {"rm", "0", "7"},
	      {"mv", "0", "4", "1", "0"},
	      {"mv", "0", "7", "1", "0"}}) {
		kvtest::ProcessResult result = Run(command);
		EXPECT_EQ(result.exitStatus, 1) << command[0] << " " << command[2];
		EXPECT_NE(result.error.find("left alone"), std::string::npos) << result.error;
	}
	EXPECT_EQ(kvtest::ReadFile(Store("0 - News/4 - notes")), "my notes");
	EXPECT_TRUE(exists(target));
	EXPECT_TRUE(std::filesystem::is_symlink(Store("0 - News/link")));
	EXPECT_FALSE(exists(Store("1 -/0 - notes")));

	// A taken target slot stops a move; both bookmarks stay.
	ASSERT_EQ(Run({"add", "0", "0", "A", "https://a/"}).exitStatus, 0);
	EXPECT_EQ(Run({"mv", "0", "0", "0", "4"}).exitStatus, 1);
	ExpectBookmark(Store("0 - News/0 - A"), "https://a/", "", "A");
}

TEST_F(KvbookmarksTest, RefusesUnsafeArgumentsBeforeWriting)
{
	EXPECT_EQ(Run({"add", "0", "0", "Option", "--", "-rf"}).exitStatus, 2);
	EXPECT_EQ(Run({"add", "0", "0", "Empty", ""}).exitStatus, 2);
	EXPECT_EQ(Run({"add", "0", "0", std::string(10000, 'x'), "https://long/"}).exitStatus, 2);
	EXPECT_EQ(Run({"rename-folder", "0", std::string(300, 'x')}).exitStatus, 2);
	EXPECT_EQ(Run({"add", "10", "0", "N", "https://n/"}).exitStatus, 2);
	EXPECT_EQ(Run({"rm", "0"}).exitStatus, 2);
	EXPECT_EQ(Run({"add", "0", "0", "N", "https://n/", "--color"}).exitStatus, 2);
	EXPECT_EQ(Run({"frobnicate"}).exitStatus, 2);
	EXPECT_FALSE(exists(Store()));

	// ".." and "/" are names, never paths.
	ASSERT_EQ(Run({"add", "0", "0", "..", "https://dots/"}).exitStatus, 0);
	ASSERT_EQ(Run({"add", "0", "1", "../../escape", "https://escape/"}).exitStatus, 0);
	ASSERT_EQ(Run({"rename-folder", "0", "../up"}).exitStatus, 0);
	ExpectBookmark(Store("0 - .._up/0 - .."), "https://dots/", "", "..");
	ExpectBookmark(Store("0 - .._up/1 - .._.._escape"), "https://escape/", "", "../../escape");
	EXPECT_EQ(std::filesystem::directory_entry(fProfile.Sub("config")).exists(), true);
	for (const std::string& entry : Entries())
		EXPECT_TRUE(entry.rfind("config", 0) == 0 || entry == "home" || entry == "run") << entry;
}

// Without settings the bar uses NetPositive, whatever program the table gives it.
TEST_F(KvbookmarksTest, OpensWithTheBrowserOfTheSettings)
{
	std::string launched = fProfile.Sub("launched");
	std::string browser = fProfile.Sub("browser.sh");
	ASSERT_TRUE(
	        kvtest::WriteFile(browser, "#!/bin/sh\nprintf '%s\\n' \"$@\" >> " + launched + "\n"));
	ASSERT_EQ(chmod(browser.c_str(), 0755), 0);
	ASSERT_TRUE(kvtest::WriteFile(fProfile.Sub("applications"),
	                              "application/x-vnd.Be-NPOS " + browser + "\n"));
	ASSERT_EQ(Run({"add", "3", "2", "Site", "https://site.example/a b"}).exitStatus, 0);
	ASSERT_EQ(Run({"open", "3", "2"}).exitStatus, 0);
	EXPECT_TRUE(kvtest::WaitUntil(
	        [&] { return kvtest::ReadFile(launched) == "https://site.example/a b\n"; }));

	EXPECT_EQ(Run({"open", "3", "3"}).exitStatus, 1);
	// A URL set by another program to look like an option is never passed on.
	ASSERT_TRUE(kvtest::SetXattr(Store("3 -/2 - Site"), "user.META:url", "--help"));
	EXPECT_EQ(Run({"open", "3", "2"}).exitStatus, 1);
	std::filesystem::remove(fProfile.Sub("applications"));
	ASSERT_TRUE(kvtest::WriteFile(fProfile.Sub("applications"),
	                              "application/x-vnd.Be-NPOS /nonexistent/browser\n"));
	ASSERT_TRUE(kvtest::SetXattr(Store("3 -/2 - Site"), "user.META:url", "https://b/"));
	EXPECT_EQ(Run({"open", "3", "2"}).exitStatus, 4);
	EXPECT_EQ(kvtest::ReadFile(launched), "https://site.example/a b\n");
}

TEST_F(KvbookmarksTest, HelpForEveryCommand)
{
	for (const char* command :
	     {"list", "add", "rm", "mv", "rename-folder", "open", "import", "export"}) {
		kvtest::ProcessResult help = Run({command, "--help"});
		EXPECT_EQ(help.exitStatus, 0) << command;
		EXPECT_EQ(help.output.rfind(std::string("usage: kvbookmarks ") + command, 0), 0u)
		        << help.output;
		EXPECT_NE(help.output.find("Exit status"), std::string::npos);
	}
	EXPECT_EQ(Run({"--help"}).exitStatus, 0);
	EXPECT_EQ(Run({}).exitStatus, 2);
}

} // namespace
