// BMessage: typed fields, their error codes, the flattened form and its defence against
// broken input; the geometry types it carries.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <DataIO.h>
#include <Entry.h>
#include <Message.h>
#include <MessagePrivate.h>
#include <Messenger.h>
#include <String.h>

namespace {

std::vector<char>
FlattenToVector(const BMessage& message)
{
	std::vector<char> buffer(message.FlattenedSize());
	EXPECT_EQ(B_OK, message.Flatten(buffer.data(), (ssize_t)buffer.size()));
	return buffer;
}

// A message with every kind of value, several of them per name.
BMessage
MakeFullMessage()
{
	BMessage message('full');
	message.AddInt8("int8", -8);
	message.AddUInt8("uint8", 200);
	message.AddInt16("int16", -1600);
	message.AddUInt16("uint16", 60000);
	message.AddInt32("int32", -32);
	message.AddInt32("int32", 0x01020304);
	message.AddInt32("int32", INT32_MIN);
	message.AddUInt32("uint32", 0xdeadbeef);
	message.AddInt64("int64", INT64_MIN + 5);
	message.AddUInt64("uint64", UINT64_MAX - 1);
	message.AddBool("bool", true);
	message.AddBool("bool", false);
	message.AddFloat("float", 1.5f);
	message.AddDouble("double", -2.25e300);
	message.AddPoint("point", BPoint(30, -4.5f));
	message.AddRect("rect", BRect(1, 2, 3, 4));
	message.AddString("string", "first");
	message.AddString("string", BString("second, longer"));
	message.AddString("string", "");
	message.AddColor("color", make_color(1, 2, 3, 4));
	message.AddPointer("pointer", &message);
	const char raw[] = {'\0', 'a', '\xff'};
	message.AddData("raw", 'Zzzz', raw, sizeof(raw), false);
	message.AddData("raw", 'Zzzz', raw, 1, false);
	BMessage inner('innr');
	inner.AddString("text", "nested");
	message.AddMessage("message", &inner);
	return message;
}

void
ExpectFullMessage(const BMessage& message)
{
	EXPECT_EQ((uint32)'full', message.what);
	int8 i8;
	uint8 u8;
	int16 i16;
	uint16 u16;
	int32 i32;
	uint32 u32;
	int64 i64;
	uint64 u64;
	ASSERT_EQ(B_OK, message.FindInt8("int8", &i8));
	EXPECT_EQ(-8, i8);
	ASSERT_EQ(B_OK, message.FindUInt8("uint8", &u8));
	EXPECT_EQ(200, u8);
	ASSERT_EQ(B_OK, message.FindInt16("int16", &i16));
	EXPECT_EQ(-1600, i16);
	ASSERT_EQ(B_OK, message.FindUInt16("uint16", &u16));
	EXPECT_EQ(60000, u16);
	ASSERT_EQ(B_OK, message.FindInt32("int32", 1, &i32));
	EXPECT_EQ(0x01020304, i32);
	ASSERT_EQ(B_OK, message.FindInt32("int32", 2, &i32));
	EXPECT_EQ(INT32_MIN, i32);
	ASSERT_EQ(B_OK, message.FindUInt32("uint32", &u32));
	EXPECT_EQ(0xdeadbeef, u32);
	ASSERT_EQ(B_OK, message.FindInt64("int64", &i64));
	EXPECT_EQ(INT64_MIN + 5, i64);
	ASSERT_EQ(B_OK, message.FindUInt64("uint64", &u64));
	EXPECT_EQ(UINT64_MAX - 1, u64);

	bool flag = false;
	ASSERT_EQ(B_OK, message.FindBool("bool", 0, &flag));
	EXPECT_TRUE(flag);
	ASSERT_EQ(B_OK, message.FindBool("bool", 1, &flag));
	EXPECT_FALSE(flag);
	float f;
	double d;
	ASSERT_EQ(B_OK, message.FindFloat("float", &f));
	EXPECT_EQ(1.5f, f);
	ASSERT_EQ(B_OK, message.FindDouble("double", &d));
	EXPECT_EQ(-2.25e300, d);
	BPoint point;
	BRect rect;
	ASSERT_EQ(B_OK, message.FindPoint("point", &point));
	EXPECT_EQ(BPoint(30, -4.5f), point);
	ASSERT_EQ(B_OK, message.FindRect("rect", &rect));
	EXPECT_EQ(BRect(1, 2, 3, 4), rect);

	const char* text;
	BString string;
	ASSERT_EQ(B_OK, message.FindString("string", &text));
	EXPECT_STREQ("first", text);
	ASSERT_EQ(B_OK, message.FindString("string", 1, &string));
	EXPECT_EQ(BString("second, longer"), string);
	ASSERT_EQ(B_OK, message.FindString("string", 2, &text));
	EXPECT_STREQ("", text);

	rgb_color color;
	ASSERT_EQ(B_OK, message.FindColor("color", &color));
	EXPECT_EQ(make_color(1, 2, 3, 4), color);
	const void* data;
	ssize_t size;
	ASSERT_EQ(B_OK, message.FindData("raw", 'Zzzz', 0, &data, &size));
	ASSERT_EQ(3, size);
	EXPECT_EQ(0, memcmp(data, "\0a\xff", 3));
	ASSERT_EQ(B_OK, message.FindData("raw", B_ANY_TYPE, 1, &data, &size));
	EXPECT_EQ(1, size);

	BMessage inner;
	ASSERT_EQ(B_OK, message.FindMessage("message", &inner));
	EXPECT_EQ((uint32)'innr', inner.what);
	ASSERT_EQ(B_OK, inner.FindString("text", &text));
	EXPECT_STREQ("nested", text);
	void* pointer = nullptr;
	EXPECT_EQ(B_OK, message.FindPointer("pointer", &pointer));
	EXPECT_NE(nullptr, pointer);
	EXPECT_EQ(18, message.CountNames(B_ANY_TYPE));
}

void
ExpectCleanFailure(const std::vector<char>& bytes, const char* what)
{
	BMessage message = MakeFullMessage();
	status_t status = message.Unflatten(bytes.data(), (ssize_t)bytes.size());
	EXPECT_TRUE(status == B_BAD_VALUE || status == B_NOT_A_MESSAGE || status == B_NO_MEMORY)
	        << what << ": " << status;
	EXPECT_TRUE(message.IsEmpty()) << what;
	EXPECT_EQ(0u, message.what) << what;
}

void
Put32(std::vector<char>& bytes, size_t offset, uint32 value)
{
	for (int i = 0; i < 4; i++)
		bytes[offset + i] = char(value >> (8 * i));
}

// Offsets in the flattened layout of a message whose first field is named "f".
const size_t kHeaderSize = 64;
const size_t kFirstField = kHeaderSize;
const size_t kFirstValues = kHeaderSize + 16 + 1;

} // namespace

