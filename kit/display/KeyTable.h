// The keyboard's raw key codes: X key codes (evdev code + 8) to BeOS raw key codes, the
// 16-byte key-state bitmap of key messages, and the modifier bits it implies.
#ifndef _KV_DISPLAY_KEY_TABLE_H
#define _KV_DISPLAY_KEY_TABLE_H

#include <SupportDefs.h>

namespace BPrivate {

// The BeOS raw code of an X key code, or 0 for a key BeOS has no code for.
uint32 RawKeyFromXKeycode(uint32 xKeycode);

// Whether the raw key is a modifier: it sends B_MODIFIERS_CHANGED instead of key
// messages.
bool IsModifierRawKey(uint32 rawKey);

// The pressed keys, bit 7 - (k mod 8) of byte k / 8 for raw key k.
class KeyStates
{
public:
	KeyStates();

	void Set(uint32 rawKey, bool down);
	bool IsDown(uint32 rawKey) const;
	void Clear();
	const uint8* Bytes() const { return fBytes; }

	// The BeOS modifier bits of the pressed keys; lockBits (B_CAPS_LOCK, B_NUM_LOCK,
	// B_SCROLL_LOCK) are added as given, since locks are states, not held keys.
	uint32 Modifiers(uint32 lockBits) const;

private:
	uint8 fBytes[16];
};

} // namespace BPrivate

#endif // _KV_DISPLAY_KEY_TABLE_H
