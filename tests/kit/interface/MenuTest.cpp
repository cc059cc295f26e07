// Menus on a private Xvfb, driven through XTEST: a pop-up menu opened synchronously from a
// window's thread returns what the user clicked, or nothing after Escape or a click
// outside; asynchronous menus send the chosen item's message; keys move the highlight.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <vector>

#include <InterfaceDefs.h>
#include <Menu.h>
#include <MenuBar.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <Message.h>
#include <PopUpMenu.h>
#include <SeparatorItem.h>

#include "GuiTestSupport.h"
#include "support/TestSupport.h"
#include "support/XKeyCodes.h"

using namespace kvtest;

namespace {

const uint32 kMsgOpen = 'open';
const uint32 kMsgOpenAsync = 'opnA';
const uint32 kMsgOpenDelivering = 'opnD';
const uint32 kMsgChosen = 'chsn';
const BPoint kMenuWhere(300, 200);

// Opens its menu from its own thread and records what Go() returned and which item
// messages arrived.
class OpenerWindow : public RecordingWindow
{
public:
	OpenerWindow(BPopUpMenu* menu) : RecordingWindow(BRect(50, 50, 149, 99)), fMenu(menu) {}

	void MessageReceived(BMessage* message) override
	{
		switch (message->what) {
		case kMsgOpen:
			chosen = fMenu->Go(kMenuWhere);
			returned = true;
			break;
		case kMsgOpenAsync:
			chosen = fMenu->Go(kMenuWhere, true, false, true);
			returned = true;
			break;
		case kMsgOpenDelivering:
			chosen = fMenu->Go(kMenuWhere, true);
			returned = true;
			break;
		case kMsgChosen: {
			int32 index = -1;
			message->FindInt32("index", &index);
			delivered = index;
			break;
		}
		default:
			RecordingWindow::MessageReceived(message);
		}
	}

	BPopUpMenu* fMenu;
	std::atomic<BMenuItem*> chosen{nullptr};
	std::atomic<bool> returned{false};
	std::atomic<int32> delivered{-1};
};

class MenuTest : public MenuInWindowTest<OpenerWindow, BPopUpMenu>
{
protected:
	void SetUp() override
	{
		GuiTest::SetUp();
		if (IsSkipped())
			return;
		BPopUpMenu* menu = new BPopUpMenu("test", false, false);
		menu->AddItem(new BMenuItem("Open", new BMessage(kMsgChosen), 'O'));
		menu->AddItem(new BMenuItem("Save", new BMessage(kMsgChosen)));
		menu->AddSeparatorItem();
		BMenuItem* disabled = new BMenuItem("Disabled", new BMessage(kMsgChosen));
		disabled->SetEnabled(false);
		menu->AddItem(disabled);
		menu->AddItem(new BMenuItem("Close", new BMessage(kMsgChosen)));
		ShowWith(menu, kMenuWhere);
	}

