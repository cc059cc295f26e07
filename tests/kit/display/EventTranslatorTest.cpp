// Key table, key states and the translation of X events into BeOS messages, with
// hand-made X events and a stand-in keymap (no X server needed).
#include <gtest/gtest.h>

#include <cstring>

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <AppDefs.h>
#include <InputDefs.h>
#include <Message.h>
#include <TypeConstants.h>

#include "EventTranslator.h"
#include "KeyTable.h"

using namespace BPrivate;

namespace {

// A keymap for a few keys: A, 1, keypad 5, Left, F1, Shift, Control.
uint32
Lookup(uint32 keycode, uint32 state, std::string* text)
{
	bool shift = (state & ShiftMask) != 0;
	bool numLock = (state & Mod2Mask) != 0;
	text->clear();
	switch (keycode) {
	case 38:
		*text = (state & ControlMask) != 0 ? "\x01" : (shift ? "A" : "a");
		return shift ? XK_A : XK_a;
	case 10:
		*text = shift ? "!" : "1";
		return shift ? XK_exclam : XK_1;
	case 84:
		if (numLock) {
			*text = "5";
			return XK_KP_5;
		}
		return XK_KP_Begin;
	case 113:
		return XK_Left;
	case 67:
		return XK_F1;
	default:
		return NoSymbol;
	}
}

XEvent
KeyEvent(int type, unsigned int keycode, unsigned int state = 0)
{
	XEvent event;
	std::memset(&event, 0, sizeof(event));
	event.xkey.type = type;
	event.xkey.keycode = keycode;
	event.xkey.state = state;
	return event;
}

XEvent
ButtonEvent(int type, unsigned int button, int x, int y, Time time, unsigned int state = 0)
{
	XEvent event;
	std::memset(&event, 0, sizeof(event));
	event.xbutton.type = type;
	event.xbutton.button = button;
	event.xbutton.x = x;
	event.xbutton.y = y;
	event.xbutton.x_root = x + 100;
	event.xbutton.y_root = y + 100;
	event.xbutton.time = time;
	event.xbutton.state = state;
	return event;
}

int32
Int32(const BMessage* message, const char* name, int32 fallback)
{
	int32 value;
	return message->FindInt32(name, &value) == B_OK ? value : fallback;
}

std::string
String(const BMessage* message, const char* name)
{
	const char* value = nullptr;
	return message->FindString(name, &value) == B_OK && value != nullptr ? value : "";
}

bool
StateHas(const BMessage* message, uint32 key)
{
	const void* data = nullptr;
	ssize_t size = 0;
	if (message->FindData("states", B_UINT8_TYPE, &data, &size) != B_OK || size != 16)
		return false;
	return (((const uint8*)data)[key / 8] & (1 << (7 - key % 8))) != 0;
}

} // namespace

TEST(KeyTableTest, MapsPhysicalKeysToBeOSRawCodes)
{
	struct Case
	{
		uint32 xKeycode;
		uint32 raw;
	};
	// Escape, F12, 1, 0, Q, A, Enter, Z, Space, the modifiers, the keypad, Windows, Menu.
	const Case cases[] = {{9, 0x01},   {96, 0x0d},  {10, 0x12},  {19, 0x1b},  {24, 0x27},
	                      {38, 0x3c},  {36, 0x47},  {52, 0x4c},  {65, 0x5e},  {50, 0x4b},
	                      {62, 0x56},  {37, 0x5c},  {105, 0x60}, {64, 0x5d},  {108, 0x5f},
	                      {90, 0x64},  {87, 0x58},  {88, 0x59},  {89, 0x5a},  {83, 0x48},
	                      {84, 0x49},  {85, 0x4a},  {79, 0x37},  {80, 0x38},  {81, 0x39},
	                      {91, 0x65},  {104, 0x5b}, {86, 0x3a},  {82, 0x25},  {133, 0x66},
	                      {134, 0x67}, {135, 0x68}, {113, 0x61}, {116, 0x62}, {114, 0x63},
	                      {111, 0x57}, {119, 0x34}};
	for (const Case& c : cases)
		EXPECT_EQ(RawKeyFromXKeycode(c.xKeycode), c.raw) << "X key code " << c.xKeycode;
	EXPECT_EQ(RawKeyFromXKeycode(0), 0u);
	EXPECT_EQ(RawKeyFromXKeycode(7), 0u);
	EXPECT_EQ(RawKeyFromXKeycode(255), 0u);
	EXPECT_EQ(RawKeyFromXKeycode(100000), 0u);
}

