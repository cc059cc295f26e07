// How open menus follow the user across a chain of menus, on a private Xvfb driven through
// XTEST: resting on an item opens its submenu, the pointer going back closes it again, a
// press outside every menu closes them all, typed triggers choose, and a menu bar moves
// from one open menu to the next title the pointer reaches.
#include <atomic>
#include <vector>

#include <InterfaceDefs.h>
#include <Menu.h>
#include <MenuBar.h>
#include <MenuItem.h>
#include <Message.h>
#include <PopUpMenu.h>

#include "GuiTestSupport.h"
#include "support/TestSupport.h"
#include "support/XKeyCodes.h"

using namespace kvtest;

namespace {

const uint32 kMsgOpen = 'open';
const uint32 kMsgItem = 'item';
const BPoint kMenuWhere(300, 200);

BPoint
Centre(BRect frame)
{
	return BPoint((frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2);
}

class OpenerWindow : public RecordingWindow
{
public:
	explicit OpenerWindow(BPopUpMenu* menu) : RecordingWindow(BRect(50, 50, 149, 99)), fMenu(menu)
	{}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == kMsgOpen) {
			chosen = fMenu->Go(kMenuWhere);
			returned = true;
			return;
		}
		if (message->what == kMsgItem) {
			received++;
			return;
		}
		RecordingWindow::MessageReceived(message);
	}

	BPopUpMenu* fMenu;
	std::atomic<BMenuItem*> chosen{nullptr};
	std::atomic<bool> returned{false};
	std::atomic<int32> received{0};
};

// "Alpha", "More" (a submenu of "Inner one" and "Next"), "Omega".
class SubmenuTest : public GuiTest
{
protected:
	void SetUp() override
	{
		GuiTest::SetUp();
		if (IsSkipped())
			return;
		fMenu = new BPopUpMenu("main", false, false);
		fSubmenu = new BMenu("More");
		fSubmenu->AddItem(new BMenuItem("Inner one", nullptr));
		fSubmenu->AddItem(new BMenuItem("Next", nullptr));
		fMenu->AddItem(new BMenuItem("Alpha", nullptr));
		fMenu->AddItem(fSubmenu);
		fMenu->AddItem(new BMenuItem("Omega", nullptr));
		fFrames = MenuScreenFrames(fMenu, kMenuWhere);
		fSubFrames = MenuScreenFrames(fSubmenu, fFrames[1].RightTop());
		fWindow = new OpenerWindow(fMenu);
		fWindow->Show();
		ASSERT_TRUE(WaitUntil([&] { return fWindow->activeNow.load(); }));
	}

	void TearDown() override
	{
		// A failed test may leave menus open, and the opener waits for them.
		if (fWindow != nullptr && !fWindow->returned.load()) {
			fClient->Click(10, 700);
			WaitUntil([&] { return fWindow->returned.load(); });
		}
		if (fWindow != nullptr)
			Close(fWindow);
		delete fMenu;
		GuiTest::TearDown();
	}

	bool Shows(BRect frame, bool selected = false)
	{
		rgb_color color =
		        ui_color(selected ? B_MENU_SELECTION_BACKGROUND_COLOR : B_MENU_BACKGROUND_COLOR);
		return fClient->WaitForPixel(frame.left + 4, frame.top + 4, Rgb(color));
	}

	// Opens the menu and waits until it follows the pointer (highlights "Alpha").
	void Open()
	{
		fWindow->PostMessage(kMsgOpen);
		ASSERT_TRUE(WaitUntil([&] {
			uint32_t pixel = fClient->Pixel(fFrames[0].left + 4, fFrames[0].top + 4);
			return pixel == Rgb(ui_color(B_MENU_BACKGROUND_COLOR)) ||
			       pixel == Rgb(ui_color(B_MENU_SELECTION_BACKGROUND_COLOR));
		}));
		fClient->MoveMouse(Centre(fFrames[0]).x, Centre(fFrames[0]).y);
		ASSERT_TRUE(Shows(fFrames[0], true));
	}

	// Rests on "More" until its submenu follows the pointer.
	void OpenSubmenu()
	{
		fClient->MoveMouse(Centre(fFrames[1]).x, Centre(fFrames[1]).y);
		ASSERT_TRUE(Shows(fSubFrames[0]));
		fClient->MoveMouse(Centre(fSubFrames[0]).x, Centre(fSubFrames[0]).y);
		ASSERT_TRUE(Shows(fSubFrames[0], true));
	}

	bool Returned()
	{
		return WaitUntil([&] { return fWindow->returned.load(); });
	}

	BPopUpMenu* fMenu = nullptr;
	BMenu* fSubmenu = nullptr;
	std::vector<BRect> fFrames;
	std::vector<BRect> fSubFrames;
	OpenerWindow* fWindow = nullptr;
};

} // namespace

TEST_F(SubmenuTest, RestingOnAnItemOpensItsSubmenuWhoseChoiceEndsTheWholeMenu)
{
	Open();
	OpenSubmenu();
	fClient->Click(Centre(fSubFrames[1]).x, Centre(fSubFrames[1]).y);
	ASSERT_TRUE(Returned());
	EXPECT_EQ(fWindow->chosen.load(), fSubmenu->ItemAt(1));
}

