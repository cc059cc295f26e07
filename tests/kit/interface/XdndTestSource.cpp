// A drag source of "another program" for the drag tests. With the pointer already where
// the drop should happen, it grabs the pointer, finds the XdndAware window under it and
// drops a colour ("application/x-color", four 16-bit values) or a text on it, answering
// the target's selection request. Prints "finished <accepted>" or "refused" and exits.
//   kv_xdnd_source color red green blue alpha
//   kv_xdnd_source text string
//   kv_xdnd_source mime/type data
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

Display* sDisplay;
Window sSource;

Atom
Intern(const char* name)
{
	return XInternAtom(sDisplay, name, False);
}

void
Send(Window to, const char* type, long l1, long l2, long l3, long l4)
{
	XEvent event;
	std::memset(&event, 0, sizeof(event));
	event.xclient.type = ClientMessage;
	event.xclient.window = to;
	event.xclient.message_type = Intern(type);
	event.xclient.format = 32;
	event.xclient.data.l[0] = (long)sSource;
	event.xclient.data.l[1] = l1;
	event.xclient.data.l[2] = l2;
	event.xclient.data.l[3] = l3;
	event.xclient.data.l[4] = l4;
	XSendEvent(sDisplay, to, False, NoEventMask, &event);
	XFlush(sDisplay);
}

// The deepest window under (x, y) that has XdndAware, searching from the root down.
Window
AwareWindowAt(int x, int y)
{
	Window current = DefaultRootWindow(sDisplay);
	Window found = None;
	for (int depth = 0; depth < 6; depth++) {
		int localX, localY;
		Window child = None;
		XTranslateCoordinates(sDisplay, DefaultRootWindow(sDisplay), current, x, y, &localX,
		                      &localY, &child);
		if (child == None)
			break;
		Atom type;
		int format;
		unsigned long count, after;
		unsigned char* value = nullptr;
		if (XGetWindowProperty(sDisplay, child, Intern("XdndAware"), 0, 1, False, XA_ATOM, &type,
		                       &format, &count, &after, &value) == Success &&
		    value != nullptr) {
			found = child;
		}
		if (value != nullptr)
			XFree(value);
		if (found != None)
			break;
		current = child;
	}
	return found;
}

XEvent
WaitFor(int type, Atom messageType)
{
	XEvent event;
	while (true) {
		XNextEvent(sDisplay, &event);
		if (event.type == type &&
		    (type != ClientMessage || event.xclient.message_type == messageType)) {
			return event;
		}
	}
}

void
Answer(const XSelectionRequestEvent& request, Atom type, int format, const void* data, int count)
{
	XEvent reply;
	std::memset(&reply, 0, sizeof(reply));
	reply.xselection.type = SelectionNotify;
	reply.xselection.requestor = request.requestor;
	reply.xselection.selection = request.selection;
	reply.xselection.target = request.target;
	reply.xselection.time = request.time;
	reply.xselection.property = None;
	if (request.target == type) {
		XChangeProperty(sDisplay, request.requestor, request.property, type, format,
		                PropModeReplace, (const unsigned char*)data, count);
		reply.xselection.property = request.property;
	}
	XSendEvent(sDisplay, request.requestor, False, NoEventMask, &reply);
	XFlush(sDisplay);
}

// Drops on the XdndAware window under the pointer; false when there is none or it refuses.
bool
DropAtPointer(Atom type)
{
	Window root, child;
	int x, y, localX, localY;
	unsigned int mask;
	XQueryPointer(sDisplay, DefaultRootWindow(sDisplay), &root, &child, &x, &y, &localX, &localY,
	              &mask);
	Window target = AwareWindowAt(x, y);
	if (target == None) {
		printf("no target\n");
		return false;
	}
	Send(target, "XdndEnter", 5L << 24, (long)type, 0, 0);
	Send(target, "XdndPosition", 0, (long)((x << 16) | y), CurrentTime,
	     (long)Intern("XdndActionCopy"));
	XEvent status = WaitFor(ClientMessage, Intern("XdndStatus"));
	if ((status.xclient.data.l[1] & 1) == 0) {
		Send(target, "XdndLeave", 0, 0, 0, 0);
		printf("refused\n");
		return false;
	}
	Send(target, "XdndDrop", 0, CurrentTime, 0, 0);
	return true;
}

} // namespace

int
main(int argc, char** argv)
{
	if (argc < 3)
		return 2;
	alarm(20);
	sDisplay = XOpenDisplay(nullptr);
	if (sDisplay == nullptr)
		return 1;
	bool color = strcmp(argv[1], "color") == 0;
	if (color && argc < 6)
		return 2;
	unsigned short components[4];
	for (int i = 0; color && i < 4; i++)
		components[i] = (unsigned short)strtoul(argv[2 + i], nullptr, 0);
	std::string text = color ? "" : argv[2];
	Atom type = Intern(color ? "application/x-color"
	                         : (strcmp(argv[1], "text") == 0 ? "text/plain" : argv[1]));

	XSetWindowAttributes attributes;
	attributes.override_redirect = True;
	sSource =
	        XCreateWindow(sDisplay, DefaultRootWindow(sDisplay), -10, -10, 1, 1, 0, CopyFromParent,
	                      InputOnly, CopyFromParent, CWOverrideRedirect, &attributes);
	XMapWindow(sDisplay, sSource);
	XSync(sDisplay, False);
	XGrabPointer(sDisplay, sSource, False, PointerMotionMask | ButtonReleaseMask, GrabModeAsync,
	             GrabModeAsync, None, None, CurrentTime);
	XSetSelectionOwner(sDisplay, Intern("XdndSelection"), sSource, CurrentTime);
	if (!DropAtPointer(type))
		return 0;
	XEvent event;
	while (true) {
		XNextEvent(sDisplay, &event);
		if (event.type == SelectionRequest) {
			if (color)
				Answer(event.xselectionrequest, type, 16, components, 4);
			else
				Answer(event.xselectionrequest, type, 8, text.data(), (int)text.size());
		} else if (event.type == ClientMessage &&
		           event.xclient.message_type == Intern("XdndFinished")) {
			printf("finished %ld\n", event.xclient.data.l[1] & 1);
			break;
		}
	}
	XUngrabPointer(sDisplay, CurrentTime);
	XCloseDisplay(sDisplay);
	return 0;
}
