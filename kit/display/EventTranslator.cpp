// X pointer and key events to BeOS messages. Modifier keys send B_MODIFIERS_CHANGED only;
// keys that type nothing send B_UNMAPPED_KEY_DOWN/UP; every key message carries the raw
// code, the modifiers and the 16-byte key states.
#include "EventTranslator.h"

#include <cmath>
#include <cstring>

#include <X11/XKBlib.h>
#include <X11/keysym.h>

#include <AppDefs.h>
#include <InputDefs.h>
#include <Message.h>
#include <OS.h>
#include <TypeConstants.h>

namespace BPrivate {

namespace {

uint32
ButtonBit(unsigned int xButton)
{
	switch (xButton) {
	case Button1:
		return B_PRIMARY_MOUSE_BUTTON;
	case Button3:
		return B_SECONDARY_MOUSE_BUTTON;
	case Button2:
		return B_TERTIARY_MOUSE_BUTTON;
	default:
		return 0;
	}
}

uint32
ButtonsFromState(unsigned int state)
{
	uint32 buttons = 0;
	if ((state & Button1Mask) != 0)
		buttons |= B_PRIMARY_MOUSE_BUTTON;
	if ((state & Button3Mask) != 0)
		buttons |= B_SECONDARY_MOUSE_BUTTON;
	if ((state & Button2Mask) != 0)
		buttons |= B_TERTIARY_MOUSE_BUTTON;
	return buttons;
}

} // namespace

uint8
SpecialKeyByte(uint32 keysym)
{
	switch (keysym) {
	case XK_BackSpace:
		return B_BACKSPACE;
	case XK_Return:
	case XK_KP_Enter:
		return B_ENTER;
	case XK_Tab:
	case XK_ISO_Left_Tab:
		return B_TAB;
	case XK_Escape:
		return B_ESCAPE;
	case XK_Left:
	case XK_KP_Left:
		return B_LEFT_ARROW;
	case XK_Right:
	case XK_KP_Right:
		return B_RIGHT_ARROW;
	case XK_Up:
	case XK_KP_Up:
		return B_UP_ARROW;
	case XK_Down:
	case XK_KP_Down:
		return B_DOWN_ARROW;
	case XK_Insert:
	case XK_KP_Insert:
		return B_INSERT;
	case XK_Delete:
	case XK_KP_Delete:
		return B_DELETE;
	case XK_Home:
	case XK_KP_Home:
		return B_HOME;
	case XK_End:
	case XK_KP_End:
		return B_END;
	case XK_Page_Up:
	case XK_KP_Page_Up:
		return B_PAGE_UP;
	case XK_Page_Down:
	case XK_KP_Page_Down:
		return B_PAGE_DOWN;
	case XK_Print:
	case XK_Scroll_Lock:
	case XK_Pause:
		return B_FUNCTION_KEY;
	default:
		if (keysym >= XK_F1 && keysym <= XK_F12)
			return B_FUNCTION_KEY;
		return 0;
	}
}

std::string
KeysymToUtf8(uint32 keysym)
{
	uint32 code = 0;
	if ((keysym >= 0x20 && keysym <= 0x7e) || (keysym >= 0xa0 && keysym <= 0xff))
		code = keysym;
	else if ((keysym & 0xff000000) == 0x01000000)
		code = keysym & 0x00ffffff;
	else if (keysym >= XK_KP_0 && keysym <= XK_KP_9)
		code = '0' + (keysym - XK_KP_0);
	else if (keysym == XK_KP_Decimal)
		code = '.';
	else if (keysym == XK_KP_Add)
		code = '+';
	else if (keysym == XK_KP_Subtract)
		code = '-';
	else if (keysym == XK_KP_Multiply)
		code = '*';
	else if (keysym == XK_KP_Divide)
		code = '/';
	else if (keysym == XK_KP_Space)
		code = ' ';
	else if (keysym == XK_KP_Equal)
		code = '=';
	if (code == 0 || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff))
		return std::string();

	std::string text;
	if (code < 0x80) {
		text += (char)code;
	} else if (code < 0x800) {
		text += (char)(0xc0 | (code >> 6));
		text += (char)(0x80 | (code & 0x3f));
	} else if (code < 0x10000) {
		text += (char)(0xe0 | (code >> 12));
		text += (char)(0x80 | ((code >> 6) & 0x3f));
		text += (char)(0x80 | (code & 0x3f));
	} else {
		text += (char)(0xf0 | (code >> 18));
		text += (char)(0x80 | ((code >> 12) & 0x3f));
		text += (char)(0x80 | ((code >> 6) & 0x3f));
		text += (char)(0x80 | (code & 0x3f));
	}
	return text;
}

