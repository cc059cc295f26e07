// BSeparatorItem: a line between groups of menu items; never enabled, never chosen.
#ifndef _SEPARATOR_ITEM_H
#define _SEPARATOR_ITEM_H

#include <MenuItem.h>

class BSeparatorItem : public BMenuItem
{
public:
	BSeparatorItem() : BMenuItem("", nullptr) { BMenuItem::SetEnabled(false); }
	virtual ~BSeparatorItem() {}

	void SetEnabled(bool) override {}
	status_t Invoke(BMessage* = nullptr) override { return B_ERROR; }
};

#endif // _SEPARATOR_ITEM_H
