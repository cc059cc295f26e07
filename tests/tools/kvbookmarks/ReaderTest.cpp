// The three readers on files made the way the browsers make them, and on broken ones:
// what reaches the tree (folders, order, names, keywords, the toolbar) and what is refused.
#include "PlacesFixture.h"
#include "TestSupport.h"
#include "tools/kvbookmarks/ChromiumReader.h"
#include "tools/kvbookmarks/FirefoxReader.h"
#include "tools/kvbookmarks/HtmlReader.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

std::string
Fixture(const std::string& name)
{
	return kvtest::ReadFile(std::string(KV_BOOKMARKS_FIXTURES) + "/" + name);
}

const KVSourceNode&
Child(const KVSourceNode& folder, size_t index)
{
	static const KVSourceNode kMissing;
	return index < folder.children.size() ? folder.children[index] : kMissing;
}

// The tree as "name<url>" words and "[" "]" around folders: one string to compare.
std::string
Shape(const KVSourceNode& folder)
{
	std::string text;
	for (const KVSourceNode& child : folder.children) {
		if (child.isFolder)
			text += (child.isToolbar ? "*" : "") + child.name + "[" + Shape(child) + "]";
		else
			text += child.name + "<" + child.url + ">";
	}
	return text;
}

std::string
Nested(const std::string& open, const std::string& close, int depth)
{
	std::string text;
	for (int i = 0; i < depth; i++)
		text += open;
	for (int i = 0; i < depth; i++)
		text += close;
	return text;
}

TEST(HtmlReaderTest, ReadsFoldersLinksEntitiesAndTheToolbar)
{
	std::string html = Fixture("firefox-export.html");
	KVSourceTree tree;
	std::string error;
	ASSERT_TRUE(ReadHtmlBookmarks(html.data(), html.size(), &tree, &error)) << error;
	EXPECT_EQ(Shape(tree.root), "In the menu<https://menu.example/>"
	                            "*Bookmarks Toolbar["
	                            "Debian & friends <3<https://www.debian.org/?a=1&b=2>"
	                            "Work[Intranet<https://intranet.example/>"
	                            "Sub folder[Deep été<https://deep.example/>]]"
	                            "LWN<https://lwn.net/>Option<-rf>]"
	                            "Other Bookmarks[]");
	const KVSourceNode* toolbar = FindToolbar(tree.root);
	ASSERT_NE(toolbar, nullptr);
	EXPECT_EQ(Child(*toolbar, 0).keywords, "deb");
	EXPECT_EQ(FindSourceFolder(tree, ""), toolbar);
	// A path not starting at a top folder starts at the toolbar.
	const KVSourceNode* sub = FindSourceFolder(tree, "Work/Sub folder");
	ASSERT_NE(sub, nullptr);
	EXPECT_EQ(sub->name, "Sub folder");
	EXPECT_EQ(FindSourceFolder(tree, "Bookmarks Toolbar/Work"), &Child(*toolbar, 1));
	EXPECT_EQ(FindSourceFolder(tree, "Work/Nothing"), nullptr);
}

TEST(HtmlReaderTest, ConvertsDeclaredEncodingsAndKeepsUndeclaredUtf8)
{
	KVSourceTree tree;
	std::string error;
	std::string latin = Fixture("latin1-export.html");
	ASSERT_TRUE(ReadHtmlBookmarks(latin.data(), latin.size(), &tree, &error)) << error;
	EXPECT_EQ(Shape(tree.root),
	          "*Barre personnelle[Caf\xc3\xa9 cr\xc3\xa8me<https://caf\xc3\xa9.example/>]");

	std::string utf8 = Fixture("undeclared-utf8.html");
	ASSERT_TRUE(ReadHtmlBookmarks(utf8.data(), utf8.size(), &tree, &error)) << error;
	ASSERT_EQ(tree.root.children.size(), 2u);
	EXPECT_EQ(tree.root.children[0].name, "Gr\xc3\xbc\xc3\x9f"
	                                      "e \xe2\x9c\x93");
	// A stray byte does not lose the link.
	EXPECT_EQ(tree.root.children[1].url, "https://broken.example/");

	// UTF-16 with its byte-order mark, as some Windows tools save the file.
	std::string utf16 = "\xff\xfe";
	for (char c : std::string("<DL><DT><A HREF=\"https://u/\">\xe9</A></DL>")) {
		utf16 += c;
		utf16 += '\0';
	}
	ASSERT_TRUE(ReadHtmlBookmarks(utf16.data(), utf16.size(), &tree, &error)) << error;
	EXPECT_EQ(Shape(tree.root), "\xc3\xa9<https://u/>");
}

