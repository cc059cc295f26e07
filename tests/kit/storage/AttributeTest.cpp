// Attributes on real files: exact bytes on disk, types, listings shared with other
// programs, size limits of ext4 and tmpfs, and a file system without user xattrs.
#include <File.h>
#include <Node.h>
#include <NodeInfo.h>
#include <TypeConstants.h>
#include <fs_attr.h>

#include "StorageTestUtils.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>
#include <vector>

namespace {

const long kExt4Magic = 0xEF53;

class AttributeTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		fPath = fDir.Sub("file");
		ASSERT_TRUE(kvtest::Touch(fPath));
		ASSERT_EQ(B_OK, fNode.SetTo(fPath.c_str()));
	}

	std::string ReadAll(const char* name)
	{
		attr_info info;
		if (fNode.GetAttrInfo(name, &info) != B_OK)
			return "<missing>";
		std::string value(static_cast<size_t>(info.size), '\0');
		ssize_t read = fNode.ReadAttr(name, B_STRING_TYPE, 0, value.data(), value.size());
		return read == info.size ? value : "<short>";
	}

	std::vector<std::string> Names()
	{
		std::vector<std::string> names;
		char name[B_ATTR_NAME_LENGTH];
		fNode.RewindAttrs();
		while (fNode.GetNextAttrName(name) == B_OK)
			names.push_back(name);
		return names;
	}

	kvtest::TempDir fDir{"kv-attr"};
	std::string fPath;
	BNode fNode;
};

TEST_F(AttributeTest, ValuesKeepTheirExactBytesWithOrWithoutNul)
{
	const char url[] = "http://example.org/";
	EXPECT_EQ(ssize_t(sizeof(url)),
	          fNode.WriteAttr("META:url", B_STRING_TYPE, 0, url, sizeof(url)));
	EXPECT_EQ(14, fNode.WriteAttr("META:keyw", B_STRING_TYPE, 0, "Opera Bookmark", 14));

	std::string raw;
	ASSERT_TRUE(kvtest::GetXattr(fPath, "user.META:url", &raw));
	EXPECT_EQ(std::string(url, sizeof(url)), raw);
	ASSERT_TRUE(kvtest::GetXattr(fPath, "user.META:keyw", &raw));
	EXPECT_EQ("Opera Bookmark", raw);

	attr_info info;
	ASSERT_EQ(B_OK, fNode.GetAttrInfo("META:url", &info));
	EXPECT_EQ(B_STRING_TYPE, info.type);
	EXPECT_EQ(off_t(sizeof(url)), info.size);
	EXPECT_EQ(std::string(url, sizeof(url)), ReadAll("META:url"));
}

TEST_F(AttributeTest, MissingAndEmptyAttributes)
{
	attr_info info;
	char buffer[8];
	EXPECT_EQ(B_ENTRY_NOT_FOUND, fNode.GetAttrInfo("META:keyw", &info));
	EXPECT_EQ(B_ENTRY_NOT_FOUND, fNode.ReadAttr("META:keyw", B_STRING_TYPE, 0, buffer, 8));
	EXPECT_EQ(B_ENTRY_NOT_FOUND, fNode.RemoveAttr("META:keyw"));

	EXPECT_EQ(0, fNode.WriteAttr("META:keyw", B_STRING_TYPE, 0, "", 0));
	ASSERT_EQ(B_OK, fNode.GetAttrInfo("META:keyw", &info));
	EXPECT_EQ(0, info.size);
	EXPECT_EQ(0, fNode.ReadAttr("META:keyw", B_STRING_TYPE, 0, buffer, 8));

	EXPECT_EQ(B_OK, fNode.RemoveAttr("META:keyw"));
	EXPECT_EQ(B_ENTRY_NOT_FOUND, fNode.GetAttrInfo("META:keyw", &info));
}

TEST_F(AttributeTest, OffsetZeroReplacesLaterOffsetsPatch)
{
	fNode.WriteAttr("a", B_STRING_TYPE, 0, "long old value", 14);
	fNode.WriteAttr("a", B_STRING_TYPE, 0, "new", 3);
	EXPECT_EQ("new", ReadAll("a"));

	fNode.WriteAttr("a", B_STRING_TYPE, 1, "XY", 2);
	EXPECT_EQ("nXY", ReadAll("a"));
	fNode.WriteAttr("a", B_STRING_TYPE, 5, "Z", 1);
	EXPECT_EQ(std::string("nXY\0\0Z", 6), ReadAll("a"));

	char part[3] = {};
	EXPECT_EQ(2, fNode.ReadAttr("a", B_STRING_TYPE, 1, part, 2));
	EXPECT_STREQ("XY", part);
	EXPECT_EQ(0, fNode.ReadAttr("a", B_STRING_TYPE, 100, part, 2));
	EXPECT_EQ(3, fNode.ReadAttr("a", B_STRING_TYPE, 0, part, 3));
}

