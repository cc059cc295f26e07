// Text editing: the editing rules of BTextView checked directly (characters, limits,
// styles, the clipboard), then text controls on a private Xvfb, typed into through XTEST.
#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>

#include <AppDefs.h>
#include <Autolock.h>
#include <Button.h>
#include <Clipboard.h>
#include <Message.h>
#include <TextControl.h>
#include <TextView.h>
#include <TypeConstants.h>
#include <Window.h>

#include "GuiTestSupport.h"
#include "support/TestSupport.h"
#include "support/XKeyCodes.h"

#include "ScreenShot.h"

#include <X11/keysym.h>

using namespace kvtest;
using namespace kvtest::xkey;

namespace {

std::unique_ptr<BTextView>
MakeEditor(const char* text, float width = 1000)
{
	auto view = std::make_unique<BTextView>(BRect(0, 0, width - 1, 99), "editor",
	                                        BRect(0, 0, width - 1, 99), B_FOLLOW_NONE, B_WILL_DRAW);
	view->SetText(text);
	return view;
}

void
Press(BTextView* view, const char* bytes)
{
	view->KeyDown(bytes, (int32)strlen(bytes));
}

void
PressKey(BTextView* view, char key)
{
	const char bytes[] = {key, '\0'};
	view->KeyDown(bytes, 1);
}

int32
Caret(BTextView* view)
{
	int32 start, end;
	view->GetSelection(&start, &end);
	return start == end ? start : -1;
}

} // namespace

TEST(TextEditingTest, CaretAndDeletionMoveByWholeCharacters)
{
	// a, e-acute (2 bytes), euro (3), an emoji (4), b.
	const char* text = "a\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80"
	                   "b";
	std::unique_ptr<BTextView> view = MakeEditor(text);
	view->Select(11, 11);
	int32 stops[] = {10, 6, 3, 1, 0, 0};
	for (int32 stop : stops) {
		PressKey(view.get(), B_LEFT_ARROW);
		EXPECT_EQ(Caret(view.get()), stop);
	}
	PressKey(view.get(), B_RIGHT_ARROW);
	PressKey(view.get(), B_RIGHT_ARROW);
	EXPECT_EQ(Caret(view.get()), 3);

	PressKey(view.get(), B_BACKSPACE);
	EXPECT_STREQ(view->Text(), "a\xe2\x82\xac\xf0\x9f\x98\x80"
	                           "b");
	PressKey(view.get(), B_DELETE);
	EXPECT_STREQ(view->Text(), "a\xf0\x9f\x98\x80"
	                           "b");
	EXPECT_EQ(Caret(view.get()), 1);

	// Stray and cut-short bytes are one character each; nothing crashes or is skipped.
	view->SetText("x\xff\x80\xe2\x82");
	view->Select(5, 5);
	for (int32 stop : {4, 3, 2, 1}) {
		PressKey(view.get(), B_LEFT_ARROW);
		EXPECT_EQ(Caret(view.get()), stop);
	}
	view->Select(5, 5);
	PressKey(view.get(), B_BACKSPACE);
	EXPECT_STREQ(view->Text(), "x\xff\x80\xe2");
	view->Select(0, 4);
	PressKey(view.get(), B_BACKSPACE);
	EXPECT_STREQ(view->Text(), "");
	PressKey(view.get(), B_BACKSPACE);
	PressKey(view.get(), B_DELETE);
	EXPECT_STREQ(view->Text(), "");
}