TEST(HtmlReaderTest, RefusesWhatIsNoBookmarkFile)
{
	KVSourceTree tree;
	std::string error;
	for (std::string text :
	     {std::string(), std::string("just text"),
	      std::string("<html><body><p>No links</p></body></html>"), std::string("\0\0\0\xff", 4)}) {
		EXPECT_FALSE(ReadHtmlBookmarks(text.data(), text.size(), &tree, &error)) << text;
		EXPECT_FALSE(error.empty());
	}
	// Unclosed lists still give what they hold.
	std::string open = "<DL><p><DT><H3>F</H3><DL><p><DT><A HREF=\"https://a/\">A";
	ASSERT_TRUE(ReadHtmlBookmarks(open.data(), open.size(), &tree, &error));
	EXPECT_EQ(Shape(tree.root), "F[A<https://a/>]");

	std::string deep = Nested("<DL><DT><H3>x</H3>", "</DL>", 200);
	EXPECT_FALSE(ReadHtmlBookmarks(deep.data(), deep.size(), &tree, &error));

	// Many sibling folders, each list followed by the "<p>" browsers leave open, are
	// no nesting.
	std::string wide = "<DL><p>";
	for (int i = 0; i < 300; i++)
		wide += "<DT><H3>F</H3>\n<DL><p>\n<DT><A HREF=\"https://a/\">A</A>\n</DL><p>\n";
	ASSERT_TRUE(ReadHtmlBookmarks(wide.data(), wide.size(), &tree, &error)) << error;
	EXPECT_EQ(tree.root.children.size(), 300u);
	EXPECT_EQ(Shape(tree.root.children[299]), "A<https://a/>");
}

TEST(ChromiumReaderTest, ReadsNestedFoldersUnderTheirRoots)
{
	std::string json = Fixture("chromium-Bookmarks.json");
	KVSourceTree tree;
	std::string error;
	ASSERT_TRUE(ReadChromiumBookmarks(json.data(), json.size(), &tree, &error)) << error;
	EXPECT_EQ(Shape(tree.root),
	          "*Bookmarks bar[Debian<https://www.debian.org/>"
	          "News[LWN.net<https://lwn.net/>Deep[Kernel été<https://kernel.org/>]]"
	          "Bad / slash<https://slash.example/>]"
	          "Other bookmarks[Other one<https://other.example/>]"
	          "Mobile bookmarks[]");
}

TEST(ChromiumReaderTest, RefusesMalformedJsonAndSkipsOddNodes)
{
	KVSourceTree tree;
	std::string error;
	for (std::string text : {std::string("{\"roots\": {\"bookmark_bar\": {\"children\": ["),
	                         std::string("[]"), std::string("{\"version\": 1}"),
	                         std::string("{\"roots\": 3}"), std::string("\xff\xfe")}) {
		EXPECT_FALSE(ReadChromiumBookmarks(text.data(), text.size(), &tree, &error)) << text;
		EXPECT_FALSE(error.empty());
	}
	std::string odd = "{\"roots\": {\"bookmark_bar\": {\"type\": \"folder\", \"children\": ["
	                  "{\"type\": \"url\", \"name\": 7, \"url\": \"https://a/\"},"
	                  "{\"type\": \"separator\"}, 5, {\"type\": \"url\", \"name\": \"N\\u0000ul\","
	                  "\"url\": \"https://b/\"}]}}}";
	ASSERT_TRUE(ReadChromiumBookmarks(odd.data(), odd.size(), &tree, &error)) << error;
	ASSERT_EQ(tree.root.children.size(), 1u);
	ASSERT_EQ(tree.root.children[0].children.size(), 2u);
	EXPECT_EQ(tree.root.children[0].children[0].name, "");
	EXPECT_EQ(tree.root.children[0].children[1].name, std::string("N\0ul", 4));

	std::string deep = "{\"roots\":{\"bookmark_bar\":" +
	                   Nested("{\"type\":\"folder\",\"children\":[", "]}", 500) + "}}";
	EXPECT_FALSE(ReadChromiumBookmarks(deep.data(), deep.size(), &tree, &error));
}

class FirefoxReaderTest : public ::testing::Test
{
protected:
	FirefoxReaderTest()
	    : fDir("kv-firefox"), fHome("HOME", fDir.Path().c_str()),
	      fConfig("XDG_CONFIG_HOME", fDir.Sub("config").c_str())
	{}

	std::string Database() const { return fDir.Sub("places.sqlite"); }

	kvtest::TempDir fDir;
	kvtest::ScopedEnv fHome;
	kvtest::ScopedEnv fConfig;
};

TEST_F(FirefoxReaderTest, ReadsTheRootsFoldersAndKeywords)
{
	kvtest::PlacesDatabase places(Database(), false);
	long long work = places.AddFolder(kvtest::kPlacesToolbar, "Work");
	places.AddLink(kvtest::kPlacesToolbar, "Debian", "https://www.debian.org/", "deb");
	places.AddLink(work, "Intranet", "https://intranet.example/");
	places.AddLink(kvtest::kPlacesToolbar, "Most Visited", "place:sort=8&maxResults=10");
	places.AddLink(kvtest::kPlacesMenu, "Menu link", "https://menu.example/");
	places.AddLink(kvtest::kPlacesTags, "tag", "https://tagged.example/");
	places.Execute("INSERT INTO moz_bookmarks (type, parent, position, guid) VALUES (3, 3, 9, "
	               "'separator___')");
	ASSERT_TRUE(places.Ok()) << places.Error();
	places.Close();

	KVSourceTree tree;
	std::string error;
	ASSERT_TRUE(ReadFirefoxBookmarks(Database(), &tree, &error)) << error;
	EXPECT_EQ(Shape(tree.root), "Bookmarks Menu[Menu link<https://menu.example/>]"
	                            "*Bookmarks Toolbar[Work[Intranet<https://intranet.example/>]"
	                            "Debian<https://www.debian.org/>]"
	                            "Other Bookmarks[]Mobile Bookmarks[]");
	EXPECT_EQ(Child(*FindToolbar(tree.root), 1).keywords, "deb");
	// The private copies are gone again.
	EXPECT_TRUE(std::filesystem::is_empty(fDir.Sub(".cache")));
}

