// Which X errors the display reports (also against a private Xvfb), and the WM_CLASS it
// gives the program's windows.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xproto.h>

#include "Display.h"
#include "X11Support.h"
#include "XServer.h"

using namespace BPrivate;

TEST(XErrorLogTest, WindowsGoneStayQuietOtherErrorsShowOncePerRequest)
{
	XErrorLog log;
	// A window that went away while we talked to it is expected, whatever the request.
	EXPECT_FALSE(log.ShouldReport(BadWindow, X_GetProperty, 0));
	EXPECT_FALSE(log.ShouldReport(BadDrawable, X_PutImage, 0));

	EXPECT_TRUE(log.ShouldReport(BadMatch, X_SetInputFocus, 0));
	EXPECT_FALSE(log.ShouldReport(BadMatch, X_SetInputFocus, 0)) << "only once";
	EXPECT_TRUE(log.ShouldReport(BadMatch, X_ConfigureWindow, 0)) << "another request";
	EXPECT_TRUE(log.ShouldReport(BadAtom, X_SetInputFocus, 0)) << "another error";
	// Extension requests differ by their minor code.
	EXPECT_TRUE(log.ShouldReport(BadValue, 131, 46));
	EXPECT_TRUE(log.ShouldReport(BadValue, 131, 47));

	std::string line = XErrorLog::Describe("BadMatch", BadMatch, X_SetInputFocus, 0, 0x1400003);
	EXPECT_NE(line.find("request 42.0"), std::string::npos) << line;
	EXPECT_NE(line.find("BadMatch"), std::string::npos) << line;
	EXPECT_NE(line.find("0x1400003"), std::string::npos) << line;
}

TEST(WindowClassTest, ClassIsTheApplicationsNameInstanceTheProgramsName)
{
	WindowClass bar = WindowClassFor("application/x-Zintu.Kestrovane", "Kestrovane");
	EXPECT_EQ(bar.className, "Kestrovane");
	EXPECT_EQ(bar.instance, "Kestrovane");

	WindowClass vendor = WindowClassFor("application/x-vnd.Example-Notes", "notes");
	EXPECT_EQ(vendor.className, "Notes");
	EXPECT_EQ(vendor.instance, "notes");

	// Without an application (or with a signature that names nothing) the program's own
	// name stands in, capitalised as X resource classes are.
	EXPECT_EQ(WindowClassFor(nullptr, "display_demo").className, "Display_demo");
	EXPECT_EQ(WindowClassFor("application/", "tool").className, "Tool");
	EXPECT_EQ(WindowClassFor(nullptr, nullptr).instance, "kit");
}

// Against a real server: the handler is the process's, so a connection of the test's own
// shows it. Focusing a window that is not mapped is refused (BadMatch) and written once;
// asking about a window that does not exist is the quiet kind.
TEST(XErrorHandlerTest, UnexpectedErrorsAreWrittenOnceWindowsGoneAreNot)
{
	kvtest::XServer server;
	if (!server.IsRunning())
		GTEST_SKIP() << server.Error();
	ASSERT_NE(BPrivate::Display::Default(), nullptr);
	::Display* connection = XOpenDisplay(nullptr);
	ASSERT_NE(connection, nullptr);
	Window root = DefaultRootWindow(connection);
	Window unmapped = XCreateSimpleWindow(connection, root, 0, 0, 10, 10, 0, 0, 0);
	Window gone = XCreateSimpleWindow(connection, root, 0, 0, 10, 10, 0, 0, 0);
	XDestroyWindow(connection, gone);

	testing::internal::CaptureStderr();
	XRaiseWindow(connection, gone);
	XSetInputFocus(connection, gone, RevertToPointerRoot, CurrentTime);
	XSync(connection, False);
	std::string quiet = testing::internal::GetCapturedStderr();
	testing::internal::CaptureStderr();
	XSetInputFocus(connection, unmapped, RevertToPointerRoot, CurrentTime);
	XSetInputFocus(connection, unmapped, RevertToPointerRoot, CurrentTime);
	XSync(connection, False);
	std::string reported = testing::internal::GetCapturedStderr();
	XCloseDisplay(connection);
	BPrivate::Display::Shutdown();

	EXPECT_EQ(quiet, "");
	EXPECT_NE(reported.find("kit: X error 8 "), std::string::npos) << reported;
	EXPECT_NE(reported.find("request 42.0"), std::string::npos) << reported;
	EXPECT_EQ(reported.find("kit:"), reported.rfind("kit:")) << "once: " << reported;
}
