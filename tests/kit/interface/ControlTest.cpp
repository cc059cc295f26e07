// Controls: text view layout and styles without a display; buttons and alerts on a
// private Xvfb, driven through XTEST.
#include <atomic>
#include <cstring>
#include <thread>

#include <Alert.h>
#include <Box.h>
#include <Button.h>
#include <Invoker.h>
#include <Message.h>
#include <StringView.h>
#include <TextView.h>
#include <Window.h>

#include "GuiTestSupport.h"
#include "support/TestSupport.h"
#include "support/XKeyCodes.h"

#include "ScreenShot.h"

using namespace kvtest;

namespace {

const uint32 kPressed = 'prsd';
const uint32 kOther = 'othr';
const uint32 kSentinel = 'sntl';

BTextView*
MakeTextView(float width, const char* text)
{
	BTextView* view = new BTextView(BRect(0, 0, width - 1, 99), "text", BRect(0, 0, width - 1, 99),
	                                B_FOLLOW_NONE, B_WILL_DRAW);
	view->SetText(text);
	return view;
}

} // namespace

TEST(TextViewTest, LinesBreakAtNewlinesAndWrapWholeWords)
{
	std::unique_ptr<BTextView> view(MakeTextView(1000, "ERROR:\n\ngone\n"));
	// The closing line break opens an empty last line.
	EXPECT_EQ(view->CountLines(), 4);
	EXPECT_EQ(view->LineAt(0), 0);
	EXPECT_EQ(view->LineAt(7), 1);
	EXPECT_EQ(view->LineAt(8), 2);

	view->SetText("");
	EXPECT_EQ(view->CountLines(), 1);
	EXPECT_GT(view->LineHeight(0), 0);

	// Narrow: each word on its own line, a word wider than the rectangle stays whole.
	std::unique_ptr<BTextView> narrow(MakeTextView(40, "alpha beta gamma"));
	EXPECT_EQ(narrow->CountLines(), 3);
	narrow->SetText("averyveryverylongword x");
	EXPECT_EQ(narrow->CountLines(), 2);
	narrow->SetWordWrap(false);
	EXPECT_EQ(narrow->CountLines(), 1);
}

TEST(TextViewTest, StylesApplyToTheirRangeOnlyWhenStylable)
{
	std::unique_ptr<BTextView> view(MakeTextView(1000, "WARNING:\n\nbody\n"));
	BFont big;
	view->GetFont(&big);
	float normal = big.Size();
	float oneLine = view->LineHeight(0);
	big.SetSize(16);
	rgb_color orange = {255, 124, 0, 255};

	// Not stylable: the whole text takes the style.
	view->SetFontAndColor(0, 8, &big, B_FONT_ALL, &orange);
	BFont font;
	rgb_color color;
	view->GetFontAndColor(12, &font, &color);
	EXPECT_EQ(font.Size(), 16);

	view->SetText("WARNING:\n\nbody\n");
	view->SetStylable(true);
	BFont plain;
	view->GetFont(&plain);
	rgb_color black = {0, 0, 0, 255};
	view->SetFontAndColor(0, view->TextLength(), &plain, B_FONT_ALL, &black);
	view->SetFontAndColor(0, 8, &big, B_FONT_ALL, &orange);
	view->GetFontAndColor(0, &font, &color);
	EXPECT_EQ(font.Size(), 16);
	EXPECT_EQ(color, orange);
	view->GetFontAndColor(7, &font, &color);
	EXPECT_EQ(font.Size(), 16);
	view->GetFontAndColor(8, &font, &color);
	EXPECT_EQ(font.Size(), normal);
	EXPECT_NE(color, orange);
	// Only the first line grows.
	EXPECT_GT(view->LineHeight(0), oneLine);
	EXPECT_EQ(view->LineHeight(2), oneLine);
	EXPECT_EQ(view->TextHeight(0, 3), view->LineHeight(0) + 3 * oneLine);
	// Widths follow the style runs; a line break takes no room.
	EXPECT_GT(view->LineWidth(0), plain.StringWidth("WARNING:"));
	EXPECT_EQ(view->LineWidth(1), 0);
	EXPECT_FLOAT_EQ(view->LineWidth(2), plain.StringWidth("body"));

	// Ranges outside the text are clamped, not trusted.
	view->SetFontAndColor(-5, 1000, &plain, B_FONT_ALL, nullptr);
	view->GetFontAndColor(0, &font, nullptr);
	EXPECT_EQ(font.Size(), normal);
}

