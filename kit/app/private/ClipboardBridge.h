// Kit-internal: how the "system" clipboard reaches the desktop's clipboard without the
// application kit knowing about the display. The display backend registers a bridge when
// the process's display opens and unregisters it when the display shuts down; without one
// the "system" clipboard is local to the program.
#ifndef _CLIPBOARD_BRIDGE_H
#define _CLIPBOARD_BRIDGE_H

#include <SupportDefs.h>

#include <string>

namespace BPrivate {

// Answers of ClipboardBridge::Fetch().
enum
{
	// Nobody else holds the desktop's clipboard: the program's own data is current.
	kClipboardLocal = 0,
	// Another program holds it and handed over text.
	kClipboardForeignText = 1,
	// Another program holds it but gave no text (it has none, refused, or did not answer
	// in time): the clipboard is empty as far as this program can tell.
	kClipboardForeignEmpty = 2
};

class ClipboardBridge
{
public:
	virtual ~ClipboardBridge();

	// Makes the program the holder of the desktop's clipboard with a copy of text, UTF-8
	// without a terminating NUL; null publishes a clipboard without text. Called with
	// the clipboard locked. Returns once published, or an error after a deadline.
	virtual status_t Publish(const std::string* text) = 0;

	// What the desktop's clipboard holds now. On kClipboardForeignText, *text is the
	// other program's text as UTF-8 (no NUL added). Called with the clipboard locked, from
	// any thread; blocks for at most a short deadline and never deadlocks.
	virtual int32 Fetch(std::string* text) = 0;
};

// The bridge stays owned by its caller. Unregistering waits until no call into the bridge
// is running, so the caller may destroy it right after.
void RegisterClipboardBridge(ClipboardBridge* bridge);
void UnregisterClipboardBridge(ClipboardBridge* bridge);

} // namespace BPrivate

#endif // _CLIPBOARD_BRIDGE_H
