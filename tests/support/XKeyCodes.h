// X key codes of the physical keys the GUI tests press through XTEST: the Linux evdev
// code + 8, as every X server started by the tests maps them.
#ifndef KV_TEST_X_KEY_CODES_H
#define KV_TEST_X_KEY_CODES_H

namespace kvtest::xkey {

inline constexpr unsigned int kEscape = 9;
inline constexpr unsigned int kBackSpace = 22;
inline constexpr unsigned int kTab = 23;
inline constexpr unsigned int kReturn = 36;
inline constexpr unsigned int kGrave = 49;
inline constexpr unsigned int kShift = 50;
// Left Alt: the Command key.
inline constexpr unsigned int kAlt = 64;
inline constexpr unsigned int kSpace = 65;
inline constexpr unsigned int kLeft = 113;
inline constexpr unsigned int kEnd = 115;
inline constexpr unsigned int kDown = 116;
inline constexpr unsigned int kDelete = 119;
// Left "Windows" key.
inline constexpr unsigned int kSuper = 133;

// The letter keys, a to z.
inline constexpr unsigned int kLetters[26] = {38, 56, 54, 40, 26, 41, 42, 43, 31, 44, 45, 46, 58,
                                              57, 32, 33, 24, 27, 39, 28, 30, 55, 25, 53, 29, 52};
// The digit keys of the main row, 0 to 9, and of the keypad, 0 to 9.
inline constexpr unsigned int kDigits[10] = {19, 10, 11, 12, 13, 14, 15, 16, 17, 18};
inline constexpr unsigned int kKeypad[10] = {90, 87, 88, 89, 83, 84, 85, 79, 80, 81};

// The key of a lower-case letter.
constexpr unsigned int
Letter(char letter)
{
	return kLetters[letter - 'a'];
}

} // namespace kvtest::xkey

#endif // KV_TEST_X_KEY_CODES_H
