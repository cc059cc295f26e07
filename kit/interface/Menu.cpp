// BMenu: the item list of a menu and the rules that tie items together (radio mode,
// label from the marked item, enabling, targets), its layout, drawing and keyboard
// navigation. The window a menu opens in lives in MenuWindow.cpp.
#include <Menu.h>

#include <MenuItem.h>
#include <Message.h>
#include <PopUpMenu.h>
#include <SeparatorItem.h>
#include <Window.h>

#include "MenuWindow.h"

#include <InterfaceDefs.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <string>

BMenu::BMenu(const char* name, menu_layout layout)
    : BView(BRect(0, 0, 0, 0), name, B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW),
      fSuperitem(nullptr), fLayout(layout), fEnabled(true), fRadioMode(false),
      fLabelFromMarked(false), fLayoutValid(false), fResizeToFit(false), fTriggersEnabled(true),
      fMenuWindow(nullptr), fSelected(-1), fItemWidth(0)
{
	SetViewColor(ui_color(B_MENU_BACKGROUND_COLOR));
	SetLowColor(ViewColor());
}

BMenu::BMenu(BRect frame, const char* name, uint32 resizingMode, uint32 flags, menu_layout layout,
             bool resizeToFit)
    : BView(frame, name, resizingMode, flags | B_WILL_DRAW), fSuperitem(nullptr), fLayout(layout),
      fEnabled(true), fRadioMode(false), fLabelFromMarked(false), fLayoutValid(false),
      fResizeToFit(resizeToFit), fTriggersEnabled(true), fMenuWindow(nullptr), fSelected(-1),
      fItemWidth(0)
{
	SetViewColor(ui_color(B_MENU_BACKGROUND_COLOR));
	SetLowColor(ViewColor());
}

BMenu::~BMenu()
{
	// A menu deleted while open must not leave its window pointing at it.
	if (fMenuWindow != nullptr)
		fMenuWindow->Abandon(this);
	std::vector<BMenuItem*> items;
	items.swap(fItems);
	for (BMenuItem* item : items) {
		item->_SetSuper(nullptr);
		delete item;
	}
}

bool
BMenu::AddItem(BMenuItem* item)
{
	return AddItem(item, CountItems());
}

bool
BMenu::AddItem(BMenuItem* item, int32 index)
{
	if (item == nullptr || item->Menu() != nullptr || index < 0 || index > CountItems())
		return false;
	fItems.insert(fItems.begin() + index, item);
	item->_SetSuper(this);
	if (item->IsMarked())
		_ItemMarked(item);
	InvalidateLayout();
	return true;
}

bool
BMenu::AddItem(BMenu* submenu)
{
	return AddItem(submenu, CountItems());
}

bool
BMenu::AddItem(BMenu* submenu, int32 index)
{
	if (submenu == nullptr || submenu->Superitem() != nullptr)
		return false;
	BMenuItem* item = new BMenuItem(submenu);
	if (AddItem(item, index))
		return true;
	// The failed item must not take the caller's menu with it.
	item->fSubmenu = nullptr;
	submenu->_SetSuperitem(nullptr);
	delete item;
	return false;
}

bool
BMenu::AddSeparatorItem()
{
	return AddItem(new BSeparatorItem);
}

bool
BMenu::RemoveItem(BMenuItem* item)
{
	auto found = std::find(fItems.begin(), fItems.end(), item);
	if (item == nullptr || found == fItems.end())
		return false;
	fItems.erase(found);
	item->_SetSuper(nullptr);
	InvalidateLayout();
	return true;
}

BMenuItem*
BMenu::RemoveItem(int32 index)
{
	BMenuItem* item = ItemAt(index);
	if (item != nullptr)
		RemoveItem(item);
	return item;
}

bool
BMenu::RemoveItem(BMenu* submenu)
{
	int32 index = IndexOf(submenu);
	if (index < 0)
		return false;
	BMenuItem* item = RemoveItem(index);
	// The submenu goes back to the caller; its item has no owner left.
	item->fSubmenu = nullptr;
	submenu->_SetSuperitem(nullptr);
	delete item;
	return true;
}

