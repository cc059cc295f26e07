// A folder's pop-up menu, which answers the numeric keypad (a keypad digit chooses the
// bookmark whose label starts with it; Escape and keypad "/" close the menu), and its
// bold title line.
#ifndef KV_MENU_H
#define KV_MENU_H

#include <MenuItem.h>
#include <PopUpMenu.h>

class KVMenu : public BPopUpMenu
{
public:
	KVMenu(const char* name, bool radioMode, bool autoRename, menu_layout layout);
	virtual ~KVMenu();

	// Reads the raw key code from the message being handled; no key is passed on.
	void KeyDown(const char* bytes, int32 numBytes) override;

protected:
	// Acts on one raw key code.
	void HandleKey(int32 key);
};

class KVTitleItem : public BMenuItem
{
public:
	KVTitleItem(const char* label, BMessage* message, char shortcut, uint32 modifiers);
	virtual ~KVTitleItem();

	// The height of the tallest glyph of the label in the bold font.
	float FindTallest();

protected:
	void GetContentSize(float* width, float* height) override;
	void DrawContent() override;
};

#endif // KV_MENU_H
