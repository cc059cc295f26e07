// Test helpers for the display: a private Xvfb (optionally with a window manager) started
// by the test itself, and a second X connection that looks at the screen and drives input
// through XTEST, as a user would.
#ifndef KV_TEST_X_SERVER_H
#define KV_TEST_X_SERVER_H

#include <cstdint>
#include <string>
#include <sys/types.h>

struct _XDisplay;

namespace kvtest {

// An Xvfb on a free display number, with DISPLAY pointing at it while it runs.
class XServer
{
public:
	// Starts Xvfb 1024x768x24; withWindowManager also starts openbox and waits for it.
	explicit XServer(bool withWindowManager = false);
	~XServer();

	bool IsRunning() const { return fServer > 0; }
	const std::string& DisplayName() const { return fDisplayName; }
	// Why starting failed, for GTEST_SKIP.
	const std::string& Error() const { return fError; }

private:
	bool _StartWindowManager();

	pid_t fServer = -1;
	pid_t fWindowManager = -1;
	std::string fDisplayName;
	std::string fOldDisplay;
	bool fHadDisplay = false;
	std::string fError;
};

// A second client of the server: reads pixels and sends input like a user.
class XClient
{
public:
	XClient();
	~XClient();

	bool IsValid() const { return fDisplay != nullptr; }
	_XDisplay* Handle() const { return fDisplay; }

	// The screen's pixel at (x, y) as 0xRRGGBB.
	uint32_t Pixel(int x, int y);
	// Waits (with a deadline) until the pixel has the colour.
	bool WaitForPixel(int x, int y, uint32_t rgb, int milliseconds = 5000);

	void MoveMouse(int x, int y);
	void Button(int button, bool press);
	void Click(int x, int y, int button = 1);
	// A physical key by X key code.
	void Key(unsigned int keycode, bool press);
	void Tap(unsigned int keycode);
	void Sync();

	// A plain window (an X window id) of another program, mapped and given the input focus.
	unsigned long CreateFocusedWindow(int x, int y, int width, int height);
	void DestroyWindow(unsigned long window);
	// The first CARDINAL of a window property, or -1 when it is missing.
	long CardinalProperty(unsigned long window, const char* name);
	// Asks the window manager to move the window to another desktop, as a pager does.
	void MoveToDesktop(unsigned long window, long desktop);
	// The top-level window (a frame of the window manager, or the window itself) that
	// holds window, and its geometry on the root.
	unsigned long TopLevel(unsigned long window);
	bool Geometry(unsigned long window, int* x, int* y, int* width, int* height);
	unsigned long FocusWindow();

private:
	_XDisplay* fDisplay;
};

} // namespace kvtest

#endif // KV_TEST_X_SERVER_H
