// FindItem on a real store tree relocated with XDG_CONFIG_HOME, and the rule that makes
// a file a readable bookmark.
#include "store/KVNames.h"

#include <Entry.h>

#include "StoreSupport.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using kvtest::MakeBookmark;
using Bookmark = kvtest::BookmarkFields;

class StoreTest : public ::testing::Test
{
protected:
	void SetUp() override { ASSERT_TRUE(fTempStore.IsReady()); }

	std::string Store(const std::string& relative) const { return fTempStore.Sub(relative); }

	void MakeFolder(const std::string& name) { ASSERT_TRUE(fTempStore.MakeFolder(name)); }

	kvtest::TempStore fTempStore{"kv-store", "/nonexistent-home"};
	const std::string& fStore = fTempStore.Path();
};

TEST_F(StoreTest, FoldersAreFoundByTheirDigit)
{
	MakeFolder("0 - News");
	MakeFolder("10 - Not a folder");
	MakeFolder("2 - B");
	MakeFolder("2 - A");
	MakeFolder("4 -");
	ASSERT_TRUE(kvtest::WriteFile(Store("1 - a file"), ""));
	ASSERT_EQ(0, symlink(Store("0 - News").c_str(), Store("5 - link").c_str()));

	EXPECT_EQ(Store("0 - News"), FindItem(1, 0).String());
	EXPECT_EQ(Store("2 - A"), FindItem(3, 0).String()) << "the first in byte order wins";
	EXPECT_EQ(Store("4 -"), FindItem(5, -3).String());
	EXPECT_STREQ("", GetName(FindItem(5, 0)).String());
	EXPECT_STREQ("", FindItem(2, 0).String()) << "a file is no folder";
	EXPECT_STREQ("", FindItem(6, 0).String()) << "a link is not followed";
	EXPECT_STREQ("", FindItem(11, 0).String());
	EXPECT_STREQ("", FindItem(0, 0).String());
	EXPECT_STREQ("", FindItem(4, 1).String());
}

TEST_F(StoreTest, SlotsAreBookmarkFilesOnly)
{
	MakeFolder("3 - Work");
	Bookmark notBookmark;
	notBookmark.type = "text/plain";
	ASSERT_TRUE(MakeBookmark(Store("3 - Work/1 - a plain file"), notBookmark));
	ASSERT_TRUE(MakeBookmark(Store("3 - Work/1 - the bookmark")));
	Bookmark upper;
	upper.type = "APPLICATION/X-VND.BE-BOOKMARK";
	ASSERT_TRUE(MakeBookmark(Store("3 - Work/2 - shouting"), upper));
	ASSERT_TRUE(MakeBookmark(Store("3 - Work/10 - two digits")));
	ASSERT_EQ(0, mkdir(Store("3 - Work/4 - a directory").c_str(), 0755));
	ASSERT_EQ(0, symlink("1 - the bookmark", Store("3 - Work/5 - link").c_str()));
	Bookmark untyped;
	untyped.type.clear();
	ASSERT_TRUE(MakeBookmark(Store("3 - Work/6 - untyped"), untyped));

	EXPECT_EQ(Store("3 - Work/1 - the bookmark"), FindItem(4, 2).String())
	        << "a file of another type with the same digit is skipped";
	EXPECT_EQ(Store("3 - Work/2 - shouting"), FindItem(4, 3).String());
	for (int slot : {1, 5, 6, 7, 11})
		EXPECT_STREQ("", FindItem(4, slot).String()) << slot;
	EXPECT_EQ(Store("3 - Work"), FindItem(4, 0).String());
}

TEST_F(StoreTest, MissingOrUnreadableStore)
{
	ASSERT_TRUE(kvtest::RemoveTree(fStore));
	EXPECT_STREQ("", FindItem(1, 0).String());
	ASSERT_TRUE(kvtest::WriteFile(fStore, "not a directory"));
	EXPECT_STREQ("", FindItem(1, 0).String());
}

TEST_F(StoreTest, ValuesReadTheSameWithOrWithoutNul)
{
	MakeFolder("0 - f");
	Bookmark withNul;
	Bookmark without;
	without.url = "http://example.org/";
	without.keywords = "Opera Bookmark";
	withNul.keywords = std::string("Opera Bookmark\0", 15);
	ASSERT_TRUE(MakeBookmark(Store("0 - f/0 - with"), withNul));
	ASSERT_TRUE(MakeBookmark(Store("0 - f/1 - without"), without));

	for (const char* name : {"0 - with", "1 - without"}) {
		BString url("stale");
		BString keywords("stale");
		ASSERT_TRUE(ReadBookmarkFile(BEntry(Store(std::string("0 - f/") + name).c_str()), &url,
		                             &keywords))
		        << name;
		EXPECT_STREQ("http://example.org/", url.String());
		EXPECT_STREQ("Opera Bookmark", keywords.String());
	}
}

TEST_F(StoreTest, WhatIsNotAReadableBookmark)
{
	MakeFolder("0 - f");
	BString url;
	BString keywords;
	auto readable = [&](const std::string& leaf) {
		return ReadBookmarkFile(BEntry(Store("0 - f/" + leaf).c_str()), &url, &keywords);
	};

	Bookmark noKeywords;
	noKeywords.hasKeywords = false;
	ASSERT_TRUE(MakeBookmark(Store("0 - f/0 - no keywords"), noKeywords));
	EXPECT_FALSE(readable("0 - no keywords"));
	EXPECT_STREQ("http://example.org/", url.String()) << "the URL was read before";

	Bookmark emptyValues;
	emptyValues.url = "";
	emptyValues.keywords = "";
	ASSERT_TRUE(MakeBookmark(Store("0 - f/1 - empty"), emptyValues));
	EXPECT_TRUE(readable("1 - empty"));
	EXPECT_STREQ("", url.String());

	Bookmark nulFirst;
	nulFirst.url = std::string("\0tail", 5);
	ASSERT_TRUE(MakeBookmark(Store("0 - f/2 - nul first"), nulFirst));
	EXPECT_TRUE(readable("2 - nul first"));
	EXPECT_STREQ("", url.String());

	Bookmark untyped;
	untyped.type.clear();
	ASSERT_TRUE(MakeBookmark(Store("0 - f/3 - untyped"), untyped));
	EXPECT_FALSE(readable("3 - untyped"));
	ASSERT_EQ(0, symlink("1 - empty", Store("0 - f/4 - link").c_str()));
	EXPECT_FALSE(readable("4 - link"));
	ASSERT_EQ(0, symlink("4 - link", Store("0 - f/5 - loop").c_str()));
	ASSERT_EQ(0, unlink(Store("0 - f/4 - link").c_str()));
	ASSERT_EQ(0, symlink("5 - loop", Store("0 - f/4 - link").c_str()));
	EXPECT_FALSE(readable("5 - loop"));
	EXPECT_FALSE(readable("6 - missing"));
	EXPECT_FALSE(ReadBookmarkFile(BEntry(), &url, &keywords));
	EXPECT_FALSE(ReadBookmarkFile(BEntry(Store("0 - f/1 - empty").c_str()), nullptr, &keywords));
}

TEST_F(StoreTest, StoreDirectoryFollowsTheConfigurationDirectory)
{
	MakeFolder("7 - here");
	{
		kvtest::TempDir other("kv-other");
		kvtest::ScopedEnv config("XDG_CONFIG_HOME", other.Path().c_str());
		EXPECT_STREQ("", FindItem(8, 0).String());
	}
	EXPECT_EQ(Store("7 - here"), FindItem(8, 0).String());
}

} // namespace
