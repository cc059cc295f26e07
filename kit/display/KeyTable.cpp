// The raw key table is indexed by Linux evdev code (X key code - 8): the positions of the
// keys on a PC keyboard, independent of the keymap, which is what BeOS raw codes are.
#include "KeyTable.h"

#include <cstring>

#include <InputDefs.h>

namespace BPrivate {

namespace {

struct KeyEntry
{
	uint16 evdev;
	uint8 raw;
};

// evdev code -> BeOS raw code.
constexpr KeyEntry kKeys[] = {
        {1, 0x01},                                                                 // Escape
        {59, 0x02},  {60, 0x03},  {61, 0x04},  {62, 0x05}, {63, 0x06}, {64, 0x07}, // F1-F6
        {65, 0x08},  {66, 0x09},  {67, 0x0a},  {68, 0x0b}, {87, 0x0c}, {88, 0x0d}, // F7-F12
        {99, 0x0e},                                                                // Print (SysRq)
        {70, 0x0f},                                                                // Scroll Lock
        {119, 0x10},                                                               // Pause
        {41, 0x11},                                                                // `
        {2, 0x12},   {3, 0x13},   {4, 0x14},   {5, 0x15},  {6, 0x16},  {7, 0x17},
        {8, 0x18},   {9, 0x19},   {10, 0x1a},  {11, 0x1b}, // 1-9, 0
        {12, 0x1c},  {13, 0x1d},                           // - =
        {14, 0x1e},                                        // Backspace
        {110, 0x1f}, {102, 0x20}, {104, 0x21},             // Insert Home PageUp
        {69, 0x22},                                        // Num Lock
        {98, 0x23},  {55, 0x24},  {74, 0x25},              // keypad / * -
        {15, 0x26},                                        // Tab
        {16, 0x27},  {17, 0x28},  {18, 0x29},  {19, 0x2a}, {20, 0x2b}, {21, 0x2c},
        {22, 0x2d},  {23, 0x2e},  {24, 0x2f},  {25, 0x30}, // Q-P
        {26, 0x31},  {27, 0x32},  {43, 0x33},              // [ ] backslash
        {111, 0x34}, {107, 0x35}, {109, 0x36},             // Delete End PageDown
        {71, 0x37},  {72, 0x38},  {73, 0x39},              // keypad 7 8 9
        {78, 0x3a},                                        // keypad +
        {58, 0x3b},                                        // Caps Lock
        {30, 0x3c},  {31, 0x3d},  {32, 0x3e},  {33, 0x3f}, {34, 0x40}, {35, 0x41},
        {36, 0x42},  {37, 0x43},  {38, 0x44}, // A-L
        {39, 0x45},  {40, 0x46},              // ; '
        {28, 0x47},                           // Enter
        {75, 0x48},  {76, 0x49},  {77, 0x4a}, // keypad 4 5 6
        {42, 0x4b},                           // left Shift
        {44, 0x4c},  {45, 0x4d},  {46, 0x4e},  {47, 0x4f}, {48, 0x50}, {49, 0x51},
        {50, 0x52},                            // Z-M
        {51, 0x53},  {52, 0x54},  {53, 0x55},  // , . /
        {54, 0x56},                            // right Shift
        {103, 0x57},                           // Up
        {79, 0x58},  {80, 0x59},  {81, 0x5a},  // keypad 1 2 3
        {96, 0x5b},                            // keypad Enter
        {29, 0x5c},                            // left Control
        {56, 0x5d},                            // left Alt
        {57, 0x5e},                            // Space
        {100, 0x5f},                           // right Alt
        {97, 0x60},                            // right Control
        {105, 0x61}, {108, 0x62}, {106, 0x63}, // Left Down Right
        {82, 0x64},                            // keypad 0
        {83, 0x65},                            // keypad . (Delete)
        {125, 0x66}, {126, 0x67},              // left, right "Windows"
        {127, 0x68},                           // Menu
        {86, 0x69},                            // the extra key left of Z on European keyboards
};

struct Table
{
	uint8 raw[256];

	constexpr Table() : raw()
	{
		for (const KeyEntry& entry : kKeys)
			raw[entry.evdev] = entry.raw;
	}
};

constexpr Table kTable;

} // namespace

uint32
RawKeyFromXKeycode(uint32 xKeycode)
{
	if (xKeycode < 8 || xKeycode - 8 >= 256)
		return 0;
	return kTable.raw[xKeycode - 8];
}

bool
IsModifierRawKey(uint32 rawKey)
{
	switch (rawKey) {
	case 0x0f: // Scroll Lock
	case 0x22: // Num Lock
	case 0x3b: // Caps Lock
	case 0x4b:
	case 0x56: // Shift
	case 0x5c:
	case 0x60: // Control
	case 0x5d:
	case 0x5f: // Alt (Command)
	case 0x66:
	case 0x67: // "Windows" (Option)
	case 0x68: // Menu
		return true;
	default:
		return false;
	}
}

KeyStates::KeyStates()
{
	Clear();
}

void
KeyStates::Set(uint32 rawKey, bool down)
{
	if (rawKey >= 128)
		return;
	uint8 bit = (uint8)(1 << (7 - rawKey % 8));
	if (down)
		fBytes[rawKey / 8] |= bit;
	else
		fBytes[rawKey / 8] &= (uint8)~bit;
}

bool
KeyStates::IsDown(uint32 rawKey) const
{
	if (rawKey >= 128)
		return false;
	return (fBytes[rawKey / 8] & (1 << (7 - rawKey % 8))) != 0;
}

void
KeyStates::Clear()
{
	std::memset(fBytes, 0, sizeof(fBytes));
}

uint32
KeyStates::Modifiers(uint32 lockBits) const
{
	struct ModifierKey
	{
		uint32 raw;
		uint32 bits;
	};
	static constexpr ModifierKey kModifiers[] = {
	        {0x4b, B_SHIFT_KEY | B_LEFT_SHIFT_KEY},
	        {0x56, B_SHIFT_KEY | B_RIGHT_SHIFT_KEY},
	        {0x5c, B_CONTROL_KEY | B_LEFT_CONTROL_KEY},
	        {0x60, B_CONTROL_KEY | B_RIGHT_CONTROL_KEY},
	        {0x5d, B_COMMAND_KEY | B_LEFT_COMMAND_KEY},
	        {0x5f, B_COMMAND_KEY | B_RIGHT_COMMAND_KEY},
	        {0x66, B_OPTION_KEY | B_LEFT_OPTION_KEY},
	        {0x67, B_OPTION_KEY | B_RIGHT_OPTION_KEY},
	        {0x68, B_MENU_KEY},
	};
	uint32 modifiers = lockBits & (B_CAPS_LOCK | B_NUM_LOCK | B_SCROLL_LOCK);
	for (const ModifierKey& key : kModifiers) {
		if (IsDown(key.raw))
			modifiers |= key.bits;
	}
	return modifiers;
}

} // namespace BPrivate
