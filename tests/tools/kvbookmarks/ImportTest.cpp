// Imports from Firefox, Chromium and HTML files into a temporary store, checked file by
// file and attribute by attribute; hostile input; and the export read back by the import.
#include "PlacesFixture.h"
#include "ToolTestSupport.h"

#include <map>

namespace {

using std::filesystem::exists;

// Every entry of a store with its attributes, to compare two stores.
std::map<std::string, std::string>
Snapshot(const std::string& root)
{
	std::map<std::string, std::string> entries;
	for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
		std::string value, text;
		for (const char* name :
		     {"user.mime_type", "user.META:url", "user.META:keyw", "user.META:title"}) {
			if (kvtest::GetXattr(entry.path().string(), name, &value))
				text += std::string(name) + "=" + value + ";";
		}
		entries[std::filesystem::relative(entry.path(), root).string()] = text;
	}
	return entries;
}

TEST_F(KvbookmarksTest, ImportsChromiumLinksIntoTheFreeSlots)
{
	ASSERT_EQ(Run({"add", "0", "0", "Mine", "https://mine.example/"}).exitStatus, 0);
	kvtest::ProcessResult result =
	        Run({"import", "chromium", Fixture("chromium-Bookmarks.json"), "--into", "0"});
	ASSERT_EQ(result.exitStatus, 0) << result.error;
	EXPECT_EQ(result.output, "add\t0\t1\tDebian\thttps://www.debian.org/\n"
	                         "add\t0\t2\tBad _ slash\thttps://slash.example/\n"
	                         "skip\tNews\t\ta folder inside the imported folder\n");
	ExpectBookmark(Store("0 -/0 - Mine"), "https://mine.example/", "", "Mine");
	ExpectBookmark(Store("0 -/1 - Debian"), "https://www.debian.org/", "", "Debian");
	ExpectBookmark(Store("0 -/2 - Bad _ slash"), "https://slash.example/", "", "Bad _ slash");
	EXPECT_EQ(Snapshot(Store()).size(), 4u);

	result = Run({"import", "chromium", Fixture("chromium-Bookmarks.json"), "--from", "News/Deep",
	              "--into", "0"});
	ASSERT_EQ(result.exitStatus, 0) << result.error;
	ExpectBookmark(Store("0 -/3 - Kernel été"), "https://kernel.org/", "", "Kernel été");
	// Chromium keeps its file under the configuration directory.
	std::filesystem::create_directories(fProfile.Sub("config/chromium/Default"));
	std::filesystem::copy_file(Fixture("chromium-Bookmarks.json"),
	                           fProfile.Sub("config/chromium/Default/Bookmarks"));
	result = Run({"import", "chromium", "--from", "Other bookmarks", "--dry-run"});
	EXPECT_EQ(result.output, "add\t1\t0\tOther one\thttps://other.example/\n") << result.error;
}