TEST(MessageTest, EveryFieldTypeSurvivesFlattening)
{
	BMessage original = MakeFullMessage();
	ExpectFullMessage(original);

	std::vector<char> buffer = FlattenToVector(original);
	BMessage copy;
	ASSERT_EQ(B_OK, copy.Unflatten(buffer.data(), (ssize_t)buffer.size()));
	ExpectFullMessage(copy);
	ASSERT_EQ(B_OK, copy.Unflatten(buffer.data()));
	ExpectFullMessage(copy);

	BMallocIO stream;
	ssize_t written = 0;
	ASSERT_EQ(B_OK, original.Flatten(&stream, &written));
	EXPECT_EQ(original.FlattenedSize(), written);
	stream.Seek(0, SEEK_SET);
	BMessage fromStream;
	ASSERT_EQ(B_OK, fromStream.Unflatten(&stream));
	ExpectFullMessage(fromStream);

	// Flattening again gives the same bytes: nothing is lost or reordered.
	EXPECT_EQ(buffer, FlattenToVector(fromStream));
}

TEST(MessageTest, FlattenedFormIsLittleEndianWithMagicAndVersion)
{
	BMessage message('abcd');
	message.AddInt32("f", 0x01020304);
	std::vector<char> bytes = FlattenToVector(message);
	ASSERT_EQ(kFirstValues + 4, bytes.size());
	EXPECT_EQ(std::string("GMVK"), std::string(bytes.data(), 4));
	EXPECT_EQ(1, bytes[4]);
	EXPECT_EQ((char)bytes.size(), bytes[8]);
	EXPECT_EQ(std::string("dcba"), std::string(bytes.data() + 12, 4));
	EXPECT_EQ(std::string("GNOL"), std::string(bytes.data() + kFirstField, 4));
	EXPECT_EQ(std::string("\x04\x03\x02\x01", 4), std::string(bytes.data() + kFirstValues, 4));
}

