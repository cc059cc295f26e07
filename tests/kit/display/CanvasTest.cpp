// Pixels drawn by the canvas: BeOS pixel rules (inclusive edges and end points), patterns,
// drawing modes and blending, clipping, text (also invalid UTF-8) and images.
#include <gtest/gtest.h>

#include <cstring>

#include "Canvas.h"

using namespace BPrivate;

namespace {

constexpr rgb_color kBlack = {0, 0, 0, 255};
constexpr rgb_color kWhite = {255, 255, 255, 255};
// The kit's plain and bold fonts.
const FontDescription kPlain("DejaVu Sans 10px");
const FontDescription kBold("DejaVu Sans Bold 12px");

DrawState
State(rgb_color high, drawing_mode mode = B_OP_COPY, const BRect* clip = nullptr,
      int32 clipCount = 0)
{
	DrawState state;
	state.high = high;
	state.low = kWhite;
	state.mode = mode;
	state.constantAlpha = false;
	state.penSize = 1;
	state.offset = BPoint(0, 0);
	state.clip = clip;
	state.clipCount = clipCount;
	return state;
}

// 0xRRGGBB of a canvas pixel.
uint32
Pixel(Canvas& canvas, int x, int y)
{
	canvas.Flush();
	const uint8* p = canvas.Bits() + y * canvas.BytesPerRow() + x * 4;
	return (uint32)p[2] << 16 | (uint32)p[1] << 8 | p[0];
}

int
CountNot(Canvas& canvas, uint32 rgb, BRect area)
{
	int count = 0;
	for (int y = (int)area.top; y <= (int)area.bottom; y++) {
		for (int x = (int)area.left; x <= (int)area.right; x++)
			count += Pixel(canvas, x, y) != rgb ? 1 : 0;
	}
	return count;
}

} // namespace

TEST(CanvasTest, RectanglesAndLinesCoverTheirEdgesAndEndPoints)
{
	Canvas canvas(20, 20);
	canvas.FillRect(State(kBlack), BRect(2, 2, 4, 5), B_SOLID_HIGH);
	EXPECT_EQ(Pixel(canvas, 2, 2), 0u);
	EXPECT_EQ(Pixel(canvas, 4, 5), 0u);
	EXPECT_EQ(Pixel(canvas, 5, 5), 0xffffffu);
	EXPECT_EQ(Pixel(canvas, 4, 6), 0xffffffu);
	EXPECT_EQ(CountNot(canvas, 0xffffff, BRect(0, 0, 19, 19)), 3 * 4);

	Canvas lines(20, 20);
	lines.StrokeLine(State(kBlack), BPoint(10, 1), BPoint(10, 8), B_SOLID_HIGH);
	lines.StrokeLine(State(kBlack), BPoint(15, 15), BPoint(12, 15), B_SOLID_HIGH);
	EXPECT_EQ(CountNot(lines, 0xffffff, BRect(0, 0, 19, 19)), 8 + 4);
	EXPECT_EQ(Pixel(lines, 10, 1), 0u);
	EXPECT_EQ(Pixel(lines, 10, 8), 0u);
	EXPECT_EQ(Pixel(lines, 12, 15), 0u);

	Canvas diagonal(20, 20);
	diagonal.StrokeLine(State(kBlack), BPoint(0, 0), BPoint(9, 9), B_SOLID_HIGH);
	EXPECT_EQ(Pixel(diagonal, 0, 0), 0u);
	EXPECT_EQ(Pixel(diagonal, 9, 9), 0u);
	EXPECT_EQ(Pixel(diagonal, 5, 5), 0u);
	EXPECT_EQ(Pixel(diagonal, 9, 0), 0xffffffu);

	Canvas frame(20, 20);
	frame.StrokeRect(State(kBlack), BRect(1, 1, 8, 6), B_SOLID_HIGH);
	EXPECT_EQ(CountNot(frame, 0xffffff, BRect(0, 0, 19, 19)), 2 * 8 + 2 * 4);
	EXPECT_EQ(Pixel(frame, 4, 4), 0xffffffu);
	// Rectangles the wrong way round draw nothing.
	frame.FillRect(State(kBlack), BRect(10, 10, 5, 5), B_SOLID_HIGH);
	EXPECT_EQ(Pixel(frame, 7, 7), 0xffffffu);
}