TEST_F(KvbookmarksTest, ImportsFirefoxWhileItRunsFromItsDefaultProfile)
{
	std::string profiles = fProfile.Sub("home/.mozilla/firefox");
	std::filesystem::create_directories(profiles + "/abc.default-release");
	ASSERT_TRUE(kvtest::WriteFile(profiles + "/profiles.ini",
	                              "[Install4F96D1932A9F858E]\nDefault=abc.default-release\n"
	                              "[Profile0]\nName=default-release\nIsRelative=1\n"
	                              "Path=abc.default-release\n"));
	kvtest::PlacesDatabase places(profiles + "/abc.default-release/places.sqlite", true);
	long long work = places.AddFolder(kvtest::kPlacesToolbar, "Work & Play");
	places.AddLink(work, "Intranet", "https://intranet.example/", "in");
	places.AddLink(work, "", "https://untitled.example/");
	places.AddLink(kvtest::kPlacesToolbar, "Debian", "https://www.debian.org/");
	ASSERT_TRUE(places.Ok()) << places.Error();

	kvtest::ProcessResult result = Run({"import", "firefox", "--folders", "--into", "5"});
	ASSERT_EQ(result.exitStatus, 0) << result.error;
	EXPECT_EQ(result.output,
	          "rename-folder\t5\tWork & Play\n"
	          "add\t5\t0\tIntranet\thttps://intranet.example/\n"
	          "add\t5\t1\thttps:__untitled.example_\thttps://untitled.example/\n"
	          "skip\tDebian\thttps://www.debian.org/\ta link outside the sub-folders\n");
	ExpectBookmark(Store("5 - Work & Play/0 - Intranet"), "https://intranet.example/", "in",
	               "Intranet");
	ExpectBookmark(Store("5 - Work & Play/1 - https:__untitled.example_"),
	               "https://untitled.example/", "", "https:__untitled.example_");
	EXPECT_FALSE(exists(fProfile.Sub("home/.cache")) &&
	             !std::filesystem::is_empty(fProfile.Sub("home/.cache")));
	places.AddLink(kvtest::kPlacesToolbar, "Firefox still writes", "https://still.example/");
	EXPECT_TRUE(places.Ok()) << places.Error();
}

TEST_F(KvbookmarksTest, FoldersGoToEmptyStoreFoldersAndTakeTheirNames)
{
	ASSERT_EQ(Run({"add", "0", "0", "Mine", "https://mine.example/"}).exitStatus, 0);
	std::filesystem::create_directories(Store("1 - Named but empty"));
	kvtest::ProcessResult result =
	        Run({"import", "html", Fixture("firefox-export.html"), "--folders"});
	ASSERT_EQ(result.exitStatus, 0) << result.error;
	EXPECT_FALSE(exists(Store("1 - Named but empty")));
	ExpectBookmark(Store("1 - Work/0 - Intranet"), "https://intranet.example/", "", "Intranet");
	EXPECT_NE(result.output.find("skip\tSub folder\t\ta folder inside the imported folder\n"),
	          std::string::npos);
	ExpectBookmark(Store("0 -/0 - Mine"), "https://mine.example/", "", "Mine");
}

TEST_F(KvbookmarksTest, TenLinksFillTheFreeSlotsTheRestIsListedAndDryRunWritesNothing)
{
	std::string html = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n";
	for (int i = 0; i < 13; i++)
		html += "<DT><A HREF=\"https://l" + std::to_string(i) + "/\">L" + std::to_string(i) +
		        "</A>\n";
	html += "</DL>\n";
	ASSERT_TRUE(kvtest::WriteFile(fProfile.Sub("home/links.html"), html));
	ASSERT_EQ(Run({"add", "2", "0", "Zero", "https://zero/"}).exitStatus, 0);
	ASSERT_EQ(Run({"add", "2", "5", "Five", "https://five/"}).exitStatus, 0);

	std::vector<std::string> before = Entries();
	kvtest::ProcessResult plan =
	        Run({"import", "html", fProfile.Sub("home/links.html"), "--into", "2", "--dry-run"});
	ASSERT_EQ(plan.exitStatus, 0) << plan.error;
	EXPECT_EQ(Entries(), before);

	kvtest::ProcessResult result =
	        Run({"import", "html", fProfile.Sub("home/links.html"), "--into", "2"});
	ASSERT_EQ(result.exitStatus, 0) << result.error;
	EXPECT_EQ(result.output, plan.output);
	const int slots[] = {1, 2, 3, 4, 6, 7, 8, 9};
	for (int i = 0; i < 8; i++) {
		std::string name = "L" + std::to_string(i);
		ExpectBookmark(Store("2 -/" + std::to_string(slots[i]) + " - " + name),
		               "https://l" + std::to_string(i) + "/", "", name);
	}
	for (int i = 8; i < 13; i++) {
		std::string line = "skip\tL" + std::to_string(i) + "\thttps://l" + std::to_string(i) +
		                   "/\tno free slot\n";
		EXPECT_NE(result.output.find(line), std::string::npos) << line;
	}
	ExpectBookmark(Store("2 -/0 - Zero"), "https://zero/", "", "Zero");
	ExpectBookmark(Store("2 -/5 - Five"), "https://five/", "", "Five");
}