	// Opens the menu, waits until it shows and holds the grab (it has highlighted the
	// item under the pointer), and returns the item's centre on screen.
	BPoint Open(uint32 what, int32 hover)
	{
		fWindow->PostMessage(what);
		BRect frame = fFrames[hover];
		// Shown: plain, or highlighted already when it opened under the pointer.
		EXPECT_TRUE(WaitUntil([&] {
			uint32_t pixel = fClient->Pixel(frame.left + 4, frame.top + 4);
			return pixel == Rgb(ui_color(B_MENU_BACKGROUND_COLOR)) ||
			       pixel == Rgb(ui_color(B_MENU_SELECTION_BACKGROUND_COLOR));
		}));
		BPoint centre((frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2);
		fClient->MoveMouse(centre.x, centre.y);
		EXPECT_TRUE(fClient->WaitForPixel(frame.left + 4, frame.top + 4,
		                                  Rgb(ui_color(B_MENU_SELECTION_BACKGROUND_COLOR))));
		return centre;
	}

	bool Returned()
	{
		return WaitUntil([&] { return fWindow->returned.load(); });
	}
};

} // namespace

TEST_F(MenuTest, SynchronousGoReturnsTheClickedItem)
{
	BPoint centre = Open(kMsgOpen, 1);
	fClient->Click(centre.x, centre.y);
	ASSERT_TRUE(Returned());
	EXPECT_EQ(fWindow->chosen.load(), fMenu->ItemAt(1));
	// Go() without deliversMessage sends nothing, and the menu window is gone.
	EXPECT_TRUE(WaitUntil([&] { return fMenu->Window() == nullptr; }));
	EXPECT_EQ(fWindow->delivered.load(), -1);
}

TEST_F(MenuTest, EscapeOrAClickOutsideReturnsNothing)
{
	Open(kMsgOpen, 0);
	fClient->Tap(xkey::kEscape);
	ASSERT_TRUE(Returned());
	EXPECT_EQ(fWindow->chosen.load(), nullptr);

	fWindow->returned = false;
	Open(kMsgOpen, 0);
	fClient->Click(10, 700);
	ASSERT_TRUE(Returned());
	EXPECT_EQ(fWindow->chosen.load(), nullptr);
	EXPECT_EQ(fWindow->delivered.load(), -1);
}

TEST_F(MenuTest, DisabledItemsAndSeparatorsAreNeitherHighlightedNorChosen)
{
	BPoint centre = Open(kMsgOpen, 1);
	BRect disabled = fFrames[3];
	fClient->Click((disabled.left + disabled.right) / 2, (disabled.top + disabled.bottom) / 2);
	// Still open: the highlight left, and a later click on an enabled item counts.
	EXPECT_TRUE(fClient->WaitForPixel(disabled.left + 4, disabled.top + 4,
	                                  Rgb(ui_color(B_MENU_BACKGROUND_COLOR))));
	EXPECT_FALSE(fWindow->returned.load());
	fClient->Click(centre.x, centre.y);
	ASSERT_TRUE(Returned());
	EXPECT_EQ(fWindow->chosen.load(), fMenu->ItemAt(1));
}

TEST_F(MenuTest, ArrowsSkipDisabledItemsAndReturnChooses)
{
	Open(kMsgOpen, 1);
	// From "Save": down skips the separator and "Disabled" to "Close".
	fClient->Tap(xkey::kDown);
	BRect close = fFrames[4];
	EXPECT_TRUE(fClient->WaitForPixel(close.left + 4, close.top + 4,
	                                  Rgb(ui_color(B_MENU_SELECTION_BACKGROUND_COLOR))));
	fClient->Tap(xkey::kReturn);
	ASSERT_TRUE(Returned());
	EXPECT_EQ(fWindow->chosen.load(), fMenu->ItemAt(4));
}

TEST_F(MenuTest, AsynchronousGoReturnsAtOnceAndDeliversTheChoice)
{
	BPoint centre = Open(kMsgOpenAsync, 4);
	EXPECT_TRUE(fWindow->returned.load());
	EXPECT_EQ(fWindow->chosen.load(), nullptr);
	fClient->Click(centre.x, centre.y);
	EXPECT_TRUE(WaitUntil([&] { return fWindow->delivered.load() == 4; }));
	EXPECT_TRUE(WaitUntil([&] { return fMenu->Window() == nullptr; }));
}

TEST_F(MenuTest, ItemsWithoutATargetSpeakToTheWindowThatOpenedTheMenu)
{
	for (int32 i = 0; i < fMenu->CountItems(); i++)
		fMenu->ItemAt(i)->SetTarget(BMessenger());
	BPoint centre = Open(kMsgOpenAsync, 4);
	fClient->Click(centre.x, centre.y);
	EXPECT_TRUE(WaitUntil([&] { return fWindow->delivered.load() == 4; }));
	EXPECT_TRUE(WaitUntil([&] { return fMenu->Window() == nullptr; }));

	fWindow->returned = false;
	centre = Open(kMsgOpenDelivering, 1);
	fClient->Click(centre.x, centre.y);
	ASSERT_TRUE(Returned());
	EXPECT_TRUE(WaitUntil([&] { return fWindow->delivered.load() == 1; }));
}

TEST(MenuLayoutTest, ItemsShareTheWidestWidthAndShowShortcutRoom)
{
	BPopUpMenu menu("layout");
	menu.AddItem(new BMenuItem("A", nullptr));
	menu.AddItem(new BMenuItem("A", nullptr, 'Q'));
	menu.AddItem(new BMenuItem(new BMenu("Sub")));
	float width = 0;
	float height = 0;
	menu.GetPreferredSize(&width, &height);
	for (int32 i = 0; i < menu.CountItems(); i++)
		EXPECT_EQ(menu.ItemAt(i)->Frame().Width(), width);
	EXPECT_EQ(height, menu.ItemAt(2)->Frame().bottom);
	// The shortcut "Alt+Q" makes the menu wider than a plain "A" needs.
	BPopUpMenu plain("plain");
	plain.AddItem(new BMenuItem("A", nullptr));
	float plainWidth = 0;
	plain.GetPreferredSize(&plainWidth, nullptr);
	EXPECT_GT(width, plainWidth + 20);
}

namespace {

class MenuFieldTest : public GuiTest
{
protected:
	// The left and right ends of the dark pixels in a screen rectangle.
	std::pair<int, int> InkSpan(BRect rect)
	{
		int left = 100000;
		int right = -1;
		for (int y = (int)rect.top; y <= (int)rect.bottom; y++) {
			for (int x = (int)rect.left; x <= (int)rect.right; x++) {
				if ((fClient->Pixel(x, y) & 0xff) < 0x60) {
					left = std::min(left, x);
					right = std::max(right, x);
				}
			}
		}
		return {left, right};
	}

