// BBitmap: an image in memory. B_RGBA32/B_RGB32 bitmaps may accept views and be drawn
// into off screen; B_CMAP8 bitmaps use the BeOS system palette.
#ifndef _BITMAP_H
#define _BITMAP_H

#include <GraphicsDefs.h>
#include <Rect.h>

class BView;

namespace BPrivate {
class BitmapAccess;
struct BitmapData;
} // namespace BPrivate

enum
{
	B_BITMAP_CLEAR_TO_WHITE = 0x00000001,
	B_BITMAP_ACCEPTS_VIEWS = 0x00000002,
	B_BITMAP_IS_AREA = 0x00000004,
	B_BITMAP_IS_LOCKED = 0x00000008 | B_BITMAP_IS_AREA,
	B_BITMAP_IS_CONTIGUOUS = 0x00000010 | B_BITMAP_IS_LOCKED,
	B_BITMAP_IS_OFFSCREEN = 0x00000020,
	B_BITMAP_WILL_OVERLAY = 0x00000040 | B_BITMAP_IS_OFFSCREEN,
	B_BITMAP_RESERVE_OVERLAY_CHANNEL = 0x00000080,
	B_BITMAP_NO_SERVER_LINK = 0x00000100
};

class BBitmap
{
public:
	BBitmap(BRect bounds, uint32 flags, color_space colorSpace, int32 bytesPerRow = -1);
	BBitmap(BRect bounds, color_space colorSpace, bool acceptsViews = false,
	        bool needsContiguous = false);
	BBitmap(const BBitmap* source, bool acceptsViews = false, bool needsContiguous = false);
	// Deletes the views it holds.
	virtual ~BBitmap();

	status_t InitCheck() const;
	bool IsValid() const;
	BRect Bounds() const { return fBounds; }
	void* Bits() const;
	int32 BitsLength() const;
	int32 BytesPerRow() const { return fBytesPerRow; }
	color_space ColorSpace() const { return fColorSpace; }
	uint32 Flags() const { return fFlags; }

	// Copies length bytes of data in colorSpace into the bitmap from byte offset on,
	// converting B_CMAP8, B_RGB32 and B_RGBA32 data as needed.
	void SetBits(const void* data, int32 length, int32 offset, color_space colorSpace);
	status_t ImportBits(const BBitmap* bitmap);

	// Views drawing into the bitmap; only for bitmaps made with B_BITMAP_ACCEPTS_VIEWS.
	void AddChild(BView* view);
	bool RemoveChild(BView* view);
	int32 CountChildren() const;
	BView* ChildAt(int32 index) const;
	BView* FindView(const char* name) const;
	bool Lock();
	void Unlock();
	bool IsLocked() const;

private:
	friend class BPrivate::BitmapAccess;

	BBitmap(const BBitmap&) = delete;
	BBitmap& operator=(const BBitmap&) = delete;

	void _Init(BRect bounds, uint32 flags, color_space colorSpace, int32 bytesPerRow);

	BPrivate::BitmapData* fData;
	BRect fBounds;
	color_space fColorSpace;
	uint32 fFlags;
	int32 fBytesPerRow;
	status_t fInitStatus;
};

// The BeOS system palette: index -> colour and colour -> nearest index.
const rgb_color* system_colors_palette();
uint8 index_for_color(rgb_color color);

#endif // _BITMAP_H
