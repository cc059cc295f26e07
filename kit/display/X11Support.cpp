// The X error handler and the program's WM_CLASS.
#include "X11Support.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include <X11/Xlib.h>
#include <X11/Xproto.h>

namespace BPrivate {

namespace {

// Never destroyed: the display thread may still meet an error while the process ends.
XErrorLog& sErrorLog = *new XErrorLog;

// Called by Xlib with its own lock held: it may not send requests, so it only asks for
// the error's text (a local table) and writes one line.
int
HandleXError(::Display* display, XErrorEvent* error)
{
	if (!sErrorLog.ShouldReport(error->error_code, error->request_code, error->minor_code))
		return 0;
	char text[160] = "";
	XGetErrorText(display, error->error_code, text, sizeof(text));
	std::string line = XErrorLog::Describe(text, error->error_code, error->request_code,
	                                       error->minor_code, (uint32)error->resourceid);
	std::fprintf(stderr, "%s\n", line.c_str());
	return 0;
}

} // namespace

bool
XErrorLog::ShouldReport(int32 errorCode, int32 requestCode, int32 minorCode)
{
	if (errorCode == BadWindow || errorCode == BadDrawable)
		return false;
	std::lock_guard<std::mutex> guard(fLock);
	return fReported.insert({errorCode, {requestCode, minorCode}}).second;
}

std::string
XErrorLog::Describe(const char* errorText, int32 errorCode, int32 requestCode, int32 minorCode,
                    uint32 resource)
{
	char line[320];
	std::snprintf(line, sizeof(line),
	              "kit: X error %d (%s) in request %d.%d on 0x%lx; reported once", (int)errorCode,
	              errorText != nullptr ? errorText : "", (int)requestCode, (int)minorCode,
	              (unsigned long)resource);
	return line;
}

void
InstallXErrorHandler()
{
	XSetErrorHandler(HandleXError);
}

WindowClass
WindowClassFor(const char* signature, const char* programName)
{
	WindowClass result;
	result.instance = programName != nullptr && programName[0] != '\0' ? programName : "kit";
	if (signature != nullptr) {
		const char* leaf = signature;
		for (const char* c = signature; *c != '\0'; c++) {
			if (*c == '/' || *c == '.' || *c == '-')
				leaf = c + 1;
		}
		result.className = leaf;
	}
	if (result.className.empty()) {
		result.className = result.instance;
		result.className[0] = (char)std::toupper((unsigned char)result.className[0]);
	}
	return result;
}

} // namespace BPrivate
