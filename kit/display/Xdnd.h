// Kit-private pieces of drag and drop over X: the XDND atoms, the state of a drag that
// this process started (the source side) and of a drop that another program is making on
// one of our windows (the target side), and the file:// URIs of the direct-save extension.
#ifndef _KV_DISPLAY_XDND_H
#define _KV_DISPLAY_XDND_H

#include <memory>
#include <string>
#include <vector>

#include <X11/Xlib.h>

#include <Message.h>
#include <Messenger.h>

#include "Display.h"

namespace BPrivate {

// The protocol version spoken and announced in XdndAware.
const int kXdndVersion = 5;

struct XdndAtoms
{
	Atom aware, enter, position, status, leave, drop, finished, selection, typeList;
	Atom actionCopy, directSave, textPlain, textPlainUtf8, utf8String, color, targets;
	Atom transfer;
};

void InternXdndAtoms(::Display* display, XdndAtoms* atoms);

// A drag started by one of our views, from the first motion until the drop is finished.
struct DragSession
{
	Window source = 0; // our window the drag started in; the XDND source window
	Window image = 0;  // the override-redirect window showing the drag image
	BPoint grab;       // the pointer's position inside the image
	BMessage message;
	BMessenger replyTo;
	std::shared_ptr<DragClient> client;

	// What other programs are offered.
	std::vector<Atom> types;
	std::string text;
	bool directSave = false;

	bool tracking = true; // the button is still down
	Window ours = 0;      // our window under the pointer, if any
	Window target = 0;    // another program's XdndAware window under the pointer
	int targetVersion = 0;
	bool waitingStatus = false; // a position was sent and is not answered yet
	bool positionPending = false;
	int pendingX = 0, pendingY = 0;
	Time pendingTime = CurrentTime;
	bool accepted = false;
	bool releasePending = false; // released while waiting for the target's status
	bool dropped = false;        // XdndDrop sent, XdndFinished not yet received
	Time time = CurrentTime;
};

// A drop that another program makes on one of our windows.
struct DropSession
{
	Window source = 0;
	Window window = 0;
	std::vector<Atom> types;
	Atom chosen = None;
	int x = 0, y = 0; // root coordinates of the last position
	bool converting = false;
};

// Result of reading a file:// URI written by a direct-save target.
enum uri_result
{
	kUriOk,
	kUriUnusable
};

// Splits "file://host/dir/name" into the directory and the file name, undoing
// percent-escapes. The host must be empty, "localhost" or hostName. Unusable: another
// scheme or host, a bad escape, an escaped NUL, a relative path, or a last component that
// is empty, "." or "..".
uri_result ParseFileUri(const std::string& uri, const std::string& hostName, std::string* directory,
                        std::string* name);

// The types offered for a drag message: text/plain data as text, and the direct-save
// type when the message asks for a copy target. The text is the "text/plain" data
// without one trailing NUL.
struct DragOffer
{
	bool hasText = false;
	std::string text;
	bool directSave = false;
	std::string clipName;
};

DragOffer OfferFor(const BMessage& message);

} // namespace BPrivate

#endif // _KV_DISPLAY_XDND_H