bool
BMenu::RemoveItems(int32 index, int32 count, bool deleteItems)
{
	if (index < 0 || count < 0 || index + count > CountItems())
		return false;
	for (int32 i = 0; i < count; i++) {
		BMenuItem* item = RemoveItem(index);
		if (deleteItems)
			delete item;
	}
	return true;
}

BMenuItem*
BMenu::ItemAt(int32 index) const
{
	if (index < 0 || index >= CountItems())
		return nullptr;
	return fItems[static_cast<size_t>(index)];
}

BMenu*
BMenu::SubmenuAt(int32 index) const
{
	BMenuItem* item = ItemAt(index);
	return item != nullptr ? item->Submenu() : nullptr;
}

int32
BMenu::IndexOf(BMenuItem* item) const
{
	auto found = std::find(fItems.begin(), fItems.end(), item);
	return found == fItems.end() ? -1 : static_cast<int32>(found - fItems.begin());
}

int32
BMenu::IndexOf(BMenu* submenu) const
{
	for (int32 i = 0; i < CountItems(); i++) {
		if (submenu != nullptr && ItemAt(i)->Submenu() == submenu)
			return i;
	}
	return -1;
}

BMenuItem*
BMenu::FindItem(const char* label) const
{
	if (label == nullptr)
		return nullptr;
	for (BMenuItem* item : fItems) {
		if (strcmp(item->Label(), label) == 0)
			return item;
		BMenuItem* inside = item->Submenu() != nullptr ? item->Submenu()->FindItem(label) : nullptr;
		if (inside != nullptr)
			return inside;
	}
	return nullptr;
}

BMenuItem*
BMenu::FindItem(uint32 command) const
{
	for (BMenuItem* item : fItems) {
		if (item->Message() != nullptr && item->Message()->what == command)
			return item;
		BMenuItem* inside =
		        item->Submenu() != nullptr ? item->Submenu()->FindItem(command) : nullptr;
		if (inside != nullptr)
			return inside;
	}
	return nullptr;
}

BMenuItem*
BMenu::FindMarked()
{
	for (BMenuItem* item : fItems) {
		if (item->IsMarked())
			return item;
	}
	return nullptr;
}

status_t
BMenu::SetTargetForItems(BHandler* target)
{
	for (BMenuItem* item : fItems) {
		status_t status = item->SetTarget(target);
		if (status != B_OK)
			return status;
	}
	return B_OK;
}

status_t
BMenu::SetTargetForItems(BMessenger messenger)
{
	for (BMenuItem* item : fItems) {
		status_t status = item->SetTarget(messenger);
		if (status != B_OK)
			return status;
	}
	return B_OK;
}

void
BMenu::SetEnabled(bool enabled)
{
	fEnabled = enabled;
}

bool
BMenu::IsEnabled() const
{
	if (!fEnabled)
		return false;
	BMenu* super = Supermenu();
	return super == nullptr || super->IsEnabled();
}

void
BMenu::SetRadioMode(bool on)
{
	fRadioMode = on;
	if (!on)
		fLabelFromMarked = false;
}

void
BMenu::SetLabelFromMarked(bool on)
{
	fLabelFromMarked = on;
	if (on)
		fRadioMode = true;
	BMenuItem* marked = FindMarked();
	if (on && marked != nullptr && fSuperitem != nullptr)
		fSuperitem->SetLabel(marked->Label());
}

void
BMenu::SetTriggersEnabled(bool enabled)
{
	fTriggersEnabled = enabled;
	if (Window() != nullptr)
		Invalidate();
}

// Set triggers are claimed first, so an automatic one never takes a letter that a later
// item asked for.
std::vector<char>
BMenu::_Triggers() const
{
	std::vector<char> triggers(fItems.size(), 0);
	std::string used;
	for (size_t i = 0; i < fItems.size(); i++) {
		char set = static_cast<char>(tolower(static_cast<unsigned char>(fItems[i]->Trigger())));
		if (set != 0 && used.find(set) == std::string::npos) {
			triggers[i] = set;
			used += set;
		}
	}
	for (size_t i = 0; i < fItems.size(); i++) {
		if (triggers[i] != 0 || fItems[i]->Trigger() != 0)
			continue;
		for (const char* c = fItems[i]->Label(); *c != '\0'; c++) {
			char lower = static_cast<char>(tolower(static_cast<unsigned char>(*c)));
			if (isalnum(static_cast<unsigned char>(*c)) && used.find(lower) == std::string::npos) {
				triggers[i] = lower;
				used += lower;
				break;
			}
		}
	}
	return triggers;
}

