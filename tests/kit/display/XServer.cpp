// Xvfb and openbox for GUI tests. Xvfb picks a free display itself (-displayfd), so
// tests running in parallel never collide.
#include <X11/Xlib.h>

#include "XServer.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include "support/TestSupport.h"

namespace kvtest {

namespace {

pid_t
Spawn(const std::vector<std::string>& argv, int keepFd = -1)
{
	pid_t pid = fork();
	if (pid != 0)
		return pid;
	// The server and window manager end with the test, even when it is killed, and
	// start with clean signal handling whatever the test process set up.
	prctl(PR_SET_PDEATHSIG, SIGTERM);
	sigset_t none;
	sigemptyset(&none);
	sigprocmask(SIG_SETMASK, &none, nullptr);
	for (int signal = 1; signal < NSIG; signal++)
		std::signal(signal, SIG_DFL);
	int null = open("/dev/null", O_RDWR);
	dup2(null, 0);
	dup2(null, 1);
	if (getenv("KV_TEST_X_LOG") == nullptr)
		dup2(null, 2);
	for (int fd = 3; fd < 1024; fd++) {
		if (fd != keepFd)
			close(fd);
	}
	std::vector<char*> args;
	for (const std::string& arg : argv)
		args.push_back(const_cast<char*>(arg.c_str()));
	args.push_back(nullptr);
	execvp(args[0], args.data());
	_exit(127);
}

void
Stop(pid_t pid)
{
	if (pid <= 0)
		return;
	kill(pid, SIGTERM);
	for (int i = 0; i < 200; i++) {
		if (waitpid(pid, nullptr, WNOHANG) == pid)
			return;
		std::this_thread::sleep_for(std::chrono::milliseconds(10));
	}
	kill(pid, SIGKILL);
	waitpid(pid, nullptr, 0);
}

} // namespace

XServer::XServer(bool withWindowManager)
{
	int fds[2];
	if (pipe(fds) != 0) {
		fError = "pipe failed";
		return;
	}
	fServer = Spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1024x768x24",
	                 "-nolisten", "tcp", "-noreset"},
	                fds[1]);
	close(fds[1]);
	std::string number;
	pollfd poller = {fds[0], POLLIN, 0};
	auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
	while (std::chrono::steady_clock::now() < deadline) {
		if (poll(&poller, 1, 100) <= 0)
			continue;
		char c;
		ssize_t got = read(fds[0], &c, 1);
		if (got <= 0 || c == '\n')
			break;
		number += c;
	}
	close(fds[0]);
	if (number.empty()) {
		Stop(fServer);
		fServer = -1;
		fError = "Xvfb did not start";
		return;
	}
	fDisplayName = ":" + number;
	const char* old = getenv("DISPLAY");
	fHadDisplay = old != nullptr;
	if (old != nullptr)
		fOldDisplay = old;
	setenv("DISPLAY", fDisplayName.c_str(), 1);
	if (withWindowManager && !_StartWindowManager()) {
		fError = "openbox did not start";
		Stop(fWindowManager);
		fWindowManager = -1;
		Stop(fServer);
		fServer = -1;
	}
}

XServer::~XServer()
{
	Stop(fWindowManager);
	Stop(fServer);
	if (fHadDisplay)
		setenv("DISPLAY", fOldDisplay.c_str(), 1);
	else
		unsetenv("DISPLAY");
}

// Starts openbox and waits until it announces itself on the root window.
bool
XServer::_StartWindowManager()
{
	fWindowManager = Spawn({"openbox", "--sm-disable"});
	::Display* display = XOpenDisplay(fDisplayName.c_str());
	if (display == nullptr)
		return false;
	Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
	bool running = WaitUntil(
	        [&] {
		        Atom type;
		        int format;
		        unsigned long count, after;
		        unsigned char* value = nullptr;
		        bool found = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1,
		                                        False, XA_WINDOW, &type, &format, &count, &after,
		                                        &value) == Success &&
		                     value != nullptr && count == 1;
		        if (value != nullptr)
			        XFree(value);
		        return found;
	        },
	        std::chrono::milliseconds(10000));
	// The window manager announces itself before it manages windows, and a window mapped
	// while it starts may stay unmanaged: map probe windows until one gets a frame.
	bool framed = false;
	auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
	while (running && !framed && std::chrono::steady_clock::now() < deadline) {
		Window probe =
		        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 10, 10, 0, 0, 0);
		XMapWindow(display, probe);
		XSync(display, False);
		framed = WaitUntil(
		        [&] {
			        Window root, parent, *children = nullptr;
			        unsigned int count;
			        XQueryTree(display, probe, &root, &parent, &children, &count);
			        if (children != nullptr)
				        XFree(children);
			        return parent != root;
		        },
		        std::chrono::milliseconds(1000));
		XDestroyWindow(display, probe);
		XSync(display, False);
	}
	running = running && framed;
	XCloseDisplay(display);
	return running;
}

XClient::XClient()
{
	XInitThreads();
	fDisplay = XOpenDisplay(nullptr);
}