TEST(MessageTest, StreamHoldsMessagesBackToBack)
{
	BMessage first('one!');
	first.AddString("name", "a");
	BMessage second('two!');
	BMallocIO stream;
	ASSERT_EQ(B_OK, first.Flatten(&stream));
	ASSERT_EQ(B_OK, second.Flatten(&stream));
	stream.Seek(0, SEEK_SET);
	BMessage read;
	ASSERT_EQ(B_OK, read.Unflatten(&stream));
	EXPECT_EQ((uint32)'one!', read.what);
	ASSERT_EQ(B_OK, read.Unflatten(&stream));
	EXPECT_EQ((uint32)'two!', read.what);
	EXPECT_TRUE(read.IsEmpty());
	EXPECT_EQ(B_NOT_A_MESSAGE, read.Unflatten(&stream));
}

TEST(MessageTest, FindAndReplaceReportWhyTheyFail)
{
	BMessage message;
	int32 value = 7;
	EXPECT_EQ(B_NAME_NOT_FOUND, message.FindInt32("align", &value));
	EXPECT_EQ(B_NAME_NOT_FOUND, message.ReplaceInt32("align", 1));
	ASSERT_EQ(B_OK, message.AddFloat("align", 0.5f));
	EXPECT_EQ(B_BAD_TYPE, message.FindInt32("align", &value));
	EXPECT_EQ(B_BAD_TYPE, message.ReplaceInt32("align", 1));
	EXPECT_EQ(B_BAD_TYPE, message.AddInt32("align", 1));
	EXPECT_EQ(B_BAD_INDEX, message.ReplaceFloat("align", 1, 2.0f));
	float f;
	EXPECT_EQ(B_BAD_INDEX, message.FindFloat("align", 1, &f));
	EXPECT_EQ(B_BAD_INDEX, message.FindFloat("align", -1, &f));
	EXPECT_EQ(7, value);

	// A fixed-size field takes values of its own size only.
	ASSERT_EQ(B_OK, message.AddData("color", B_RAW_TYPE, "abcd", 4, true));
	EXPECT_EQ(B_BAD_VALUE, message.AddData("color", B_RAW_TYPE, "abc", 3, true));
	EXPECT_EQ(B_BAD_VALUE, message.ReplaceData("color", B_RAW_TYPE, "abcde", 5));
	// Values of known types must have their size, so every message flattens validly.
	EXPECT_EQ(B_BAD_VALUE, message.AddData("n", B_INT32_TYPE, "ab", 2));
	EXPECT_EQ(B_BAD_VALUE, message.AddData("s", B_STRING_TYPE, "ab", 2));
	EXPECT_EQ(B_BAD_VALUE, message.AddData("x", B_RAW_TYPE, "ab", 0));
	EXPECT_EQ(B_BAD_VALUE, message.AddString(nullptr, "x"));
	EXPECT_EQ(B_BAD_VALUE, message.AddString("x", (const char*)nullptr));
	EXPECT_EQ(B_BAD_VALUE, message.FindFloat("align", (float*)nullptr));

	ASSERT_EQ(B_OK, message.ReplaceFloat("align", 2.0f));
	ASSERT_EQ(B_OK, message.FindFloat("align", &f));
	EXPECT_EQ(2.0f, f);
	ASSERT_EQ(B_OK, message.AddString("text", "short"));
	ASSERT_EQ(B_OK, message.ReplaceString("text", "a much longer string than before"));
	EXPECT_TRUE(message.HasString("text"));
	EXPECT_FALSE(message.HasString("text", 1));
	EXPECT_FALSE(message.HasInt32("text"));
}