	// Whether the title's ink is as wide as label, give or take a pixel or two.
	bool ShowsLabel(BRect titleOnScreen, const char* label)
	{
		float width = be_plain_font->StringWidth(label);
		return WaitUntil([&] {
			std::pair<int, int> span = InkSpan(titleOnScreen);
			return span.second > span.first && fabsf(span.second - span.first - width) < 4.0f;
		});
	}
};

} // namespace

TEST_F(MenuFieldTest, ShowsTheMarkedItemAndFollowsANewChoice)
{
	BPopUpMenu* menu = new BPopUpMenu("browser");
	menu->AddItem(new BMenuItem("Opera", nullptr));
	menu->AddItem(new BMenuItem("NetPositive", nullptr));
	menu->ItemAt(1)->SetMarked(true);
	BMenuField* field = new BMenuField(BRect(10, 10, 289, 29), "field", "Browser:", menu);
	RecordingWindow* window = new RecordingWindow(BRect(100, 300, 399, 339));
	window->AddChild(field);
	window->Show();
	ASSERT_TRUE(WaitUntil([&] { return window->activeNow.load(); }));

	ASSERT_TRUE(window->Lock());
	BRect title = field->MenuBar()->ConvertToScreen(menu->Superitem()->Frame());
	EXPECT_STREQ(menu->Superitem()->Label(), "NetPositive");
	// The menu opens right under its title.
	BRect opera = MenuScreenFrames(menu, BPoint(title.left, title.bottom + 1))[0];
	window->Unlock();
	EXPECT_TRUE(ShowsLabel(title, "NetPositive"));

	fClient->Click(title.left + 10, (title.top + title.bottom) / 2);
	ASSERT_TRUE(WaitUntil([&] {
		uint32_t pixel = fClient->Pixel(opera.left + 4, opera.top + 4);
		return pixel == Rgb(ui_color(B_MENU_BACKGROUND_COLOR));
	}));
	fClient->Click(opera.left + 20, (opera.top + opera.bottom) / 2);
	EXPECT_TRUE(ShowsLabel(title, "Opera"));
	// The choice was made in the window's thread, which waited for the menu.
	ASSERT_TRUE(window->Lock());
	EXPECT_EQ(menu->Window(), nullptr);
	EXPECT_TRUE(menu->ItemAt(0)->IsMarked());
	EXPECT_FALSE(menu->ItemAt(1)->IsMarked());
	window->Unlock();

	// Renaming the marked item renames the title; renaming another item does not.
	ASSERT_TRUE(window->Lock());
	menu->ItemAt(1)->SetLabel("Navigator");
	menu->ItemAt(0)->SetLabel("Opera 12");
	EXPECT_STREQ(menu->Superitem()->Label(), "Opera 12");
	window->Unlock();
	EXPECT_TRUE(ShowsLabel(title, "Opera 12"));
	Close(window);
}

namespace {

const uint32 kMsgShortcut = 'shct';

class ShortcutWindow : public RecordingWindow
{
public:
	ShortcutWindow() : RecordingWindow(BRect(100, 300, 299, 399)) {}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == kMsgShortcut)
			received++;
		else
			RecordingWindow::MessageReceived(message);
	}