TEST(TextEditingTest, TypingReplacesTheSelectionAndKeysMoveByLine)
{
	std::unique_ptr<BTextView> view = MakeEditor("hello world");
	view->Select(0, 5);
	Press(view.get(), "\xc3\xa9");
	EXPECT_STREQ(view->Text(), "\xc3\xa9 world");
	EXPECT_EQ(Caret(view.get()), 2);

	// Enter breaks the line of a multi-line view; Up and Down keep the column.
	PressKey(view.get(), B_END);
	EXPECT_EQ(Caret(view.get()), view->TextLength());
	PressKey(view.get(), B_ENTER);
	Press(view.get(), "ab");
	EXPECT_EQ(view->CountLines(), 2);
	PressKey(view.get(), B_UP_ARROW);
	int32 above = Caret(view.get());
	EXPECT_EQ(view->LineAt(above), 0);
	EXPECT_GT(above, 0);
	PressKey(view.get(), B_HOME);
	EXPECT_EQ(Caret(view.get()), 0);
	PressKey(view.get(), B_DOWN_ARROW);
	EXPECT_EQ(view->LineAt(Caret(view.get())), 1);
	PressKey(view.get(), B_DOWN_ARROW);
	EXPECT_EQ(Caret(view.get()), view->TextLength());

	// Control keys type nothing; a disallowed character is refused.
	std::string before = view->Text();
	PressKey(view.get(), B_ESCAPE);
	PressKey(view.get(), B_FUNCTION_KEY);
	view->DisallowChar('z');
	view->DisallowChar(0xe9);
	Press(view.get(), "z");
	Press(view.get(), "\xc3\xa9");
	EXPECT_EQ(before, view->Text());
	view->AllowChar('z');
	Press(view.get(), "z");
	EXPECT_EQ(before + "z", view->Text());

	// A read-only view moves nothing into its text.
	view->MakeEditable(false);
	Press(view.get(), "q");
	PressKey(view.get(), B_BACKSPACE);
	EXPECT_EQ(before + "z", view->Text());
}

TEST(TextEditingTest, MaxBytesCutsAtCharacterBoundaries)
{
	std::unique_ptr<BTextView> view = MakeEditor("");
	view->SetMaxBytes(5);
	Press(view.get(), "abcd");
	// The two bytes of e-acute do not fit in the one left: nothing is typed.
	Press(view.get(), "\xc3\xa9");
	EXPECT_STREQ(view->Text(), "abcd");
	Press(view.get(), "e");
	Press(view.get(), "f");
	EXPECT_STREQ(view->Text(), "abcde");

	// Insert() keeps the part that fits, never half a character.
	view->SetText("");
	view->Insert("x\xe2\x82\xac\xe2\x82\xac");
	EXPECT_STREQ(view->Text(), "x\xe2\x82\xac");
	// Replacing a selection frees its bytes first.
	view->Select(1, 4);
	Press(view.get(), "\xc3\xa9\xc3\xa9");
	EXPECT_STREQ(view->Text(), "x\xc3\xa9\xc3\xa9");

	// Lowering the limit cuts the text, again at a boundary.
	view->SetMaxBytes(4);
	EXPECT_STREQ(view->Text(), "x\xc3\xa9");
	view->SetMaxBytes(-3);
	EXPECT_EQ(view->TextLength(), 0);
}

TEST(TextEditingTest, EditsKeepStylesAndProgramCallsAreClamped)
{
	std::unique_ptr<BTextView> view = MakeEditor("plain BOLD");
	view->SetStylable(true);
	BFont big;
	view->GetFont(&big);
	float normal = big.Size();
	big.SetSize(20);
	view->SetFontAndColor(6, 10, &big);
	// Text typed before the styled run stays plain; the run moves along.
	view->Select(0, 0);
	Press(view.get(), "xy");
	BFont font;
	view->GetFontAndColor(1, &font);
	EXPECT_EQ(font.Size(), normal);
	view->GetFontAndColor(8, &font);
	EXPECT_EQ(font.Size(), 20);
	// Deleting across the boundary leaves the rest of the run styled.
	view->Delete(5, 9);
	EXPECT_STREQ(view->Text(), "xyplaOLD");
	view->GetFontAndColor(5, &font);
	EXPECT_EQ(font.Size(), 20);
	view->GetFontAndColor(4, &font);
	EXPECT_EQ(font.Size(), normal);

	view->Delete(-10, 100);
	EXPECT_STREQ(view->Text(), "");
	view->Insert(50, "ok", 2);
	view->Insert(0, nullptr, 5);
	view->Insert(0, "a\0b", 3);
	EXPECT_STREQ(view->Text(), "aok");
}

