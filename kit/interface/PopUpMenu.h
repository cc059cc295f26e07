// BPopUpMenu: a menu that opens at a point of the screen and returns the chosen item.
#ifndef _POP_UP_MENU_H
#define _POP_UP_MENU_H

#include <Menu.h>

class BPopUpMenu : public BMenu
{
public:
	BPopUpMenu(const char* name, bool radioMode = true, bool labelFromMarked = true,
	           menu_layout layout = B_ITEMS_IN_COLUMN);
	virtual ~BPopUpMenu();

	// Opens the menu at where (screen coordinates) and tracks it. Synchronously (async
	// false) it returns the chosen item (still owned by the menu), or null; with
	// deliversMessage the item is also invoked. Asynchronously it returns null at once.
	// clickToOpen: a click inside it keeps the menu open.
	BMenuItem* Go(BPoint where, bool deliversMessage = false, bool openAnyway = false,
	              bool async = false);
	BMenuItem* Go(BPoint where, bool deliversMessage, bool openAnyway, BRect clickToOpen,
	              bool async = false);

	// An asynchronous menu deletes itself when it closes.
	void SetAsyncAutoDestruct(bool on) { fAutoDestruct = on; }
	bool AsyncAutoDestruct() const { return fAutoDestruct; }

protected:
	BPoint ScreenLocation() override;

private:
	BMenuItem* _Go(BPoint where, bool deliversMessage, bool openAnyway, BRect* clickToOpen,
	               bool async);

	friend class BMenu;

	BPoint fWhere;
	bool fAutoDestruct;
	// The window whose thread called Go(), for items without a target.
	BMessenger fOpener;
};

#endif // _POP_UP_MENU_H