TEST(KeyTableTest, StatesUseTheBeOSBitOrderAndGiveModifiers)
{
	KeyStates states;
	states.Set(0x4b, true);
	states.Set(0x66, true);
	EXPECT_EQ(states.Bytes()[0x4b / 8], 1 << (7 - 0x4b % 8));
	EXPECT_TRUE(states.IsDown(0x66));
	EXPECT_FALSE(states.IsDown(0x67));
	EXPECT_EQ(states.Modifiers(B_NUM_LOCK | 0x10000),
	          (uint32)(B_SHIFT_KEY | B_LEFT_SHIFT_KEY | B_OPTION_KEY | B_LEFT_OPTION_KEY |
	                   B_NUM_LOCK));
	states.Set(0x4b, false);
	states.Set(200, true);
	EXPECT_FALSE(states.IsDown(0x4b));
	EXPECT_FALSE(states.IsDown(200));
}

TEST(EventTranslatorTest, KeysCarryRawCodeBytesStatesAndRawChar)
{
	EventTranslator translator(Lookup);
	BMessage* down = translator.Translate(KeyEvent(KeyPress, 38), BPoint());
	ASSERT_NE(down, nullptr);
	EXPECT_EQ(down->what, (uint32)B_KEY_DOWN);
	EXPECT_EQ(Int32(down, "key", 0), 0x3c);
	EXPECT_EQ(String(down, "bytes"), "a");
	EXPECT_EQ(Int32(down, "raw_char", 0), 'a');
	EXPECT_TRUE(StateHas(down, 0x3c));
	EXPECT_TRUE(down->HasInt64("when"));
	delete down;

	// Held down, X repeats the press: the message says so.
	BMessage* repeat = translator.Translate(KeyEvent(KeyPress, 38), BPoint());
	EXPECT_EQ(Int32(repeat, "be:key_repeat", 0), 1);
	delete repeat;

	BMessage* up = translator.Translate(KeyEvent(KeyRelease, 38), BPoint());
	EXPECT_EQ(up->what, (uint32)B_KEY_UP);
	EXPECT_FALSE(StateHas(up, 0x3c));
	delete up;

	// Shift changes the bytes but not the raw character; Control gives control codes.
	BMessage* shifted = translator.Translate(KeyEvent(KeyPress, 10, ShiftMask), BPoint());
	EXPECT_EQ(String(shifted, "bytes"), "!");
	EXPECT_EQ(Int32(shifted, "raw_char", 0), '1');
	delete shifted;
	BMessage* control = translator.Translate(KeyEvent(KeyPress, 38, ControlMask), BPoint());
	EXPECT_EQ(String(control, "bytes"), "\x01");
	delete control;

	BMessage* left = translator.Translate(KeyEvent(KeyPress, 113), BPoint());
	EXPECT_EQ(String(left, "bytes")[0], (char)B_LEFT_ARROW);
	delete left;
	BMessage* function = translator.Translate(KeyEvent(KeyPress, 67), BPoint());
	EXPECT_EQ(String(function, "bytes")[0], (char)B_FUNCTION_KEY);
	EXPECT_EQ(Int32(function, "key", 0), 0x02);
	delete function;
}

TEST(EventTranslatorTest, KeypadFiveWithoutNumLockIsUnmapped)
{
	EventTranslator translator(Lookup);
	BMessage* unmapped = translator.Translate(KeyEvent(KeyPress, 84), BPoint());
	EXPECT_EQ(unmapped->what, (uint32)B_UNMAPPED_KEY_DOWN);
	EXPECT_EQ(Int32(unmapped, "key", 0), 0x49);
	EXPECT_FALSE(unmapped->HasString("bytes"));
	delete unmapped;
	BMessage* digit = translator.Translate(KeyEvent(KeyPress, 84, Mod2Mask), BPoint());
	EXPECT_EQ(digit->what, (uint32)B_KEY_DOWN);
	EXPECT_EQ(String(digit, "bytes"), "5");
	EXPECT_NE(Int32(digit, "modifiers", 0) & B_NUM_LOCK, 0);
	delete digit;
}