TEST_F(AttributeTest, TypesAreRecordedBesideTheValueAndHidden)
{
	int32 value = 0x01020304;
	ASSERT_EQ(4, fNode.WriteAttr("count", B_INT32_TYPE, 0, &value, sizeof(value)));
	attr_info info;
	ASSERT_EQ(B_OK, fNode.GetAttrInfo("count", &info));
	EXPECT_EQ(uint32(B_INT32_TYPE), info.type);

	std::string raw;
	ASSERT_TRUE(kvtest::GetXattr(fPath, "user.count", &raw));
	EXPECT_EQ(std::string(reinterpret_cast<char*>(&value), 4), raw);
	EXPECT_EQ(std::vector<std::string>{"count"}, Names());

	// Rewritten as a string, the stale record must go, or it would retype the text.
	fNode.WriteAttr("count", B_STRING_TYPE, 0, "four", 4);
	ASSERT_EQ(B_OK, fNode.GetAttrInfo("count", &info));
	EXPECT_EQ(uint32(B_STRING_TYPE), info.type);
	EXPECT_EQ(std::vector<std::string>{"user.count"}, kvtest::ListXattrs(fPath));
}

// A node learns once which type records its file has; a string written later must still
// drop the record whoever made it, or the text would read back as the old type.
TEST_F(AttributeTest, StringsDropTypeRecordsWhoeverWroteThem)
{
	int32 value = 5;
	attr_info info;
	{
		BNode writer(fPath.c_str());
		ASSERT_EQ(4, writer.WriteAttr("early", B_INT32_TYPE, 0, &value, sizeof(value)));
		ASSERT_EQ(4, writer.WriteAttr("gone", B_INT32_TYPE, 0, &value, sizeof(value)));
	}
	// Enough other attributes that the listing is longer than a first guess at its size.
	for (int i = 0; i < 40; i++) {
		std::string name = "user.other." + std::string(40, 'o') + std::to_string(i);
		ASSERT_TRUE(kvtest::SetXattr(fPath, name, "x"));
	}
	BNode node(fPath.c_str());
	ASSERT_EQ(4, node.WriteAttr("early", B_STRING_TYPE, 0, "text", 4));
	ASSERT_EQ(B_OK, node.GetAttrInfo("early", &info));
	EXPECT_EQ(uint32(B_STRING_TYPE), info.type);
	EXPECT_EQ(42u, Names().size());

	ASSERT_EQ(B_OK, node.RemoveAttr("gone"));
	ASSERT_TRUE(kvtest::SetXattr(fPath, "user.gone", "back"));
	ASSERT_EQ(B_OK, node.GetAttrInfo("gone", &info));
	EXPECT_EQ(uint32(B_STRING_TYPE), info.type);

	// A file made exclusively starts without records, then keeps track of its own.
	std::string made = fDir.Sub("made");
	BFile file(made.c_str(), B_READ_WRITE | B_CREATE_FILE | B_FAIL_IF_EXISTS);
	ASSERT_EQ(B_OK, file.InitCheck());
	ASSERT_EQ(4, file.WriteAttr("late", B_INT32_TYPE, 0, &value, sizeof(value)));
	ASSERT_EQ(4, file.WriteAttr("late", B_STRING_TYPE, 0, "text", 4));
	ASSERT_EQ(B_OK, file.GetAttrInfo("late", &info));
	EXPECT_EQ(uint32(B_STRING_TYPE), info.type);
	EXPECT_EQ(std::vector<std::string>{"user.late"}, kvtest::ListXattrs(made));
}

TEST_F(AttributeTest, OtherProgramsAttributesAreListedAndKept)
{
	ASSERT_TRUE(kvtest::SetXattr(fPath, "user.xdg.origin.url", "http://a/"));
	ASSERT_TRUE(kvtest::SetXattr(fPath, "user.META:title", "Home"));
	int64 big = 7;
	fNode.WriteAttr("z", B_INT64_TYPE, 0, &big, sizeof(big));
	fNode.WriteAttr("META:url", B_STRING_TYPE, 0, "u", 1);

	EXPECT_EQ((std::vector<std::string>{"META:title", "META:url", "xdg.origin.url", "z"}), Names());
	attr_info info;
	ASSERT_EQ(B_OK, fNode.GetAttrInfo("xdg.origin.url", &info));
	EXPECT_EQ(uint32(B_STRING_TYPE), info.type);
	std::string raw;
	EXPECT_TRUE(kvtest::GetXattr(fPath, "user.xdg.origin.url", &raw));
	EXPECT_EQ("http://a/", raw);

	DIR* dir = fs_open_attr_dir(fPath.c_str());
	ASSERT_NE(nullptr, dir);
	std::vector<std::string> listed;
	while (struct dirent* entry = fs_read_attr_dir(dir))
		listed.push_back(entry->d_name);
	fs_rewind_attr_dir(dir);
	EXPECT_NE(nullptr, fs_read_attr_dir(dir));
	EXPECT_EQ(0, fs_close_attr_dir(dir));
	EXPECT_EQ(Names(), listed);
}

