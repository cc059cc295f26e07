// A drawing surface (a cairo image surface, 32-bit, B_RGBA32 byte order) with the BeOS
// drawing operations. Used for a window's back buffer and for bitmaps that accept views.
// The header shows no cairo type, so the interface kit stays free of the backend's headers.
#ifndef _KV_DISPLAY_CANVAS_H
#define _KV_DISPLAY_CANVAS_H

#include <string>

#include <GraphicsDefs.h>
#include <Rect.h>

#include "FontDescription.h"

namespace BPrivate {

// What a view's drawing call needs from the view: colours, modes, pen, and where it lands.
struct DrawState
{
	rgb_color high;
	rgb_color low;
	drawing_mode mode;
	// B_OP_ALPHA takes the high colour's alpha for images (B_CONSTANT_ALPHA).
	bool constantAlpha;
	float penSize;
	// Added to view coordinates to get canvas pixels.
	BPoint offset;
	// The drawable part, clipCount rectangles in canvas pixels; null draws anywhere.
	const BRect* clip;
	int32 clipCount;
};

class Canvas
{
public:
	// A canvas of its own, filled with white.
	Canvas(int32 width, int32 height);
	// Draws into memory owned by the caller (a bitmap), which must outlive the canvas.
	Canvas(uint8* bits, int32 width, int32 height, int32 bytesPerRow);
	~Canvas();

	bool IsValid() const;
	int32 Width() const { return fWidth; }
	int32 Height() const { return fHeight; }
	// Pixels in B_RGBA32 order (blue, green, red, alpha); call Flush() before reading.
	uint8* Bits() const;
	int32 BytesPerRow() const;
	// A canvas of its own keeps its content at the top left; returns false on failure.
	bool Resize(int32 width, int32 height);
	void Flush();
	// An opaque canvas (a window) ignores the alpha of colours except in B_OP_ALPHA.
	void SetOpaque(bool opaque) { fOpaque = opaque; }

	void StrokeLine(const DrawState& state, BPoint from, BPoint to, const pattern& p);
	void StrokeRect(const DrawState& state, BRect rect, const pattern& p);
	void FillRect(const DrawState& state, BRect rect, const pattern& p);
	void StrokeEllipse(const DrawState& state, BRect rect, const pattern& p);
	void FillEllipse(const DrawState& state, BRect rect, const pattern& p);
	void StrokeRoundRect(const DrawState& state, BRect rect, float rx, float ry, const pattern& p);
	void FillRoundRect(const DrawState& state, BRect rect, float rx, float ry, const pattern& p);
	void StrokePolygon(const DrawState& state, const BPoint* points, int32 count, const pattern& p);
	void FillPolygon(const DrawState& state, const BPoint* points, int32 count, const pattern& p);
	// Draws UTF-8 text (invalid bytes show as replacement characters) with its baseline's
	// left end at baseline; returns the advance in pixels.
	float DrawString(const DrawState& state, const char* text, int32 length, BPoint baseline,
	                 const FontDescription& font);
	// Draws a B_RGBA32 image (straight alpha) scaled from source to destination.
	void DrawImage(const DrawState& state, const uint8* bits, int32 width, int32 height,
	               int32 bytesPerRow, BRect source, BRect destination);
	// Copies pixels into a B_RGBA32 buffer; rows outside the canvas are left alone.
	void CopyOut(BRect area, uint8* target, int32 targetBytesPerRow) const;

private:
	struct Data;

	Canvas(const Canvas&) = delete;
	Canvas& operator=(const Canvas&) = delete;

	void* _Begin(const DrawState& state, const pattern& p, bool forText = false);
	void _End(void* context);

	Data* fData;
	int32 fWidth;
	int32 fHeight;
	bool fOpaque;
};

// Text measurement; the text may be invalid UTF-8.
float TextWidth(const FontDescription& font, const char* text, int32 length);
void TextHeight(const FontDescription& font, FontHeight* height);
void TextGlyphBoxes(const FontDescription& font, const char* text, int32 numChars, BRect boxes[]);
// The pixels the text inks, relative to the left end of its baseline (top negative above
// it); an invalid rectangle for text that inks nothing.
BRect TextInkBounds(const FontDescription& font, const char* text, int32 length);
// The text with invalid sequences replaced by U+FFFD and NUL bytes dropped.
std::string ValidUtf8(const char* text, int32 length);

} // namespace BPrivate

#endif // _KV_DISPLAY_CANVAS_H