TEST_F(KvbookmarksTest, HostileInputStaysInTheStoreAndLosesNothing)
{
	ASSERT_EQ(Run({"add", "0", "0", "Mine", "https://mine.example/"}).exitStatus, 0);
	std::string json =
	        "{\"roots\": {\"bookmark_bar\": {\"type\": \"folder\", \"children\": ["
	        "{\"type\": \"url\", \"name\": \"../../../escape\", \"url\": \"https://e/\"},"
	        "{\"type\": \"url\", \"name\": \"..\", \"url\": \"https://dots/\"},"
	        "{\"type\": \"url\", \"name\": \"N\\u0000UL\\ttab\", \"url\": \"https://n/\"},"
	        "{\"type\": \"url\", \"name\": \"" +
	        std::string(10000, 'x') +
	        "\", \"url\": \"https://long/\"},"
	        "{\"type\": \"url\", \"name\": \"Option\", \"url\": \"-rf\"},"
	        "{\"type\": \"url\", \"name\": \"Line\", \"url\": \"https://a/\\nb\"},"
	        "{\"type\": \"url\", \"name\": \"Empty\", \"url\": \"\"}]}}}";
	ASSERT_TRUE(kvtest::WriteFile(fProfile.Sub("home/hostile.json"), json));
	kvtest::ProcessResult result =
	        Run({"import", "chromium", fProfile.Sub("home/hostile.json"), "--into", "0"});
	ASSERT_EQ(result.exitStatus, 0) << result.error;
	ExpectBookmark(Store("0 -/1 - .._.._.._escape"), "https://e/", "", ".._.._.._escape");
	ExpectBookmark(Store("0 -/2 - .."), "https://dots/", "", "..");
	ExpectBookmark(Store("0 -/3 - N_UL tab"), "https://n/", "", "N_UL tab");
	std::string cut(251, 'x');
	ExpectBookmark(Store("0 -/4 - " + cut), "https://long/", "", cut);
	EXPECT_NE(result.output.find("skip\tOption\t-rf\t"), std::string::npos);
	EXPECT_NE(result.output.find("skip\tLine\thttps://a/ b\tthe URL holds control characters"),
	          std::string::npos);
	EXPECT_NE(result.output.find("skip\tEmpty\t\tthe URL is empty"), std::string::npos);
	ExpectBookmark(Store("0 -/0 - Mine"), "https://mine.example/", "", "Mine");

	// Unreadable sources change nothing (the Firefox import's private copies go into the
	// user's cache, which it may create).
	const char* broken[][2] = {{"chromium", "{\"roots\": {\"bookmark_bar\": ["},
	                           {"json", "not json"},
	                           {"html", "<html><p>no bookmarks here</p></html>"},
	                           {"firefox", "SQLite format 3 but not really a database"}};
	for (const auto& source : broken)
		ASSERT_TRUE(kvtest::WriteFile(fProfile.Sub(std::string("home/broken-") + source[0]),
		                              source[1]));
	std::filesystem::create_directories(fProfile.Sub("home/.cache"));
	std::vector<std::string> before = Entries();
	for (const auto& source : broken) {
		std::string file = fProfile.Sub(std::string("home/broken-") + source[0]);
		std::string kind = source[0] == std::string("json") ? "chromium" : source[0];
		kvtest::ProcessResult refused = Run({"import", kind, file, "--into", "3"});
		EXPECT_EQ(refused.exitStatus, 3) << source[0];
		EXPECT_NE(refused.error.find(file), std::string::npos) << refused.error;
	}
	EXPECT_EQ(Run({"import", "html", fProfile.Sub("home/none.html")}).exitStatus, 3);
	EXPECT_EQ(Run({"import", "firefox"}).exitStatus, 3);
	EXPECT_EQ(
	        Run({"import", "html", Fixture("firefox-export.html"), "--from", "Nowhere"}).exitStatus,
	        2);
	std::vector<std::string> after = Entries();
	EXPECT_EQ(after, before);
	for (const std::string& entry : after)
		EXPECT_TRUE(entry.rfind("config", 0) == 0 || entry.rfind("home", 0) == 0 || entry == "run")
		        << entry;
}