TEST(EventTranslatorTest, ModifierKeysSendOnlyModifiersChanged)
{
	EventTranslator translator(Lookup);
	BMessage* shift = translator.TranslateRawKey(50, true, 1);
	ASSERT_NE(shift, nullptr);
	EXPECT_EQ(shift->what, (uint32)B_MODIFIERS_CHANGED);
	EXPECT_EQ(Int32(shift, "modifiers", 0), B_SHIFT_KEY | B_LEFT_SHIFT_KEY);
	EXPECT_EQ(Int32(shift, "be:old_modifiers", -1), 0);
	EXPECT_TRUE(shift->HasBool(kRawKeyField));
	delete shift;

	// A repeated press of a held modifier changes nothing and sends nothing.
	EXPECT_EQ(translator.TranslateRawKey(50, true, 2), nullptr);

	// A raw key is looked up with the held modifiers, as a focused window would see it.
	BMessage* letter = translator.TranslateRawKey(38, true, 3);
	EXPECT_EQ(String(letter, "bytes"), "A");
	EXPECT_TRUE(StateHas(letter, 0x4b));
	EXPECT_TRUE(StateHas(letter, 0x3c));
	delete letter;

	BMessage* windows = translator.TranslateRawKey(133, true, 4);
	EXPECT_EQ(windows->what, (uint32)B_MODIFIERS_CHANGED);
	EXPECT_NE(Int32(windows, "modifiers", 0) & B_OPTION_KEY, 0);
	delete windows;

	// Unknown keys send nothing.
	EXPECT_EQ(translator.TranslateRawKey(250, true, 5), nullptr);
}

TEST(EventTranslatorTest, ClicksCountWithinTimeDistanceAndSameButton)
{
	EventTranslator translator(Lookup);
	BPoint border(1, 1);
	auto click = [&](unsigned int button, int x, int y, Time time) {
		BMessage* down = translator.Translate(ButtonEvent(ButtonPress, button, x, y, time), border);
		int32 clicks = Int32(down, "clicks", 0);
		BPoint where;
		EXPECT_EQ(down->FindPoint("where", &where), B_OK);
		EXPECT_EQ(where, BPoint(x - 1, y - 1));
		delete down;
		delete translator.Translate(ButtonEvent(ButtonRelease, button, x, y, time + 50,
		                                        button == Button1 ? Button1Mask : Button3Mask),
		                            border);
		return clicks;
	};
	EXPECT_EQ(click(Button1, 10, 10, 1000), 1);
	EXPECT_EQ(click(Button1, 12, 11, 1200), 2);
	EXPECT_EQ(click(Button1, 12, 11, 1400), 3);
	// Too late, too far, or another button: a new first click.
	EXPECT_EQ(click(Button1, 12, 11, 2500), 1);
	EXPECT_EQ(click(Button1, 30, 11, 2600), 1);
	EXPECT_EQ(click(Button3, 30, 11, 2700), 1);
	EXPECT_EQ(click(Button1, 30, 11, 2800), 1);

	BMessage* up = translator.Translate(
	        ButtonEvent(ButtonRelease, Button1, 5, 5, 3000, Button1Mask | Button3Mask), border);
	EXPECT_EQ(up->what, (uint32)B_MOUSE_UP);
	EXPECT_EQ(Int32(up, "buttons", -1), B_SECONDARY_MOUSE_BUTTON);
	delete up;

	BMessage* wheel = translator.Translate(ButtonEvent(ButtonPress, Button5, 5, 5, 3100), border);
	EXPECT_EQ(wheel->what, (uint32)B_MOUSE_WHEEL_CHANGED);
	float delta = 0;
	EXPECT_EQ(wheel->FindFloat("be:wheel_delta_y", &delta), B_OK);
	EXPECT_EQ(delta, 1.0f);
	delete wheel;
}

TEST(EventTranslatorTest, KeysymsBecomeUtf8)
{
	EXPECT_EQ(KeysymToUtf8(XK_a), "a");
	EXPECT_EQ(KeysymToUtf8(XK_eacute), "\xc3\xa9");
	EXPECT_EQ(KeysymToUtf8(0x010020ac), "\xe2\x82\xac");
	EXPECT_EQ(KeysymToUtf8(0x0101f600), "\xf0\x9f\x98\x80");
	EXPECT_EQ(KeysymToUtf8(0x0100d800), "");
	EXPECT_EQ(KeysymToUtf8(XK_KP_7), "7");
	EXPECT_EQ(KeysymToUtf8(XK_Shift_L), "");
	EXPECT_EQ(SpecialKeyByte(XK_KP_Delete), B_DELETE);
}
