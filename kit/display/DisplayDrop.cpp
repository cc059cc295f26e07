// The target side of drag and drop: our windows are XdndAware, and another program's drop
// of a colour ("application/x-color") or of text becomes a message for the view under the
// pointer. Also routes the XDND answers that a target sends to our own drags.
#include <cstring>

#include <X11/Xatom.h>

#include <AppDefs.h>
#include <GraphicsDefs.h>
#include <Message.h>
#include <TypeConstants.h>

#include "DisplayPrivate.h"

namespace BPrivate {

namespace {

// The best type of the offer: a colour first, then text, UTF-8 before plain.
Atom
ChooseType(const XdndAtoms& xdnd, const std::vector<Atom>& types)
{
	const Atom wanted[] = {xdnd.color, xdnd.textPlainUtf8, xdnd.utf8String, xdnd.textPlain};
	for (Atom atom : wanted) {
		for (Atom offered : types) {
			if (offered == atom)
				return atom;
		}
	}
	return None;
}

// application/x-color: red, green, blue and alpha as 16-bit values in the sender's byte
// order (format 16, or 8 from senders that pass the raw bytes).
BMessage*
ColorMessage(const unsigned char* value, unsigned long count, int format)
{
	uint16 components[4] = {0, 0, 0, 0xffff};
	unsigned long available = format == 16 ? count : (format == 8 ? count / 2 : 0);
	if (available < 3)
		return nullptr;
	for (unsigned long i = 0; i < 4 && i < available; i++) {
		if (format == 16)
			components[i] = (uint16)((const unsigned short*)value)[i];
		else
			std::memcpy(&components[i], value + 2 * i, 2);
	}
	rgb_color color = {(uint8)(components[0] >> 8), (uint8)(components[1] >> 8),
	                   (uint8)(components[2] >> 8), (uint8)(components[3] >> 8)};
	BMessage* message = new BMessage(B_PASTE);
	message->AddData("RGBColor", B_RGB_COLOR_TYPE, &color, sizeof(color));
	return message;
}

BMessage*
TextMessage(const unsigned char* value, unsigned long count, int format)
{
	if (format != 8)
		return nullptr;
	std::string text((const char*)value, count);
	while (!text.empty() && text.back() == '\0')
		text.pop_back();
	if (text.empty())
		return nullptr;
	BMessage* message = new BMessage(B_MIME_DATA);
	message->AddData("text/plain", B_MIME_TYPE, text.data(), (ssize_t)text.size());
	return message;
}

} // namespace

bool
Display::Data::HandleXdndMessage(WindowRecord* record, const XClientMessageEvent& event)
{
	Atom type = event.message_type;
	if (type == xdnd.status)
		drag.HandleStatus(event);
	else if (type == xdnd.finished)
		drag.HandleFinished(event);
	else if (type == xdnd.enter)
		drop.HandleEnter(record, event);
	else if (type == xdnd.position)
		drop.HandlePosition(record, event);
	else if (type == xdnd.leave)
		drop.HandleLeave(event);
	else if (type == xdnd.drop)
		drop.HandleDrop(record, event);
	else
		return false;
	return true;
}

void
DropTarget::HandleLeave(const XClientMessageEvent& event)
{
	std::lock_guard<std::mutex> guard(fLock);
	if (fDrop && fDrop->source == (Window)event.data.l[0] && !fDrop->converting)
		fDrop.reset();
}

void
DropTarget::HandleEnter(WindowRecord* record, const XClientMessageEvent& event)
{
	std::lock_guard<std::mutex> guard(fLock);
	fDrop = std::make_unique<DropSession>();
	fDrop->source = (Window)event.data.l[0];
	fDrop->window = record->xid;
	if ((event.data.l[1] & 1) != 0) {
		Atom type;
		int format;
		unsigned long count, after;
		unsigned char* value = nullptr;
		if (XGetWindowProperty(fX.display, fDrop->source, fX.xdnd.typeList, 0, 256, False, XA_ATOM,
		                       &type, &format, &count, &after, &value) == Success &&
		    value != nullptr && format == 32) {
			for (unsigned long i = 0; i < count; i++)
				fDrop->types.push_back((Atom)((unsigned long*)value)[i]);
		}
		if (value != nullptr)
			XFree(value);
	} else {
		for (int i = 2; i < 5; i++) {
			if (event.data.l[i] != 0)
				fDrop->types.push_back((Atom)event.data.l[i]);
		}
	}
	fDrop->chosen = ChooseType(fX.xdnd, fDrop->types);
}

void
DropTarget::HandlePosition(WindowRecord* record, const XClientMessageEvent& event)
{
	std::lock_guard<std::mutex> guard(fLock);
	Window source = (Window)event.data.l[0];
	bool accept = fDrop && fDrop->source == source && fDrop->chosen != None;
	if (accept) {
		fDrop->window = record->xid;
		fDrop->x = (int)((event.data.l[2] >> 16) & 0xffff);
		fDrop->y = (int)(event.data.l[2] & 0xffff);
	}
	// Bit 1: keep sending positions, the whole window is one target.
	fX.SendXdnd(source, fX.xdnd.status, (long)record->xid, accept ? 3 : 2, 0, 0,
	            accept ? (long)fX.xdnd.actionCopy : (long)None);
	XFlush(fX.display);
}

void
DropTarget::HandleDrop(WindowRecord* record, const XClientMessageEvent& event)
{
	std::lock_guard<std::mutex> guard(fLock);
	Window source = (Window)event.data.l[0];
	if (!fDrop || fDrop->source != source || fDrop->chosen == None) {
		fX.SendXdnd(source, fX.xdnd.finished, (long)record->xid, 0, (long)None, 0, 0);
		fDrop.reset();
		XFlush(fX.display);
		return;
	}
	fDrop->converting = true;
	XConvertSelection(fX.display, fX.xdnd.selection, fDrop->chosen, fX.xdnd.transfer, record->xid,
	                  (Time)event.data.l[2]);
	XFlush(fX.display);
}

void
DropTarget::HandleSelection(WindowRecord* record, const XSelectionEvent& event)
{
	std::lock_guard<std::mutex> guard(fLock);
	if (!fDrop || !fDrop->converting || event.requestor != fDrop->window)
		return;
	BMessage* message = nullptr;
	if (event.property != None) {
		Atom type;
		int format;
		unsigned long count, after;
		unsigned char* value = nullptr;
		if (XGetWindowProperty(fX.display, event.requestor, event.property, 0, 1 << 20, True,
		                       AnyPropertyType, &type, &format, &count, &after,
		                       &value) == Success &&
		    value != nullptr) {
			message = fDrop->chosen == fX.xdnd.color ? ColorMessage(value, count, format)
			                                         : TextMessage(value, count, format);
		}
		if (value != nullptr)
			XFree(value);
	}
	bool delivered = message != nullptr;
	if (delivered) {
		BMessage* dropped = new BMessage(kMsgDrop);
		dropped->AddMessage(kDragMessageField, message);
		dropped->AddPoint("screen_where", BPoint(fDrop->x, fDrop->y));
		dropped->AddPoint(kDropOffsetField, BPoint(0, 0));
		delete message;
		Post(record, dropped);
	}
	_Finish(delivered);
}

void
DropTarget::_Finish(bool success)
{
	fX.SendXdnd(fDrop->source, fX.xdnd.finished, (long)fDrop->window, success ? 1 : 0,
	            success ? (long)fX.xdnd.actionCopy : (long)None, 0, 0);
	fDrop.reset();
	XFlush(fX.display);
}

} // namespace BPrivate