TEST(CanvasTest, PatternsModesAndBlending)
{
	Canvas canvas(16, 16);
	canvas.FillRect(State(kBlack), BRect(0, 0, 7, 7), B_MIXED_COLORS);
	EXPECT_EQ(Pixel(canvas, 0, 0), 0u);
	EXPECT_EQ(Pixel(canvas, 1, 0), 0xffffffu);
	EXPECT_EQ(Pixel(canvas, 0, 1), 0xffffffu);
	EXPECT_EQ(Pixel(canvas, 1, 1), 0u);

	// The low colour for B_SOLID_LOW; B_OP_ERASE draws the low colour too.
	DrawState low = State(kBlack);
	low.low = make_color(0, 255, 0);
	canvas.FillRect(low, BRect(8, 0, 9, 0), B_SOLID_LOW);
	EXPECT_EQ(Pixel(canvas, 8, 0), 0x00ff00u);
	low.mode = B_OP_ERASE;
	canvas.FillRect(low, BRect(10, 0, 10, 0), B_SOLID_HIGH);
	EXPECT_EQ(Pixel(canvas, 10, 0), 0x00ff00u);

	// B_OP_COPY on a window ignores alpha; B_OP_ALPHA blends it.
	rgb_color halfRed = make_color(255, 0, 0, 128);
	canvas.FillRect(State(halfRed), BRect(0, 10, 0, 10), B_SOLID_HIGH);
	EXPECT_EQ(Pixel(canvas, 0, 10), 0xff0000u);
	canvas.FillRect(State(halfRed, B_OP_ALPHA), BRect(1, 10, 1, 10), B_SOLID_HIGH);
	uint32 blended = Pixel(canvas, 1, 10);
	EXPECT_EQ(blended >> 16, 0xffu);
	EXPECT_NEAR((int)((blended >> 8) & 0xff), 127, 2);

	canvas.FillRect(State(kWhite, B_OP_INVERT), BRect(0, 0, 0, 0), B_SOLID_HIGH);
	EXPECT_EQ(Pixel(canvas, 0, 0), 0xffffffu);
	canvas.FillRect(State(make_color(100, 100, 100), B_OP_MIN), BRect(2, 10, 2, 10), B_SOLID_HIGH);
	EXPECT_EQ(Pixel(canvas, 2, 10), 0x646464u);
}

TEST(CanvasTest, ClippingLimitsDrawing)
{
	Canvas canvas(20, 20);
	BRect clip[] = {BRect(5, 5, 9, 9), BRect(15, 15, 15, 15)};
	DrawState state = State(kBlack, B_OP_COPY, clip, 2);
	state.offset = BPoint(2, 2);
	canvas.FillRect(state, BRect(0, 0, 19, 19), B_SOLID_HIGH);
	EXPECT_EQ(CountNot(canvas, 0xffffff, BRect(0, 0, 19, 19)), 25 + 1);
	EXPECT_EQ(Pixel(canvas, 4, 4), 0xffffffu);
}

