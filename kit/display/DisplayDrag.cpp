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
CreateImageWindow(const XConnection& d, const uint32* pixels, int32 width, int32 height)
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
TypesFor(const XConnection& d, const DragOffer& offer)
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

	std::lock_guard<std::mutex> guard(d.windows.lock);
	if (d.windows.Find(window) == nullptr) {
		if (session->image != 0)
			XDestroyWindow(d.display, session->image);
		return B_BAD_VALUE;
	}
	d.drag.Begin(std::move(session), offer.clipName, rootX, rootY);
	return B_OK;
}

bool
Display::IsDragging()
{
	return fData->drag.IsDragging();
}

void
DragSource::Begin(std::unique_ptr<DragSession> session, const std::string& clipName, int x, int y)
{
	std::lock_guard<std::mutex> guard(fLock);
	if (fDrag)
		_End();
	fDrag = std::move(session);
	Window window = fDrag->source;
	XChangeProperty(fX.display, window, fX.xdnd.typeList, XA_ATOM, 32, PropModeReplace,
	                (unsigned char*)fDrag->types.data(), (int)fDrag->types.size());
	// The suggested file name; a direct-save target replaces it by the URI it chose.
	if (fDrag->directSave) {
		XChangeProperty(fX.display, window, fX.xdnd.directSave, fX.xdnd.textPlain, 8,
		                PropModeReplace, (const unsigned char*)clipName.data(),
		                (int)clipName.size());
	}
	XSetSelectionOwner(fX.display, fX.xdnd.selection, window, CurrentTime);
	// Escape must reach the drag whichever window has the focus.
	XGrabKeyboard(fX.display, window, False, GrabModeAsync, GrabModeAsync, CurrentTime);
	if (fDrag->image != 0)
		XMapRaised(fX.display, fDrag->image);
	_Moved(x, y, CurrentTime);
	XFlush(fX.display);
}

bool
DragSource::IsDragging()
{
	std::lock_guard<std::mutex> guard(fLock);
	return fDrag && fDrag->tracking;
}

