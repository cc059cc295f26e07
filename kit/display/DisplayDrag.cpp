// The source side of drag and drop. A drag follows the pointer in the display thread,
// which receives every pointer event through the implicit grab of the press that started
// it. Over our own windows the views see the dragged message in their B_MOUSE_MOVED and
// get it on release; over another program's XdndAware window the kit speaks XDND and
// answers the target's requests for the data, including the direct-save extension (XDS).
#include <algorithm>
#include <cstring>
#include <unistd.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>
#include <X11/keysym.h>

#include <AppDefs.h>
#include <Message.h>

#include "DisplayPrivate.h"

namespace BPrivate {

namespace {

// The drag image is an opaque window cut to the image's non-transparent pixels with a
// shape mask: without a compositing manager an ARGB window would not blend anyway, and
// the shape keeps fully transparent parts out of the way. Its input shape is empty, so
// that the pointer "sees" the windows below it.
Window
CreateImageWindow(Display::Data& d, const uint32* pixels, int32 width, int32 height)
{
	XSetWindowAttributes attributes;
	attributes.override_redirect = True;
	attributes.background_pixmap = None;
	Window image = XCreateWindow(d.display, d.root, -width - 10, -height - 10, width, height, 0,
	                             CopyFromParent, InputOutput, CopyFromParent,
	                             CWOverrideRedirect | CWBackPixmap, &attributes);
	Pixmap content = XCreatePixmap(d.display, image, width, height, d.depth);
	std::vector<uint32> opaque(pixels, pixels + (size_t)width * height);
	XImage* picture = XCreateImage(d.display, d.visual, d.depth, ZPixmap, 0, (char*)opaque.data(),
	                               width, height, 32, width * 4);
	if (picture != nullptr) {
		XPutImage(d.display, content, DefaultGC(d.display, d.screen), picture, 0, 0, 0, 0, width,
		          height);
		picture->data = nullptr;
		XDestroyImage(picture);
	}
	XSetWindowBackgroundPixmap(d.display, image, content);
	XFreePixmap(d.display, content);

	if (d.hasShape) {
		std::vector<char> maskBits((size_t)(width + 7) / 8 * height, 0);
		for (int32 y = 0; y < height; y++) {
			for (int32 x = 0; x < width; x++) {
				if ((pixels[(size_t)y * width + x] >> 24) != 0)
					maskBits[(size_t)y * ((width + 7) / 8) + x / 8] |= (char)(1 << (x % 8));
			}
		}
		Pixmap mask = XCreateBitmapFromData(d.display, image, maskBits.data(), width, height);
		XShapeCombineMask(d.display, image, ShapeBounding, 0, 0, mask, ShapeSet);
		XFreePixmap(d.display, mask);
		XShapeCombineRectangles(d.display, image, ShapeInput, 0, 0, nullptr, 0, ShapeSet, Unsorted);
	}
	return image;
}

std::vector<Atom>
TypesFor(const Display::Data& d, const DragOffer& offer)
{
	std::vector<Atom> types;
	if (offer.directSave)
		types.push_back(d.xdnd.directSave);
	if (offer.hasText) {
		types.push_back(d.xdnd.textPlainUtf8);
		types.push_back(d.xdnd.utf8String);
		types.push_back(d.xdnd.textPlain);
	}
	return types;
}

} // namespace

status_t
Display::StartDrag(native_window window, const BMessage& message, const BMessenger& replyTo,
                   const uint32* pixels, int32 width, int32 height, BPoint grab,
                   std::shared_ptr<DragClient> client)
{
	Data& d = *fData;
	Window rootReturn, child;
	int rootX, rootY, x, y;
	unsigned int mask;
	if (!XQueryPointer(d.display, d.root, &rootReturn, &child, &rootX, &rootY, &x, &y, &mask) ||
	    (mask & (Button1Mask | Button2Mask | Button3Mask)) == 0) {
		return B_ERROR;
	}
	auto session = std::make_unique<DragSession>();
	session->source = window;
	session->grab = grab;
	session->message = message;
	session->replyTo = replyTo;
	session->client = std::move(client);
	DragOffer offer = OfferFor(message);
	session->types = TypesFor(d, offer);
	session->text = offer.text;
	session->directSave = offer.directSave;
	if (pixels != nullptr && width > 0 && height > 0)
		session->image = CreateImageWindow(d, pixels, width, height);

	std::lock_guard<std::mutex> guard(d.lock);
	if (d.Find(window) == nullptr) {
		if (session->image != 0)
			XDestroyWindow(d.display, session->image);
		return B_BAD_VALUE;
	}
	if (d.drag)
		d.EndDrag();
	d.drag = std::move(session);
	XChangeProperty(d.display, window, d.xdnd.typeList, XA_ATOM, 32, PropModeReplace,
	                (unsigned char*)d.drag->types.data(), (int)d.drag->types.size());
	// The suggested file name; a direct-save target replaces it by the URI it chose.
	if (offer.directSave) {
		XChangeProperty(d.display, window, d.xdnd.directSave, d.xdnd.textPlain, 8, PropModeReplace,
		                (const unsigned char*)offer.clipName.data(), (int)offer.clipName.size());
	}
	XSetSelectionOwner(d.display, d.xdnd.selection, window, CurrentTime);
	// Escape must reach the drag whichever window has the focus.
	XGrabKeyboard(d.display, window, False, GrabModeAsync, GrabModeAsync, CurrentTime);
	if (d.drag->image != 0)
		XMapRaised(d.display, d.drag->image);
	d.DragMoved(rootX, rootY, CurrentTime);
	XFlush(d.display);
	return B_OK;
}

bool
Display::IsDragging()
{
	std::lock_guard<std::mutex> guard(fData->lock);
	return fData->drag && fData->drag->tracking;
}

void
Display::Data::InitDragAndDrop()
{
	InternXdndAtoms(display, &xdnd);
	int event, error;
	hasShape = XShapeQueryExtension(display, &event, &error);
	char name[256] = {};
	if (gethostname(name, sizeof(name) - 1) == 0)
		hostName = name;
}

void
Display::Data::MakeXdndAware(Window window)
{
	long version = kXdndVersion;
	XChangeProperty(display, window, xdnd.aware, XA_ATOM, 32, PropModeReplace,
	                (unsigned char*)&version, 1);
}

void
Display::Data::SendXdnd(Window to, Atom type, long l0, long l1, long l2, long l3, long l4)
{
	XEvent event;
	std::memset(&event, 0, sizeof(event));
	event.xclient.type = ClientMessage;
	event.xclient.window = to;
	event.xclient.message_type = type;
	event.xclient.format = 32;
	long values[5] = {l0, l1, l2, l3, l4};
	for (int i = 0; i < 5; i++)
		event.xclient.data.l[i] = values[i];
	XSendEvent(display, to, False, NoEventMask, &event);
}

// Pointer input of a drag: motion moves it, the release drops it, Escape cancels it.
// The source window still gets its own mouse messages, so that the view that started the
// drag sees the button go up.
bool
Display::Data::HandleDragInput(WindowRecord* record, XEvent& event)
{
	if (!drag || !drag->tracking)
		return false;
	switch (event.type) {
	case MotionNotify: {
		Window previous = drag->ours;
		DragMoved(event.xmotion.x_root, event.xmotion.y_root, event.xmotion.time);
		PostDragMotion(record, event, previous);
		return true;
	}
	case ButtonRelease:
		Post(record, coreKeys->Translate(event, BPoint(record->inset, record->inset)));
		DragReleased(event.xbutton.x_root, event.xbutton.y_root, event.xbutton.time);
		return true;
	case KeyPress:
		if (XLookupKeysym(&event.xkey, 0) != XK_Escape)
			return false;
		if (drag->target != 0)
			SendXdnd(drag->target, xdnd.leave, (long)drag->source, 0, 0, 0, 0);
		EndDrag();
		XFlush(display);
		return true;
	default:
		return false;
	}
}

// The motion goes to the source window as usual and, with the dragged message, to our
// window under the pointer and to the one the pointer just left.
void
Display::Data::PostDragMotion(WindowRecord* record, XEvent& event, Window previousOurs)
{
	BMessage* motion = coreKeys->Translate(event, BPoint(record->inset, record->inset));
	if (motion == nullptr)
		return;
	motion->AddMessage(kDragMessageField, &drag->message);
	Window others[2] = {drag->ours, previousOurs};
	for (int i = 0; i < 2; i++) {
		if (others[i] == 0 || others[i] == record->xid || (i == 1 && others[1] == others[0]))
			continue;
		if (WindowRecord* other = Find(others[i]))
			Post(other, new BMessage(*motion));
	}
	Post(record, motion);
}

// Finds what is under the pointer: one of our windows, or a window of another program
// that takes XDND (a top-level window or, under a window manager, the client inside its
// frame).
void
Display::Data::FindDropTarget(int x, int y, Window* ours, Window* target, int* version)
{
	*ours = 0;
	*target = 0;
	*version = 0;
	Window current = root;
	for (int depth = 0; depth < 6; depth++) {
		int localX, localY;
		Window child = 0;
		if (!XTranslateCoordinates(display, root, current, x, y, &localX, &localY, &child) ||
		    child == 0 || (drag && child == drag->image)) {
			return;
		}
		if (Find(child) != nullptr) {
			*ours = child;
			return;
		}
		Atom type;
		int format;
		unsigned long count, after;
		unsigned char* value = nullptr;
		if (XGetWindowProperty(display, child, xdnd.aware, 0, 1, False, XA_ATOM, &type, &format,
		                       &count, &after, &value) == Success &&
		    value != nullptr && count == 1) {
			*target = child;
			*version = (int)*(unsigned long*)value;
		}
		if (value != nullptr)
			XFree(value);
		if (*target != 0)
			return;
		current = child;
	}
}

void
Display::Data::DragMoved(int x, int y, Time time)
{
	DragSession& session = *drag;
	session.time = time;
	if (session.image != 0) {
		XMoveWindow(display, session.image, x - (int)session.grab.x, y - (int)session.grab.y);
		XRaiseWindow(display, session.image);
	}
	Window ours, target;
	int version;
	FindDropTarget(x, y, &ours, &target, &version);
	session.ours = ours;
	if (target != session.target) {
		if (session.target != 0)
			SendXdnd(session.target, xdnd.leave, (long)session.source, 0, 0, 0, 0);
		session.target = target;
		session.targetVersion = std::min(version, kXdndVersion);
		session.waitingStatus = false;
		session.positionPending = false;
		session.accepted = false;
		if (target != 0) {
			long flags = (long)session.targetVersion << 24;
			if (session.types.size() > 3)
				flags |= 1;
			long types[3] = {0, 0, 0};
			for (size_t i = 0; i < session.types.size() && i < 3; i++)
				types[i] = (long)session.types[i];
			SendXdnd(target, xdnd.enter, (long)session.source, flags, types[0], types[1], types[2]);
		}
	}
	if (session.target == 0)
		return;
	// One position at a time: the next goes out when the target has answered.
	if (session.waitingStatus) {
		session.positionPending = true;
		session.pendingX = x;
		session.pendingY = y;
		session.pendingTime = time;
		return;
	}
	SendPosition(x, y, time);
}

void
Display::Data::SendPosition(int x, int y, Time time)
{
	drag->waitingStatus = true;
	SendXdnd(drag->target, xdnd.position, (long)drag->source, 0,
	         (long)(((x & 0xffff) << 16) | (y & 0xffff)), (long)time, (long)xdnd.actionCopy);
}

void
Display::Data::DragReleased(int x, int y, Time time)
{
	DragSession& session = *drag;
	session.tracking = false;
	session.time = time;
	if (session.image != 0) {
		XDestroyWindow(display, session.image);
		session.image = 0;
	}
	XUngrabKeyboard(display, time);
	if (session.ours != 0) {
		if (WindowRecord* target = Find(session.ours)) {
			BMessage* drop = new BMessage(kMsgDrop);
			drop->AddMessage(kDragMessageField, &session.message);
			drop->AddPoint("screen_where", BPoint(x, y));
			drop->AddPoint(kDropOffsetField, session.grab);
			drop->AddMessenger(kDropReplyField, session.replyTo);
			Post(target, drop);
		}
		EndDrag();
		return;
	}
	if (session.target != 0) {
		if (session.waitingStatus) {
			session.releasePending = true;
			return;
		}
		FinishRelease();
		return;
	}
	EndDrag();
}

// Drops on the target when it accepted the last position, leaves it otherwise.
void
Display::Data::FinishRelease()
{
	DragSession& session = *drag;
	if (session.accepted) {
		session.dropped = true;
		SendXdnd(session.target, xdnd.drop, (long)session.source, 0, (long)session.time, 0, 0);
		XFlush(display);
		return;
	}
	SendXdnd(session.target, xdnd.leave, (long)session.source, 0, 0, 0, 0);
	EndDrag();
}

void
Display::Data::DragStatus(const XClientMessageEvent& event)
{
	if (!drag || (Window)event.data.l[0] != drag->target)
		return;
	DragSession& session = *drag;
	session.waitingStatus = false;
	session.accepted = (event.data.l[1] & 1) != 0;
	if (session.releasePending) {
		session.releasePending = false;
		FinishRelease();
	} else if (session.positionPending && session.tracking) {
		session.positionPending = false;
		SendPosition(session.pendingX, session.pendingY, session.pendingTime);
	}
	XFlush(display);
}

void
Display::Data::EndDrag()
{
	if (!drag)
		return;
	if (drag->image != 0)
		XDestroyWindow(display, drag->image);
	if (drag->tracking)
		XUngrabKeyboard(display, CurrentTime);
	XDeleteProperty(display, drag->source, xdnd.directSave);
	XDeleteProperty(display, drag->source, xdnd.typeList);
	if (XGetSelectionOwner(display, xdnd.selection) == drag->source)
		XSetSelectionOwner(display, xdnd.selection, None, CurrentTime);
	drag.reset();
	XFlush(display);
}

// The file the target chose: its URI replaces the suggested name in the source window's
// XdndDirectSave0 property. "S" when the file exists now, "F" when it cannot be made there,
// "E" when the URI is unusable.
std::string
Display::Data::DirectSaveAnswer()
{
	Atom type;
	int format;
	unsigned long count, after;
	unsigned char* value = nullptr;
	std::string uri;
	if (XGetWindowProperty(display, drag->source, xdnd.directSave, 0, 16384, False, AnyPropertyType,
	                       &type, &format, &count, &after, &value) == Success &&
	    value != nullptr && format == 8) {
		uri.assign((const char*)value, count);
	}
	if (value != nullptr)
		XFree(value);
	std::string directory, name;
	if (ParseFileUri(uri, hostName, &directory, &name) != kUriOk)
		return "E";
	if (!drag->client || drag->client->SaveTo(directory.c_str(), name.c_str()) != B_OK)
		return "F";
	return "S";
}

void
Display::Data::HandleDragSelectionRequest(const XSelectionRequestEvent& request)
{
	Atom property = request.property != None ? request.property : request.target;
	Atom answered = None;
	bool isText = request.target == xdnd.textPlain || request.target == xdnd.textPlainUtf8 ||
	              request.target == xdnd.utf8String;
	if (drag && request.owner == drag->source) {
		if (request.target == xdnd.targets) {
			std::vector<Atom> targets = drag->types;
			targets.push_back(xdnd.targets);
			XChangeProperty(display, request.requestor, property, XA_ATOM, 32, PropModeReplace,
			                (unsigned char*)targets.data(), (int)targets.size());
			answered = property;
		} else if (isText && std::find(drag->types.begin(), drag->types.end(), xdnd.textPlain) !=
		                             drag->types.end()) {
			XChangeProperty(display, request.requestor, property, request.target, 8,
			                PropModeReplace, (const unsigned char*)drag->text.data(),
			                (int)drag->text.size());
			answered = property;
		} else if (request.target == xdnd.directSave && drag->directSave) {
			std::string answer = DirectSaveAnswer();
			XChangeProperty(display, request.requestor, property, XA_STRING, 8, PropModeReplace,
			                (const unsigned char*)answer.data(), (int)answer.size());
			answered = property;
		}
	}
	SendSelectionNotify(display, request, answered);
	XFlush(display);
}

} // namespace BPrivate
