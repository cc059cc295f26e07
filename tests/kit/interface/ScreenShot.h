// A whole-screen capture for GUI tests that look for colours rather than at one pixel:
// one XGetImage, then cheap lookups and bounding boxes of a colour class.
#ifndef KV_TEST_SCREEN_SHOT_H
#define KV_TEST_SCREEN_SHOT_H

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

namespace kvtest {

struct PixelBox
{
	int left = 1 << 30;
	int top = 1 << 30;
	int right = -1;
	int bottom = -1;
	int count = 0;

	bool Empty() const { return count == 0; }
	int Width() const { return right - left + 1; }
	int Height() const { return bottom - top + 1; }
};

class ScreenShot
{
public:
	explicit ScreenShot(Display* display)
	{
		Window root = DefaultRootWindow(display);
		XWindowAttributes attributes;
		XGetWindowAttributes(display, root, &attributes);
		fWidth = attributes.width;
		fHeight = attributes.height;
		XImage* image = XGetImage(display, root, 0, 0, fWidth, fHeight, AllPlanes, ZPixmap);
		fPixels.resize((size_t)fWidth * fHeight);
		for (int y = 0; image != nullptr && y < fHeight; y++) {
			for (int x = 0; x < fWidth; x++)
				fPixels[(size_t)y * fWidth + x] = XGetPixel(image, x, y) & 0xffffff;
		}
		if (image != nullptr)
			XDestroyImage(image);
	}

	uint32_t At(int x, int y) const { return fPixels[(size_t)y * fWidth + x]; }

	// The box around every pixel for which match(r, g, b) holds.
	PixelBox Find(const std::function<bool(int, int, int)>& match) const
	{
		PixelBox box;
		for (int y = 0; y < fHeight; y++) {
			for (int x = 0; x < fWidth; x++) {
				uint32_t pixel = At(x, y);
				if (!match(pixel >> 16 & 0xff, pixel >> 8 & 0xff, pixel & 0xff))
					continue;
				box.left = std::min(box.left, x);
				box.right = std::max(box.right, x);
				box.top = std::min(box.top, y);
				box.bottom = std::max(box.bottom, y);
				box.count++;
			}
		}
		return box;
	}

	// The box of pixels of exactly this colour (0xRRGGBB).
	PixelBox FindColor(uint32_t rgb) const
	{
		return Find([rgb](int r, int g, int b) {
			return ((uint32_t)r << 16 | (uint32_t)g << 8 | (uint32_t)b) == rgb;
		});
	}

	// The longest horizontal run of pixels of exactly this colour: outlines have long
	// runs, antialiased text only short ones.
	int LongestRun(uint32_t rgb, int* left = nullptr, int* top = nullptr) const
	{
		int longest = 0;
		for (int y = 0; y < fHeight; y++) {
			int run = 0;
			for (int x = 0; x < fWidth; x++) {
				run = At(x, y) == rgb ? run + 1 : 0;
				if (run <= longest)
					continue;
				longest = run;
				if (left != nullptr)
					*left = x - run + 1;
				if (top != nullptr)
					*top = y;
			}
		}
		return longest;
	}

private:
	int fWidth = 0;
	int fHeight = 0;
	std::vector<uint32_t> fPixels;
};

} // namespace kvtest

#endif // KV_TEST_SCREEN_SHOT_H
