// The parser on its own: entry rules, folder balance and line clean-up.
#include "ParserTestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::vector<std::string>
Parse(const std::string& text)
{
	RecordingSink sink;
	KVOperaParser parser(&sink);
	std::istringstream stream(text);
	parser.ParseStream(stream);
	return sink.events;
}

using Events = std::vector<std::string>;
using namespace std::string_literals;

} // namespace

TEST(OperaParser, ReadsFoldersLinksAndValues)
{
	EXPECT_EQ(
	        Parse("Opera Hotlist version 2.0\n\n#FOLDER\n\tID=1\n\tNAME=News\n\n"
	              "#URL\n\tNAME=Q=A\n\n\tURL=http://x/?a=1&b=2\n\tDISPLAY URL=ignored\n"
	              "-\n#URL\n\tURL=http://late/\n\tCREATED=1\n\tSHORT NAME=Late\n"),
	        (Events{"open News", "link Q=A http://x/?a=1&b=2", "close", "link Late http://late/"}));
	// Case matters, and a line with both words is a NAME line.
	EXPECT_EQ(Parse("#URL\n\tname=a\n\turl=b\n\tURL NAME=n\n\tURL=u\n"), (Events{"link n u"}));
	// Text before the entry marker does not matter; a later NAME replaces an earlier one.
	EXPECT_EQ(Parse("x#URL\n\tNAME=a\n\tNAME=b\n\tURL=u\n"), (Events{"link b u"}));
}

TEST(OperaParser, EntryEndsAtNextEntryOrFolderEnd)
{
	// An unfinished link writes nothing and the line that ended it still counts.
	EXPECT_EQ(Parse("#FOLDER\n\tNAME=F\n#URL\n\tNAME=lost\n-\n#URL\n\tNAME=kept\n\tURL=u\n"),
	          (Events{"open F", "close", "link kept u"}));
	EXPECT_EQ(Parse("#URL\n\tURL=u\n#FOLDER\n\tNAME=F\n#URL\n\tNAME=n\n\tURL=v\n"),
	          (Events{"open F", "link n v"}));
	// Empty values never complete an entry.
	EXPECT_EQ(Parse("#URL\n\tNAME=\n\tURL=u\n#URL\n\tNAME=n\n\tURL=\n\tURL\n"), Events{});
}

TEST(OperaParser, UnnamedFoldersBalanceTheirOwnEnd)
{
	// No NAME line, and an empty NAME: nothing opens, items land in the enclosing folder,
	// and each "-" closes its own folder only.
	EXPECT_EQ(Parse("#FOLDER\n\tNAME=Outer\n#FOLDER\n\tID=2\n\n#URL\n\tNAME=a\n\tURL=1\n-\n"
	                "#FOLDER\n\tNAME=\n#URL\n\tNAME=b\n\tURL=2\n-\n#URL\n\tNAME=c\n\tURL=3\n-\n"
	                "#URL\n\tNAME=d\n\tURL=4\n"),
	          (Events{"open Outer", "link a 1", "link b 2", "link c 3", "close", "link d 4"}));
}

TEST(OperaParser, NeverClosesMoreThanItOpened)
{
	RecordingSink sink;
	KVOperaParser parser(&sink);
	std::istringstream stream("-\n-\n#FOLDER\n\tNAME=A\n-\n-\n-\n#URL\n\tNAME=n\n\tURL=u\n");
	parser.ParseStream(stream);
	EXPECT_EQ(sink.events, (Events{"open A", "close", "link n u"}));
	EXPECT_EQ(parser.Depth(), 0u);
}

TEST(OperaParser, CleansLines)
{
	// One trailing CR goes; a second one stays part of the value.
	EXPECT_EQ(Parse("#URL\r\n\tNAME=n\r\r\n\tURL=u\r\n-\r\n"), (Events{"link n\r u"}));
	// The byte-order mark only counts at the very start.
	EXPECT_EQ(Parse("\xEF\xBB\xBF#URL\n\tNAME=\xEF\xBB\xBFn\n\tURL=u\n"),
	          (Events{"link \xEF\xBB\xBFn u"}));
	// A NUL ends the line, so an empty value stays empty.
	EXPECT_EQ(Parse("#URL\n\tNAME=\0x\n\tNAME=a\0b\n\tURL=u\n"s), (Events{"link a u"}));
	// The last line needs no newline.
	EXPECT_EQ(Parse("#URL\n\tNAME=n\n\tURL=u"), (Events{"link n u"}));
}

TEST(OperaParser, ReadsLinesOfAnyLength)
{
	std::string longURL = "http://long/" + std::string(100000, 'x');
	std::string longNote = "\tDESCRIPTION=" + std::string(50000, 'd');
	EXPECT_EQ(Parse("#URL\n\tNAME=n\n" + longNote + "\n\tURL=" + longURL +
	                "\n#URL\n\tNAME=m\n"
	                "\tURL=v\n"),
	          (Events{"link n " + longURL, "link m v"}));
}

TEST(OperaParser, FixStringMakesOneSafeFileName)
{
	EXPECT_EQ(FixString("a/b//c/"), "a_b__c_");
	EXPECT_EQ(FixString("."), "_");
	EXPECT_EQ(FixString(".."), "__");
	EXPECT_EQ(FixString("..."), "...");
	EXPECT_EQ(FixString("../x"), ".._x");
	EXPECT_EQ(FixString(".hidden"), ".hidden");
	EXPECT_EQ(FixString("\xE6\x97\xA5\xE6\x9C\xAC / \xD0\x96"),
	          "\xE6\x97\xA5\xE6\x9C\xAC _ \xD0\x96");
}