TEST(TextViewTest, SelectionIsClampedAndOffsetsFollowThePoint)
{
	std::unique_ptr<BTextView> view(MakeTextView(1000, "abc\ndef"));
	view->Select(5, 100);
	int32 start, end;
	view->GetSelection(&start, &end);
	EXPECT_EQ(start, 5);
	EXPECT_EQ(end, 7);
	EXPECT_EQ(view->OffsetAt(BPoint(-10, 0)), 0);
	EXPECT_EQ(view->OffsetAt(BPoint(500, 0)), 3);
	EXPECT_EQ(view->OffsetAt(BPoint(500, view->LineHeight(0) + 1)), 7);
}

namespace {

// Counts the messages it receives by 'what' and keeps the last button message.
class CountingWindow : public RecordingWindow
{
public:
	explicit CountingWindow(BRect frame) : RecordingWindow(frame) {}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == kPressed) {
			void* source = nullptr;
			message->FindPointer("source", &source);
			lastSource = source;
			pressed++;
		} else if (message->what == kOther) {
			other++;
		} else if (message->what == kSentinel) {
			sentinels++;
		} else if (message->what == 'alrt') {
			int32 which = -1;
			message->FindInt32("which", &which);
			alertAnswer = which;
		} else {
			if (message->what == B_KEY_DOWN)
				keysToWindow++;
			RecordingWindow::MessageReceived(message);
		}
	}

	// Waits until everything posted before this call has been handled.
	bool Drain()
	{
		int32 wanted = sentinels.load() + 1;
		PostMessage(kSentinel);
		return WaitUntil([&] { return sentinels.load() >= wanted; });
	}

	std::atomic<int32> pressed{0};
	std::atomic<int32> other{0};
	std::atomic<int32> sentinels{0};
	std::atomic<int32> keysToWindow{0};
	std::atomic<int32> alertAnswer{-2};
	std::atomic<const void*> lastSource{nullptr};
};

class ControlXTest : public GuiTest
{
protected:
	// A window at (100, 100) with button "Go" at (20, 20)-(99, 44) and "Other" to its right.
	void SetUpWindow()
	{
		fWindow = new CountingWindow(BRect(100, 100, 399, 199));
		BView* top = new BView(fWindow->Bounds(), "top", B_FOLLOW_ALL, B_WILL_DRAW);
		top->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
		fButton = new BButton(BRect(20, 20, 99, 44), "go", "Go", new BMessage(kPressed));
		fOther = new BButton(BRect(120, 20, 199, 44), "other", "Other", new BMessage(kOther));
		top->AddChild(fButton);
		top->AddChild(fOther);
		BBox* box = new BBox(BRect(20, 55, 199, 95), "box");
		box->SetLabel("Box");
		box->AddChild(new BStringView(BRect(5, 15, 170, 30), "string", "Hello"));
		top->AddChild(box);
		fWindow->AddChild(top);
		fWindow->Show();
		ASSERT_TRUE(WaitUntil([&] { return fWindow->activeNow.load(); }));
		ASSERT_TRUE(fClient->WaitForPixel(102, 102, Rgb(ui_color(B_PANEL_BACKGROUND_COLOR))));
	}

	CountingWindow* fWindow = nullptr;
	BButton* fButton = nullptr;
	BButton* fOther = nullptr;
};

} // namespace