void
DragSource::WindowDestroyed(Window window)
{
	std::lock_guard<std::mutex> guard(fLock);
	if (fDrag && fDrag->source == window)
		_End();
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
XConnection::SendXdnd(Window to, Atom type, long l0, long l1, long l2, long l3, long l4) const
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
DragSource::HandleInput(WindowRecord* record, XEvent& event)
{
	std::lock_guard<std::mutex> guard(fLock);
	if (!fDrag || !fDrag->tracking)
		return false;
	switch (event.type) {
	case MotionNotify: {
		Window previous = fDrag->ours;
		_Moved(event.xmotion.x_root, event.xmotion.y_root, event.xmotion.time);
		_PostMotion(record, event, previous);
		return true;
	}
	case ButtonRelease:
		Post(record, fWindows.coreKeys->Translate(event, BPoint(record->inset, record->inset)));
		_Released(event.xbutton.x_root, event.xbutton.y_root, event.xbutton.time);
		return true;
	case KeyPress:
		if (XLookupKeysym(&event.xkey, 0) != XK_Escape)
			return false;
		if (fDrag->target != 0)
			fX.SendXdnd(fDrag->target, fX.xdnd.leave, (long)fDrag->source, 0, 0, 0, 0);
		_End();
		XFlush(fX.display);
		return true;
	default:
		return false;
	}
}

// The motion goes to the source window as usual and, with the dragged message, to our
// window under the pointer and to the one the pointer just left.
void
DragSource::_PostMotion(WindowRecord* record, XEvent& event, Window previousOurs)
{
	BMessage* motion = fWindows.coreKeys->Translate(event, BPoint(record->inset, record->inset));
	if (motion == nullptr)
		return;
	motion->AddMessage(kDragMessageField, &fDrag->message);
	Window others[2] = {fDrag->ours, previousOurs};
	for (int i = 0; i < 2; i++) {
		if (others[i] == 0 || others[i] == record->xid || (i == 1 && others[1] == others[0]))
			continue;
		if (WindowRecord* other = fWindows.Find(others[i]))
			Post(other, new BMessage(*motion));
	}
	Post(record, motion);
}

// Finds what is under the pointer: one of our windows, or a window of another program
// that takes XDND (a top-level window or, under a window manager, the client inside its
// frame).
void
DragSource::_FindTarget(int x, int y, Window* ours, Window* target, int* version)
{
	*ours = 0;
	*target = 0;
	*version = 0;
	Window current = fX.root;
	for (int depth = 0; depth < 6; depth++) {
		int localX, localY;
		Window child = 0;
		if (!XTranslateCoordinates(fX.display, fX.root, current, x, y, &localX, &localY, &child) ||
		    child == 0 || (fDrag && child == fDrag->image)) {
			return;
		}
		if (fWindows.Find(child) != nullptr) {
			*ours = child;
			return;
		}
		Atom type;
		int format;
		unsigned long count, after;
		unsigned char* value = nullptr;
		if (XGetWindowProperty(fX.display, child, fX.xdnd.aware, 0, 1, False, XA_ATOM, &type,
		                       &format, &count, &after, &value) == Success &&
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
DragSource::_Moved(int x, int y, Time time)
{
	DragSession& session = *fDrag;
	session.time = time;
	if (session.image != 0) {
		XMoveWindow(fX.display, session.image, x - (int)session.grab.x, y - (int)session.grab.y);
		XRaiseWindow(fX.display, session.image);
	}
	Window ours, target;
	int version;
	_FindTarget(x, y, &ours, &target, &version);
	session.ours = ours;
	if (target != session.target) {
		if (session.target != 0)
			fX.SendXdnd(session.target, fX.xdnd.leave, (long)session.source, 0, 0, 0, 0);
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
			fX.SendXdnd(target, fX.xdnd.enter, (long)session.source, flags, types[0], types[1],
			            types[2]);
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
	_SendPosition(x, y, time);
}

void
DragSource::_SendPosition(int x, int y, Time time)
{
	fDrag->waitingStatus = true;
	fX.SendXdnd(fDrag->target, fX.xdnd.position, (long)fDrag->source, 0,
	            (long)(((x & 0xffff) << 16) | (y & 0xffff)), (long)time, (long)fX.xdnd.actionCopy);
}

void
DragSource::_Released(int x, int y, Time time)
{
	DragSession& session = *fDrag;
	session.tracking = false;
	session.time = time;
	if (session.image != 0) {
		XDestroyWindow(fX.display, session.image);
		session.image = 0;
	}
	XUngrabKeyboard(fX.display, time);
	if (session.ours != 0) {
		if (WindowRecord* target = fWindows.Find(session.ours)) {
			BMessage* drop = new BMessage(kMsgDrop);
			drop->AddMessage(kDragMessageField, &session.message);
			drop->AddPoint("screen_where", BPoint(x, y));
			drop->AddPoint(kDropOffsetField, session.grab);
			drop->AddMessenger(kDropReplyField, session.replyTo);
			Post(target, drop);
		}
		_End();
		return;
	}
	if (session.target != 0) {
		if (session.waitingStatus) {
			session.releasePending = true;
			return;
		}
		_FinishRelease();
		return;
	}
	_End();
}

// Drops on the target when it accepted the last position, leaves it otherwise.
void
DragSource::_FinishRelease()
{
	DragSession& session = *fDrag;
	if (session.accepted) {
		session.dropped = true;
		fX.SendXdnd(session.target, fX.xdnd.drop, (long)session.source, 0, (long)session.time, 0,
		            0);
		XFlush(fX.display);
		return;
	}
	fX.SendXdnd(session.target, fX.xdnd.leave, (long)session.source, 0, 0, 0, 0);
	_End();
}

void
DragSource::HandleStatus(const XClientMessageEvent& event)
{
	std::lock_guard<std::mutex> guard(fLock);
	if (!fDrag || (Window)event.data.l[0] != fDrag->target)
		return;
	DragSession& session = *fDrag;
	session.waitingStatus = false;
	session.accepted = (event.data.l[1] & 1) != 0;
	if (session.releasePending) {
		session.releasePending = false;
		_FinishRelease();
	} else if (session.positionPending && session.tracking) {
		session.positionPending = false;
		_SendPosition(session.pendingX, session.pendingY, session.pendingTime);
	}
	XFlush(fX.display);
}

// The target has taken the drop.
void
DragSource::HandleFinished(const XClientMessageEvent& event)
{
	std::lock_guard<std::mutex> guard(fLock);
	if (fDrag && fDrag->dropped && (Window)event.data.l[0] == fDrag->target)
		_End();
}

void
DragSource::_End()
{
	if (!fDrag)
		return;
	if (fDrag->image != 0)
		XDestroyWindow(fX.display, fDrag->image);
	if (fDrag->tracking)
		XUngrabKeyboard(fX.display, CurrentTime);
	XDeleteProperty(fX.display, fDrag->source, fX.xdnd.directSave);
	XDeleteProperty(fX.display, fDrag->source, fX.xdnd.typeList);
	if (XGetSelectionOwner(fX.display, fX.xdnd.selection) == fDrag->source)
		XSetSelectionOwner(fX.display, fX.xdnd.selection, None, CurrentTime);
	fDrag.reset();
	XFlush(fX.display);
}

// The file the target chose: its URI replaces the suggested name in the source window's
// XdndDirectSave0 property. "S" when the file exists now, "F" when it cannot be made there,
// "E" when the URI is unusable.
std::string
DragSource::_DirectSaveAnswer()
{
	Atom type;
	int format;
	unsigned long count, after;
	unsigned char* value = nullptr;
	std::string uri;
	if (XGetWindowProperty(fX.display, fDrag->source, fX.xdnd.directSave, 0, 16384, False,
	                       AnyPropertyType, &type, &format, &count, &after, &value) == Success &&
	    value != nullptr && format == 8) {
		uri.assign((const char*)value, count);
	}
	if (value != nullptr)
		XFree(value);
	std::string directory, name;
	if (ParseFileUri(uri, fX.hostName, &directory, &name) != kUriOk)
		return "E";
	if (!fDrag->client || fDrag->client->SaveTo(directory.c_str(), name.c_str()) != B_OK)
		return "F";
	return "S";
}

void
DragSource::HandleSelectionRequest(const XSelectionRequestEvent& request)
{
	std::lock_guard<std::mutex> guard(fLock);
	Atom property = request.property != None ? request.property : request.target;
	Atom answered = None;
	bool isText = request.target == fX.xdnd.textPlain || request.target == fX.xdnd.textPlainUtf8 ||
	              request.target == fX.xdnd.utf8String;
	if (fDrag && request.owner == fDrag->source) {
		if (request.target == fX.xdnd.targets) {
			std::vector<Atom> targets = fDrag->types;
			targets.push_back(fX.xdnd.targets);
			XChangeProperty(fX.display, request.requestor, property, XA_ATOM, 32, PropModeReplace,
			                (unsigned char*)targets.data(), (int)targets.size());
			answered = property;
		} else if (isText && std::find(fDrag->types.begin(), fDrag->types.end(),
		                               fX.xdnd.textPlain) != fDrag->types.end()) {
			XChangeProperty(fX.display, request.requestor, property, request.target, 8,
			                PropModeReplace, (const unsigned char*)fDrag->text.data(),
			                (int)fDrag->text.size());
			answered = property;
		} else if (request.target == fX.xdnd.directSave && fDrag->directSave) {
			std::string answer = _DirectSaveAnswer();
			XChangeProperty(fX.display, request.requestor, property, XA_STRING, 8, PropModeReplace,
			                (const unsigned char*)answer.data(), (int)answer.size());
			answered = property;
		}
	}
	SendSelectionNotify(fX.display, request, answered);
	XFlush(fX.display);
}

} // namespace BPrivate
