// BMenuBar: a row of menu titles inside a window; clicking a title opens its menu below
// it, and the chosen item is invoked in the window's thread.
#ifndef _MENU_BAR_H
#define _MENU_BAR_H

#include <Menu.h>

class BMenuBar : public BMenu
{
public:
	// resizeToFit: the bar takes the size of its items when attached; a bar of items in a
	// row keeps its width (it spans its window) and takes only their height.
	BMenuBar(BRect frame, const char* name,
	         uint32 resizingMode = B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP,
	         menu_layout layout = B_ITEMS_IN_ROW, bool resizeToFit = true);
	virtual ~BMenuBar();

	void MouseDown(BPoint where) override;
	void Draw(BRect updateRect) override;

protected:
	void Hide() override;
	void Show() override;

private:
	// Opens the submenu of the item at index below (or beside) it and invokes the
	// chosen item; the window's thread waits meanwhile.
	void _Track(int32 index);
};

#endif // _MENU_BAR_H
