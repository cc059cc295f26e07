// Kit-internal access to BBitmap: its drawing context for views and its pixels as 32-bit
// colours for drawing it.
#ifndef _BITMAP_PRIVATE_H
#define _BITMAP_PRIVATE_H

#include <vector>

#include <Bitmap.h>

namespace BPrivate {

struct ViewState;

class BitmapAccess
{
public:
	// The bitmap's drawing context, null when it does not accept views.
	static ViewState* Scratch(BBitmap* bitmap);
	// The pixels in B_RGBA32; converted into storage when the bitmap is another space.
	static const uint8* RGBA32Bits(const BBitmap* bitmap, std::vector<uint8>* storage);
};

} // namespace BPrivate

#endif // _BITMAP_PRIVATE_H
