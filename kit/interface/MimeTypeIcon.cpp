// BMimeType::GetIcon: the storage kit keeps the icons as RGBA pixels; handing them out
// as a bitmap belongs here, with the bitmap class.
#include <Bitmap.h>
#include <MimeType.h>

#include <cstring>
#include <vector>

status_t
BMimeType::GetIcon(BBitmap* icon, icon_size which) const
{
	if (icon == nullptr || icon->InitCheck() != B_OK)
		return B_BAD_VALUE;
	BRect bounds = icon->Bounds();
	if (bounds.IntegerWidth() + 1 != which || bounds.IntegerHeight() + 1 != which)
		return B_BAD_VALUE;

	std::vector<uint8> pixels(size_t(which) * which * 4);
	status_t status = GetIconData(which, pixels.data(), pixels.size());
	if (status != B_OK)
		return status;

	uint8* bits = static_cast<uint8*>(icon->Bits());
	switch (icon->ColorSpace()) {
	case B_RGBA32:
	case B_RGB32:
		for (int32 row = 0; row < which; row++) {
			memcpy(bits + row * icon->BytesPerRow(), pixels.data() + row * which * 4, which * 4);
		}
		return B_OK;
	case B_CMAP8:
		// Icons in the palette use the magic index for their transparent pixels.
		for (int32 row = 0; row < which; row++) {
			for (int32 column = 0; column < which; column++) {
				const uint8* pixel = pixels.data() + (row * which + column) * 4;
				rgb_color color = {pixel[2], pixel[1], pixel[0], pixel[3]};
				bits[row * icon->BytesPerRow() + column] =
				        pixel[3] < 128 ? B_TRANSPARENT_MAGIC_CMAP8 : index_for_color(color);
			}
		}
		return B_OK;
	default:
		return B_BAD_VALUE;
	}
}
