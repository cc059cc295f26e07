// The hot key's state machine. Every key-down is judged by the key that went down, not by
// whatever else is still held: a fast typist's first digit is often still down when the
// second arrives, and reading the whole key state would take the first digit twice.
#include "KVHotKeySequence.h"

#include "app/KVSettings.h"

namespace {

const int32 kKeypadDigits[10] = {0x64, 0x58, 0x59, 0x5A, 0x48, 0x49, 0x4A, 0x37, 0x38, 0x39};

struct ModifierKeys
{
	int32 bit;
	int32 left;
	int32 right;
};

const ModifierKeys kModifierKeys[] = {
        {kHotKeyAlt, 0x5D, 0x5F},     {kHotKeyShift, 0x4B, 0x56}, {kHotKeyControl, 0x5C, 0x60},
        {kHotKeyWindows, 0x66, 0x67}, {kHotKeyMenu, 0x68, 0x68},
};

const int32 kModifierBits =
        kHotKeyAlt | kHotKeyShift | kHotKeyControl | kHotKeyWindows | kHotKeyMenu;

bool
EitherDown(const uint8* states, const ModifierKeys& keys)
{
	return IsRawKeyDown(states, keys.left) || IsRawKeyDown(states, keys.right);
}

} // namespace

bool
IsRawKeyDown(const uint8* states, int32 key)
{
	if (key < 0 || key >= kRawKeyStatesSize * 8)
		return false;
	return (states[key / 8] & (1 << (7 - key % 8))) != 0;
}

int32
KeypadDigit(int32 key)
{
	for (int32 digit = 0; digit < 10; digit++) {
		if (kKeypadDigits[digit] == key)
			return digit;
	}
	return -1;
}

KVHotKeySequence::KVHotKeySequence()
    : fModifiers(0), fState(kIdle), fFolder(0), fSlot(0), fLaunchFolder(0), fLaunchSlot(0)
{}

KVHotKeySequence::Effect
KVHotKeySequence::ModifiersChanged(const uint8* states, int32 hotKey, bool* bringForward)
{
	*bringForward = EitherDown(states, kModifierKeys[0]) && EitherDown(states, kModifierKeys[1]) &&
	                EitherDown(states, kModifierKeys[2]);

	uint8 held = 0;
	for (const ModifierKeys& keys : kModifierKeys) {
		if (EitherDown(states, keys))
			held |= keys.bit;
	}
	fModifiers = held;

	int32 chosen = hotKey & kModifierBits;
	if (chosen == 0 || (chosen & held) != chosen)
		return kNothing;
	_Start((hotKey & kHotKeyKeypadDelete) != 0 ? kArmed : kCollecting);
	return kArm;
}

KVHotKeySequence::Effect
KVHotKeySequence::KeyDown(int32 key, const uint8* states, int32 hotKey, bool barActive)
{
	bool keypadDelete = key >= 0 ? key == kRawKeypadDelete : IsRawKeyDown(states, kRawKeypadDelete);
	switch (fState) {
	case kArmed:
		if (keypadDelete)
			fState = kCollecting;
		else
			_Reset();
		return kNothing;
	case kCollecting: {
		int32 digit = KeypadDigit(key);
		for (int32 candidate = 0; key < 0 && digit < 0 && candidate < 10; candidate++) {
			if (IsRawKeyDown(states, kKeypadDigits[candidate]))
				digit = candidate;
		}
		if (digit < 0) {
			_Reset();
			return kNothing;
		}
		return _Digit(digit, barActive);
	}
	default:
		if ((hotKey & (kModifierBits | kHotKeyKeypadDelete)) == kHotKeyKeypadDelete &&
		    keypadDelete) {
			_Start(kCollecting);
		}
		return kNothing;
	}
}

KVHotKeySequence::Effect
KVHotKeySequence::_Digit(int32 digit, bool barActive)
{
	if (fFolder <= 0) {
		fFolder = static_cast<int8>(digit + 1);
		if (barActive)
			_Reset();
		return kNothing;
	}
	fSlot = static_cast<int8>(digit + 1);
	fLaunchFolder = fFolder;
	fLaunchSlot = fSlot;
	_Reset();
	return barActive ? kNothing : kLaunch;
}

void
KVHotKeySequence::_Reset()
{
	fState = kIdle;
	fFolder = 0;
	fSlot = 0;
}

void
KVHotKeySequence::_Start(int32 state)
{
	_Reset();
	fState = state;
}
