// BMenu: the item list of a menu and the rules that tie items together (radio mode,
// label from the marked item, enabling, targets). Drawing and tracking come with the
// menu windows; the hooks for them are here already.
#include <Menu.h>

#include <MenuItem.h>
#include <Message.h>
#include <SeparatorItem.h>

#include <algorithm>
#include <cstring>

BMenu::BMenu(const char* name, menu_layout layout)
    : BView(BRect(0, 0, 0, 0), name, B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW),
      fSuperitem(nullptr), fLayout(layout), fEnabled(true), fRadioMode(false),
      fLabelFromMarked(false)
{}

BMenu::~BMenu()
{
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
	for (BMenuItem* item : fItems) {
		if (item->Frame().Intersects(updateRect))
			item->Draw();
	}
}

void
BMenu::KeyDown(const char* bytes, int32 numBytes)
{
	BView::KeyDown(bytes, numBytes);
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
BMenu::Hide()
{
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

void
BMenu::LayoutItems(int32 index)
{
	float position = 0;
	for (int32 i = 0; i < CountItems(); i++) {
		BMenuItem* item = fItems[static_cast<size_t>(i)];
		float width = 0;
		float height = 0;
		item->GetContentSize(&width, &height);
		if (i >= index) {
			item->fFrame = fLayout == B_ITEMS_IN_ROW
			                       ? BRect(position, 0, position + width + 8.0f, height + 4.0f)
			                       : BRect(0, position, width + 8.0f, position + height + 4.0f);
		}
		position += (fLayout == B_ITEMS_IN_ROW ? width + 8.0f : height + 4.0f) + 1.0f;
	}
	fLayoutValid = true;
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
