// BScreen over the window backend's screen.
#include <Screen.h>

#include "InterfaceBackend.h"

BScreen::BScreen(screen_id) : fFrame(0, 0, 1023, 767), fValid(false)
{
	BPrivate::WindowBackend* backend = BPrivate::Backend();
	if (backend->IsConnected()) {
		fFrame = backend->ScreenFrame();
		fValid = true;
	}
}

BScreen::BScreen(BWindow*) : BScreen(B_MAIN_SCREEN_ID)
{}