TEST(TextEditingTest, ClipboardHoldsPlainTextWithoutNul)
{
	BClipboard clipboard("kv-text-test");
	std::unique_ptr<BTextView> view = MakeEditor("copy me");
	view->Select(5, 7);
	view->Copy(&clipboard);
	ASSERT_TRUE(clipboard.Lock());
	const void* data = nullptr;
	ssize_t size = 0;
	ASSERT_EQ(clipboard.Data()->FindData("text/plain", B_MIME_TYPE, &data, &size), B_OK);
	EXPECT_EQ(std::string((const char*)data, (size_t)size), "me");
	clipboard.Unlock();

	view->Cut(&clipboard);
	EXPECT_STREQ(view->Text(), "copy ");
	view->Paste(&clipboard);
	view->Paste(&clipboard);
	EXPECT_STREQ(view->Text(), "copy meme");

	// Another program's text may end in a NUL (only that one is dropped) or hold
	// disallowed characters.
	ASSERT_TRUE(clipboard.Lock());
	clipboard.Clear();
	clipboard.Data()->AddData("text/plain", B_MIME_TYPE, "a\0b!\0", 5);
	clipboard.Commit();
	clipboard.Unlock();
	view->DisallowChar('!');
	view->SelectAll();
	view->Paste(&clipboard);
	EXPECT_STREQ(view->Text(), "ab");

	// A read-only view cuts and pastes nothing.
	view->MakeEditable(false);
	view->Cut(&clipboard);
	view->Paste(&clipboard);
	EXPECT_STREQ(view->Text(), "ab");
}

TEST(TextEditingTest, EditedLayoutMatchesAFreshLayout)
{
	// Edits lay out only what they moved; the lines must be those of laying out anew.
	std::string text;
	for (int i = 0; i < 30; i++)
		text += i % 7 == 6 ? "para\n" : "wrap these words ";
	std::unique_ptr<BTextView> view = MakeEditor(text.c_str(), 160);
	const char* pieces[] = {"x", "longerwordthanfits ", "\n", " ", "\n\nab", "\xc3\xa9"};
	uint32 seed = 7;
	auto next = [&seed](uint32 bound) {
		seed = seed * 1103515245 + 12345;
		return (seed >> 8) % bound;
	};
	for (int round = 0; round < 60; round++) {
		int32 start = (int32)next((uint32)view->TextLength() + 1);
		int32 end = std::min(view->TextLength(), start + (int32)next(12));
		view->Select(start, end);
		if (round % 3 == 0)
			PressKey(view.get(), B_BACKSPACE);
		else
			Press(view.get(), pieces[next(6)]);
		std::unique_ptr<BTextView> fresh = MakeEditor(view->Text(), 160);
		ASSERT_EQ(view->CountLines(), fresh->CountLines()) << "round " << round;
		for (int32 offset = 0; offset <= view->TextLength(); offset++) {
			ASSERT_EQ(view->LineAt(offset), fresh->LineAt(offset)) << "round " << round;
			ASSERT_EQ(view->PointAt(offset), fresh->PointAt(offset)) << "round " << round;
		}
	}
}

TEST(TextEditingTest, OneLineControlScrollsToKeepTheCaretInSight)
{
	BTextControl control(BRect(0, 0, 149, 20), "name", "Name", "", nullptr);
	control.SetDivider(55);
	BTextView* view = control.TextView();
	EXPECT_FALSE(view->DoesWordWrap());
	std::string text;
	for (int i = 0; i < 40; i++)
		text += "word ";
	view->SetText(text.c_str());
	auto caretSeen = [view] {
		int32 start, end;
		view->GetSelection(&start, &end);
		float x = view->PointAt(end).x;
		return x >= view->Bounds().left && x <= view->Bounds().right;
	};
	PressKey(view, B_END);
	EXPECT_GT(view->Bounds().left, 0);
	EXPECT_TRUE(caretSeen());
	PressKey(view, B_HOME);
	EXPECT_EQ(view->Bounds().left, 0);
	PressKey(view, B_END);
	// Deleting from the end brings the text back into view; it never scrolls past it.
	for (int i = 0; i < 150; i++)
		PressKey(view, B_BACKSPACE);
	EXPECT_TRUE(caretSeen());
	EXPECT_LE(view->PointAt(0).x - view->Bounds().left, view->TextRect().left);
	EXPECT_GE(view->PointAt(view->TextLength()).x, view->Bounds().right - 4);
	// Resized by its parent, without frame events of its own, the control's text follows.
	float right = view->Frame().right;
	control.ResizeBy(40, 0);
	EXPECT_EQ(view->Frame().right, right + 40);
	// Enter does not break the line of a text control; line breaks pasted in are spaces.
	PressKey(view, B_ENTER);
	view->Insert("a\nb");
	EXPECT_EQ(view->CountLines(), 1);
	EXPECT_EQ(std::string(control.Text()).find('\n'), std::string::npos);
}

