// The program's alerts on a private Xvfb: an error alert blocks its caller until OK is
// clicked, a warning returns at once, and each prefix is drawn large in its colour.
#include <atomic>
#include <thread>

#include <InterfaceDefs.h>

#include "KVAlert.h"

#include "kit/interface/GuiTestSupport.h"
#include "support/TestSupport.h"
#include "support/XKeyCodes.h"

#include "kit/interface/ScreenShot.h"

using namespace kvtest;

namespace {

bool
IsRed(int r, int g, int b)
{
	return r >= 230 && g <= 40 && b <= 40;
}

bool
IsOrange(int r, int g, int b)
{
	return r >= 230 && g >= 100 && g <= 150 && b <= 40;
}

class AlertTest : public GuiTest
{
protected:
	PixelBox Find(bool (*match)(int, int, int))
	{
		return ScreenShot(fClient->Handle()).Find(match);
	}

	// The alert's OK button: the one long run of the default button's dark frame.
	bool FindOkButton(int* x, int* y)
	{
		uint32_t frame = 0;
		rgb_color color = tint_color(ui_color(B_PANEL_BACKGROUND_COLOR), B_DARKEN_4_TINT);
		frame = (uint32_t)color.red << 16 | (uint32_t)color.green << 8 | color.blue;
		int left = 0, top = 0;
		int length = ScreenShot(fClient->Handle()).LongestRun(frame, &left, &top);
		*x = left + length / 2;
		*y = top + 6;
		return length >= 40;
	}

	void ClickOk()
	{
		int x = 0, y = 0;
		ASSERT_TRUE(FindOkButton(&x, &y));
		fClient->Click(x, y);
	}
};

} // namespace

TEST_F(AlertTest, ErrorBlocksUntilOkIsClickedWithALargeRedPrefix)
{
	std::atomic<bool> returned{false};
	std::thread caller([&] {
		AlertError("The store directory could not be created.");
		returned = true;
	});
	ASSERT_TRUE(WaitUntil([&] { return Find(IsRed).count > 30; }));
	// "ERROR:" at 16 pixels: capitals well over ten pixels tall (the body's 10-pixel
	// text has capitals of about seven).
	PixelBox red = Find(IsRed);
	EXPECT_GE(red.Height(), 10);
	EXPECT_LE(red.Height(), 16);
	EXPECT_GE(red.Width(), 50);
	EXPECT_TRUE(Find(IsOrange).Empty());
	EXPECT_FALSE(returned.load());

	ClickOk();
	bool answered = WaitUntil([&] { return returned.load(); });
	if (!answered)
		fClient->Tap(xkey::kReturn);
	caller.join();
	ASSERT_TRUE(answered);
	EXPECT_TRUE(WaitUntil([&] { return Find(IsRed).Empty(); }));
}

TEST_F(AlertTest, WarningReturnsAtOnceWithALargeOrangePrefix)
{
	// Returns on this thread with nobody at the keyboard: the alert stays up.
	AlertWarning("I couldn't watch the store.");
	ASSERT_TRUE(WaitUntil([&] { return Find(IsOrange).count > 30; }));
	PixelBox orange = Find(IsOrange);
	EXPECT_GE(orange.Height(), 10);
	// "WARNING:" is wider than "ERROR:" would be.
	EXPECT_GE(orange.Width(), 70);
	EXPECT_TRUE(Find(IsRed).Empty());

	fClient->Tap(xkey::kReturn);
	EXPECT_TRUE(WaitUntil([&] { return Find(IsOrange).Empty(); }));
}

TEST_F(AlertTest, MessageAndEmptyTextsShowWithoutBlocking)
{
	AlertMsg("Plain news.");
	int x = 0, y = 0;
	ASSERT_TRUE(WaitUntil([&] { return FindOkButton(&x, &y); }));
	EXPECT_TRUE(Find(IsRed).Empty());
	EXPECT_TRUE(Find(IsOrange).Empty());
	fClient->Click(x, y);
	ASSERT_TRUE(WaitUntil([&] { return !FindOkButton(&x, &y); }));

	// An empty or missing text still gets its prefix, styled alone.
	for (const char* text : {"", (const char*)nullptr}) {
		AlertWarning(text);
		ASSERT_TRUE(WaitUntil([&] { return Find(IsOrange).count > 30; }));
		ASSERT_TRUE(WaitUntil([&] { return FindOkButton(&x, &y); }));
		fClient->Click(x, y);
		EXPECT_TRUE(WaitUntil([&] { return Find(IsOrange).Empty(); }));
	}
}

TEST(AlertHeadlessTest, WithoutADisplayTheTextGoesToStandardErrorAndNothingBlocks)
{
	ScopedEnv display("DISPLAY", nullptr);
	GTEST_FLAG_SET(death_test_style, "threadsafe");
	EXPECT_EXIT(
	        {
		        AlertWarning("first");
		        AlertMsg("plain");
		        AlertError("last words");
		        exit(3);
	        },
	        ::testing::ExitedWithCode(3), "WARNING:\n\nfirst\n\nplain\nERROR:\n\nlast words\n");
}