TEST_F(FirefoxReaderTest, ReadsWhileAWriterHoldsTheDatabaseWithRowsOnlyInTheLog)
{
	kvtest::PlacesDatabase places(Database(), true);
	places.AddLink(kvtest::kPlacesToolbar, "Fresh", "https://fresh.example/");
	ASSERT_TRUE(places.Ok()) << places.Error();
	// The writer keeps everything in the log, and the lock: opening it in place fails.
	ASSERT_GT(std::filesystem::file_size(Database() + "-wal"), 0u);
	KVSourceTree tree;
	std::string error;
	EXPECT_FALSE(ReadPlacesDatabase(Database(), &tree, &error));

	ASSERT_TRUE(ReadFirefoxBookmarks(Database(), &tree, &error)) << error;
	EXPECT_EQ(Shape(*FindToolbar(tree.root)), "Fresh<https://fresh.example/>");
	places.AddLink(kvtest::kPlacesToolbar, "Later", "https://later.example/");
	ASSERT_TRUE(ReadFirefoxBookmarks(Database(), &tree, &error)) << error;
	EXPECT_EQ(Shape(*FindToolbar(tree.root)),
	          "Fresh<https://fresh.example/>Later<https://later.example/>");
	// The writer's files are as it left them.
	places.AddLink(kvtest::kPlacesToolbar, "Still writing", "https://still.example/");
	EXPECT_TRUE(places.Ok()) << places.Error();
}

TEST_F(FirefoxReaderTest, RefusesTruncatedAndForeignDatabases)
{
	{
		kvtest::PlacesDatabase places(Database(), false);
		for (int i = 0; i < 300; i++)
			places.AddLink(kvtest::kPlacesToolbar, std::string(200, 'n'),
			               "https://example.org/" + std::to_string(i));
		ASSERT_TRUE(places.Ok()) << places.Error();
	}
	std::filesystem::resize_file(Database(), std::filesystem::file_size(Database()) / 3 + 100);
	KVSourceTree tree;
	std::string error;
	EXPECT_FALSE(ReadFirefoxBookmarks(Database(), &tree, &error));
	EXPECT_FALSE(error.empty());

	kvtest::WriteFile(Database(), "SQLite format 3");
	EXPECT_FALSE(ReadFirefoxBookmarks(Database(), &tree, &error));
	EXPECT_FALSE(ReadFirefoxBookmarks(fDir.Sub("missing.sqlite"), &tree, &error));
	std::filesystem::remove(Database());
	{
		kvtest::PlacesDatabase other(Database(), false);
		other.Execute("DELETE FROM moz_bookmarks WHERE guid = 'root________'");
	}
	EXPECT_FALSE(ReadFirefoxBookmarks(Database(), &tree, &error));
	EXPECT_EQ(error, "the database has no bookmark root");
	EXPECT_TRUE(std::filesystem::is_empty(fDir.Sub(".cache")));
}

TEST(FirefoxProfilesTest, FindsTheDefaultProfile)
{
	std::string installed = "[Install4F96D1932A9F858E]\nDefault=abc.default-release\nLocked=1\n\n"
	                        "[Profile1]\nName=default\nIsRelative=1\nPath=xyz.default\nDefault=1\n"
	                        "\n[Profile0]\nName=default-release\nIsRelative=1\n"
	                        "Path=abc.default-release\n\n[General]\nStartWithLastProfile=1\n";
	EXPECT_EQ(DefaultProfile(installed, "/h/.mozilla/firefox"),
	          "/h/.mozilla/firefox/abc.default-release");
	std::string flagged = "[Profile0]\r\nIsRelative=1\r\nPath=one\r\n[Profile1]\r\n"
	                      "IsRelative=0\r\nPath=/elsewhere/two\r\nDefault=1\r\n";
	EXPECT_EQ(DefaultProfile(flagged, "/h"), "/elsewhere/two");
	EXPECT_EQ(DefaultProfile("[Profile0]\nPath=only\n", "/h"), "/h/only");
	EXPECT_EQ(DefaultProfile("[General]\nVersion=2\n", "/h"), "");
	EXPECT_EQ(DefaultProfile("Path=stray\n[Profile0]\n", "/h"), "");
}

} // namespace