int32
BMenu::_IndexOfTrigger(char c) const
{
	char lower = static_cast<char>(tolower(static_cast<unsigned char>(c)));
	if (lower == 0)
		return -1;
	std::vector<char> triggers = _Triggers();
	for (size_t i = 0; i < triggers.size(); i++) {
		if (triggers[i] == lower)
			return static_cast<int32>(i);
	}
	return -1;
}

BMenu*
BMenu::Supermenu() const
{
	return fSuperitem != nullptr ? fSuperitem->Menu() : nullptr;
}

void
BMenu::Draw(BRect updateRect)
{
	if (!fLayoutValid)
		LayoutItems(0);
	SetHighColor(ViewColor());
	FillRect(updateRect);
	for (BMenuItem* item : fItems) {
		if (item->Frame().Intersects(updateRect))
			item->Draw();
	}
}

// Up and down (left and right in a row) move the highlight, Return and Space choose,
// Escape closes; left closes a submenu and right opens one.
void
BMenu::KeyDown(const char* bytes, int32 numBytes)
{
	if (fMenuWindow == nullptr || numBytes < 1)
		return;
	bool inRow = fLayout == B_ITEMS_IN_ROW;
	int32 next = -1;
	switch (bytes[0]) {
	case B_UP_ARROW:
	case B_DOWN_ARROW:
		if (!inRow)
			next = _NextSelectable(bytes[0] == B_DOWN_ARROW ? 1 : -1);
		break;
	case B_LEFT_ARROW:
	case B_RIGHT_ARROW:
		if (inRow)
			next = _NextSelectable(bytes[0] == B_RIGHT_ARROW ? 1 : -1);
		else if (bytes[0] == B_LEFT_ARROW && Supermenu() != nullptr)
			_Finish(nullptr);
		else if (bytes[0] == B_RIGHT_ARROW && SubmenuAt(fSelected) != nullptr)
			fMenuWindow->Activate(fSelected);
		break;
	case B_ENTER:
	case B_SPACE:
		if (_IsSelectable(fSelected))
			fMenuWindow->Activate(fSelected);
		break;
	case B_ESCAPE:
		_Finish(nullptr);
		break;
	default:
		if (numBytes == 1 && fTriggersEnabled) {
			int32 index = _IndexOfTrigger(bytes[0]);
			if (_IsSelectable(index)) {
				_Select(index);
				fMenuWindow->Activate(index);
			}
		}
		break;
	}
	if (next >= 0)
		_Select(next);
}

void
BMenu::MouseDown(BPoint where)
{
	BView::MouseDown(where);
}

void
BMenu::AttachedToWindow()
{
	LayoutItems(0);
	if (fResizeToFit) {
		float width = 0;
		float height = 0;
		GetPreferredSize(&width, &height);
		// A bar of items in a row spans its window; only its height follows the font.
		// Items are often added after it is attached, and a bar fitted to none would
		// leave them nowhere to show.
		if (fLayout == B_ITEMS_IN_ROW) {
			width = Bounds().Width();
			if (fItems.empty())
				height = Bounds().Height();
		}
		ResizeTo(width, height);
	}
	BView::AttachedToWindow();
}

// Measuring needs the fonts; menus change often while closed (the store relabels them
// on every change on disk), so the work waits until the menu is seen.
void
BMenu::InvalidateLayout()
{
	fLayoutValid = false;
	if (Window() != nullptr)
		Invalidate();
}

void
BMenu::GetPreferredSize(float* width, float* height)
{
	if (!fLayoutValid)
		LayoutItems(0);
	float right = 0;
	float bottom = 0;
	for (BMenuItem* item : fItems) {
		right = std::max(right, item->Frame().right);
		bottom = std::max(bottom, item->Frame().bottom);
	}
	if (width != nullptr)
		*width = right;
	if (height != nullptr)
		*height = bottom;
}

