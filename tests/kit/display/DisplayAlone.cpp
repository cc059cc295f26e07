// A program linked with the display backend and nothing of the interface kit: it must
// link and run on its own. With an X server it opens a window through the backend
// interface, presents pixels and measures text; without one it only checks the text.
#include <cstdio>
#include <vector>

#include "Canvas.h"
#include "Display.h"

namespace {

class Client : public BPrivate::WindowClient
{
public:
	void BackendMessage(BMessage* message) override { delete message; }
};

} // namespace

int
main()
{
	BPrivate::FontDescription font("DejaVu Sans 10px");
	if (BPrivate::TextWidth(font, "Kestrovane", 10) <= 0) {
		std::fprintf(stderr, "text has no width\n");
		return 1;
	}
	BPrivate::Display* display = BPrivate::Display::Default();
	if (display == nullptr)
		return 0;
	Client client;
	BPrivate::WindowProperties properties;
	properties.title = "alone";
	BPrivate::native_window window =
	        display->CreateWindow(&client, BRect(10, 10, 49, 29), properties);
	BPrivate::Canvas canvas(40, 20);
	canvas.Flush();
	BRect all(0, 0, 39, 19);
	display->Present(window, canvas.Bits(), canvas.Width(), canvas.Height(), canvas.BytesPerRow(),
	                 &all, 1);
	display->ShowWindow(window);
	display->Sync();
	display->DestroyWindow(window);
	BPrivate::Display::Shutdown();
	return 0;
}
