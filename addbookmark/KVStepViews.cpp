// The step views of the add-bookmark window: their children, names, frames and messages.
#include "addbookmark/KVStepViews.h"

#include <KVConstants.h>

#include <Button.h>
#include <Font.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <Message.h>
#include <PopUpMenu.h>
#include <String.h>
#include <TextControl.h>

namespace {

const uint32 kBoxFlags = B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE_JUMP;
const uint32 kChildResizing = B_FOLLOW_LEFT | B_FOLLOW_TOP;
const uint32 kChildFlags = B_WILL_DRAW | B_NAVIGABLE;
const float kInfoDivider = 55;
const rgb_color kContentColor = {216, 216, 216, 255};

BTextControl*
AddTextControl(BView* parent, BRect frame, const char* name, const char* label, float divider)
{
	BTextControl* control =
	        new BTextControl(frame, name, label, "", nullptr, kChildResizing, kChildFlags);
	control->SetDivider(divider);
	parent->AddChild(control);
	return control;
}

// Ten entries "0".."9" sending codes[i], with the digit and modifiers as shortcut.
BPopUpMenu*
NumberMenu(const char* title, const uint32 codes[], uint32 modifiers)
{
	BPopUpMenu* menu = new BPopUpMenu(title, true, true, B_ITEMS_IN_COLUMN);
	for (int32 i = 0; i < 10; i++) {
		BString label;
		label << i;
		menu->AddItem(new BMenuItem(label.String(), new BMessage(codes[i]),
		                            static_cast<char>('0' + i), modifiers));
	}
	menu->SetFont(be_bold_font, B_FONT_ALL);
	return menu;
}

} // namespace

KVEditInfoView::KVEditInfoView(BRect frame, const char* name)
    : BBox(frame, name, kChildResizing, kBoxFlags, B_FANCY_BORDER), fName(nullptr), fUrl(nullptr),
      fKeywords(nullptr)
{}

KVEditInfoView::~KVEditInfoView()
{}

void
KVEditInfoView::InitView()
{
	fName = AddTextControl(this, BRect(10, 20, 295, 40), "kv_editinfo_name", "Name", kInfoDivider);
	fUrl = AddTextControl(this, BRect(10, 50, 295, 70), "kv_editinfo_url", "URL", kInfoDivider);
	fKeywords = AddTextControl(this, BRect(10, 80, 295, 100), "kv_editinfo_keywords", "Keywords",
	                           kInfoDivider);
}

KVBrowseView::KVBrowseView(BRect frame, const char* name)
    : BBox(frame, name, kChildResizing, kBoxFlags, B_FANCY_BORDER), fButtons()
{}

KVBrowseView::~KVBrowseView()
{}

void
KVBrowseView::InitView()
{
	for (int32 i = 0; i < kBrowseButtonCount; i++) {
		BString name;
		name << "kv_browse_button" << i;
		BString label;
		label << i;
		BRect frame(34 + 20 * i, 32, 54 + 20 * i, 52);
		fButtons[i] = new BButton(frame, name.String(), label.String(), nullptr, kChildResizing,
		                          kChildFlags);
		AddChild(fButtons[i]);
		BMessage* message = new BMessage(KVFolder[i]);
		message->AddPointer("button", fButtons[i]);
		fButtons[i]->SetMessage(message);
		fButtons[i]->SetFont(be_bold_font, B_FONT_ALL);
	}
}

void
KVBrowseView::MessageReceived(BMessage*)
{}

KVLocationView::KVLocationView(BRect frame, const char* name)
    : BBox(frame, name, kChildResizing, kBoxFlags, B_FANCY_BORDER), fFolderField(nullptr),
      fSlotField(nullptr), fKeyword(nullptr)
{}

KVLocationView::~KVLocationView()
{}

void
KVLocationView::InitView()
{
	BPopUpMenu* folders = NumberMenu("Folder", KVFolder, B_COMMAND_KEY);
	fFolderField = new BMenuField(BRect(10, 20, 150, 39), "kv_location_folder", "Choose Folder",
	                              folders, true, kChildResizing, kChildFlags);
	AddChild(fFolderField);
	fFolderField->SetDivider(75);

	BPopUpMenu* slots = NumberMenu("Slot", KVSlot, B_COMMAND_KEY | B_SHIFT_KEY);
	fSlotField = new BMenuField(BRect(155, 20, 300, 40), "kv_location_slot", "Choose Slot", slots,
	                            true, kChildResizing, kChildFlags);
	AddChild(fSlotField);
	fSlotField->SetDivider(70);

	fKeyword = AddTextControl(this, BRect(10, 50, 260, 70), "kv_location_keyword", "Folder Keyword",
	                          80);
}

void
KVLocationView::MessageReceived(BMessage*)
{}

KVAddBookmarkView::KVAddBookmarkView(BRect frame, const char* name, uint32 resizingMode,
                                     uint32 flags)
    : BView(frame, name, resizingMode, flags), fShowButton(nullptr), fCancelButton(nullptr),
      fAddButton(nullptr), fLocationView(nullptr), fBrowseView(nullptr), fEditInfoView(nullptr)
{}

KVAddBookmarkView::~KVAddBookmarkView()
{}

void
KVAddBookmarkView::InitView()
{
	fLocationView = new KVLocationView(BRect(10, 220, 320, 310), "kv_location");
	fLocationView->SetLabel("3. Choose the location");
	fLocationView->InitView();
	AddChild(fLocationView);

	fBrowseView = new KVBrowseView(BRect(10, 130, 320, 210), "kv_browse");
	fBrowseView->SetLabel("2. Browse for empty slot");
	fBrowseView->InitView();
	AddChild(fBrowseView);

	fEditInfoView = new KVEditInfoView(BRect(10, 10, 320, 122), "kv_editinfo");
	fEditInfoView->SetLabel("1. Edit Info");
	fEditInfoView->InitView();
	AddChild(fEditInfoView);

	fShowButton =
	        new BButton(BRect(10, 320, 105, 350), "kv_abview_showintracker", "Show In Tracker",
	                    new BMessage(kMsgShowInTracker), kChildResizing, kChildFlags);
	AddChild(fShowButton);
	fCancelButton = new BButton(BRect(115, 320, 210, 350), "kv_abview_cancel", "Cancel",
	                            new BMessage(kMsgCancel), kChildResizing, kChildFlags);
	AddChild(fCancelButton);
	fAddButton = new BButton(BRect(217, 317, 318, 353), "kv_abview_add", "Add It!",
	                         new BMessage(kMsgAddIt), kChildResizing, kChildFlags);
	AddChild(fAddButton);
	fAddButton->MakeDefault(true);
	SetViewColor(kContentColor);
}

void
KVAddBookmarkView::AttachedToWindow()
{
	BView::AttachedToWindow();
	fAddButton->MakeDefault(true);
}

void
KVAddBookmarkView::MessageReceived(BMessage* message)
{
	BView::MessageReceived(message);
}
