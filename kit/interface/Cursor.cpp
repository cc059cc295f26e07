// BCursor: BeOS cursor data kept as given, checked on construction.
#include <Cursor.h>

#include <cstring>

BCursor::BCursor(const void* cursorData)
    : fID(B_CURSOR_ID_SYSTEM_DEFAULT), fInitStatus(B_BAD_VALUE), fHasData(false)
{
	std::memset(fData, 0, sizeof(fData));
	const uint8* data = (const uint8*)cursorData;
	// Only 16x16 cursors of depth 1 exist; hot spots must lie inside.
	if (data == nullptr || data[0] != 16 || data[1] != 1 || data[2] >= 16 || data[3] >= 16)
		return;
	std::memcpy(fData, data, sizeof(fData));
	fHasData = true;
	fInitStatus = B_OK;
}

BCursor::BCursor(BCursorID id) : fID(id), fInitStatus(B_OK), fHasData(false)
{
	std::memset(fData, 0, sizeof(fData));
}

BCursor::BCursor(const BCursor& other) = default;

BCursor::~BCursor()
{}

BCursor& BCursor::operator=(const BCursor& other) = default;

bool
BCursor::IsOpaque(int x, int y) const
{
	if (!fHasData || x < 0 || y < 0 || x >= 16 || y >= 16)
		return false;
	return (fData[36 + y * 2 + x / 8] & (0x80 >> (x % 8))) != 0;
}

bool
BCursor::IsBlack(int x, int y) const
{
	if (!IsOpaque(x, y))
		return false;
	return (fData[4 + y * 2 + x / 8] & (0x80 >> (x % 8))) != 0;
}

// A pointing hand with its hot spot on the finger tip.
const uint8 B_HAND_CURSOR[] = {16, 1, 2, 2,
                               // colour bits
                               0x00, 0x00, 0x0c, 0x00, 0x12, 0x00, 0x12, 0x00, 0x13, 0xb0, 0x12,
                               0x48, 0x12, 0x4e, 0x72, 0x49, 0x92, 0x49, 0x80, 0x09, 0x80, 0x01,
                               0x40, 0x02, 0x20, 0x02, 0x10, 0x04, 0x08, 0x04, 0x08, 0x04,
                               // mask bits
                               0x00, 0x00, 0x0c, 0x00, 0x1e, 0x00, 0x1e, 0x00, 0x1f, 0xb0, 0x1f,
                               0xf8, 0x1f, 0xfe, 0x7f, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff,
                               0x7f, 0xfe, 0x3f, 0xfe, 0x1f, 0xfc, 0x0f, 0xfc, 0x0f, 0xfc};

// An I-beam with its hot spot in the middle.
const uint8 B_I_BEAM_CURSOR[] = {16, 1, 7, 7,
                                 // colour bits
                                 0x00, 0x00, 0x0e, 0xe0, 0x01, 0x00, 0x01, 0x00, 0x01, 0x00, 0x01,
                                 0x00, 0x01, 0x00, 0x01, 0x00, 0x01, 0x00, 0x01, 0x00, 0x01, 0x00,
                                 0x01, 0x00, 0x01, 0x00, 0x01, 0x00, 0x0e, 0xe0, 0x00, 0x00,
                                 // mask bits
                                 0x1f, 0xf0, 0x1f, 0xf0, 0x03, 0x80, 0x03, 0x80, 0x03, 0x80, 0x03,
                                 0x80, 0x03, 0x80, 0x03, 0x80, 0x03, 0x80, 0x03, 0x80, 0x03, 0x80,
                                 0x03, 0x80, 0x03, 0x80, 0x03, 0x80, 0x1f, 0xf0, 0x1f, 0xf0};
