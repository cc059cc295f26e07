// BMimeType: which strings are types, and the icons shipped for the programs' types.
#include <MimeType.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(MimeTypeTest, Validity)
{
	for (const char* type : {"text", "text/html", "application/x-vnd.Be-bookmark",
	                         "application/x-person", "a/b+c.d_e"}) {
		EXPECT_TRUE(BMimeType::IsValid(type)) << type;
	}
	for (const char* type : {"", "/html", "text/", "a/b/c", "text/ht ml", "text/h\"x",
	                         "t\xc3\xa9xt/plain", "text/plain;charset=x"}) {
		EXPECT_FALSE(BMimeType::IsValid(type)) << type;
	}
	EXPECT_FALSE(BMimeType::IsValid(nullptr));
	EXPECT_FALSE(BMimeType::IsValid(std::string(300, 'a').c_str()));

	BMimeType type("Text/HTML");
	ASSERT_EQ(B_OK, type.InitCheck());
	EXPECT_STREQ("Text/HTML", type.Type()) << "the case is kept";
	EXPECT_TRUE(type == "text/html");
	EXPECT_FALSE(type.IsSupertypeOnly());
	EXPECT_TRUE(BMimeType("text").IsSupertypeOnly());
	BMimeType bad("not a type");
	EXPECT_EQ(B_BAD_VALUE, bad.InitCheck());
	EXPECT_EQ(nullptr, bad.Type());
}

// Counts opaque pixels and checks that every pixel is either fully transparent or
// fully opaque, as the drawn icons are.
int
OpaquePixels(const std::vector<uint8>& bits)
{
	int opaque = 0;
	for (size_t i = 3; i < bits.size(); i += 4) {
		EXPECT_TRUE(bits[i] == 0 || bits[i] == 0xff);
		opaque += bits[i] == 0xff;
	}
	return opaque;
}

TEST(MimeTypeTest, IconsOfTheProgramsTypes)
{
	for (const char* name : {"application/x-vnd.Be-bookmark", "APPLICATION/X-PERSON"}) {
		BMimeType type(name);
		for (icon_size size : {B_MINI_ICON, B_LARGE_ICON}) {
			std::vector<uint8> bits(size * size * 4, 0x55);
			ASSERT_EQ(B_OK, type.GetIconData(size, bits.data(), bits.size())) << name;
			int opaque = OpaquePixels(bits);
			EXPECT_GT(opaque, size * size / 4) << name;
			EXPECT_LT(opaque, size * size) << name << ": some of it is transparent";
			// The last row is drawn too: a short picture row would leave it transparent.
			int lastRow = 0;
			for (int x = 0; x < size; x++)
				lastRow += bits[((size - 1) * size + x) * 4 + 3] != 0;
			EXPECT_GT(lastRow, 0) << name;
		}
	}
}

TEST(MimeTypeTest, IconRequestsThatCannotBeMet)
{
	std::vector<uint8> bits(32 * 32 * 4);
	BMimeType bookmark("application/x-vnd.Be-bookmark");
	EXPECT_EQ(B_BAD_VALUE, bookmark.GetIconData(B_LARGE_ICON, bits.data(), 16 * 16 * 4));
	EXPECT_EQ(B_BAD_VALUE, bookmark.GetIconData(icon_size(24), bits.data(), bits.size()));
	EXPECT_EQ(B_BAD_VALUE, bookmark.GetIconData(B_MINI_ICON, nullptr, 0));
	EXPECT_EQ(B_ENTRY_NOT_FOUND,
	          BMimeType("text/plain").GetIconData(B_MINI_ICON, bits.data(), bits.size()));
	EXPECT_EQ(B_NO_INIT, BMimeType().GetIconData(B_MINI_ICON, bits.data(), bits.size()));
}

} // namespace
