// BBitmap: pixels in memory, converted between the colour spaces the programs use. A
// bitmap that accepts views draws through a canvas over its own pixels.
#include <Bitmap.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include <Locker.h>
#include <View.h>

#include "BitmapPrivate.h"
#include "WindowPrivate.h"

namespace BPrivate {

struct BitmapData
{
	std::vector<uint8> bits;
	std::unique_ptr<Canvas> canvas;
	BView* topView = nullptr;
	BLocker lock{"bitmap"};
	ViewState scratch;
};

} // namespace BPrivate

namespace {

int32
BytesPerPixel(color_space space)
{
	switch (space) {
	case B_RGB32:
	case B_RGBA32:
	case B_RGB32_BIG:
	case B_RGBA32_BIG:
		return 4;
	case B_RGB24:
		return 3;
	case B_RGB16:
	case B_RGB15:
	case B_RGBA15:
		return 2;
	case B_CMAP8:
	case B_GRAY8:
		return 1;
	default:
		return 0;
	}
}

// The BeOS system palette as this kit builds it: 32 greys, ramps of blue, red and green,
// a 5x5x5 colour cube, and index 255 as the transparent magic colour.
struct Palette
{
	rgb_color colors[256];

	Palette()
	{
		for (int i = 0; i < 32; i++) {
			uint8 v = (uint8)(i * 255 / 31);
			colors[i] = make_color(v, v, v);
			colors[32 + i] = make_color(0, 0, v);
			colors[64 + i] = make_color(v, 0, 0);
			colors[96 + i] = make_color(0, v, 0);
		}
		int index = 128;
		for (int r = 0; r < 5; r++) {
			for (int g = 0; g < 5; g++) {
				for (int b = 0; b < 5; b++)
					colors[index++] = make_color(r * 255 / 4, g * 255 / 4, b * 255 / 4);
			}
		}
		colors[253] = make_color(0xd8, 0xd8, 0xd8);
		colors[254] = make_color(0xe8, 0xe8, 0xe8);
		colors[255] = B_TRANSPARENT_COLOR;
	}
};

const Palette&
SystemPalette()
{
	static const Palette sPalette;
	return sPalette;
}

} // namespace

const rgb_color*
system_colors_palette()
{
	return SystemPalette().colors;
}

uint8
index_for_color(rgb_color color)
{
	if (color.alpha == 0)
		return B_TRANSPARENT_MAGIC_CMAP8;
	const rgb_color* colors = SystemPalette().colors;
	int best = 0;
	int bestDistance = 1 << 30;
	for (int i = 0; i < 255; i++) {
		int dr = colors[i].red - color.red, dg = colors[i].green - color.green,
		    db = colors[i].blue - color.blue;
		int distance = dr * dr + dg * dg + db * db;
		if (distance < bestDistance) {
			bestDistance = distance;
			best = i;
		}
	}
	return (uint8)best;
}

BBitmap::BBitmap(BRect bounds, uint32 flags, color_space colorSpace, int32 bytesPerRow)
{
	_Init(bounds, flags, colorSpace, bytesPerRow);
}

BBitmap::BBitmap(BRect bounds, color_space colorSpace, bool acceptsViews, bool)
{
	_Init(bounds, acceptsViews ? B_BITMAP_ACCEPTS_VIEWS : 0, colorSpace, -1);
}

BBitmap::BBitmap(const BBitmap* source, bool acceptsViews, bool)
{
	if (source == nullptr || !source->IsValid()) {
		_Init(BRect(), 0, B_NO_COLOR_SPACE, -1);
		return;
	}
	_Init(source->Bounds(), acceptsViews ? B_BITMAP_ACCEPTS_VIEWS : 0, source->ColorSpace(),
	      source->BytesPerRow());
	if (IsValid())
		std::memcpy(Bits(), source->Bits(), (size_t)BitsLength());
}

void
BBitmap::_Init(BRect bounds, uint32 flags, color_space colorSpace, int32 bytesPerRow)
{
	fData = new BPrivate::BitmapData;
	fBounds = BRect(0, 0, std::round(bounds.Width()), std::round(bounds.Height()));
	fColorSpace = colorSpace;
	fFlags = flags;
	fBytesPerRow = 0;
	fInitStatus = B_BAD_VALUE;
	int32 pixelBytes = BytesPerPixel(colorSpace);
	if (!bounds.IsValid() || pixelBytes == 0 || fBounds.Width() > 32767 ||
	    fBounds.Height() > 32767) {
		return;
	}
	int32 width = fBounds.IntegerWidth() + 1;
	int32 height = fBounds.IntegerHeight() + 1;
	// Rows are padded to four bytes, as on BeOS.
	int32 minimum = (width * pixelBytes + 3) & ~3;
	fBytesPerRow = bytesPerRow >= minimum ? bytesPerRow : minimum;
	fData->bits.assign((size_t)fBytesPerRow * height, 0);
	if ((flags & B_BITMAP_CLEAR_TO_WHITE) != 0)
		std::fill(fData->bits.begin(), fData->bits.end(), colorSpace == B_CMAP8 ? 63 : 0xff);
	fInitStatus = B_OK;

	if ((flags & B_BITMAP_ACCEPTS_VIEWS) != 0) {
		if (pixelBytes != 4) {
			fInitStatus = B_BAD_VALUE;
			return;
		}
		fData->canvas =
		        std::make_unique<BPrivate::Canvas>(fData->bits.data(), width, height, fBytesPerRow);
		fData->scratch.canvas = fData->canvas.get();
		fData->topView = new BView(fBounds, "top view", B_FOLLOW_ALL, 0);
		fData->topView->_SetWindowOrBitmap(nullptr, this);
	}
}

