// The content of the add-bookmark window: three boxes for the three steps of filing a
// bookmark ("1. Edit Info", "2. Browse for empty slot", "3. Choose the location") and
// the row of buttons under them. The views keep no state of their own; every message
// they make goes to the window, which reads and writes their controls directly. Each
// view builds its children in InitView(), called after construction and before the view
// is added to its parent. Children belong to the view tree.
#ifndef KV_STEP_VIEWS_H
#define KV_STEP_VIEWS_H

#include <Box.h>
#include <View.h>

class BButton;
class BMenuField;
class BTextControl;

const int32 kBrowseButtonCount = 10;

class KVEditInfoView : public BBox
{
public:
	KVEditInfoView(BRect frame, const char* name);
	virtual ~KVEditInfoView();

	void InitView();

	BTextControl* fName;
	BTextControl* fUrl;
	BTextControl* fKeywords;
};

class KVBrowseView : public BBox
{
public:
	KVBrowseView(BRect frame, const char* name);
	virtual ~KVBrowseView();

	void InitView();
	// Messages addressed to the box itself are dropped.
	virtual void MessageReceived(BMessage* message);

	// Button i pops up folder i + 1's menu.
	BButton* fButtons[kBrowseButtonCount];
};

class KVLocationView : public BBox
{
public:
	KVLocationView(BRect frame, const char* name);
	virtual ~KVLocationView();

	void InitView();
	virtual void MessageReceived(BMessage* message);

	BMenuField* fFolderField;
	BMenuField* fSlotField;
	BTextControl* fKeyword;
};

class KVAddBookmarkView : public BView
{
public:
	KVAddBookmarkView(BRect frame, const char* name, uint32 resizingMode, uint32 flags);
	virtual ~KVAddBookmarkView();

	void InitView();
	// Makes "Add It!" the window's default button: a button becomes one only once it is
	// in a window.
	virtual void AttachedToWindow();
	// Everything goes on towards the window.
	virtual void MessageReceived(BMessage* message);

	BButton* fShowButton;
	BButton* fCancelButton;
	BButton* fAddButton;
	KVLocationView* fLocationView;
	KVBrowseView* fBrowseView;
	KVEditInfoView* fEditInfoView;
};

#endif // KV_STEP_VIEWS_H