XClient::~XClient()
{
	if (fDisplay != nullptr)
		XCloseDisplay(fDisplay);
}

uint32_t
XClient::Pixel(int x, int y)
{
	XImage* image =
	        XGetImage(fDisplay, DefaultRootWindow(fDisplay), x, y, 1, 1, AllPlanes, ZPixmap);
	if (image == nullptr)
		return 0xffffffff;
	uint32_t pixel = (uint32_t)XGetPixel(image, 0, 0) & 0xffffff;
	XDestroyImage(image);
	return pixel;
}

bool
XClient::WaitForPixel(int x, int y, uint32_t rgb, int milliseconds)
{
	return WaitUntil([&] { return Pixel(x, y) == rgb; }, std::chrono::milliseconds(milliseconds));
}

void
XClient::MoveMouse(int x, int y)
{
	XTestFakeMotionEvent(fDisplay, -1, x, y, CurrentTime);
	XSync(fDisplay, False);
}

void
XClient::Button(int button, bool press)
{
	XTestFakeButtonEvent(fDisplay, (unsigned int)button, press ? True : False, CurrentTime);
	XSync(fDisplay, False);
}

void
XClient::Click(int x, int y, int button)
{
	MoveMouse(x, y);
	Button(button, true);
	Button(button, false);
}

void
XClient::Key(unsigned int keycode, bool press)
{
	XTestFakeKeyEvent(fDisplay, keycode, press ? True : False, CurrentTime);
	XSync(fDisplay, False);
}

void
XClient::Tap(unsigned int keycode)
{
	Key(keycode, true);
	Key(keycode, false);
}

void
XClient::Sync()
{
	XSync(fDisplay, False);
}

unsigned long
XClient::CreateFocusedWindow(int x, int y, int width, int height)
{
	Window window = XCreateSimpleWindow(fDisplay, DefaultRootWindow(fDisplay), x, y,
	                                    (unsigned)width, (unsigned)height, 0, 0, 0x808080);
	XSelectInput(fDisplay, window, KeyPressMask | StructureNotifyMask);
	// A window manager keeps a position the user asked for.
	XSizeHints* hints = XAllocSizeHints();
	hints->flags = USPosition | USSize;
	hints->x = x;
	hints->y = y;
	hints->width = width;
	hints->height = height;
	XSetWMNormalHints(fDisplay, window, hints);
	XFree(hints);
	XMapRaised(fDisplay, window);
	XSync(fDisplay, False);
	WaitUntil([&] {
		XWindowAttributes attributes;
		XGetWindowAttributes(fDisplay, window, &attributes);
		return attributes.map_state == IsViewable;
	});
	XSetInputFocus(fDisplay, window, RevertToPointerRoot, CurrentTime);
	XSync(fDisplay, False);
	return window;
}

void
XClient::DestroyWindow(unsigned long window)
{
	XDestroyWindow(fDisplay, window);
	XSync(fDisplay, False);
}

long
XClient::CardinalProperty(unsigned long window, const char* name)
{
	Atom type;
	int format;
	unsigned long count, after;
	unsigned char* value = nullptr;
	long result = -1;
	if (XGetWindowProperty(fDisplay, window, XInternAtom(fDisplay, name, False), 0, 1, False,
	                       XA_CARDINAL, &type, &format, &count, &after, &value) == Success &&
	    value != nullptr && count == 1) {
		result = (long)(*(unsigned long*)value & 0xffffffff);
	}
	if (value != nullptr)
		XFree(value);
	return result;
}

void
XClient::MoveToDesktop(unsigned long window, long desktop)
{
	XEvent event = {};
	event.xclient.type = ClientMessage;
	event.xclient.window = window;
	event.xclient.message_type = XInternAtom(fDisplay, "_NET_WM_DESKTOP", False);
	event.xclient.format = 32;
	event.xclient.data.l[0] = desktop;
	event.xclient.data.l[1] = 2;
	XSendEvent(fDisplay, DefaultRootWindow(fDisplay), False,
	           SubstructureRedirectMask | SubstructureNotifyMask, &event);
	XSync(fDisplay, False);
}

unsigned long
XClient::TopLevel(unsigned long window)
{
	Window root, parent, *children = nullptr;
	unsigned int count;
	while (XQueryTree(fDisplay, window, &root, &parent, &children, &count)) {
		if (children != nullptr)
			XFree(children);
		if (parent == root || parent == 0)
			return window;
		window = parent;
	}
	return window;
}

bool
XClient::Geometry(unsigned long window, int* x, int* y, int* width, int* height)
{
	XWindowAttributes attributes;
	if (!XGetWindowAttributes(fDisplay, window, &attributes))
		return false;
	Window child;
	XTranslateCoordinates(fDisplay, window, DefaultRootWindow(fDisplay), 0, 0, x, y, &child);
	*width = attributes.width;
	*height = attributes.height;
	return true;
}

unsigned long
XClient::FocusWindow()
{
	Window focus;
	int revert;
	XGetInputFocus(fDisplay, &focus, &revert);
	return focus;
}

} // namespace kvtest