// #pragma mark - on a display

namespace {

const uint32 kNameEntered = 'name';
const uint32 kUrlEntered = 'url ';
const uint32 kModified = 'modf';
const uint32 kSentinel = 'sntl';
const uint32 kDefault = 'dflt';

// Counts the controls' messages and keeps the text each invocation carried.
class FormWindow : public RecordingWindow
{
public:
	explicit FormWindow(BRect frame) : RecordingWindow(frame) {}

	void MessageReceived(BMessage* message) override
	{
		BTextControl* source = nullptr;
		message->FindPointer("source", (void**)&source);
		switch (message->what) {
		case kNameEntered:
		case kUrlEntered: {
			std::lock_guard<std::mutex> guard(lock);
			invoked.push_back(std::string(message->what == kNameEntered ? "name:" : "url:") +
			                  (source != nullptr ? source->Text() : "?"));
			break;
		}
		case kModified:
			modified++;
			break;
		case kDefault:
			defaults++;
			break;
		case kSentinel:
			sentinels++;
			break;
		default:
			RecordingWindow::MessageReceived(message);
			break;
		}
	}

	bool Drain()
	{
		int32 wanted = sentinels.load() + 1;
		PostMessage(kSentinel);
		return WaitUntil([&] { return sentinels.load() >= wanted; });
	}

	std::vector<std::string> Invoked()
	{
		std::lock_guard<std::mutex> guard(lock);
		return invoked;
	}

	std::mutex lock;
	std::vector<std::string> invoked;
	std::atomic<int32> modified{0};
	std::atomic<int32> defaults{0};
	std::atomic<int32> sentinels{0};
};

class TextControlXTest : public GuiTest
{
protected:
	// A window at (100, 100) with "Name" at (10, 10)-(295, 30) and "URL" 30 below, both
	// with the divider at 55.
	void SetUpWindow()
	{
		fWindow = new FormWindow(BRect(100, 100, 409, 179));
		BView* top = new BView(fWindow->Bounds(), "top", B_FOLLOW_ALL, B_WILL_DRAW);
		top->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
		fName = new BTextControl(BRect(10, 10, 295, 30), "name", "Name", "",
		                         new BMessage(kNameEntered));
		fName->SetDivider(55);
		fName->SetModificationMessage(new BMessage(kModified));
		fUrl = new BTextControl(BRect(10, 40, 295, 60), "url", "URL", "",
		                        new BMessage(kUrlEntered));
		fUrl->SetDivider(55);
		top->AddChild(fName);
		top->AddChild(fUrl);
		fWindow->AddChild(top);
		fWindow->Show();
		// The first window of the process also loads the fonts: slow under the sanitizers.
		const std::chrono::seconds startup(20);
		ASSERT_TRUE(WaitUntil([&] { return fWindow->activeNow.load(); }, startup));
		ASSERT_TRUE(
		        fClient->WaitForPixel(102, 102, Rgb(ui_color(B_PANEL_BACKGROUND_COLOR)), 20000));
	}

	std::string Text(BTextControl* control)
	{
		if (!fWindow->Lock())
			return "?";
		std::string text = control->Text();
		fWindow->Unlock();
		return text;
	}

	bool WaitForText(BTextControl* control, const std::string& text)
	{
		return WaitUntil([&] { return Text(control) == text; });
	}

	void Type(const char* letters)
	{
		for (const char* c = letters; *c != '\0'; c++)
			fClient->Tap(kLetters[*c - 'a']);
	}

	void Chord(unsigned int modifier, unsigned int key)
	{
		fClient->Key(modifier, true);
		fClient->Tap(key);
		fClient->Key(modifier, false);
	}

	// Pixels of a rectangle of the screen: those not of the background colour, or when
	// background is 0, the dark ones (text).
	int Drawn(int left, int top, int right, int bottom, uint32_t background = 0)
	{
		ScreenShot shot(fClient->Handle());
		int count = 0;
		for (int y = top; y <= bottom; y++) {
			for (int x = left; x <= right; x++) {
				uint32_t pixel = shot.At(x, y);
				bool dark = (pixel >> 16 & 0xff) < 110 && (pixel >> 8 & 0xff) < 110 &&
				            (pixel & 0xff) < 110;
				count += (background == 0 ? dark : pixel != background) ? 1 : 0;
			}
		}
		return count;
	}

