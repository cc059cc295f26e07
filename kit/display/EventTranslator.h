// Turns X input events into the BeOS messages a window's looper receives. Kept apart
// from the connection so that it can be exercised with hand-made events.
#ifndef _KV_DISPLAY_EVENT_TRANSLATOR_H
#define _KV_DISPLAY_EVENT_TRANSLATOR_H

#include <functional>
#include <string>

#include <X11/Xlib.h>

#include <Point.h>
#include <SupportDefs.h>

#include "Display.h"
#include "KeyTable.h"

class BMessage;

namespace BPrivate {

class EventTranslator
{
public:
	// Looks a key up in the keymap: the keysym and the text it types with the X modifier
	// state. Injected so that tests need no server.
	typedef std::function<uint32(uint32 xKeycode, uint32 xState, std::string* text)> LookupFunc;

	explicit EventTranslator(LookupFunc lookup);

	// The message for a pointer or key event, or null when the event means nothing to a
	// window. contentOffset is the content area's position inside the X window (the
	// border of a bordered window). The caller owns the message.
	BMessage* Translate(const XEvent& event, BPoint contentOffset);
	// A key from the desktop-wide raw stream (XInput2), without modifier state of its own.
	BMessage* TranslateRawKey(uint32 xKeycode, bool press, bigtime_t when);

	// Replaces the key states by an X keymap vector (32 bytes, a bit per X key code).
	void SetKeymap(const char keys[32]);
	const KeyStates& States() const { return fStates; }
	uint32 Modifiers() const { return fStates.Modifiers(fLocks); }

	// Pointer clicks within this time (microseconds) and distance (pixels) with the same
	// button count as one multiple click.
	static const bigtime_t kDoubleClickTime = 500000;
	static const int32 kClickDistance = 4;

private:
	BMessage* _Button(const XButtonEvent& event, BPoint offset);
	BMessage* _Motion(int x, int y, int xRoot, int yRoot, unsigned int state, Time time,
	                  BPoint offset);
	BMessage* _Key(uint32 xKeycode, uint32 xState, bool press, bigtime_t when, bool raw);
	void _AddKeyText(BMessage* message, uint32 xKeycode, uint32 xState);
	void _UpdateLocks(uint32 xState);
	uint32 _XStateFromStates() const;

	LookupFunc fLookup;
	KeyStates fStates;
	uint32 fLocks;
	uint32 fLastPressedKey;
	int32 fRepeat;
	// Multiple-click counting.
	bigtime_t fLastClickTime;
	BPoint fLastClickWhere;
	uint32 fLastClickButton;
	int32 fClicks;
	uint32 fButtons;
};

// The BeOS character for a keysym without printable text (arrows, Home, function
// keys...), or 0 when the keysym has none.
uint8 SpecialKeyByte(uint32 keysym);
// UTF-8 text of a keysym that stands for a character (Latin-1 or Unicode keysyms).
std::string KeysymToUtf8(uint32 keysym);

} // namespace BPrivate

#endif // _KV_DISPLAY_EVENT_TRANSLATOR_H
