// BMenu: a list of menu items shown as a view, with radio mode, a label that follows the
// marked item, and targets for all items at once. The menu owns the items it holds and
// deletes them with itself; an item removed from it goes back to the caller.
#ifndef _MENU_H
#define _MENU_H

#include <Messenger.h>
#include <View.h>

#include <vector>

class BMenuItem;

namespace BPrivate {
class MenuWindow;
}

enum menu_layout
{
	B_ITEMS_IN_ROW = 0,
	B_ITEMS_IN_COLUMN,
	B_ITEMS_IN_MATRIX
};

class BMenu : public BView
{
public:
	BMenu(const char* name, menu_layout layout = B_ITEMS_IN_COLUMN);
	virtual ~BMenu();

	// Takes ownership of the item; false (and the caller keeps it) for a null item, one
	// already in a menu, or an index out of range.
	bool AddItem(BMenuItem* item);
	bool AddItem(BMenuItem* item, int32 index);
	// Adds the submenu under an item of its own name.
	bool AddItem(BMenu* submenu);
	bool AddItem(BMenu* submenu, int32 index);
	bool AddSeparatorItem();

	// The removed item (and its submenu) belong to the caller again.
	bool RemoveItem(BMenuItem* item);
	BMenuItem* RemoveItem(int32 index);
	bool RemoveItem(BMenu* submenu);
	bool RemoveItems(int32 index, int32 count, bool deleteItems = false);

	BMenuItem* ItemAt(int32 index) const;
	BMenu* SubmenuAt(int32 index) const;
	int32 CountItems() const { return static_cast<int32>(fItems.size()); }
	int32 IndexOf(BMenuItem* item) const;
	int32 IndexOf(BMenu* submenu) const;
	// Search this menu and its submenus, depth first.
	BMenuItem* FindItem(const char* label) const;
	BMenuItem* FindItem(uint32 command) const;
	BMenuItem* FindMarked();

	virtual status_t SetTargetForItems(BHandler* target);
	virtual status_t SetTargetForItems(BMessenger messenger);
	virtual void SetEnabled(bool enabled);
	virtual void SetRadioMode(bool on);
	virtual void SetLabelFromMarked(bool on);
	// Triggers: while the menu is open, typing an item's trigger character chooses it.
	// An item without one set takes the first letter or digit of its label that no item
	// before it has; the trigger is underlined.
	virtual void SetTriggersEnabled(bool enabled);
	bool AreTriggersEnabled() const { return fTriggersEnabled; }
	bool IsEnabled() const;
	bool IsRadioMode() const { return fRadioMode; }
	bool IsLabelFromMarked() const { return fLabelFromMarked; }
	menu_layout Layout() const { return fLayout; }

	BMenu* Supermenu() const;
	BMenuItem* Superitem() const { return fSuperitem; }

	// Hooks that the menu windows of the interface kit drive.
	void Draw(BRect updateRect) override;
	void KeyDown(const char* bytes, int32 numBytes) override;
	void MouseDown(BPoint where) override;
	void AttachedToWindow() override;
	// Item sizes are measured again when the menu is next shown or drawn.
	virtual void InvalidateLayout();
	// The size of all items laid out, measured with the menu's font.
	void GetPreferredSize(float* width, float* height) override;

protected:
	// A menu that lives in a window of its own choosing (a menu bar): frame in the
	// parent's coordinates; resizeToFit makes it take its items' size when attached.
	BMenu(BRect frame, const char* name, uint32 resizingMode, uint32 flags, menu_layout layout,
	      bool resizeToFit);

	// Hides the open menu (closes its window once menus have windows).
	void Hide() override;
	void Show() override;
	virtual BPoint ScreenLocation();
	// The frames of the items, computed from their content sizes.
	virtual void LayoutItems(int32 index);

private:
	friend class BMenuItem;
	friend class BMenuBar;
	friend class BPrivate::MenuWindow;

	void _ItemMarked(BMenuItem* item);
	// Where an item without a target sends its message: the window holding the menu bar
	// at the top of this menu's chain, or the window that opened its pop-up menu.
	BMessenger _HoldingWindow() const;
	// The index of the item under point (menu coordinates), or -1.
	int32 _IndexAt(BPoint point) const;
	// Moves the highlight to index (-1: none), redrawing both items.
	void _Select(int32 index);
	// The next enabled item from the selected one in direction (+1 or -1), or -1.
	int32 _NextSelectable(int32 direction) const;
	bool _IsSelectable(int32 index) const;
	// While open, the menu's window ends tracking with item chosen (null: none).
	void _Finish(BMenuItem* item);
	void _SetSuperitem(BMenuItem* item) { fSuperitem = item; }
	// The trigger of every item, lower case (0: none), in item order.
	std::vector<char> _Triggers() const;
	// The item whose trigger is c, or -1.
	int32 _IndexOfTrigger(char c) const;

	std::vector<BMenuItem*> fItems;
	BMenuItem* fSuperitem;
	menu_layout fLayout;
	bool fEnabled;
	bool fRadioMode;
	bool fLabelFromMarked;
	bool fLayoutValid;
	bool fResizeToFit;
	bool fTriggersEnabled;
	// The window the menu is open in, or null while closed (set by that window).
	BPrivate::MenuWindow* fMenuWindow;
	int32 fSelected;
	float fItemWidth;
};

#endif // _MENU_H
