// BMenuItem: one entry of a menu, with its label, message, shortcut, mark and enabled
// state, or a submenu. The item owns its message (through BInvoker) and its submenu;
// the menu it belongs to owns the item.
#ifndef _MENU_ITEM_H
#define _MENU_ITEM_H

#include <Invoker.h>
#include <Rect.h>

#include <string>

class BMenu;

class BMenuItem : public BInvoker
{
public:
	// Takes ownership of message (may be null).
	BMenuItem(const char* label, BMessage* message, char shortcut = 0, uint32 modifiers = 0);
	// Takes ownership of menu; the item's label is the menu's name.
	BMenuItem(BMenu* menu, BMessage* message = nullptr);
	virtual ~BMenuItem();

	virtual void SetLabel(const char* label);
	virtual void SetEnabled(bool enabled);
	virtual void SetMarked(bool marked);
	virtual void SetTrigger(char trigger);
	virtual void SetShortcut(char shortcut, uint32 modifiers);

	const char* Label() const { return fLabel.c_str(); }
	// An item is enabled when it and every menu above it are.
	bool IsEnabled() const;
	bool IsMarked() const { return fMarked; }
	char Trigger() const { return fTrigger; }
	char Shortcut(uint32* modifiers = nullptr) const;

	BMenu* Submenu() const { return fSubmenu; }
	BMenu* Menu() const { return fSuper; }
	BRect Frame() const { return fFrame; }

	// Sends a copy of message (or of the item's own) with "when" (system time), "source"
	// (this item) and "index" (its place in the menu) added. B_BAD_VALUE without a
	// message, B_ERROR when the item is disabled.
	virtual status_t Invoke(BMessage* message = nullptr);

protected:
	// Hooks for drawing, which arrives with the interface kit's menu windows.
	virtual void GetContentSize(float* width, float* height);
	virtual void TruncateLabel(float maxWidth, char* newLabel);
	virtual void DrawContent();
	virtual void Draw();
	virtual void Highlight(bool on);
	bool IsSelected() const { return fSelected; }
	BPoint ContentLocation() const;

private:
	friend class BMenu;

	BMenuItem(const BMenuItem&) = delete;
	BMenuItem& operator=(const BMenuItem&) = delete;

	void _SetSuper(BMenu* menu);
	// The frame width the item needs for a content width in its menu's layout.
	float _FrameWidth(float contentWidth) const;
	// The shortcut as shown at the right of the item ("Alt+X"), or empty.
	std::string _ShortcutLabel() const;
	void _DrawMark();
	void _DrawTrigger(BPoint baseline);
	void _DrawTrailing();

	std::string fLabel;
	BMenu* fSubmenu;
	BMenu* fSuper;
	BRect fFrame;
	uint32 fModifiers;
	char fShortcut;
	char fTrigger;
	bool fEnabled;
	bool fMarked;
	bool fSelected;
};

#endif // _MENU_ITEM_H
