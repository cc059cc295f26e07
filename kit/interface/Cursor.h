// BCursor: a pointer shape, from BeOS cursor data (16x16, one bit deep) or a system id.
#ifndef _CURSOR_H
#define _CURSOR_H

#include <AppDefs.h>
#include <SupportDefs.h>

enum BCursorID
{
	B_CURSOR_ID_SYSTEM_DEFAULT = 1,
	B_CURSOR_ID_CONTEXT_MENU,
	B_CURSOR_ID_COPY,
	B_CURSOR_ID_CREATE_LINK,
	B_CURSOR_ID_CROSS_HAIR,
	B_CURSOR_ID_FOLLOW_LINK,
	B_CURSOR_ID_GRAB,
	B_CURSOR_ID_GRABBING,
	B_CURSOR_ID_HELP,
	B_CURSOR_ID_I_BEAM,
	B_CURSOR_ID_I_BEAM_HORIZONTAL,
	B_CURSOR_ID_MOVE,
	B_CURSOR_ID_NO_CURSOR,
	B_CURSOR_ID_NOT_ALLOWED,
	B_CURSOR_ID_PROGRESS
};

class BCursor
{
public:
	// cursorData: 68 bytes: size (16), depth (1), hot spot y and x, 32 bytes of colour
	// bits (1 = black) and 32 bytes of mask bits (1 = opaque), rows of two bytes, most
	// significant bit leftmost. Bad data leaves InitCheck() at B_BAD_VALUE.
	BCursor(const void* cursorData);
	BCursor(BCursorID id);
	BCursor(const BCursor& other);
	~BCursor();
	BCursor& operator=(const BCursor& other);

	status_t InitCheck() const { return fInitStatus; }
	BCursorID ID() const { return fID; }
	// Zero when the cursor comes from an id.
	const uint8* Data() const { return fHasData ? fData : nullptr; }
	uint8 HotSpotX() const { return fData[3]; }
	uint8 HotSpotY() const { return fData[2]; }
	// Whether the pixel is opaque and, if so, black.
	bool IsOpaque(int x, int y) const;
	bool IsBlack(int x, int y) const;

private:
	uint8 fData[68];
	BCursorID fID;
	status_t fInitStatus;
	bool fHasData;
};

#endif // _CURSOR_H
