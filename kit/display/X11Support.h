// Small pieces of the X11 backend that need no connection: which X errors are worth a line
// on standard error, and the WM_CLASS of the program's windows.
#ifndef _KV_DISPLAY_X11_SUPPORT_H
#define _KV_DISPLAY_X11_SUPPORT_H

#include <mutex>
#include <set>
#include <string>
#include <utility>

#include <SupportDefs.h>

namespace BPrivate {

// Decides which X errors are reported. A window of ours or of another program may go away
// while we still talk to it (a drop target that quit, a clipboard requestor that closed):
// BadWindow and BadDrawable are expected then and stay quiet. Any other error is reported
// once per error and request, so a fault shows without flooding the log. Thread-safe.
class XErrorLog
{
public:
	// True when the error should be written (and remembers that it was).
	bool ShouldReport(int32 errorCode, int32 requestCode, int32 minorCode);
	// The line to write, without a newline.
	static std::string Describe(const char* errorText, int32 errorCode, int32 requestCode,
	                            int32 minorCode, uint32 resource);

private:
	std::mutex fLock;
	std::set<std::pair<int32, std::pair<int32, int32>>> fReported;
};

// Installs the process's X error handler (Xlib's own would end the process).
void InstallXErrorHandler();

// WM_CLASS of the program's windows, so that desktops group them and match them to the
// program's .desktop entry (StartupWMClass). The class is the application's name, the
// last word of its signature ("application/x-vnd.Example-Notes" gives "Notes"), or the
// program's name capitalised without an application; the instance is the program's name.
struct WindowClass
{
	std::string instance;
	std::string className;
};
WindowClass WindowClassFor(const char* signature, const char* programName);

} // namespace BPrivate

#endif // _KV_DISPLAY_X11_SUPPORT_H
