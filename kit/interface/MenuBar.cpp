// BMenuBar: the menu titles of a window and the opening of their menus.
#include <MenuBar.h>

#include <MenuItem.h>
#include <Window.h>

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

void
BMenuBar::_Track(int32 index)
{
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
	BMenuItem* chosen = BPrivate::MenuWindow::Track(submenu, where, false, false);
	_Select(-1);
	if (chosen != nullptr)
		chosen->Invoke();
}