TEST(MessageTest, InformationAndRemoval)
{
	BMessage message = MakeFullMessage();
	type_code type;
	int32 count;
	bool fixed;
	ASSERT_EQ(B_OK, message.GetInfo("int32", &type, &count));
	EXPECT_EQ((type_code)B_INT32_TYPE, type);
	EXPECT_EQ(3, count);
	ASSERT_EQ(B_OK, message.GetInfo("string", &type, &fixed));
	EXPECT_FALSE(fixed);
	EXPECT_EQ(B_NAME_NOT_FOUND, message.GetInfo("missing", &type, &count));

	char* name;
	ASSERT_EQ(B_OK, message.GetInfo(B_STRING_TYPE, 0, &name, &type, &count));
	EXPECT_STREQ("string", name);
	EXPECT_EQ(B_BAD_INDEX, message.GetInfo(B_STRING_TYPE, 1, &name, &type));
	EXPECT_EQ(B_BAD_TYPE, message.GetInfo(B_MESSENGER_TYPE, 0, &name, &type));
	ASSERT_EQ(B_OK, message.GetInfo(B_ANY_TYPE, 1, &name, &type));
	EXPECT_STREQ("uint8", name);
	EXPECT_EQ(1, message.CountNames(B_INT32_TYPE));
	EXPECT_EQ(18, message.CountNames(B_ANY_TYPE));

	ASSERT_EQ(B_OK, message.RemoveData("int32", 0));
	int32 value;
	ASSERT_EQ(B_OK, message.FindInt32("int32", &value));
	EXPECT_EQ(0x01020304, value);
	EXPECT_EQ(B_BAD_INDEX, message.RemoveData("int32", 2));
	ASSERT_EQ(B_OK, message.RemoveData("uint8"));
	EXPECT_FALSE(message.HasUInt8("uint8"));
	EXPECT_EQ(B_NAME_NOT_FOUND, message.RemoveName("uint8"));
	ASSERT_EQ(B_OK, message.RemoveName("string"));
	EXPECT_EQ(16, message.CountNames(B_ANY_TYPE));
	message.MakeEmpty();
	EXPECT_TRUE(message.IsEmpty());
	EXPECT_EQ((uint32)'full', message.what);
}

TEST(MessageTest, CopiesOwnTheirData)
{
	BMessage original = MakeFullMessage();
	BMessage copy(original);
	BMessage assigned;
	assigned = original;
	original.ReplaceString("string", "changed");
	original.RemoveName("int8");
	ExpectFullMessage(copy);
	ExpectFullMessage(assigned);

	// Nothing points into the buffer a message was read from.
	std::vector<char> buffer = FlattenToVector(copy);
	BMessage read;
	ASSERT_EQ(B_OK, read.Unflatten(buffer.data(), (ssize_t)buffer.size()));
	std::fill(buffer.begin(), buffer.end(), '\x55');
	buffer.clear();
	buffer.shrink_to_fit();
	ExpectFullMessage(read);
}

TEST(MessageTest, DeliveryStateTravelsInTheFlattenedForm)
{
	BMessage message('dlvr');
	EXPECT_FALSE(message.IsSourceWaiting());
	EXPECT_FALSE(message.WasDropped());
	BPrivate::MessagePrivate access(&message);
	access.SetTarget(42, true);
	access.SetRemote(true);
	access.SetIsReply(true);
	access.SetDropped(BPoint(10, 20), BPoint(1, 2));
	access.SetReplyTo(BPrivate::messenger_data{1234, 5, -1}, true);

	std::vector<char> bytes = FlattenToVector(message);
	BMessage read;
	ASSERT_EQ(B_OK, read.Unflatten(bytes.data(), (ssize_t)bytes.size()));
	BPrivate::MessagePrivate readAccess(&read);
	EXPECT_EQ(42, readAccess.GetTarget());
	EXPECT_TRUE(readAccess.UsePreferredTarget());
	EXPECT_TRUE(read.IsSourceRemote());
	EXPECT_TRUE(read.IsReply());
	EXPECT_TRUE(read.WasDropped());
	BPoint offset;
	EXPECT_EQ(BPoint(10, 20), read.DropPoint(&offset));
	EXPECT_EQ(BPoint(1, 2), offset);
	ASSERT_TRUE(readAccess.HasReplyTo());
	EXPECT_EQ(1234, readAccess.GetReplyTo().team);
	EXPECT_EQ(5, readAccess.GetReplyTo().looperToken);
	EXPECT_EQ(-1, readAccess.GetReplyTo().handlerToken);
	EXPECT_TRUE(read.IsSourceWaiting());
	readAccess.SetReplyDone(true);
	EXPECT_FALSE(read.IsSourceWaiting());

	// A failed read also clears the delivery state.
	EXPECT_NE(B_OK, read.Unflatten(bytes.data(), 10));
	EXPECT_FALSE(read.IsSourceRemote());
	EXPECT_EQ(-1, readAccess.GetTarget());
}

TEST(MessageTest, SystemCodes)
{
	EXPECT_TRUE(BMessage(B_QUIT_REQUESTED).IsSystem());
	EXPECT_TRUE(BMessage(B_MOUSE_DOWN).IsSystem());
	EXPECT_FALSE(BMessage('kvf0').IsSystem());
	EXPECT_FALSE(BMessage(B_NODE_MONITOR).IsSystem());
	EXPECT_FALSE(BMessage('_abc').IsSystem());
}