EventTranslator::EventTranslator(LookupFunc lookup)
    : fLookup(std::move(lookup)), fLocks(0), fLastPressedKey(0), fRepeat(0), fLastClickTime(0),
      fLastClickButton(0), fClicks(0), fButtons(0)
{}

BMessage*
EventTranslator::Translate(const XEvent& event, BPoint offset)
{
	switch (event.type) {
	case ButtonPress:
	case ButtonRelease:
		return _Button(event.xbutton, offset);
	case MotionNotify:
		return _Motion(event.xmotion.x, event.xmotion.y, event.xmotion.x_root, event.xmotion.y_root,
		               event.xmotion.state, event.xmotion.time, offset);
	case EnterNotify:
	case LeaveNotify:
		// Crossing events during a grab belong to the grab; the motion events report it.
		if (event.xcrossing.mode != NotifyNormal)
			return nullptr;
		return _Motion(event.xcrossing.x, event.xcrossing.y, event.xcrossing.x_root,
		               event.xcrossing.y_root, event.xcrossing.state, event.xcrossing.time, offset);
	case KeyPress:
	case KeyRelease:
		_UpdateLocks(event.xkey.state);
		return _Key(event.xkey.keycode, event.xkey.state, event.type == KeyPress, system_time(),
		            false);
	default:
		return nullptr;
	}
}

BMessage*
EventTranslator::TranslateRawKey(uint32 xKeycode, bool press, bigtime_t when)
{
	return _Key(xKeycode, _XStateFromStates(), press, when, true);
}

void
EventTranslator::SetKeymap(const char keys[32])
{
	fStates.Clear();
	for (uint32 keycode = 8; keycode < 256; keycode++) {
		if ((keys[keycode / 8] & (1 << (keycode % 8))) != 0)
			fStates.Set(RawKeyFromXKeycode(keycode), true);
	}
}

void
EventTranslator::_UpdateLocks(uint32 xState)
{
	fLocks = 0;
	if ((xState & LockMask) != 0)
		fLocks |= B_CAPS_LOCK;
	if ((xState & Mod2Mask) != 0)
		fLocks |= B_NUM_LOCK;
}

// The X modifier state that the held keys and known locks stand for, to look raw keys
// up in the keymap as a focused window would.
uint32
EventTranslator::_XStateFromStates() const
{
	uint32 state = 0;
	if (fStates.IsDown(0x4b) || fStates.IsDown(0x56))
		state |= ShiftMask;
	if (fStates.IsDown(0x5c) || fStates.IsDown(0x60))
		state |= ControlMask;
	if (fStates.IsDown(0x5d) || fStates.IsDown(0x5f))
		state |= Mod1Mask;
	if ((fLocks & B_CAPS_LOCK) != 0)
		state |= LockMask;
	if ((fLocks & B_NUM_LOCK) != 0)
		state |= Mod2Mask;
	return state;
}

BMessage*
EventTranslator::_Button(const XButtonEvent& event, BPoint offset)
{
	bool press = event.type == ButtonPress;
	uint32 before = ButtonsFromState(event.state);
	BPoint where(event.x - offset.x, event.y - offset.y);
	BPoint screen(event.x_root, event.y_root);
	uint32 modifiers = fStates.Modifiers(fLocks);

	// Wheel buttons scroll.
	if (event.button >= Button4 && event.button <= 7) {
		if (!press)
			return nullptr;
		BMessage* message = new BMessage(B_MOUSE_WHEEL_CHANGED);
		float delta = (event.button == Button4 || event.button == 6) ? -1.0f : 1.0f;
		bool vertical = event.button <= Button5;
		message->AddInt64("when", system_time());
		message->AddFloat("be:wheel_delta_x", vertical ? 0.0f : delta);
		message->AddFloat("be:wheel_delta_y", vertical ? delta : 0.0f);
		message->AddPoint(kWindowWhereField, where);
		return message;
	}

	uint32 bit = ButtonBit(event.button);
	uint32 buttons = press ? (before | bit) : (before & ~bit);
	fButtons = buttons;
	BMessage* message = new BMessage(press ? B_MOUSE_DOWN : B_MOUSE_UP);
	message->AddInt64("when", system_time());
	message->AddPoint("where", where);
	message->AddPoint(kWindowWhereField, where);
	message->AddPoint("screen_where", screen);
	message->AddInt32("buttons", (int32)buttons);
	message->AddInt32("modifiers", (int32)modifiers);
	if (press) {
		bigtime_t time = (bigtime_t)event.time * 1000;
		bool near = std::fabs(screen.x - fLastClickWhere.x) <= kClickDistance &&
		            std::fabs(screen.y - fLastClickWhere.y) <= kClickDistance;
		if (fClicks > 0 && bit == fLastClickButton && near &&
		    time - fLastClickTime <= kDoubleClickTime && time >= fLastClickTime) {
			fClicks++;
		} else {
			fClicks = 1;
		}
		fLastClickTime = time;
		fLastClickWhere = screen;
		fLastClickButton = bit;
		message->AddInt32("clicks", fClicks);
	}
	return message;
}