	// Screen points inside the text of a control (window at 100, 100).
	static int TextX(int offsetFromDivider) { return 100 + 10 + 55 + offsetFromDivider; }
	static int NameY() { return 100 + 20; }
	static int UrlY() { return 100 + 50; }

	FormWindow* fWindow = nullptr;
	BTextControl* fName = nullptr;
	BTextControl* fUrl = nullptr;
};

} // namespace

TEST_F(TextControlXTest, TypingMovingAndDeletingShowTheLabelAndTheText)
{
	// A key of the keyboard made to type e-acute, before the kit first reads the keymap.
	KeySym eacute[2] = {XK_eacute, XK_Eacute};
	XChangeKeyboardMapping(fClient->Handle(), kGrave, 2, eacute, 1);
	fClient->Sync();
	SetUpWindow();
	// The label is drawn left of the divider; the empty field shows no text.
	EXPECT_GT(Drawn(110, 110, 164, 130), 15);
	EXPECT_EQ(Drawn(TextX(4), 112, TextX(200), 128), 0);

	// Focused in the active window: an empty field shows just the caret, a thin line.
	fClient->Click(TextX(40), NameY());
	ASSERT_TRUE(WaitUntil([&] { return Drawn(TextX(0), 112, TextX(200), 128) >= 10; }));
	EXPECT_LE(Drawn(TextX(0), 112, TextX(200), 128), 20);
	Type("hello");
	fClient->Tap(kGrave);
	ASSERT_TRUE(WaitForText(fName, "hello\xc3\xa9"));
	EXPECT_GT(Drawn(TextX(4), 112, TextX(200), 128), 30);

	// Left passes over the whole e-acute; BackSpace takes the o, Delete the e-acute.
	fClient->Tap(kLeft);
	fClient->Tap(kBackSpace);
	ASSERT_TRUE(WaitForText(fName, "hell\xc3\xa9"));
	fClient->Tap(kDelete);
	ASSERT_TRUE(WaitForText(fName, "hell"));
	ASSERT_TRUE(fWindow->Drain());
	// One modification message per change: 6 keys typed, 2 deleted.
	EXPECT_EQ(fWindow->modified.load(), 8);
	EXPECT_TRUE(fWindow->Invoked().empty());
	Close(fWindow);
}

TEST_F(TextControlXTest, SelectionsByShiftArrowsMouseAndDoubleClickAreReplaced)
{
	SetUpWindow();
	fClient->Click(TextX(40), NameY());
	Type("abcdef");
	ASSERT_TRUE(WaitForText(fName, "abcdef"));
	fClient->Key(kShift, true);
	fClient->Tap(kLeft);
	fClient->Tap(kLeft);
	fClient->Key(kShift, false);
	Type("x");
	ASSERT_TRUE(WaitForText(fName, "abcdx"));

	// Dragging from before the first character to past the last selects everything.
	fClient->MoveMouse(TextX(3), NameY());
	fClient->Button(1, true);
	fClient->MoveMouse(TextX(100), NameY());
	fClient->MoveMouse(TextX(200), NameY());
	fClient->Button(1, false);
	ASSERT_TRUE(fWindow->Drain());
	Type("z");
	ASSERT_TRUE(WaitForText(fName, "z"));

	// A double click selects the word under the pointer.
	fClient->Tap(kSpace);
	Type("word");
	ASSERT_TRUE(WaitForText(fName, "z word"));
	ASSERT_TRUE(fWindow->Drain());
	fClient->Click(TextX(20), NameY());
	fClient->Click(TextX(20), NameY());
	ASSERT_TRUE(fWindow->Drain());
	Type("q");
	EXPECT_TRUE(WaitForText(fName, "z q"));
	Close(fWindow);
}

