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
	if (type == xdnd.status) {
		DragStatus(event);
	} else if (type == xdnd.finished) {
		if (drag && drag->dropped && (Window)event.data.l[0] == drag->target)
			EndDrag();
	} else if (type == xdnd.enter) {
		DropEnter(record, event);
	} else if (type == xdnd.position) {
		DropPosition(record, event);
	} else if (type == xdnd.leave) {
		if (drop && drop->source == (Window)event.data.l[0] && !drop->converting)
			drop.reset();
	} else if (type == xdnd.drop) {
		DropDrop(record, event);
	} else {
		return false;
	}
	return true;
}

void
Display::Data::DropEnter(WindowRecord* record, const XClientMessageEvent& event)
{
	drop = std::make_unique<DropSession>();
	drop->source = (Window)event.data.l[0];
	drop->window = record->xid;
	if ((event.data.l[1] & 1) != 0) {
		Atom type;
		int format;
		unsigned long count, after;
		unsigned char* value = nullptr;
		if (XGetWindowProperty(display, drop->source, xdnd.typeList, 0, 256, False, XA_ATOM, &type,
		                       &format, &count, &after, &value) == Success &&
		    value != nullptr && format == 32) {
			for (unsigned long i = 0; i < count; i++)
				drop->types.push_back((Atom)((unsigned long*)value)[i]);
		}
		if (value != nullptr)
			XFree(value);
	} else {
		for (int i = 2; i < 5; i++) {
			if (event.data.l[i] != 0)
				drop->types.push_back((Atom)event.data.l[i]);
		}
	}
	drop->chosen = ChooseType(xdnd, drop->types);
}

void
Display::Data::DropPosition(WindowRecord* record, const XClientMessageEvent& event)
{
	Window source = (Window)event.data.l[0];
	bool accept = drop && drop->source == source && drop->chosen != None;
	if (accept) {
		drop->window = record->xid;
		drop->x = (int)((event.data.l[2] >> 16) & 0xffff);
		drop->y = (int)(event.data.l[2] & 0xffff);
	}
	// Bit 1: keep sending positions, the whole window is one target.
	SendXdnd(source, xdnd.status, (long)record->xid, accept ? 3 : 2, 0, 0,
	         accept ? (long)xdnd.actionCopy : (long)None);
	XFlush(display);
}

void
Display::Data::DropDrop(WindowRecord* record, const XClientMessageEvent& event)
{
	Window source = (Window)event.data.l[0];
	if (!drop || drop->source != source || drop->chosen == None) {
		SendXdnd(source, xdnd.finished, (long)record->xid, 0, (long)None, 0, 0);
		drop.reset();
		XFlush(display);
		return;
	}
	drop->converting = true;
	XConvertSelection(display, xdnd.selection, drop->chosen, xdnd.transfer, record->xid,
	                  (Time)event.data.l[2]);
	XFlush(display);
}

void
Display::Data::HandleDropSelection(WindowRecord* record, const XSelectionEvent& event)
{
	if (!drop || !drop->converting || event.requestor != drop->window)
		return;
	BMessage* message = nullptr;
	if (event.property != None) {
		Atom type;
		int format;
		unsigned long count, after;
		unsigned char* value = nullptr;
		if (XGetWindowProperty(display, event.requestor, event.property, 0, 1 << 20, True,
		                       AnyPropertyType, &type, &format, &count, &after,
		                       &value) == Success &&
		    value != nullptr) {
			message = drop->chosen == xdnd.color ? ColorMessage(value, count, format)
			                                     : TextMessage(value, count, format);
		}
		if (value != nullptr)
			XFree(value);
	}
	bool delivered = message != nullptr;
	if (delivered) {
		BMessage* dropped = new BMessage(kMsgDrop);
		dropped->AddMessage(kDragMessageField, message);
		dropped->AddPoint("screen_where", BPoint(drop->x, drop->y));
		dropped->AddPoint(kDropOffsetField, BPoint(0, 0));
		delete message;
		Post(record, dropped);
	}
	FinishDrop(delivered);
}

void
Display::Data::FinishDrop(bool success)
{
	SendXdnd(drop->source, xdnd.finished, (long)drop->window, success ? 1 : 0,
	         success ? (long)xdnd.actionCopy : (long)None, 0, 0);
	drop.reset();
	XFlush(display);
}

} // namespace BPrivate