TEST(MessageTest, NestingIsBounded)
{
	BMessage message('leaf');
	int depth = 0;
	for (; depth < 40; depth++) {
		BMessage outer('nest');
		if (outer.AddMessage("inner", &message) != B_OK)
			break;
		message = outer;
	}
	EXPECT_GT(depth, 8);
	EXPECT_LT(depth, 40);
	std::vector<char> bytes = FlattenToVector(message);
	BMessage read;
	ASSERT_EQ(B_OK, read.Unflatten(bytes.data(), (ssize_t)bytes.size()));
	BMessage inner;
	ASSERT_EQ(B_OK, read.FindMessage("inner", &inner));
	EXPECT_EQ((uint32)'nest', inner.what);
}

TEST(MessageTest, BrokenInputIsRefusedCleanly)
{
	BMessage message('brok');
	message.AddInt32("f", 5);
	message.AddString("s", "text");
	const std::vector<char> good = FlattenToVector(message);

	// Every truncation, and trailing bytes.
	for (size_t length = 0; length < good.size(); length++)
		ExpectCleanFailure(std::vector<char>(good.begin(), good.begin() + length), "truncated");
	std::vector<char> longer = good;
	longer.push_back(0);
	ExpectCleanFailure(longer, "trailing byte");

	struct Patch
	{
		const char* what;
		size_t offset;
		uint32 value;
	} patches[] = {
	        {"magic", 0, 'XXXX'},
	        {"version", 4, 2},
	        {"total size", 8, (uint32)good.size() + 1},
	        {"huge total size", 8, 0xffffffff},
	        {"unknown flag", 16, 0x100},
	        {"field count", 52, 3},
	        {"huge field count", 52, 0xffffffff},
	        {"reserved", 56, 1},
	        {"any type", kFirstField, B_ANY_TYPE},
	        {"rect typed int", kFirstField, B_RECT_TYPE},
	        {"wrong int size", kFirstField + 8, 3},
	        {"huge value count", kFirstField + 4, 0x40000000},
	        {"zero value count", kFirstField + 4, 0},
	        {"field flags", kFirstField + 12, 0x00020001},
	        {"name length", kFirstField + 12, 0x0001ffff},
	};
	for (const Patch& patch : patches) {
		std::vector<char> bytes = good;
		Put32(bytes, patch.offset, patch.value);
		ExpectCleanFailure(bytes, patch.what);
	}

	// The string field follows the 4-byte int: a string whose NUL was overwritten, and
	// a duplicated name.
	std::vector<char> noNul = good;
	noNul.back() = 'x';
	ExpectCleanFailure(noNul, "string without NUL");
	std::vector<char> duplicate = good;
	duplicate[kFirstValues + 4 + 16] = 'f';
	ExpectCleanFailure(duplicate, "duplicate name");
}

TEST(MessageTest, BrokenNestedMessageIsRefused)
{
	BMessage inner('innr');
	inner.AddInt32("v", 1);
	std::vector<char> innerBytes = FlattenToVector(inner);
	innerBytes[kFirstValues - 1] = '\0';
	BMessage outer;
	EXPECT_EQ(B_BAD_VALUE, outer.AddData("m", B_MESSAGE_TYPE, innerBytes.data(),
	                                     (ssize_t)innerBytes.size(), false));
	EXPECT_TRUE(outer.IsEmpty());
}

TEST(MessageTest, RandomDamageNeverCrashes)
{
	const std::vector<char> good = FlattenToVector(MakeFullMessage());
	std::mt19937 random(1234);
	for (int round = 0; round < 3000; round++) {
		std::vector<char> bytes = good;
		int flips = 1 + random() % 4;
		for (int i = 0; i < flips; i++)
			bytes[random() % bytes.size()] = char(random());
		BMessage message('old!');
		message.AddInt32("x", 1);
		if (message.Unflatten(bytes.data(), (ssize_t)bytes.size()) != B_OK) {
			ASSERT_TRUE(message.IsEmpty());
			continue;
		}
		// Whatever was accepted flattens again to a message that reads back.
		std::vector<char> again = FlattenToVector(message);
		BMessage reread;
		ASSERT_EQ(B_OK, reread.Unflatten(again.data(), (ssize_t)again.size()));
	}
}