	std::atomic<int32> received{0};
};

} // namespace

TEST_F(MenuFieldTest, CommandShortcutsInvokeMenuBarItemsOfTheFocusedWindow)
{
	BMenuBar* bar = new BMenuBar(BRect(0, 0, 199, 19), "bar");
	BMenu* file = new BMenu("File");
	BMenuItem* open = new BMenuItem("Open", new BMessage(kMsgShortcut), 'O');
	BMenuItem* disabled = new BMenuItem("Print", new BMessage(kMsgShortcut), 'P');
	disabled->SetEnabled(false);
	file->AddItem(open);
	file->AddItem(disabled);
	bar->AddItem(file);
	ShortcutWindow* window = new ShortcutWindow;
	window->AddChild(bar);
	file->SetTargetForItems(window);
	window->Show();
	ASSERT_TRUE(WaitUntil([&] { return window->activeNow.load(); }));

	// Alt (X key code 64) with P (33), then with O (32).
	for (unsigned int letter : {33u, 32u}) {
		fClient->Key(64, true);
		fClient->Tap(letter);
		fClient->Key(64, false);
	}
	EXPECT_TRUE(WaitUntil([&] { return window->received.load() == 1; }));
	// The disabled item's shortcut sent nothing.
	ASSERT_TRUE(window->Lock());
	EXPECT_EQ(window->received.load(), 1);
	window->Unlock();
	Close(window);
}

// A window often adds its menus to a bar it has already attached: the bar keeps its row
// across the window and its height, and the titles added later show there.
TEST_F(MenuFieldTest, ABarAttachedEmptyKeepsItsRowForTheMenusAddedLater)
{
	ShortcutWindow* window = new ShortcutWindow;
	BMenuBar* bar = new BMenuBar(BRect(0, 0, 199, 19), "bar");
	window->AddChild(bar);
	ASSERT_TRUE(window->Lock());
	EXPECT_EQ(bar->Frame(), BRect(0, 0, 199, 19));
	bar->AddItem(new BMenu("File"));
	float width = 0;
	float height = 0;
	bar->GetPreferredSize(&width, &height);
	EXPECT_GT(width, 0);
	EXPECT_LE(bar->ItemAt(0)->Frame().bottom, bar->Bounds().bottom);
	window->Unlock();
	Close(window);
}

TEST_F(MenuFieldTest, MenuBarItemsWithoutATargetSpeakToTheirWindow)
{
	BMenuBar* bar = new BMenuBar(BRect(0, 0, 199, 19), "bar");
	BMenu* file = new BMenu("File");
	file->AddItem(new BMenuItem("Open", new BMessage(kMsgShortcut), 'O'));
	BMenu* recent = new BMenu("Recent");
	recent->AddItem(new BMenuItem("Again", new BMessage(kMsgShortcut), 'G'));
	file->AddItem(recent);
	bar->AddItem(file);
	ShortcutWindow* window = new ShortcutWindow;
	window->AddChild(bar);
	window->Show();
	ASSERT_TRUE(WaitUntil([&] { return window->activeNow.load(); }));

	// Alt with O (X key code 32), then with G (42) from the submenu.
	for (unsigned int letter : {32u, 42u}) {
		fClient->Key(64, true);
		fClient->Tap(letter);
		fClient->Key(64, false);
	}
	EXPECT_TRUE(WaitUntil([&] { return window->received.load() == 2; }));
	Close(window);
}
