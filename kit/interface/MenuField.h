// BMenuField: a label and, right of its divider, a pop-up menu shown as one title that
// reads the menu's marked item.
#ifndef _MENU_FIELD_H
#define _MENU_FIELD_H

#include <View.h>

#include <string>

class BMenu;
class BMenuBar;

class BMenuField : public BView
{
public:
	// Takes ownership of menu. The divider starts after the label's width.
	BMenuField(BRect frame, const char* name, const char* label, BMenu* menu,
	           uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
	           uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
	// fixedSize: the menu keeps the room right of the divider, however long the marked
	// item's label; this kit always lays a field out so, and a title too long for it is
	// cut at the field's edge.
	BMenuField(BRect frame, const char* name, const char* label, BMenu* menu, bool fixedSize,
	           uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
	           uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
	virtual ~BMenuField();

	void Draw(BRect updateRect) override;
	void AttachedToWindow() override;
	void GetPreferredSize(float* width, float* height) override;

	BMenu* Menu() const { return fMenu; }
	BMenuBar* MenuBar() const { return fMenuBar; }
	const char* Label() const { return fLabel.c_str(); }
	void SetLabel(const char* label);
	// The x of the menu's left edge, in the field's coordinates.
	void SetDivider(float divider);
	float Divider() const { return fDivider; }
	void SetEnabled(bool enabled);
	bool IsEnabled() const;

private:
	void _PlaceMenuBar();

	std::string fLabel;
	BMenu* fMenu;
	BMenuBar* fMenuBar;
	float fDivider;
};

#endif // _MENU_FIELD_H
