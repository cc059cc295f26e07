// The hot key's state machine driven by tables of key events, and the small pure rules
// of the bar (bevel colours, where the bar and the About window open).
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/KVApp.h"
#include "app/KVSettings.h"
#include "bar/KVBevel.h"
#include "bar/KVHotKeySequence.h"

namespace {

// Raw key codes.
enum : int32
{
	kWin = 0x66,
	kAlt = 0x5D,
	kShift = 0x4B,
	kCtrl = 0x5C,
	kDel = 0x65,
	kLetterA = 0x3C,
	kKp0 = 0x64,
	kKp1 = 0x58,
	kKp2 = 0x59,
	kKp4 = 0x48,
	kKp5 = 0x49,
	kKp7 = 0x37,
	kNoKey = -1
};

struct States
{
	uint8 bytes[kRawKeyStatesSize] = {};

	States(std::initializer_list<int32> keys)
	{
		for (int32 key : keys)
			bytes[key / 8] |= 1 << (7 - key % 8);
	}
};

// One event: modifiers held (a modifier change) or a key going down with what is held.
struct Step
{
	enum Kind
	{
		kModifiers,
		kKey
	} kind;
	int32 key;
	States held;
	bool barActive;
};

Step
Mods(std::initializer_list<int32> keys)
{
	return Step{Step::kModifiers, kNoKey, States(keys), false};
}

// A key pressed alone (nothing else held).
Step
Key(int32 key, bool barActive = false)
{
	return Step{Step::kKey, key, States({key}), barActive};
}

// A key pressed while others are still held.
Step
KeyHolding(int32 key, std::initializer_list<int32> held)
{
	return Step{Step::kKey, key, States(held), false};
}

// An event that names no key: only the key states tell what went down.
Step
StatesOnly(std::initializer_list<int32> held)
{
	return Step{Step::kKey, kNoKey, States(held), false};
}

struct Case
{
	const char* name;
	int32 hotKey;
	std::vector<Step> steps;
	// The launches the sequence asked for, "folder/slot" each.
	std::vector<std::string> launches;
};

std::vector<std::string>
Play(const Case& testCase, KVHotKeySequence* sequence)
{
	std::vector<std::string> launches;
	for (const Step& step : testCase.steps) {
		if (step.kind == Step::kModifiers) {
			bool forward = false;
			sequence->ModifiersChanged(step.held.bytes, testCase.hotKey, &forward);
			continue;
		}
		if (sequence->KeyDown(step.key, step.held.bytes, testCase.hotKey, step.barActive) ==
		    KVHotKeySequence::kLaunch) {
			launches.push_back(std::to_string(sequence->LaunchFolder()) + "/" +
			                   std::to_string(sequence->LaunchSlot()));
		}
	}
	return launches;
}

TEST(HotKeySequenceTest, Sequences)
{
	const std::vector<Case> cases = {
	        {"Windows, released, then two keypad digits",
	         kHotKeyWindows,
	         {Mods({kWin}), Mods({}), Key(kKp2), Key(kKp7)},
	         {"3/8"}},
	        {"Windows + keypad Delete: a digit instead of Delete resets",
	         kHotKeyWindows | kHotKeyKeypadDelete,
	         {Mods({kWin}), Key(kKp2), Key(kKp7)},
	         {}},
	        {"Windows + keypad Delete, in order",
	         kHotKeyWindows | kHotKeyKeypadDelete,
	         {Mods({kWin}), Key(kDel), Key(kKp2), Key(kKp7)},
	         {"3/8"}},
	        {"keypad Delete alone needs no modifier",
	         kHotKeyKeypadDelete,
	         {Key(kDel), Key(kKp0), Key(kKp0)},
	         {"1/1"}},
	        {"Alt alone does not arm Alt + Shift",
	         kHotKeyAlt | kHotKeyShift,
	         {Mods({kAlt}), Key(kKp2), Key(kKp7)},
	         {}},
	        {"extra modifiers do not matter",
	         kHotKeyAlt | kHotKeyShift,
	         {Mods({kAlt, kShift, kCtrl}), Key(kKp1), Key(kKp0)},
	         {"2/1"}},
	        {"a letter between the digits resets",
	         kHotKeyWindows,
	         {Mods({kWin}), Key(kKp2), Key(kLetterA), Key(kKp7)},
	         {}},
	        {"the bar active: its own keys take over after the folder digit",
	         kHotKeyWindows,
	         {Mods({kWin}), Key(kKp2, true), Key(kKp7, true), Key(kKp1)},
	         {}},
	        {"the first digit still held: the second key decides the slot",
	         kHotKeyWindows,
	         {Mods({kWin}), Key(kKp2), KeyHolding(kKp7, {kKp2, kKp7})},
	         {"3/8"}},
	        {"without a key code the states decide",
	         kHotKeyWindows,
	         {Mods({kWin}), StatesOnly({kKp4}), StatesOnly({kKp1})},
	         {"5/2"}},
	        {"arming again forgets a folder digit typed before",
	         kHotKeyWindows,
	         {Mods({kWin}), Key(kKp2), Mods({kWin, kAlt}), Key(kKp5), Key(kKp1)},
	         {"6/2"}},
	        {"a reset forgets the folder: the next sequence starts from scratch",
	         kHotKeyWindows | kHotKeyKeypadDelete,
	         {Mods({kWin}), Key(kDel), Key(kKp2), Key(kLetterA), Mods({kWin}), Key(kDel), Key(kKp4),
	          Key(kKp1)},
	         {"5/2"}},
	        {"keypad 5 reaches folder 6 and slot 6",
	         kHotKeyWindows,
	         {Mods({kWin}), Key(kKp5), Key(kKp5)},
	         {"6/6"}},
	        {"one sequence launches once",
	         kHotKeyWindows,
	         {Mods({kWin}), Key(kKp2), Key(kKp7), Key(kKp1), Key(kKp1)},
	         {"3/8"}},
	        {"no modifier chosen: modifiers never arm",
	         0,
	         {Mods({kWin, kAlt, kShift, kCtrl}), Key(kKp1), Key(kKp1)},
	         {}},
	};
	for (const Case& testCase : cases) {
		KVHotKeySequence sequence;
		EXPECT_EQ(Play(testCase, &sequence), testCase.launches) << testCase.name;
		EXPECT_EQ(sequence.Folder(), 0) << testCase.name;
	}
}

TEST(HotKeySequenceTest, ArmingAndBringingForward)
{
	KVHotKeySequence sequence;
	bool forward = true;
	EXPECT_EQ(sequence.ModifiersChanged(States({kAlt}).bytes, kHotKeyAlt | kHotKeyShift, &forward),
	          KVHotKeySequence::kNothing);
	EXPECT_FALSE(forward);
	EXPECT_EQ(sequence.ModifiersChanged(States({kAlt, kShift, kCtrl}).bytes, kHotKeyWindows,
	                                    &forward),
	          KVHotKeySequence::kNothing);
	EXPECT_TRUE(forward) << "Shift+Control+Alt brings the bar forward whatever the hot key";
	EXPECT_EQ(sequence.Modifiers(), kHotKeyAlt | kHotKeyShift | kHotKeyControl);

	EXPECT_EQ(sequence.ModifiersChanged(States({0x67}).bytes, kHotKeyWindows, &forward),
	          KVHotKeySequence::kArm)
	        << "the right Windows key arms too";
	EXPECT_EQ(sequence.State(), KVHotKeySequence::kCollecting);
	EXPECT_EQ(sequence.ModifiersChanged(States({kWin}).bytes, kHotKeyWindows | kHotKeyKeypadDelete,
	                                    &forward),
	          KVHotKeySequence::kArm);
	EXPECT_EQ(sequence.State(), KVHotKeySequence::kArmed);
}

TEST(BarRulesTest, BevelEdgesSaturate)
{
	rgb_color light = BevelLight(rgb_color{174, 175, 0, 200});
	EXPECT_EQ(light.red, 254);
	EXPECT_EQ(light.green, 255);
	EXPECT_EQ(light.blue, 80);
	EXPECT_EQ(light.alpha, 200);
	rgb_color dark = BevelDark(rgb_color{79, 80, 255, 7});
	EXPECT_EQ(dark.red, 0);
	EXPECT_EQ(dark.green, 0);
	EXPECT_EQ(dark.blue, 175);
	EXPECT_EQ(dark.alpha, 7);
}

TEST(BarRulesTest, SavedPositionMustShowTheBar)
{
	BRect screen(0, 0, 1023, 767);
	BPoint column(21, 263);
	EXPECT_EQ(KVApp::UsablePosition(BPoint(500, 400), column, screen), BPoint(500, 400));
	EXPECT_EQ(KVApp::UsablePosition(BPoint(-15, -200), column, screen), BPoint(-15, -200))
	        << "a bar partly off screen can still be dragged back";
	EXPECT_EQ(KVApp::UsablePosition(BPoint(5000, 10), column, screen), BPoint(30, 30));
	EXPECT_EQ(KVApp::UsablePosition(BPoint(-30, 10), column, screen), BPoint(30, 30));
	EXPECT_EQ(KVApp::UsablePosition(BPoint(NAN, 10), column, screen), BPoint(30, 30));
	EXPECT_EQ(KVApp::UsablePosition(BPoint(10, INFINITY), column, screen), BPoint(30, 30));
}

TEST(BarRulesTest, AboutWindowIsCentred)
{
	EXPECT_EQ(KVApp::AboutPosition(BRect(0, 0, 1023, 767)), BPoint(329, 281.5f));
}

} // namespace