TEST_F(AttributeTest, CallsOnADescriptor)
{
	int fd = fNode.Dup();
	ASSERT_GE(fd, 0);
	EXPECT_EQ(3, fs_write_attr(fd, "META:url", B_STRING_TYPE, 0, "abc", 3));
	attr_info info;
	EXPECT_EQ(0, fs_stat_attr(fd, "META:url", &info));
	EXPECT_EQ(3, info.size);
	char buffer[4] = {};
	EXPECT_EQ(3, fs_read_attr(fd, "META:url", B_STRING_TYPE, 0, buffer, 3));
	EXPECT_STREQ("abc", buffer);
	EXPECT_EQ(0, fs_remove_attr(fd, "META:url"));
	EXPECT_EQ(B_ENTRY_NOT_FOUND, fs_stat_attr(fd, "META:url", &info));
	close(fd);
}

TEST_F(AttributeTest, BadNamesAndUninitialisedNodes)
{
	EXPECT_EQ(B_BAD_VALUE, fNode.WriteAttr(nullptr, B_STRING_TYPE, 0, "x", 1));
	EXPECT_EQ(B_BAD_VALUE, fNode.WriteAttr("", B_STRING_TYPE, 0, "x", 1));
	EXPECT_EQ(B_BAD_VALUE, fNode.WriteAttr("kv.type.x", B_STRING_TYPE, 0, "x", 1));
	std::string longest(250, 'n');
	EXPECT_EQ(1, fNode.WriteAttr(longest.c_str(), B_STRING_TYPE, 0, "x", 1));
	std::string tooLong(251, 'n');
	EXPECT_EQ(B_NAME_TOO_LONG, fNode.WriteAttr(tooLong.c_str(), B_STRING_TYPE, 0, "x", 1));

	BNode none;
	attr_info info;
	EXPECT_EQ(B_NO_INIT, none.InitCheck());
	EXPECT_EQ(B_FILE_ERROR, none.WriteAttr("a", B_STRING_TYPE, 0, "x", 1));
	EXPECT_EQ(B_FILE_ERROR, none.GetAttrInfo("a", &info));
	BNode missing(fDir.Sub("nothing").c_str());
	EXPECT_EQ(B_ENTRY_NOT_FOUND, missing.InitCheck());
}

// ext4 keeps all of a file's attributes in about one block: a value that does not fit
// must fail whole and leave the old value in place.
TEST_F(AttributeTest, Ext4TakesAboutFourKilobytesNeverACutValue)
{
	struct statfs info;
	ASSERT_EQ(0, statfs(fPath.c_str(), &info));
	if (info.f_type != kExt4Magic)
		GTEST_SKIP() << "the temporary directory is not on ext4";

	std::string fits(3000, 'a');
	ASSERT_EQ(3000, fNode.WriteAttr("big", B_STRING_TYPE, 0, fits.data(), fits.size()));
	EXPECT_EQ(fits, ReadAll("big"));

	std::string tooBig(8192, 'b');
	ssize_t result = fNode.WriteAttr("big", B_STRING_TYPE, 0, tooBig.data(), tooBig.size());
	EXPECT_TRUE(result == B_DEVICE_FULL || result == B_FILE_TOO_LARGE) << result;
	EXPECT_EQ(fits, ReadAll("big"));

	result = fNode.WriteAttr("other", B_STRING_TYPE, 0, tooBig.data(), tooBig.size());
	EXPECT_LT(result, 0);
	EXPECT_EQ("<missing>", ReadAll("other"));
}

TEST_F(AttributeTest, TmpfsTakesSixtyFourKilobytesPerValue)
{
	if (!kvtest::CanMount())
		GTEST_SKIP() << "cannot mount file systems here";
	kvtest::TempDir where("kv-tmpfs");
	kvtest::ScopedMount mount("tmpfs", where.Path(), "size=1m");
	ASSERT_TRUE(mount.IsMounted());
	std::string path = where.Sub("file");
	ASSERT_TRUE(kvtest::Touch(path));
	BNode node(path.c_str());
	ASSERT_EQ(B_OK, node.InitCheck());

	std::string largest(65536, 'x');
	ASSERT_EQ(65536, node.WriteAttr("v", B_STRING_TYPE, 0, largest.data(), largest.size()));
	attr_info info;
	ASSERT_EQ(B_OK, node.GetAttrInfo("v", &info));
	EXPECT_EQ(65536, info.size);

	std::string tooBig(65537, 'y');
	EXPECT_EQ(B_FILE_TOO_LARGE,
	          node.WriteAttr("v", B_STRING_TYPE, 0, tooBig.data(), tooBig.size()));
	EXPECT_EQ(B_FILE_TOO_LARGE, node.WriteAttr("v", B_STRING_TYPE, 65536, "z", 1));
	std::string raw;
	ASSERT_TRUE(kvtest::GetXattr(path, "user.v", &raw));
	EXPECT_EQ(largest, raw);
}

