// kvicons: the scalable icon must show exactly the kit's large bookmark icon, every
// opaque pixel covered once in its own colour and nothing drawn where the icon is clear.
#include "TestSupport.h"

#include <MimeType.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <string>
#include <vector>

namespace {

TEST(IconTest, ScalableIconIsTheLargeIconPixelForPixel)
{
	kvtest::TempDir theme("kv-icons");
	kvtest::ProcessResult result = kvtest::RunProcess({KV_ICONS_PATH, theme.Path()});
	ASSERT_EQ(result.exitStatus, 0) << result.error;
	std::string svg = kvtest::ReadFile(theme.Sub("scalable/apps/kestrovane.svg"));
	ASSERT_NE(svg.find("viewBox=\"0 0 32 32\""), std::string::npos);

	const int side = 32;
	std::vector<std::string> painted(side * side);
	std::regex rect("<rect x=\"(\\d+)\" y=\"(\\d+)\" width=\"(\\d+)\" height=\"(\\d+)\" "
	                "fill=\"#([0-9a-f]{6})\"/>");
	for (std::sregex_iterator it(svg.begin(), svg.end(), rect), end; it != end; ++it) {
		int x = std::stoi((*it)[1]), y = std::stoi((*it)[2]);
		int width = std::stoi((*it)[3]), height = std::stoi((*it)[4]);
		ASSERT_LE(x + width, side);
		ASSERT_LE(y + height, side);
		for (int j = y; j < y + height; j++) {
			for (int i = x; i < x + width; i++) {
				ASSERT_TRUE(painted[j * side + i].empty()) << "painted twice: " << i << "," << j;
				painted[j * side + i] = (*it)[5];
			}
		}
	}

	std::vector<uint8> bgra(side * side * 4);
	ASSERT_EQ(BMimeType("application/x-vnd.Be-bookmark")
	                  .GetIconData(B_LARGE_ICON, bgra.data(), bgra.size()),
	          B_OK);
	for (int p = 0; p < side * side; p++) {
		const uint8* pixel = &bgra[p * 4];
		char colour[8] = "";
		if (pixel[3] != 0)
			snprintf(colour, sizeof(colour), "%02x%02x%02x", pixel[2], pixel[1], pixel[0]);
		EXPECT_EQ(painted[p], colour) << "pixel " << p % side << "," << p / side;
	}

	for (const char* size : {"16x16", "32x32", "48x48"})
		EXPECT_FALSE(
		        kvtest::ReadFile(theme.Sub(std::string(size) + "/apps/kestrovane.png")).empty());
}

} // namespace
