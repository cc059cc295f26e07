// BPopUpMenu: the menu that opens where it is asked to and reports the chosen item.
#include <PopUpMenu.h>

#include <MenuItem.h>
#include <Window.h>

#include "MenuWindow.h"
#include "WindowPrivate.h"

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

// openAnyway and clickToOpen concern a mouse button still held from the click that opened
// the menu; this menu stays open until a choice, Escape or a click outside in any case.
BMenuItem*
BPopUpMenu::_Go(BPoint where, bool deliversMessage, bool openAnyway, BRect* clickToOpen, bool async)
{
	(void)openAnyway;
	(void)clickToOpen;
	fWhere = where;
	BWindow* opener = BPrivate::WindowOfCurrentThread();
	fOpener = opener != nullptr ? BMessenger(opener) : BMessenger();
	BMenuItem* chosen = BPrivate::MenuWindow::Track(this, where, async, async && fAutoDestruct);
	if (chosen != nullptr && deliversMessage)
		chosen->Invoke();
	return chosen;
}