TEST_F(AttributeTest, FileSystemWithoutUserAttributesSaysSo)
{
	if (!kvtest::CanMount())
		GTEST_SKIP() << "cannot mount file systems here";
	kvtest::TempDir where("kv-ramfs");
	kvtest::ScopedMount mount("ramfs", where.Path(), "");
	ASSERT_TRUE(mount.IsMounted());
	std::string path = where.Sub("file");
	ASSERT_TRUE(kvtest::Touch(path));
	BNode node(path.c_str());
	ASSERT_EQ(B_OK, node.InitCheck());

	EXPECT_EQ(B_NOT_SUPPORTED, node.WriteAttr("META:url", B_STRING_TYPE, 0, "u", 1));
	BNodeInfo nodeInfo(&node);
	EXPECT_EQ(B_NOT_SUPPORTED, nodeInfo.SetType("application/x-vnd.Be-bookmark"));
	attr_info info;
	EXPECT_NE(B_OK, node.GetAttrInfo("META:url", &info));
	char name[B_ATTR_NAME_LENGTH];
	EXPECT_NE(B_OK, node.GetNextAttrName(name));
}

TEST_F(AttributeTest, NodeInfoKeepsTheTypeWhereTheDesktopReadsIt)
{
	BNodeInfo info(&fNode);
	ASSERT_EQ(B_OK, info.InitCheck());
	char type[B_MIME_TYPE_LENGTH];
	EXPECT_EQ(B_ENTRY_NOT_FOUND, info.GetType(type));

	ASSERT_EQ(B_OK, info.SetType("Application/X-Vnd.Be-Bookmark"));
	std::string raw;
	ASSERT_TRUE(kvtest::GetXattr(fPath, "user.mime_type", &raw));
	EXPECT_EQ("Application/X-Vnd.Be-Bookmark", raw);
	ASSERT_EQ(B_OK, info.GetType(type));
	EXPECT_STREQ("Application/X-Vnd.Be-Bookmark", type);

	// A type stored by another program with its NUL reads the same.
	ASSERT_TRUE(kvtest::SetXattr(fPath, "user.mime_type", std::string("text/html\0", 10)));
	ASSERT_EQ(B_OK, info.GetType(type));
	EXPECT_STREQ("text/html", type);

	ASSERT_TRUE(kvtest::SetXattr(fPath, "user.mime_type", std::string(300, 'a')));
	EXPECT_EQ(B_BAD_DATA, info.GetType(type));

	EXPECT_EQ(B_BAD_VALUE, info.SetType("no spaces/allowed here"));
	EXPECT_EQ(B_OK, info.SetType(nullptr));
	EXPECT_EQ(B_ENTRY_NOT_FOUND, info.GetType(type));

	BNodeInfo unset(nullptr);
	EXPECT_EQ(B_BAD_VALUE, unset.InitCheck());
}

TEST_F(AttributeTest, UnreadableFileGivesAStatusNotACrash)
{
	if (geteuid() != 0)
		GTEST_SKIP() << "needs root to drop to another user";
	ASSERT_TRUE(kvtest::SetXattr(fPath, "user.META:url", "secret"));
	ASSERT_EQ(0, chmod(fPath.c_str(), 0));
	ASSERT_EQ(0, chmod(fDir.Path().c_str(), 0755));
	std::string path = fPath;
	int result = kvtest::RunUnprivileged([path]() {
		BNode node(path.c_str());
		if (node.InitCheck() != B_OK)
			return 1;
		attr_info info;
		char buffer[16];
		ssize_t read = node.ReadAttr("META:url", B_STRING_TYPE, 0, buffer, sizeof(buffer));
		if (read != B_PERMISSION_DENIED)
			return 2;
		if (node.WriteAttr("META:url", B_STRING_TYPE, 0, "x", 1) != B_PERMISSION_DENIED)
			return 3;
		return node.GetAttrInfo("META:url", &info) == B_PERMISSION_DENIED ? 0 : 4;
	});
	EXPECT_EQ(0, result);
}

} // namespace
