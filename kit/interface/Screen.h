// BScreen: the display's screen; this kit knows one, the main screen.
#ifndef _SCREEN_H
#define _SCREEN_H

#include <GraphicsDefs.h>
#include <Rect.h>

class BWindow;

struct screen_id
{
	int32 id;
};

inline constexpr screen_id B_MAIN_SCREEN_ID = {0};

class BScreen
{
public:
	BScreen(screen_id id = B_MAIN_SCREEN_ID);
	BScreen(BWindow* window);

	// False when no display is reachable; Frame() is then 1024 by 768.
	bool IsValid() const { return fValid; }
	status_t SetToNext() { return B_ERROR; }
	BRect Frame() const { return fFrame; }
	color_space ColorSpace() const { return B_RGB32; }
	screen_id ID() const { return B_MAIN_SCREEN_ID; }

private:
	BRect fFrame;
	bool fValid;
};

#endif // _SCREEN_H
