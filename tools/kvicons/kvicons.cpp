// kvicons: writes the program's desktop icons, in the hicolor theme's layout, from the
// bookmark icon the kit draws: 16 and 32 pixels as drawn, 48 pixels scaled from the
// large icon, and a scalable SVG made of the large icon's pixels, so every size shows
// the same picture as the program's own windows.
#include "store/KVNames.h"
#include "tools/kvicons/PngWriter.h"

#include <Directory.h>
#include <MimeType.h>
#include <Path.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

const char* const kIconName = "kestrovane";

// Pixels as red, green, blue, alpha.
struct Image
{
	uint32_t side = 0;
	std::vector<uint8_t> rgba;

	const uint8_t* At(uint32_t x, uint32_t y) const { return &rgba[(size_t(y) * side + x) * 4]; }
};

bool
LoadIcon(icon_size which, Image* image)
{
	BMimeType type(kBookmarkType);
	image->side = uint32_t(which);
	std::vector<uint8_t> bgra(size_t(which) * which * 4);
	if (type.GetIconData(which, bgra.data(), bgra.size()) != B_OK)
		return false;
	image->rgba.resize(bgra.size());
	for (size_t i = 0; i < bgra.size(); i += 4) {
		image->rgba[i] = bgra[i + 2];
		image->rgba[i + 1] = bgra[i + 1];
		image->rgba[i + 2] = bgra[i];
		image->rgba[i + 3] = bgra[i + 3];
	}
	return true;
}

// Scales by 3/2 with area averaging: each new pixel covers two thirds of a source pixel
// in each direction. Colours are weighted by alpha so transparent pixels lend no colour
// to the edge.
Image
ScaleThreeHalves(const Image& source)
{
	Image result;
	result.side = source.side * 3 / 2;
	result.rgba.resize(size_t(result.side) * result.side * 4);
	for (uint32_t y = 0; y < result.side; y++) {
		for (uint32_t x = 0; x < result.side; x++) {
			uint32_t weighted[3] = {0, 0, 0}, alpha = 0;
			for (uint32_t sub = 0; sub < 4; sub++) {
				const uint8_t* pixel = source.At((2 * x + sub % 2) / 3, (2 * y + sub / 2) / 3);
				for (int c = 0; c < 3; c++)
					weighted[c] += uint32_t(pixel[c]) * pixel[3];
				alpha += pixel[3];
			}
			uint8_t* out = &result.rgba[(size_t(y) * result.side + x) * 4];
			for (int c = 0; c < 3; c++)
				out[c] = alpha == 0 ? 0 : uint8_t((weighted[c] + alpha / 2) / alpha);
			out[3] = uint8_t((alpha + 2) / 4);
		}
	}
	return result;
}

bool
SamePixel(const Image& image, uint32_t x, uint32_t y, const uint8_t* pixel)
{
	const uint8_t* other = image.At(x, y);
	return other[0] == pixel[0] && other[1] == pixel[1] && other[2] == pixel[2] &&
	       other[3] == pixel[3];
}

// The icon as rectangles of one colour each: a run along a row, grown downwards while the
// rows below repeat it. Transparent pixels are left out.
std::string
SvgOf(const Image& image)
{
	std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
	                  "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
	                  std::to_string(image.side) + "\" height=\"" + std::to_string(image.side) +
	                  "\" viewBox=\"0 0 " + std::to_string(image.side) + " " +
	                  std::to_string(image.side) + "\" shape-rendering=\"crispEdges\">\n" +
	                  "<title>Kestrovane</title>\n";
	std::vector<bool> done(size_t(image.side) * image.side, false);
	for (uint32_t y = 0; y < image.side; y++) {
		for (uint32_t x = 0; x < image.side; x++) {
			const uint8_t* pixel = image.At(x, y);
			if (done[y * image.side + x] || pixel[3] == 0)
				continue;
			uint32_t width = 1;
			while (x + width < image.side && !done[y * image.side + x + width] &&
			       SamePixel(image, x + width, y, pixel)) {
				width++;
			}
			uint32_t height = 1;
			for (bool grow = true; grow && y + height < image.side; height += grow ? 1 : 0) {
				for (uint32_t i = 0; i < width && grow; i++) {
					grow = !done[(y + height) * image.side + x + i] &&
					       SamePixel(image, x + i, y + height, pixel);
				}
			}
			for (uint32_t j = 0; j < height; j++) {
				for (uint32_t i = 0; i < width; i++)
					done[(y + j) * image.side + x + i] = true;
			}
			char rect[160];
			snprintf(rect, sizeof(rect),
			         "<rect x=\"%u\" y=\"%u\" width=\"%u\" height=\"%u\" "
			         "fill=\"#%02x%02x%02x\"",
			         x, y, width, height, pixel[0], pixel[1], pixel[2]);
			svg += rect;
			if (pixel[3] != 255) {
				snprintf(rect, sizeof(rect), " fill-opacity=\"%.3f\"", pixel[3] / 255.0);
				svg += rect;
			}
			svg += "/>\n";
		}
	}
	return svg + "</svg>\n";
}

// The theme's folder for one size, created as needed: <root>/<size>/apps/<name>.<ext>.
bool
IconPath(const char* root, const char* size, const char* extension, BPath* path)
{
	std::string folder = std::string(root) + "/" + size + "/apps";
	if (create_directory(folder.c_str(), 0755) != B_OK)
		return false;
	std::string leaf = std::string(kIconName) + "." + extension;
	return path->SetTo(folder.c_str(), leaf.c_str()) == B_OK;
}

bool
WriteIcon(const char* root, const Image& image)
{
	std::string size = std::to_string(image.side) + "x" + std::to_string(image.side);
	BPath path;
	if (!IconPath(root, size.c_str(), "png", &path) ||
	    !WritePng(path.Path(), image.side, image.side, image.rgba)) {
		fprintf(stderr, "kvicons: cannot write the %s icon\n", size.c_str());
		return false;
	}
	return true;
}

} // namespace

int
main(int argc, char** argv)
{
	if (argc != 2) {
		fprintf(stderr, "usage: kvicons <hicolor theme folder>\n");
		return 2;
	}
	Image mini, large;
	if (!LoadIcon(B_MINI_ICON, &mini) || !LoadIcon(B_LARGE_ICON, &large)) {
		fprintf(stderr, "kvicons: the kit has no icon for %s\n", kBookmarkType);
		return 1;
	}
	const char* root = argv[1];
	if (!WriteIcon(root, mini) || !WriteIcon(root, large) ||
	    !WriteIcon(root, ScaleThreeHalves(large))) {
		return 1;
	}
	BPath svgPath;
	if (!IconPath(root, "scalable", "svg", &svgPath))
		return 1;
	std::ofstream svg(svgPath.Path(), std::ios::trunc);
	svg << SvgOf(large);
	svg.close();
	if (!svg) {
		fprintf(stderr, "kvicons: cannot write %s\n", svgPath.Path());
		return 1;
	}
	return 0;
}
