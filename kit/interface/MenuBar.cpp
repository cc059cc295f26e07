// BMenuBar: the menu titles of a window, the opening of their menus, and the
// Command-key shortcuts of their items.
#include <MenuBar.h>

#include <MenuItem.h>
#include <Window.h>

#include <cctype>

#include "MenuWindow.h"

BMenuBar::BMenuBar(BRect frame, const char* name, uint32 resizingMode, menu_layout layout,
                   bool resizeToFit)
    : BMenu(frame, name, resizingMode, B_WILL_DRAW, layout, resizeToFit)
{}

BMenuBar::~BMenuBar()
{}

void
BMenuBar::MouseDown(BPoint where)
{
	int32 index = _IndexAt(where);
	if (_IsSelectable(index))
		_Track(index);
}

// A line under the titles sets the bar apart from the window's content.
void
BMenuBar::Draw(BRect updateRect)
{
	BMenu::Draw(updateRect);
	BRect bounds = Bounds();
	SetHighColor(tint_color(ViewColor(), B_DARKEN_2_TINT));
	StrokeLine(bounds.LeftBottom(), bounds.RightBottom());
}

// A bar is a view of its window: hiding and showing it are the view's.
void
BMenuBar::Hide()
{
	BView::Hide();
}

void
BMenuBar::Show()
{
	BView::Show();
}

// The bar's window thread waits while a menu is open (it keeps repainting from its last
// frame). Moving to another title, or pressing on one, opens that title's menu instead;
// pressing on the open menu's own title closes it.
void
BMenuBar::_Track(int32 index)
{
	for (;;) {
		BMenuItem* item = ItemAt(index);
		BMenu* submenu = item->Submenu();
		if (submenu == nullptr) {
			item->Invoke();
			return;
		}
		BRect frame = item->Frame();
		BPoint where = Layout() == B_ITEMS_IN_ROW ? BPoint(frame.left, frame.bottom + 1)
		                                          : BPoint(frame.right + 1, frame.top);
		ConvertToScreen(&where);
		_Select(index);
		if (Window() != nullptr)
			Window()->UpdateIfNeeded();
		BPrivate::MenuOutcome outcome = BPrivate::MenuWindow::TrackSubmenu(
		        submenu, where, {ConvertToScreen(Bounds())}, ConvertToScreen(frame));
		_Select(-1);
		if (outcome.chosen != nullptr)
			outcome.chosen->Invoke();
		if (!outcome.pointerBack)
			return;
		int32 next = _IndexAt(ConvertFromScreen(outcome.where));
		if (!_IsSelectable(next) || ItemAt(next)->Submenu() == nullptr ||
		    (next == index && outcome.pressed)) {
			return;
		}
		index = next;
	}
}

namespace {

BMenuItem*
FindShortcut(const BMenu* menu, uint32 key, uint32 modifiers)
{
	for (int32 i = 0; i < menu->CountItems(); i++) {
		BMenuItem* item = menu->ItemAt(i);
		if (item->Submenu() != nullptr) {
			if (BMenuItem* inside = FindShortcut(item->Submenu(), key, modifiers))
				return inside;
			continue;
		}
		uint32 itemModifiers = 0;
		char shortcut = item->Shortcut(&itemModifiers);
		if (shortcut != 0 && item->IsEnabled() && itemModifiers == modifiers &&
		    static_cast<uint32>(tolower(static_cast<unsigned char>(shortcut))) == key) {
			return item;
		}
	}
	return nullptr;
}

} // namespace

bool
BPrivate::InvokeMenuShortcut(BView* view, uint32 key, uint32 modifiers)
{
	if (BMenuBar* bar = dynamic_cast<BMenuBar*>(view)) {
		if (BMenuItem* item = FindShortcut(bar, key, modifiers)) {
			item->Invoke();
			return true;
		}
	}
	for (int32 i = 0; i < view->CountChildren(); i++) {
		if (InvokeMenuShortcut(view->ChildAt(i), key, modifiers))
			return true;
	}
	return false;
}
