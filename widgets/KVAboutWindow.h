// Placeholder until the About window lands.
#ifndef KV_ABOUT_WINDOW_H
#define KV_ABOUT_WINDOW_H

#include <Window.h>

class KVAboutWindow : public BWindow
{
public:
	explicit KVAboutWindow(BRect frame)
	    : BWindow(BRect(frame.left, frame.top, frame.left + 365, frame.top + 204),
	              "About Kestrovane", B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL,
	              B_NOT_RESIZABLE | B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE)
	{}
};

#endif // KV_ABOUT_WINDOW_H