BBitmap::~BBitmap()
{
	delete fData->topView;
	delete fData;
}

status_t
BBitmap::InitCheck() const
{
	return fInitStatus;
}

bool
BBitmap::IsValid() const
{
	return fInitStatus == B_OK;
}

void*
BBitmap::Bits() const
{
	if (!IsValid())
		return nullptr;
	if (fData->canvas)
		fData->canvas->Flush();
	return fData->bits.data();
}

int32
BBitmap::BitsLength() const
{
	return (int32)fData->bits.size();
}

void
BBitmap::SetBits(const void* data, int32 length, int32 offset, color_space colorSpace)
{
	if (!IsValid() || data == nullptr || length <= 0 || offset < 0)
		return;
	const uint8* source = (const uint8*)data;
	uint8* target = fData->bits.data();
	int32 total = BitsLength();
	if (colorSpace == fColorSpace || (colorSpace == B_RGB32 && fColorSpace == B_RGBA32) ||
	    (colorSpace == B_RGBA32 && fColorSpace == B_RGB32)) {
		if (offset >= total)
			return;
		std::memcpy(target + offset, source, (size_t)std::min(length, total - offset));
		return;
	}
	if (colorSpace == B_CMAP8 && BytesPerPixel(fColorSpace) == 4) {
		// Source bytes are palette indices, laid out in rows of the bitmap's width
		// padded to four bytes.
		int32 width = fBounds.IntegerWidth() + 1;
		int32 sourceRow = (width + 3) & ~3;
		const rgb_color* palette = system_colors_palette();
		for (int32 i = 0; i < length; i++) {
			int32 position = offset + i;
			int32 row = position / sourceRow, column = position % sourceRow;
			if (column >= width)
				continue;
			int32 at = row * fBytesPerRow + column * 4;
			if (at + 4 > total)
				break;
			rgb_color color = palette[source[i]];
			target[at] = color.blue;
			target[at + 1] = color.green;
			target[at + 2] = color.red;
			target[at + 3] = color.alpha;
		}
	}
}

status_t
BBitmap::ImportBits(const BBitmap* bitmap)
{
	if (bitmap == nullptr || !bitmap->IsValid() || !IsValid())
		return B_BAD_VALUE;
	if (bitmap->Bounds() != Bounds())
		return B_BAD_VALUE;
	SetBits(bitmap->Bits(), bitmap->BitsLength(), 0, bitmap->ColorSpace());
	return B_OK;
}

void
BBitmap::AddChild(BView* view)
{
	if (fData->topView != nullptr)
		fData->topView->AddChild(view);
}

bool
BBitmap::RemoveChild(BView* view)
{
	return fData->topView != nullptr && fData->topView->RemoveChild(view);
}

int32
BBitmap::CountChildren() const
{
	return fData->topView != nullptr ? fData->topView->CountChildren() : 0;
}

BView*
BBitmap::ChildAt(int32 index) const
{
	return fData->topView != nullptr ? fData->topView->ChildAt(index) : nullptr;
}

BView*
BBitmap::FindView(const char* name) const
{
	return fData->topView != nullptr ? fData->topView->FindView(name) : nullptr;
}

bool
BBitmap::Lock()
{
	return fData->lock.Lock();
}

void
BBitmap::Unlock()
{
	fData->lock.Unlock();
}

bool
BBitmap::IsLocked() const
{
	return fData->lock.IsLocked();
}

namespace BPrivate {

ViewState*
BitmapAccess::Scratch(BBitmap* bitmap)
{
	return bitmap->fData->canvas ? &bitmap->fData->scratch : nullptr;
}

const uint8*
BitmapAccess::RGBA32Bits(const BBitmap* bitmap, std::vector<uint8>* storage)
{
	const uint8* bits = (const uint8*)bitmap->Bits();
	int32 width = bitmap->Bounds().IntegerWidth() + 1;
	int32 height = bitmap->Bounds().IntegerHeight() + 1;
	switch (bitmap->ColorSpace()) {
	case B_RGBA32:
		return bits;
	case B_RGB32:
	case B_CMAP8:
	case B_GRAY8:
		break;
	default:
		storage->assign((size_t)width * height * 4, 0);
		return storage->data();
	}
	storage->resize((size_t)width * height * 4);
	const rgb_color* palette = system_colors_palette();
	for (int32 y = 0; y < height; y++) {
		const uint8* row = bits + y * bitmap->BytesPerRow();
		uint8* out = storage->data() + (size_t)y * width * 4;
		for (int32 x = 0; x < width; x++) {
			if (bitmap->ColorSpace() == B_RGB32) {
				std::memcpy(out + 4 * x, row + 4 * x, 3);
				out[4 * x + 3] = 255;
				continue;
			}
			rgb_color color = bitmap->ColorSpace() == B_CMAP8 ? palette[row[x]]
			                                                  : make_color(row[x], row[x], row[x]);
			out[4 * x] = color.blue;
			out[4 * x + 1] = color.green;
			out[4 * x + 2] = color.red;
			out[4 * x + 3] = color.alpha;
		}
	}
	return storage->data();
}

} // namespace BPrivate
