// BString: searching, editing and comparison at the edges where callers get offsets wrong.
#include <String.h>

#include <cstring>

#include <gtest/gtest.h>

TEST(StringTest, NullAndEmptyInputsGiveEmptyStrings)
{
	BString fromNull(nullptr);
	EXPECT_STREQ(fromNull.String(), "");
	EXPECT_EQ(fromNull.Length(), 0);
	BString text("abc");
	text.Append(nullptr).Prepend(nullptr).Insert(nullptr, 1);
	EXPECT_EQ(text, "abc");
	EXPECT_EQ(text.Compare(nullptr), 1);
	EXPECT_EQ(BString("abcdef", 3), "abc");
	EXPECT_EQ(BString("ab", 10), "ab") << "maxLength beyond the string stops at its NUL";
}

TEST(StringTest, FindFirstAndLastHonourOffsets)
{
	BString text("3 - a - b");
	EXPECT_EQ(text.FindFirst("-"), 2);
	EXPECT_EQ(text.FindFirst('-'), 2);
	EXPECT_EQ(text.FindFirst("-", 3), 6);
	EXPECT_EQ(text.FindFirst("x"), B_ERROR);
	EXPECT_LT(text.FindFirst("-", 100), 0);
	EXPECT_EQ(text.FindLast("-"), 6);
	EXPECT_EQ(text.FindLast('-'), 6);
	EXPECT_EQ(text.FindLast("-", 6), 2) << "beforeOffset excludes a match starting there";
	EXPECT_EQ(text.FindLast('-', 6), 2);
	EXPECT_EQ(text.FindLast("- b", 100), 6);
	EXPECT_EQ(BString("").FindLast("a"), B_ERROR);
	EXPECT_EQ(BString("ABC").IFindFirst("bc"), 1);
}

TEST(StringTest, EditingClampsBadRanges)
{
	BString text("hello");
	text.Insert("X", 100);
	EXPECT_EQ(text, "helloX");
	text.Insert("Y", -3);
	EXPECT_EQ(text, "YhelloX");
	text.Remove(5, 100);
	EXPECT_EQ(text, "Yhell");
	text.Remove(-1, 2).Remove(10, 1);
	EXPECT_EQ(text, "Yhell");
	text.Truncate(2);
	EXPECT_EQ(text, "Yh");
	text.Truncate(10);
	EXPECT_EQ(text, "Yh");

	BString part;
	BString("abcdef").CopyInto(part, 2, 100);
	EXPECT_EQ(part, "cdef");
	BString("abc").CopyInto(part, 10, 1);
	EXPECT_EQ(part, "");
	char buffer[4] = {'?', '?', '?', '?'};
	BString("ab").CopyInto(buffer, 1, 10);
	EXPECT_EQ(buffer[0], 'b');
	EXPECT_EQ(buffer[1], '?') << "CopyInto must not write past the source's end";
}

TEST(StringTest, ReplaceCountsAndDoesNotRescanTheReplacement)
{
	BString text("a/b/c");
	text.ReplaceAll('/', '_');
	EXPECT_EQ(text, "a_b_c");
	BString grow("aa");
	grow.ReplaceAll("a", "aa");
	EXPECT_EQ(grow, "aaaa");
	BString limited("xxxx");
	limited.Replace("x", "y", 2, 1);
	EXPECT_EQ(limited, "xyyx");
	BString last("a-a-a");
	last.ReplaceLast("a", "b").ReplaceFirst("a", "c");
	EXPECT_EQ(last, "c-a-b");
	BString empty("abc");
	empty.ReplaceAll("", "x");
	EXPECT_EQ(empty, "abc");
}

TEST(StringTest, ComparisonsAreByteWiseAndSymmetric)
{
	BString a("apple"), b("Banana");
	EXPECT_GT(a.Compare(b), 0);
	EXPECT_LT(a.ICompare(b), 0);
	EXPECT_TRUE(b < a);
	EXPECT_TRUE("apple" == a);
	EXPECT_TRUE(a == "apple");
	EXPECT_TRUE("zebra" > a);
	EXPECT_EQ(a.Compare("applesauce", 5), 0);
	EXPECT_EQ(BString("APPLICATION/X-VND.BE-BOOKMARK").ICompare("application/x-vnd.Be-bookmark"),
	          0);
}

TEST(StringTest, LockBufferWritesAndUnlockSetsTheLength)
{
	BString text("ab");
	char* buffer = text.LockBuffer(10);
	strcpy(buffer, "0123456789");
	text.UnlockBuffer();
	EXPECT_EQ(text.Length(), 10);
	text.LockBuffer(3)[1] = '\0';
	text.UnlockBuffer();
	EXPECT_EQ(text, "0");
	memcpy(text.LockBuffer(4), "xyzw", 4);
	text.UnlockBuffer(2);
	EXPECT_EQ(text, "xy");
}

TEST(StringTest, StreamingFormattingAndCharacters)
{
	BString text;
	text << "n=" << 5 << ' ' << int64(-7) << " " << 1.5f;
	EXPECT_EQ(text, "n=5 -7 1.50");
	text.SetToFormat("%d -", 4);
	EXPECT_EQ(text, "4 -");
	EXPECT_EQ(BString("日本").CountChars(), 2);
	EXPECT_EQ(BString("日本").Length(), 6);
	EXPECT_EQ(BString("ab").ByteAt(5), 0);
	EXPECT_EQ(BString("ab")[1], 'b');
	EXPECT_TRUE(BString("abc").StartsWith("ab"));
	EXPECT_FALSE(BString("abc").EndsWith("abcd"));
}