TEST_F(TextControlXTest, CopyPasteAndTabMoveTextBetweenControls)
{
	SetUpWindow();
	fClient->Click(TextX(40), NameY());
	Type("copied");
	ASSERT_TRUE(WaitForText(fName, "copied"));
	Chord(kAlt, kLetters['a' - 'a']);
	Chord(kAlt, kLetters['c' - 'a']);
	ASSERT_TRUE(fWindow->Drain());

	// Tab goes to the next control (leaving a changed control invokes it once), and
	// arriving selects that control's text.
	fClient->Tap(kTab);
	ASSERT_TRUE(WaitUntil([&] {
		BAutolock lock(fWindow);
		return fUrl->TextView()->IsFocus();
	}));
	Chord(kAlt, kLetters['v' - 'a']);
	Chord(kAlt, kLetters['v' - 'a']);
	ASSERT_TRUE(WaitForText(fUrl, "copiedcopied"));
	// Cut leaves the text on the clipboard.
	Chord(kAlt, kLetters['a' - 'a']);
	Chord(kAlt, kLetters['x' - 'a']);
	ASSERT_TRUE(WaitForText(fUrl, ""));

	fClient->Key(kShift, true);
	fClient->Tap(kTab);
	fClient->Key(kShift, false);
	ASSERT_TRUE(WaitUntil([&] {
		BAutolock lock(fWindow);
		return fName->TextView()->IsFocus();
	}));
	fClient->Tap(kEnd);
	Chord(kAlt, kLetters['v' - 'a']);
	ASSERT_TRUE(WaitForText(fName, "copiedcopiedcopied"));
	ASSERT_TRUE(fWindow->Drain());
	std::vector<std::string> invoked = fWindow->Invoked();
	ASSERT_EQ(invoked.size(), 2u);
	EXPECT_EQ(invoked[0], "name:copied");
	EXPECT_EQ(invoked[1], "url:");
	Close(fWindow);
}

TEST_F(TextControlXTest, EnterInvokesOnceWithTheNewTextThenTheDefaultButton)
{
	SetUpWindow();
	ASSERT_TRUE(fWindow->Lock());
	BButton* button = new BButton(BRect(300, 10, 305, 15), "ok", "", new BMessage(kDefault));
	fWindow->ChildAt(0)->AddChild(button);
	button->MakeDefault(true);
	fWindow->Unlock();

	fClient->Click(TextX(40), UrlY());
	Type("kestrel");
	fClient->Tap(kReturn);
	ASSERT_TRUE(WaitUntil([&] { return fWindow->defaults.load() == 1; }));
	ASSERT_TRUE(fWindow->Drain());
	std::vector<std::string> invoked = fWindow->Invoked();
	ASSERT_EQ(invoked.size(), 1u);
	EXPECT_EQ(invoked[0], "url:kestrel");
	// Enter selected the text: leaving now is no change and sends nothing more.
	fClient->Tap(kTab);
	ASSERT_TRUE(fWindow->Drain());
	EXPECT_EQ(fWindow->Invoked().size(), 1u);
	EXPECT_EQ(fWindow->defaults.load(), 1);
	Close(fWindow);
}

TEST_F(TextControlXTest, DisabledControlRefusesInputAndTab)
{
	SetUpWindow();
	ASSERT_TRUE(fWindow->Lock());
	fUrl->SetText("fixed");
	fUrl->SetEnabled(false);
	fWindow->Unlock();
	fClient->Click(TextX(40), UrlY());
	Type("abc");
	fClient->Tap(kBackSpace);
	ASSERT_TRUE(fWindow->Drain());
	EXPECT_EQ(Text(fUrl), "fixed");
	{
		BAutolock lock(fWindow);
		EXPECT_FALSE(fUrl->TextView()->IsFocus());
	}
	// Tab from the name field finds no other stop but itself.
	fClient->Click(TextX(40), NameY());
	fClient->Tap(kTab);
	Type("ok");
	ASSERT_TRUE(WaitForText(fName, "ok"));
	EXPECT_EQ(Text(fUrl), "fixed");
	// The greyed text is still drawn, on a greyed background.
	uint32_t greyed = Rgb(tint_color(ui_color(B_PANEL_BACKGROUND_COLOR), B_LIGHTEN_1_TINT));
	EXPECT_TRUE(fClient->WaitForPixel(TextX(150), UrlY(), greyed));
	EXPECT_GT(Drawn(TextX(4), 142, TextX(60), 158, greyed), 20);
	Close(fWindow);
}