BMessage*
EventTranslator::_Motion(int x, int y, int xRoot, int yRoot, unsigned int state, Time,
                         BPoint offset)
{
	BPoint where(x - offset.x, y - offset.y);
	BMessage* message = new BMessage(B_MOUSE_MOVED);
	message->AddInt64("when", system_time());
	message->AddPoint("where", where);
	message->AddPoint(kWindowWhereField, where);
	message->AddPoint("screen_where", BPoint(xRoot, yRoot));
	message->AddInt32("buttons", (int32)ButtonsFromState(state));
	message->AddInt32("modifiers", (int32)fStates.Modifiers(fLocks));
	return message;
}

BMessage*
EventTranslator::_Key(uint32 xKeycode, uint32 xState, bool press, bigtime_t when, bool raw)
{
	uint32 rawKey = RawKeyFromXKeycode(xKeycode);
	uint32 oldModifiers = fStates.Modifiers(fLocks);
	bool wasDown = fStates.IsDown(rawKey);
	fStates.Set(rawKey, press);

	BMessage* message;
	if (IsModifierRawKey(rawKey) || rawKey == 0) {
		if (rawKey == 0)
			return nullptr;
		// Lock keys flip their lock on the press.
		if (press && !wasDown) {
			if (rawKey == 0x3b)
				fLocks ^= B_CAPS_LOCK;
			else if (rawKey == 0x22)
				fLocks ^= B_NUM_LOCK;
			else if (rawKey == 0x0f)
				fLocks ^= B_SCROLL_LOCK;
		}
		uint32 modifiers = fStates.Modifiers(fLocks);
		if (modifiers == oldModifiers && wasDown == press)
			return nullptr;
		message = new BMessage(B_MODIFIERS_CHANGED);
		message->AddInt32("be:old_modifiers", (int32)oldModifiers);
	} else {
		message = new BMessage(press ? B_KEY_DOWN : B_KEY_UP);
		_AddKeyText(message, xKeycode, xState);
		if (press) {
			fRepeat = (wasDown && fLastPressedKey == rawKey) ? fRepeat + 1 : 0;
			fLastPressedKey = rawKey;
			if (fRepeat > 0)
				message->AddInt32("be:key_repeat", fRepeat);
		}
	}
	message->AddInt64("when", when);
	message->AddInt32("key", (int32)rawKey);
	message->AddInt32("modifiers", (int32)fStates.Modifiers(fLocks));
	message->AddData("states", B_UINT8_TYPE, fStates.Bytes(), 16);
	if (raw)
		message->AddBool(kRawKeyField, true);
	return message;
}

// Adds "bytes", "byte" and "raw_char", or turns the message into its unmapped variant
// when the key types nothing.
void
EventTranslator::_AddKeyText(BMessage* message, uint32 xKeycode, uint32 xState)
{
	std::string text;
	uint32 keysym = fLookup ? fLookup(xKeycode, xState, &text) : 0;
	std::string unmodifiedText;
	uint32 unmodified = fLookup ? fLookup(xKeycode, xState & Mod2Mask, &unmodifiedText) : 0;

	std::string bytes;
	if (uint8 special = SpecialKeyByte(keysym)) {
		bytes = std::string(1, (char)special);
	} else if ((xState & ControlMask) != 0 && text.size() == 1 && (uint8)text[0] < 0x20) {
		bytes = text;
	} else {
		bytes = KeysymToUtf8(keysym);
	}
	if (bytes.empty()) {
		message->what = message->what == B_KEY_DOWN ? B_UNMAPPED_KEY_DOWN : B_UNMAPPED_KEY_UP;
		return;
	}
	message->AddString("bytes", bytes.c_str());
	for (char byte : bytes)
		message->AddInt8("byte", (int8)byte);

	int32 rawChar = (uint8)bytes[0];
	if (uint8 special = SpecialKeyByte(unmodified))
		rawChar = special;
	else if (std::string plain = KeysymToUtf8(unmodified); plain.size() == 1)
		rawChar = (uint8)plain[0];
	message->AddInt32("raw_char", rawChar);
}

} // namespace BPrivate
