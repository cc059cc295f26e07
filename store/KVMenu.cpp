// Folder menus: keypad choice of a bookmark and the bold title line.
#include "KVMenu.h"

#include "KVTrace.h"

#include <Font.h>
#include <Message.h>
#include <Window.h>

#include <cstring>
#include <vector>

namespace {

const char* const kKeyDownSignature = "virtual void KVMenu::KeyDown(const char *, long)";

const int32 kEscapeKey = 0x01;
const int32 kKeypadSlashKey = 0x23;

// The keypad's raw key codes and the digit each stands for.
struct KeypadDigit
{
	int32 key;
	char digit;
};

const KeypadDigit kKeypadDigits[] = {{0x64, '0'}, {0x58, '1'}, {0x59, '2'}, {0x5a, '3'},
                                     {0x48, '4'}, {0x49, '5'}, {0x4a, '6'}, {0x37, '7'},
                                     {0x38, '8'}, {0x39, '9'}};

// Past the title item and the separator.
const int32 kFirstSlotIndex = 2;

} // namespace

KVMenu::KVMenu(const char* name, bool radioMode, bool autoRename, menu_layout layout)
    : BPopUpMenu(name, radioMode, autoRename, layout)
{}

KVMenu::~KVMenu()
{}

void
KVMenu::KeyDown(const char*, int32)
{
	BMessage* message = Window() != nullptr ? Window()->CurrentMessage() : nullptr;
	int32 key;
	if (message == nullptr || message->FindInt32("key", &key) != B_OK)
		return;
	HandleKey(key);
}

void
KVMenu::HandleKey(int32 key)
{
	KVTrace(kKeyDownSignature, "KeyDown");
	KVTrace(kKeyDownSignature, "Key");
	KVTrace(kKeyDownSignature, "%.2x", static_cast<unsigned>(key));
	if (key == kEscapeKey || key == kKeypadSlashKey) {
		Hide();
		return;
	}
	char digit = 0;
	for (const KeypadDigit& entry : kKeypadDigits) {
		if (entry.key == key)
			digit = entry.digit;
	}
	if (digit == 0)
		return;
	KVTrace(kKeyDownSignature, "%c", digit);
	for (int32 i = kFirstSlotIndex; i < CountItems(); i++) {
		BMenuItem* item = ItemAt(i);
		char trigger = item->Label()[0];
		KVTrace(kKeyDownSignature, "Trigger: %c", trigger);
		if (trigger == digit) {
			KVTrace(kKeyDownSignature, "Found Item");
			item->Invoke();
			Hide();
			return;
		}
	}
}

KVTitleItem::KVTitleItem(const char* label, BMessage* message, char shortcut, uint32 modifiers)
    : BMenuItem(label, message, shortcut, modifiers)
{}

KVTitleItem::~KVTitleItem()
{}

float
KVTitleItem::FindTallest()
{
	int32 count = static_cast<int32>(strlen(Label()));
	if (count == 0)
		return 0;
	std::vector<BRect> boxes(static_cast<size_t>(count), BRect(0, 0, -1, -1));
	be_bold_font->GetBoundingBoxesAsGlyphs(Label(), count, B_SCREEN_METRIC, boxes.data());
	float tallest = 0;
	for (const BRect& box : boxes) {
		if (box.bottom - box.top > tallest)
			tallest = box.bottom - box.top;
	}
	return tallest;
}

void
KVTitleItem::GetContentSize(float* width, float* height)
{
	if (width != nullptr)
		*width = be_bold_font->StringWidth(Label());
	if (height != nullptr)
		*height = FindTallest() + 4.0f;
}

void
KVTitleItem::DrawContent()
{
	BMenu* menu = Menu();
	if (menu == nullptr)
		return;
	BFont remembered;
	menu->GetFont(&remembered);
	BPoint where = ContentLocation();
	menu->SetFont(be_bold_font, B_FONT_ALL);
	BRect frame = Frame();
	menu->MovePenTo(where.x, where.y + (frame.bottom - frame.top + FindTallest()) * 0.5f);
	menu->DrawString(Label());
	menu->SetFont(&remembered, B_FONT_ALL);
}