TEST_F(ControlXTest, ClickInvokesTheButtonsMessageOnceWithItsSource)
{
	SetUpWindow();
	fClient->MoveMouse(128, 140);
	fClient->Button(1, true);
	// Held down: drawn pressed (darker face), nothing sent yet.
	rgb_color face = ui_color(B_CONTROL_BACKGROUND_COLOR);
	EXPECT_TRUE(fClient->WaitForPixel(128, 140, Rgb(tint_color(face, B_DARKEN_2_TINT))));
	ASSERT_TRUE(fWindow->Drain());
	EXPECT_EQ(fWindow->pressed.load(), 0);
	fClient->Button(1, false);

	ASSERT_TRUE(WaitUntil([&] { return fWindow->pressed.load() == 1; }));
	ASSERT_TRUE(fWindow->Drain());
	EXPECT_EQ(fWindow->pressed.load(), 1);
	EXPECT_EQ(fWindow->other.load(), 0);
	EXPECT_EQ(fWindow->lastSource.load(), (const void*)fButton);
	EXPECT_TRUE(fClient->WaitForPixel(128, 140, Rgb(face)));
	Close(fWindow);
}

TEST_F(ControlXTest, ReleaseOutsideOrDisabledSendsNothing)
{
	SetUpWindow();
	fClient->MoveMouse(128, 140);
	fClient->Button(1, true);
	fClient->MoveMouse(128, 180);
	fClient->Button(1, false);
	ASSERT_TRUE(fWindow->Drain());

	ASSERT_TRUE(fWindow->Lock());
	fButton->SetEnabled(false);
	fWindow->Unlock();
	fClient->Click(128, 140);
	ASSERT_TRUE(fWindow->Drain());
	EXPECT_EQ(fWindow->pressed.load(), 0);
	Close(fWindow);
}

TEST_F(ControlXTest, EnterPressesOnlyTheDefaultButton)
{
	SetUpWindow();
	// Without a default button Enter reaches the window itself.
	fClient->Tap(xkey::kReturn);
	ASSERT_TRUE(WaitUntil([&] { return fWindow->keysToWindow.load() == 1; }));
	ASSERT_TRUE(fWindow->Drain());
	EXPECT_EQ(fWindow->pressed.load() + fWindow->other.load(), 0);

	ASSERT_TRUE(fWindow->Lock());
	fOther->MakeDefault(true);
	EXPECT_TRUE(fOther->IsDefault());
	fWindow->Unlock();
	// The default button wears a dark frame on its outer edge.
	rgb_color frame = tint_color(ui_color(B_PANEL_BACKGROUND_COLOR), B_DARKEN_4_TINT);
	EXPECT_TRUE(fClient->WaitForPixel(220, 130, Rgb(frame)));

	fClient->Tap(xkey::kReturn);
	ASSERT_TRUE(WaitUntil([&] { return fWindow->other.load() == 1; }));
	ASSERT_TRUE(fWindow->Drain());
	EXPECT_EQ(fWindow->other.load(), 1);
	EXPECT_EQ(fWindow->pressed.load(), 0);
	Close(fWindow);
}

TEST_F(ControlXTest, AlertShortcutsAnswerThroughTheInvoker)
{
	SetUpWindow();
	// Only an alert's default button wears the dark frame here: it tells when one is up.
	uint32_t frame = Rgb(tint_color(ui_color(B_PANEL_BACKGROUND_COLOR), B_DARKEN_4_TINT));
	auto alertShown = [&] { return ScreenShot(fClient->Handle()).LongestRun(frame) >= 40; };

	// Escape is button 0 of a two-button alert; Enter the last (default) one.
	BAlert* alert = new BAlert("", "Discard?", "Cancel", "Discard");
	EXPECT_EQ(alert->Shortcut(0), B_ESCAPE);
	alert->Go(new BInvoker(new BMessage('alrt'), fWindow));
	ASSERT_TRUE(WaitUntil(alertShown));
	fClient->Tap(xkey::kEscape);
	ASSERT_TRUE(WaitUntil([&] { return fWindow->alertAnswer.load() == 0; }));
	ASSERT_TRUE(WaitUntil([&] { return !alertShown(); }));

	// A blocking Go() from a thread of its own, which made the alert and so holds its lock.
	std::atomic<int32> answer{-2};
	std::thread waiter([&] { answer = (new BAlert("", "Discard?", "Cancel", "Discard"))->Go(); });
	ASSERT_TRUE(WaitUntil(alertShown));
	EXPECT_EQ(answer.load(), -2);
	fClient->Tap(xkey::kReturn);
	ASSERT_TRUE(WaitUntil([&] { return answer.load() == 1; }));
	waiter.join();
	Close(fWindow);
}
