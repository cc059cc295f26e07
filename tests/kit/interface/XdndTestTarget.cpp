// A drop target of "another program" for the drag tests: an XdndAware window that accepts
// every drag and, on drop, asks the source for a direct save (writing the URI it was given
// into the source's XdndDirectSave0 property) and for the text. It reports on standard
// output, one line each: "ready", "types ...", "xds <answer>", "text <data>", then
// "finished" or "leave", and exits.
//   kv_xdnd_target x y width height uri|- [text]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

Display* sDisplay;
Window sWindow;

Atom
Intern(const char* name)
{
	return XInternAtom(sDisplay, name, False);
}

void
Send(Window to, const char* type, long l0, long l1, long l2, long l3, long l4)
{
	XEvent event;
	std::memset(&event, 0, sizeof(event));
	event.xclient.type = ClientMessage;
	event.xclient.window = to;
	event.xclient.message_type = Intern(type);
	event.xclient.format = 32;
	long values[5] = {l0, l1, l2, l3, l4};
	for (int i = 0; i < 5; i++)
		event.xclient.data.l[i] = values[i];
	XSendEvent(sDisplay, to, False, NoEventMask, &event);
	XFlush(sDisplay);
}

// Converts the XdndSelection to target and returns the bytes, or "<none>" when refused.
std::string
Convert(const char* target, Time time)
{
	Atom property = Intern("KV_TARGET_DATA");
	XConvertSelection(sDisplay, Intern("XdndSelection"), Intern(target), property, sWindow, time);
	XFlush(sDisplay);
	XEvent event;
	do
		XNextEvent(sDisplay, &event);
	while (event.type != SelectionNotify);
	if (event.xselection.property == None)
		return "<none>";
	Atom type;
	int format;
	unsigned long count, after;
	unsigned char* value = nullptr;
	std::string result;
	if (XGetWindowProperty(sDisplay, sWindow, property, 0, 65536, True, AnyPropertyType, &type,
	                       &format, &count, &after, &value) == Success &&
	    value != nullptr) {
		result.assign((const char*)value, count);
	}
	if (value != nullptr)
		XFree(value);
	return result;
}

void
PrintTypes(const XClientMessageEvent& enter)
{
	std::string line = "types";
	Window source = (Window)enter.data.l[0];
	Atom type;
	int format;
	unsigned long count = 0, after;
	unsigned char* value = nullptr;
	if ((enter.data.l[1] & 1) != 0 &&
	    XGetWindowProperty(sDisplay, source, Intern("XdndTypeList"), 0, 64, False, XA_ATOM, &type,
	                       &format, &count, &after, &value) == Success &&
	    value != nullptr) {
		for (unsigned long i = 0; i < count; i++) {
			char* name = XGetAtomName(sDisplay, ((Atom*)value)[i]);
			line += std::string(" ") + name;
			XFree(name);
		}
	} else {
		for (int i = 2; i < 5; i++) {
			if (enter.data.l[i] == 0)
				continue;
			char* name = XGetAtomName(sDisplay, (Atom)enter.data.l[i]);
			line += std::string(" ") + name;
			XFree(name);
		}
	}
	if (value != nullptr)
		XFree(value);
	printf("%s\n", line.c_str());
	fflush(stdout);
}

void
Drop(Window source, Time time, const char* uri, bool wantText)
{
	if (strcmp(uri, "-") != 0) {
		XChangeProperty(sDisplay, source, Intern("XdndDirectSave0"), Intern("text/plain"), 8,
		                PropModeReplace, (const unsigned char*)uri, (int)strlen(uri));
		printf("xds %s\n", Convert("XdndDirectSave0", time).c_str());
		fflush(stdout);
	}
	if (wantText) {
		printf("text %s\n", Convert("text/plain;charset=utf-8", time).c_str());
		fflush(stdout);
	}
	Send(source, "XdndFinished", (long)sWindow, 1, (long)Intern("XdndActionCopy"), 0, 0);
	printf("finished\n");
	fflush(stdout);
}

} // namespace

int
main(int argc, char** argv)
{
	if (argc < 6)
		return 2;
	alarm(20);
	sDisplay = XOpenDisplay(nullptr);
	if (sDisplay == nullptr)
		return 1;
	XSetWindowAttributes attributes;
	attributes.override_redirect = True;
	attributes.background_pixel = 0x00c000;
	attributes.event_mask = StructureNotifyMask;
	sWindow = XCreateWindow(sDisplay, DefaultRootWindow(sDisplay), atoi(argv[1]), atoi(argv[2]),
	                        atoi(argv[3]), atoi(argv[4]), 0, CopyFromParent, InputOutput,
	                        CopyFromParent, CWOverrideRedirect | CWBackPixel | CWEventMask,
	                        &attributes);
	long version = 5;
	XChangeProperty(sDisplay, sWindow, Intern("XdndAware"), XA_ATOM, 32, PropModeReplace,
	                (unsigned char*)&version, 1);
	XMapRaised(sDisplay, sWindow);
	XEvent event;
	do
		XNextEvent(sDisplay, &event);
	while (event.type != MapNotify);
	XSync(sDisplay, False);
	printf("ready\n");
	fflush(stdout);

	bool wantText = argc > 6 && strcmp(argv[6], "text") == 0;
	while (true) {
		XNextEvent(sDisplay, &event);
		if (event.type != ClientMessage)
			continue;
		const XClientMessageEvent& message = event.xclient;
		Window source = (Window)message.data.l[0];
		if (message.message_type == Intern("XdndEnter")) {
			PrintTypes(message);
		} else if (message.message_type == Intern("XdndPosition")) {
			Send(source, "XdndStatus", (long)sWindow, 1, 0, 0, (long)Intern("XdndActionCopy"));
		} else if (message.message_type == Intern("XdndLeave")) {
			printf("leave\n");
			fflush(stdout);
			break;
		} else if (message.message_type == Intern("XdndDrop")) {
			Drop(source, (Time)message.data.l[2], argv[5], wantText);
			break;
		}
	}
	XCloseDisplay(sDisplay);
	return 0;
}
