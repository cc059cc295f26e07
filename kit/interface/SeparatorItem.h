// BSeparatorItem: a line between groups of menu items; never enabled, never chosen.
#ifndef _SEPARATOR_ITEM_H
#define _SEPARATOR_ITEM_H

#include <InterfaceDefs.h>
#include <Menu.h>
#include <MenuItem.h>

class BSeparatorItem : public BMenuItem
{
public:
	BSeparatorItem() : BMenuItem("", nullptr) { BMenuItem::SetEnabled(false); }
	virtual ~BSeparatorItem() {}

	void SetEnabled(bool) override {}
	status_t Invoke(BMessage* = nullptr) override { return B_ERROR; }

protected:
	void GetContentSize(float* width, float* height) override
	{
		if (width != nullptr)
			*width = 0;
		if (height != nullptr)
			*height = 4.0f;
	}

	void Draw() override
	{
		BMenu* menu = Menu();
		if (menu == nullptr)
			return;
		BRect frame = Frame();
		rgb_color background = ui_color(B_MENU_BACKGROUND_COLOR);
		menu->SetHighColor(background);
		menu->FillRect(frame);
		float middle = (frame.top + frame.bottom) / 2.0f;
		menu->SetHighColor(tint_color(background, B_DARKEN_2_TINT));
		menu->StrokeLine(BPoint(frame.left + 4.0f, middle), BPoint(frame.right - 4.0f, middle));
	}
};

#endif // _SEPARATOR_ITEM_H