TEST_F(KvbookmarksTest, ExportThenImportGivesTheSameStore)
{
	ASSERT_EQ(Run({"add", "0", "2", "Debian & <friends>", "https://www.debian.org/?a=1&b=\"2\"",
	               "--keywords", "deb \"quoted\""})
	                  .exitStatus,
	          0);
	ASSERT_EQ(Run({"add", "0", "7", "Café ✓", "https://café.example/"}).exitStatus, 0);
	ASSERT_EQ(Run({"rename-folder", "0", "News & more"}).exitStatus, 0);
	ASSERT_EQ(Run({"add", "3", "9", "Last", "https://last.example/"}).exitStatus, 0);
	ASSERT_EQ(Run({"rename-folder", "6", "Empty but named"}).exitStatus, 0);
	kvtest::ProcessResult exported = Run({"export", "html", fProfile.Sub("home/export.html")});
	ASSERT_EQ(exported.exitStatus, 0) << exported.error;
	EXPECT_EQ(Run({"export", "html"}).output, kvtest::ReadFile(fProfile.Sub("home/export.html")));

	std::map<std::string, std::string> original = Snapshot(Store());
	std::filesystem::rename(Store(), fProfile.Sub("original"));
	kvtest::ProcessResult imported =
	        Run({"import", "html", fProfile.Sub("home/export.html"), "--folders"});
	ASSERT_EQ(imported.exitStatus, 0) << imported.error;
	EXPECT_EQ(imported.output.find("skip"), std::string::npos) << imported.output;
	std::map<std::string, std::string> copy = Snapshot(Store());
	// Folders the export names without a bookmark exist in the copy as "%d -".
	for (int i = 0; i < 10; i++) {
		std::string folder = std::to_string(i) + " -";
		if (copy.count(folder) != 0 && original.count(folder) == 0)
			copy.erase(folder);
	}
	EXPECT_EQ(copy, original);
}

} // namespace

// An export that does not fit on the disk fails, and the earlier export stays whole.
TEST_F(KvbookmarksTest, AnExportThatDoesNotFitLeavesTheEarlierOneWhole)
{
	if (!kvtest::CanMount())
		GTEST_SKIP() << "cannot mount file systems here";
	kvtest::TempDir where("kv-export");
	kvtest::ScopedMount mount("tmpfs", where.Path(), "size=64k");
	ASSERT_TRUE(mount.IsMounted());
	for (int slot = 0; slot < 10; slot++) {
		std::string url = "https://example.org/" + std::string(2000, 'a' + slot);
		ASSERT_EQ(Run({"add", "1", std::to_string(slot), "Long " + std::to_string(slot), url})
		                  .exitStatus,
		          0);
	}
	std::string target = where.Sub("bookmarks.html");
	ASSERT_TRUE(kvtest::WriteFile(target, "the earlier export\n"));
	ASSERT_TRUE(kvtest::WriteFile(where.Sub("filler"), std::string(48 * 1024, 'x')));

	kvtest::ProcessResult exported = Run({"export", "html", target});
	EXPECT_NE(exported.exitStatus, 0);
	EXPECT_NE(exported.error.find("bookmarks.html"), std::string::npos) << exported.error;
	EXPECT_TRUE(kvtest::ReadFile(target) == "the earlier export\n")
	        << "the earlier export was overwritten";
	EXPECT_FALSE(std::filesystem::exists(target + ".part"));
}