// A stream that claims far more than it holds; reading must stop at what is there.
TEST(MessageTest, HugeClaimedSizeReadsOnlyWhatIsThere)
{
	std::vector<char> bytes = FlattenToVector(BMessage('big!'));
	Put32(bytes, 8, 200 * 1024 * 1024);
	BMemoryIO stream(bytes.data(), bytes.size());
	BMessage message;
	message.AddInt32("x", 1);
	EXPECT_EQ(B_BAD_VALUE, message.Unflatten(&stream));
	EXPECT_TRUE(message.IsEmpty());

	Put32(bytes, 8, 0x7fffffff);
	BMemoryIO tooBig(bytes.data(), bytes.size());
	EXPECT_EQ(B_NO_MEMORY, message.Unflatten(&tooBig));
}

TEST(GeometryTest, RectAndPointArithmetic)
{
	BRect rect(10, 10, 19, 29);
	EXPECT_EQ(9, rect.Width());
	EXPECT_EQ(19, rect.IntegerHeight());
	EXPECT_TRUE(rect.IsValid());
	EXPECT_FALSE(BRect().IsValid());
	EXPECT_TRUE(rect.Contains(BPoint(19, 29)));
	EXPECT_FALSE(rect.Contains(BPoint(19.5f, 20)));

	BRect other(15, 0, 40, 12);
	EXPECT_TRUE(rect.Intersects(other));
	EXPECT_EQ(BRect(15, 10, 19, 12), rect & other);
	EXPECT_EQ(BRect(10, 0, 40, 29), rect | other);
	EXPECT_FALSE(rect.Intersects(BRect(20, 30, 25, 35)));
	EXPECT_FALSE((rect & BRect(20, 30, 25, 35)).IsValid());

	EXPECT_EQ(BRect(12, 11, 17, 28), rect.InsetByCopy(2, 1));
	EXPECT_EQ(BRect(0, 0, 9, 19), rect.OffsetToCopy(B_ORIGIN));
	rect.OffsetBy(BPoint(1, -1));
	EXPECT_EQ(BPoint(11, 9), rect.LeftTop());
	EXPECT_EQ(BPoint(20, 28), rect.RightBottom());

	BPoint point(50, -5);
	point.ConstrainTo(rect);
	EXPECT_EQ(BPoint(20, 9), point);
	EXPECT_EQ(BPoint(3, 4), BPoint(1, 1) + BPoint(2, 3));

	rgb_color color = {1, 2, 3, 4};
	EXPECT_NE(color, B_TRANSPARENT_COLOR);
	EXPECT_EQ(make_color(9, 8, 7), color.set_to(9, 8, 7));
}

TEST(MessageTest, MessengersAndRefsSurviveFlattening)
{
	BMessenger remote = BPrivate::MakeMessenger(BPrivate::messenger_data{4321, 5, 9});
	entry_ref ref(3, 4567, "bookmark name");
	entry_ref nameless(3, 8, nullptr);
	BMessage message;
	ASSERT_EQ(B_OK, message.AddMessenger("target", remote));
	ASSERT_EQ(B_OK, message.AddRef("refs", &ref));
	ASSERT_EQ(B_OK, message.AddRef("refs", &nameless));
	EXPECT_EQ(B_BAD_VALUE, message.AddRef("refs", nullptr));

	std::vector<char> bytes = FlattenToVector(message);
	BMessage read;
	ASSERT_EQ(B_OK, read.Unflatten(bytes.data(), (ssize_t)bytes.size()));
	BMessenger messenger;
	ASSERT_EQ(B_OK, read.FindMessenger("target", &messenger));
	BPrivate::messenger_data data = BPrivate::GetMessengerData(messenger);
	EXPECT_EQ(4321, data.team);
	EXPECT_EQ(5, data.looperToken);
	EXPECT_EQ(9, data.handlerToken);
	entry_ref found;
	ASSERT_EQ(B_OK, read.FindRef("refs", &found));
	EXPECT_EQ(ref, found);
	ASSERT_EQ(B_OK, read.FindRef("refs", 1, &found));
	EXPECT_EQ(nullptr, found.name);
	EXPECT_EQ(8, found.directory);

	entry_ref renamed(3, 4567, "other");
	ASSERT_EQ(B_OK, read.ReplaceRef("refs", &renamed));
	ASSERT_EQ(B_OK, read.FindRef("refs", &found));
	EXPECT_STREQ("other", found.name);
}