TEST(CanvasTest, TextDrawsAtTheBaselineAndSurvivesInvalidUtf8)
{
	Canvas canvas(200, 40);
	float width = canvas.DrawString(State(kBlack), "Hello", 5, BPoint(10, 25), kPlain);
	EXPECT_NEAR(width, TextWidth(kPlain, "Hello", 5), 0.5);
	EXPECT_GT(width, 15);
	EXPECT_GT(CountNot(canvas, 0xffffff, BRect(10, 14, 10 + width, 25)), 20);
	// Nothing of "Hello" hangs below the baseline, nothing lies left of the pen.
	EXPECT_EQ(CountNot(canvas, 0xffffff, BRect(0, 27, 199, 39)), 0);
	EXPECT_EQ(CountNot(canvas, 0xffffff, BRect(0, 0, 9, 39)), 0);

	// Labels cut by bytes, stray bytes and NULs draw as replacement characters.
	const char* broken[] = {"Caf\xc3", "\xff\xfe\x80", "a\xe2\x82", "\xf0\x9f"};
	for (const char* text : broken) {
		Canvas scratch(200, 40);
		float advance =
		        scratch.DrawString(State(kBlack), text, (int32)strlen(text), BPoint(5, 25), kBold);
		EXPECT_GT(advance, 0) << text;
		EXPECT_GT(TextWidth(kBold, text, (int32)strlen(text)), 0) << text;
	}
	EXPECT_EQ(ValidUtf8("Caf\xc3", 4), "Caf\xef\xbf\xbd");
	EXPECT_EQ(ValidUtf8("a\0b", 3), "ab");
	EXPECT_EQ(ValidUtf8("\xc3\xa9t\xc3\xa9", 6), "\xc3\xa9t\xc3\xa9");
	EXPECT_EQ(ValidUtf8(nullptr, 5), "");
}

TEST(CanvasTest, ImagesUseStraightAlphaAndScale)
{
	// A 2x1 image: opaque blue, then fully transparent red.
	uint8 image[8] = {255, 0, 0, 255, 0, 0, 255, 0};
	Canvas canvas(10, 10);
	DrawState state = State(kBlack, B_OP_ALPHA);
	canvas.DrawImage(state, image, 2, 1, 8, BRect(0, 0, 1, 0), BRect(0, 0, 1, 0));
	EXPECT_EQ(Pixel(canvas, 0, 0), 0x0000ffu);
	EXPECT_EQ(Pixel(canvas, 1, 0), 0xffffffu);
	// Scaled to 4x2 with B_OP_COPY: alpha is ignored.
	canvas.DrawImage(State(kBlack), image, 2, 1, 8, BRect(0, 0, 1, 0), BRect(0, 2, 3, 3));
	EXPECT_EQ(Pixel(canvas, 1, 3), 0x0000ffu);
	EXPECT_EQ(Pixel(canvas, 3, 3), 0xff0000u);
	EXPECT_EQ(Pixel(canvas, 4, 3), 0xffffffu);
}

TEST(CanvasTest, FontMetricsFollowSizeAndFace)
{
	FontHeight plain, bold;
	TextHeight(kPlain, &plain);
	TextHeight(kBold, &bold);
	EXPECT_GT(plain.ascent, 5);
	EXPECT_GT(plain.descent, 1);
	EXPECT_GT(bold.ascent + bold.descent, plain.ascent + plain.descent);
	EXPECT_GT(TextWidth(kPlain, "WWW", 3), TextWidth(kPlain, "iii", 3));
	FontDescription big("DejaVu Sans 20px");
	EXPECT_GT(TextWidth(big, "Kestrovane", 10), TextWidth(kPlain, "Kestrovane", 10));

	BRect boxes[3];
	TextGlyphBoxes(kPlain, "a\xc3\xa9z", 3, boxes);
	EXPECT_GE(boxes[0].left, 0);
	EXPECT_GT(boxes[1].left, boxes[0].left);
	EXPECT_GT(boxes[2].left, boxes[1].left);
	EXPECT_LT(boxes[0].top, 0);
	// Each box is its glyph's ink: the accent reaches higher than the plain letter, a
	// descender below the baseline, and a space inks nothing.
	EXPECT_LT(boxes[1].top, boxes[0].top);
	EXPECT_LE(boxes[0].bottom, 0);
	BRect more[3];
	TextGlyphBoxes(kPlain, "W g", 3, more);
	EXPECT_LT(more[0].top, boxes[0].top);
	EXPECT_FALSE(more[1].IsValid());
	EXPECT_GT(more[2].bottom, 0);
}