// An open menu closes (tracking ends with nothing chosen); a closed one hides its view.
void
BMenu::Hide()
{
	if (fMenuWindow != nullptr) {
		_Finish(nullptr);
		return;
	}
	if (!IsHidden())
		BView::Hide();
}

void
BMenu::Show()
{
	if (IsHidden())
		BView::Show();
}

BPoint
BMenu::ScreenLocation()
{
	if (fSuperitem == nullptr || Supermenu() == nullptr)
		return BPoint(0, 0);
	BRect frame = fSuperitem->Frame();
	BPoint where = fLayout == B_ITEMS_IN_ROW ? frame.LeftBottom() : frame.RightTop();
	Supermenu()->ConvertToScreen(&where);
	return where;
}

// Every item is measured again: in a column all items share the widest one's width.
void
BMenu::LayoutItems(int32 index)
{
	(void)index;
	bool inRow = fLayout == B_ITEMS_IN_ROW;
	std::vector<BRect> sizes;
	float widest = 0;
	float tallest = 0;
	for (BMenuItem* item : fItems) {
		float width = 0;
		float height = 0;
		item->GetContentSize(&width, &height);
		width = ceilf(item->_FrameWidth(width));
		height = ceilf(height + 4.0f);
		sizes.push_back(BRect(0, 0, width, height));
		widest = std::max(widest, width);
		tallest = std::max(tallest, height);
	}
	float position = 0;
	for (size_t i = 0; i < fItems.size(); i++) {
		BRect size = sizes[i];
		fItems[i]->fFrame = inRow ? BRect(position, 0, position + size.right, tallest)
		                          : BRect(0, position, widest, position + size.bottom);
		position += (inRow ? size.right : size.bottom) + 1.0f;
	}
	fItemWidth = widest;
	fLayoutValid = true;
}

int32
BMenu::_IndexAt(BPoint point) const
{
	for (int32 i = 0; i < CountItems(); i++) {
		if (fItems[static_cast<size_t>(i)]->Frame().Contains(point))
			return i;
	}
	return -1;
}

void
BMenu::_Select(int32 index)
{
	if (index == fSelected)
		return;
	if (BMenuItem* old = ItemAt(fSelected))
		old->Highlight(false);
	fSelected = index;
	if (BMenuItem* item = ItemAt(fSelected))
		item->Highlight(true);
}

bool
BMenu::_IsSelectable(int32 index) const
{
	BMenuItem* item = ItemAt(index);
	return item != nullptr && item->IsEnabled() && dynamic_cast<BSeparatorItem*>(item) == nullptr;
}

int32
BMenu::_NextSelectable(int32 direction) const
{
	int32 count = CountItems();
	int32 index = fSelected;
	for (int32 step = 0; step < count; step++) {
		if (index < 0)
			index = direction > 0 ? 0 : count - 1;
		else
			index = (index + direction + count) % count;
		if (_IsSelectable(index))
			return index;
	}
	return -1;
}

void
BMenu::_Finish(BMenuItem* item)
{
	if (fMenuWindow != nullptr)
		fMenuWindow->Finish(item);
}

BMessenger
BMenu::_HoldingWindow() const
{
	const BMenu* top = this;
	while (top->Supermenu() != nullptr)
		top = top->Supermenu();
	if (const BPopUpMenu* popUp = dynamic_cast<const BPopUpMenu*>(top))
		return popUp->fOpener;
	// An open menu sits in a window of its own, which is never the holder.
	BWindow* window = top->Window();
	if (window == nullptr || top->fMenuWindow != nullptr)
		return BMessenger();
	return BMessenger(window);
}

void
BMenu::_ItemMarked(BMenuItem* item)
{
	if (fRadioMode) {
		for (BMenuItem* other : fItems) {
			if (other != item)
				other->fMarked = false;
		}
	}
	if (fLabelFromMarked && fSuperitem != nullptr)
		fSuperitem->SetLabel(item->Label());
}
