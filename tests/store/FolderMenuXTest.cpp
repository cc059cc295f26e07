// A folder menu on a private Xvfb, driven through XTEST: the keypad digits choose the
// bookmark of the matching slot, every other key leaves the menu alone, Escape closes it
// without a message, and the title line is drawn in bold.
#include <atomic>

#include <InterfaceDefs.h>
#include <Message.h>
#include <SeparatorItem.h>

#include "kit/interface/GuiTestSupport.h"
#include "store/KVMenu.h"
#include "support/TestSupport.h"
#include "support/XKeyCodes.h"

using namespace kvtest;

namespace {

const uint32 kMsgOpen = 'open';
const uint32 kMsgSlot = 'slot';
const BPoint kMenuWhere(300, 200);

// Pops the folder menu up from its own thread and records the slots chosen.
class BarWindow : public RecordingWindow
{
public:
	explicit BarWindow(KVMenu* menu) : RecordingWindow(BRect(50, 50, 149, 99)), fMenu(menu) {}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == kMsgOpen) {
			fMenu->Go(kMenuWhere, true);
			closed = true;
			return;
		}
		if (message->what == kMsgSlot) {
			int32 slot = 0;
			message->FindInt32("slot", &slot);
			slots.push_back(slot);
			received++;
			return;
		}
		RecordingWindow::MessageReceived(message);
	}

	KVMenu* fMenu;
	std::atomic<bool> closed{false};
	std::atomic<int32> received{0};
	std::vector<int32> slots;
};

BMenuItem*
SlotItem(const char* label, int32 slot)
{
	BMessage* message = new BMessage(kMsgSlot);
	message->AddInt32("slot", slot);
	return new BMenuItem(label, message);
}

class FolderMenuXTest : public MenuInWindowTest<BarWindow, KVMenu>
{
protected:
	void SetUp() override
	{
		GuiTest::SetUp();
		if (IsSkipped())
			return;
		// Slots 1 and 3 filled, slot 2 empty; a plain line with the title's text last.
		KVMenu* menu = new KVMenu("", false, false, B_ITEMS_IN_COLUMN);
		menu->AddItem(new KVTitleItem("Work", nullptr, 0, 0));
		menu->AddSeparatorItem();
		menu->AddItem(SlotItem("0 Alpha", 1));
		menu->AddItem(SlotItem("Add Bookmark Here", 2));
		menu->AddItem(SlotItem("2 Gamma", 3));
		menu->AddItem(new BMenuItem("Work", nullptr));
		ShowWith(menu, kMenuWhere);
	}

	// Pops the menu up and waits until it holds the keyboard: it has highlighted the
	// item that the pointer moved onto (input arrives only after the grab).
	void Open()
	{
		fWindow->PostMessage(kMsgOpen);
		BRect frame = fFrames[2];
		uint32_t selected = Rgb(ui_color(B_MENU_SELECTION_BACKGROUND_COLOR));
		uint32_t plain = Rgb(ui_color(B_MENU_BACKGROUND_COLOR));
		ASSERT_TRUE(WaitUntil([&] {
			uint32_t pixel = fClient->Pixel(frame.left + 4, frame.top + 4);
			return pixel == plain || pixel == selected;
		}));
		fClient->MoveMouse(frame.left + 10, frame.top + 4);
		ASSERT_TRUE(fClient->WaitForPixel(frame.left + 4, frame.top + 4, selected));
		// Off every item again, so nothing is highlighted for Return to choose.
		fClient->MoveMouse(10, 700);
	}

	// Dark pixels of an item's label.
	int Ink(int32 index)
	{
		BRect frame = fFrames[index];
		int ink = 0;
		for (int y = (int)frame.top; y <= (int)frame.bottom; y++) {
			for (int x = (int)frame.left; x <= (int)frame.right; x++)
				ink += (fClient->Pixel(x, y) & 0xff) < 0x60 ? 1 : 0;
		}
		return ink;
	}
};

} // namespace

TEST_F(FolderMenuXTest, KeypadDigitsChooseBySlotAndOtherKeysDoNothing)
{
	Open();
	// Keypad 1 matches no label ("0 Alpha" is slot 1); the main row's 2, Down and
	// Return are not the menu's keys.
	for (unsigned int key : {xkey::kKeypad[1], xkey::kDigits[2], xkey::kDown, xkey::kReturn})
		fClient->Tap(key);
	fClient->Tap(xkey::kKeypad[2]);
	ASSERT_TRUE(WaitUntil([&] { return fWindow->received.load() == 1; }));
	ASSERT_TRUE(WaitUntil([&] { return fWindow->closed.load(); }));
	ASSERT_TRUE(fWindow->Lock());
	EXPECT_EQ(fWindow->slots, std::vector<int32>{3});
	fWindow->Unlock();
	EXPECT_EQ(fMenu->Window(), nullptr);
}

TEST_F(FolderMenuXTest, EscapeClosesWithoutAMessageAndTheTitleIsBold)
{
	Open();
	// Bold strokes: the title carries more ink than the same text in a plain line.
	int title = Ink(0);
	int plain = Ink(5);
	EXPECT_GT(plain, 0);
	EXPECT_GT(title, plain + plain / 5);

	fClient->Tap(xkey::kEscape);
	ASSERT_TRUE(WaitUntil([&] { return fWindow->closed.load(); }));
	EXPECT_EQ(fWindow->received.load(), 0);
}
