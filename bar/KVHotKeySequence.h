// The hot key's state machine, apart from any view so that it can be driven by tables:
// the chosen modifiers arm it, keypad Delete may be required next, then two keypad digits
// name a folder and a slot.
#ifndef KV_HOT_KEY_SEQUENCE_H
#define KV_HOT_KEY_SEQUENCE_H

#include <SupportDefs.h>

// Raw key codes of the keys the sequence knows.
enum
{
	kRawKeypadDelete = 0x65,
	kRawKeypad5 = 0x49,
	kRawKeyStatesSize = 16
};

// Whether raw key code key is down in a 16-byte key-state bitmap.
bool IsRawKeyDown(const uint8* states, int32 key);
// The digit 0..9 of a keypad digit key's raw code; -1 for every other key.
int32 KeypadDigit(int32 key);

class KVHotKeySequence
{
public:
	enum State
	{
		kIdle = 0,
		kArmed = 1,     // waiting for keypad Delete
		kCollecting = 2 // waiting for the folder digit, then the slot digit
	};

	enum Effect
	{
		kNothing,
		kArm,   // the chosen modifiers (re)started the sequence
		kLaunch // folder and slot are complete: launch them
	};

	KVHotKeySequence();

	// A modifier changed; states is the key-state bitmap, hotKey the setting. Sets
	// *bringForward when Shift, Control and Alt are all down.
	Effect ModifiersChanged(const uint8* states, int32 hotKey, bool* bringForward);
	// A key went down. key is its raw code, or -1 when the event named none; then the
	// states are searched instead. While the bar is active a sequence ends after the
	// folder digit: the bar's own keys and its menu take the rest.
	Effect KeyDown(int32 key, const uint8* states, int32 hotKey, bool barActive);

	int32 State() const { return fState; }
	int8 Folder() const { return fFolder; }
	int8 Slot() const { return fSlot; }
	uint8 Modifiers() const { return fModifiers; }

	// Folder and slot of the last kLaunch.
	int8 LaunchFolder() const { return fLaunchFolder; }
	int8 LaunchSlot() const { return fLaunchSlot; }

private:
	void _Reset();
	void _Start(int32 state);
	Effect _Digit(int32 digit, bool barActive);

	uint16 fModifiers : 6;
	uint16 fState : 3;
	int8 fFolder;
	int8 fSlot;
	int8 fLaunchFolder;
	int8 fLaunchSlot;
};

#endif // KV_HOT_KEY_SEQUENCE_H
