// BScreen over the X display's default screen.
#include <Screen.h>

#include "Display.h"

BScreen::BScreen(screen_id) : fFrame(0, 0, 1023, 767), fValid(false)
{
	if (BPrivate::Display* display = BPrivate::Display::Default()) {
		fFrame = display->ScreenFrame();
		fValid = true;
	}
}

BScreen::BScreen(BWindow*) : BScreen(B_MAIN_SCREEN_ID)
{}