TEST_F(SubmenuTest, ThePointerGoingBackClosesTheSubmenuAndTheParentTakesOver)
{
	Open();
	OpenSubmenu();
	// Back over "Omega": the submenu goes, "Omega" lights up and a click chooses it.
	fClient->MoveMouse(Centre(fFrames[2]).x, Centre(fFrames[2]).y);
	ASSERT_TRUE(Shows(fFrames[2], true));
	EXPECT_TRUE(WaitUntil([&] {
		uint32_t pixel = fClient->Pixel(fSubFrames[0].left + 4, fSubFrames[0].top + 4);
		return pixel != Rgb(ui_color(B_MENU_BACKGROUND_COLOR)) &&
		       pixel != Rgb(ui_color(B_MENU_SELECTION_BACKGROUND_COLOR));
	}));
	EXPECT_FALSE(fWindow->returned.load());
	// Resting on "More" again opens the submenu again.
	OpenSubmenu();
	fClient->MoveMouse(Centre(fFrames[2]).x, Centre(fFrames[2]).y);
	ASSERT_TRUE(Shows(fFrames[2], true));
	fClient->Click(Centre(fFrames[2]).x, Centre(fFrames[2]).y);
	ASSERT_TRUE(Returned());
	EXPECT_EQ(fWindow->chosen.load(), fMenu->ItemAt(2));
}

TEST_F(SubmenuTest, APressOutsideEveryMenuClosesTheWholeChain)
{
	Open();
	OpenSubmenu();
	fClient->Click(10, 700);
	ASSERT_TRUE(Returned());
	EXPECT_EQ(fWindow->chosen.load(), nullptr);
}

TEST_F(SubmenuTest, TypedTriggersChooseItemsAndOpenSubmenus)
{
	// "Alpha" asks for "l", so "a" belongs to nobody; "More" takes "m", "Next" takes "n".
	fMenu->ItemAt(0)->SetTrigger('l');
	Open();
	fClient->Tap(xkey::Letter('a'));
	fClient->Tap(xkey::Letter('m'));
	ASSERT_TRUE(Shows(fSubFrames[0]));
	EXPECT_FALSE(fWindow->returned.load());
	fClient->Tap(xkey::Letter('n'));
	ASSERT_TRUE(Returned());
	EXPECT_EQ(fWindow->chosen.load(), fSubmenu->ItemAt(1));

	fWindow->returned = false;
	Open();
	fClient->Tap(xkey::Letter('l'));
	ASSERT_TRUE(Returned());
	EXPECT_EQ(fWindow->chosen.load(), fMenu->ItemAt(0));
}

class MenuBarTest : public GuiTest
{};

TEST_F(MenuBarTest, AMenuBarOpensTheMenuOfTheNextTitleThePointerReaches)
{
	BMenuBar* bar = new BMenuBar(BRect(0, 0, 199, 19), "bar");
	BMenu* file = new BMenu("File");
	file->AddItem(new BMenuItem("Open", new BMessage(kMsgItem)));
	BMenu* edit = new BMenu("Edit");
	edit->AddItem(new BMenuItem("Copy", new BMessage(kMsgItem)));
	edit->AddItem(new BMenuItem("Paste", new BMessage(kMsgItem)));
	bar->AddItem(file);
	bar->AddItem(edit);
	OpenerWindow* window = new OpenerWindow(nullptr);
	window->AddChild(bar);
	file->SetTargetForItems(window);
	edit->SetTargetForItems(window);
	window->Show();
	ASSERT_TRUE(WaitUntil([&] { return window->activeNow.load(); }));

	ASSERT_TRUE(window->Lock());
	BRect fileTitle = bar->ConvertToScreen(bar->ItemAt(0)->Frame());
	BRect editTitle = bar->ConvertToScreen(bar->ItemAt(1)->Frame());
	BRect open = MenuScreenFrames(file, BPoint(fileTitle.left, fileTitle.bottom + 1))[0];
	BRect paste = MenuScreenFrames(edit, BPoint(editTitle.left, editTitle.bottom + 1))[1];
	window->Unlock();

	fClient->Click(Centre(fileTitle).x, Centre(fileTitle).y);
	uint32_t plain = Rgb(ui_color(B_MENU_BACKGROUND_COLOR));
	ASSERT_TRUE(fClient->WaitForPixel(open.left + 4, open.bottom - 2, plain));
	// The open menu takes the pointer a moment after it shows: a move made before then goes
	// to the window, so the pointer comes back onto the next title until its menu answers.
	ASSERT_TRUE(WaitUntil([&] {
		fClient->MoveMouse(Centre(editTitle).x - 2, Centre(editTitle).y);
		fClient->MoveMouse(Centre(editTitle).x, Centre(editTitle).y);
		return fClient->WaitForPixel(paste.left + 4, paste.top + 4, plain, 300);
	}));
	fClient->MoveMouse(Centre(paste).x, Centre(paste).y);
	fClient->Click(Centre(paste).x, Centre(paste).y);
	EXPECT_TRUE(WaitUntil([&] { return window->received.load() == 1; }));
	Close(window);
}
