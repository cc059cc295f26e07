// The store's naming functions, with both overloads of each checked against one table.
#include "store/KVNames.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct NameCase
{
	const char* path;
	int number;
	const char* name;
};

const NameCase kNameCases[] = {
        {"/s/3 - Work", 3, "Work"},
        {"/s/3-Work", 3, "Work"},
        {"/s/3 Work-Home", 3, "Home"},
        {"/s/0 - News", 0, "News"},
        {"/s/9 - Misc", 9, "Misc"},
        {"/s/12 - x", -1, "x"},
        {"/s/10 - x", -1, "x"},
        {"/s/33-same digit twice", -1, "same digit twice"},
        {"/s/ 3 - blank first", -1, "blank first"},
        {"/s/Work", -1, ""},
        {"/s/7", -1, ""},
        {"/s/7 no dash", -1, ""},
        {"/s/- 3", -1, "3"},
        {"/s/3 - a - b", 3, "a - b"},
        {"/s/3 - a-b", 3, "a-b"},
        {"/s/3 -  two blanks", 3, " two blanks"},
        {"/s/4 -", 4, ""},
        {"/s/4 - ", 4, ""},
        {"/s/x3 - y", -1, "y"},
        {"/s/2 - A/5 - inner", 5, "inner"},
        {"/s/5 - x/no dash here", -1, ""},
        {"/s/\xff - bad byte", -1, "bad byte"},
        {"/s/\xd9\xa3 - arabic digit", -1, "arabic digit"},
        {"/s/6 - \xff\xfe", 6, "\xff\xfe"},
        {"8 - no slash", 8, "no slash"},
        {"", -1, ""},
        {"/", -1, ""},
};

TEST(NamesTest, NumbersAndNamesFromLeaves)
{
	for (const NameCase& item : kNameCases) {
		EXPECT_EQ(item.number, GetNumber(item.path)) << item.path;
		EXPECT_EQ(item.number, GetNumber(BString(item.path))) << item.path;
		EXPECT_STREQ(item.name, GetName(item.path).String()) << item.path;
		EXPECT_STREQ(item.name, GetName(BString(item.path)).String()) << item.path;
	}
	EXPECT_EQ(-1, GetNumber(static_cast<const char*>(nullptr)));
	EXPECT_STREQ("", GetName(static_cast<const char*>(nullptr)).String());
	EXPECT_EQ(-1, GetNumber(BString()));
	EXPECT_STREQ("", GetName(BString()).String());
}

TEST(NamesTest, UrlsAreCutAtFiftyBytes)
{
	std::string fifty = "http://example.org/" + std::string(31, 'a');
	ASSERT_EQ(50u, fifty.size());
	EXPECT_EQ(fifty, ParseURL(fifty.c_str()).String());

	std::string fiftyOne = fifty + "b";
	std::string cut = fiftyOne.substr(0, 46) + "....";
	EXPECT_EQ(cut, ParseURL(fiftyOne.c_str()).String());
	EXPECT_EQ(cut, ParseURL(BString(fiftyOne.c_str())).String());
	EXPECT_EQ(50, ParseURL(std::string(500, 'u').c_str()).Length());

	// Bytes, not characters: a two-byte character across byte 46 is split.
	std::string wide = std::string(45, 'w') + "\xc3\xa9" + std::string(10, 'z');
	BString shortened = ParseURL(wide.c_str());
	EXPECT_EQ(50, shortened.Length());
	EXPECT_EQ(std::string(45, 'w') + "\xc3....", shortened.String());

	EXPECT_STREQ("", ParseURL("").String());
	EXPECT_STREQ("", ParseURL(static_cast<const char*>(nullptr)).String());
	EXPECT_STREQ("", ParseURL(BString()).String());
}

} // namespace
