// The add-bookmark window: its menus, the selection of folder and slot, the refresh on
// store changes, "Show In Tracker" and filing with its alerts and trace lines.
#include "addbookmark/KVBookmarkWindow.h"

#include "addbookmark/KVStepViews.h"
#include "bar/KVMainWindow.h"
#include "store/KVFiling.h"
#include "store/KVMenu.h"
#include "store/KVMonitor.h"
#include "store/KVNames.h"
#include "store/KVTrace.h"

#include <KVConstants.h>

#include <Alert.h>
#include <AppDefs.h>
#include <Application.h>
#include <Button.h>
#include <Entry.h>
#include <Locker.h>
#include <MenuBar.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <Message.h>
#include <Messenger.h>
#include <Node.h>
#include <Path.h>
#include <PopUpMenu.h>
#include <Screen.h>
#include <TextControl.h>

BMessenger* KVBookmarkWindow::fMsgWindow = nullptr;

namespace {

const char* const kWindowTitle = "Kestrovane - Add Bookmark";
const char* const kTrackerSignature = "application/x-vnd.Be-TRAK";
const char* const kTraceSignature = "void KVBookmarkWindow::MessageReceived(class BMessage *)";
const float kWindowWidth = 330;
const float kWindowHeight = 380;

// Holds the store lock for a scope. The monitor is read through it so that nobody
// touches the store without the lock.
class StoreLock
{
public:
	StoreLock() : fLocker(KVMainWindow::fLocker), fLocked(fLocker != nullptr && fLocker->Lock()) {}
	~StoreLock()
	{
		if (fLocked)
			fLocker->Unlock();
	}
	StoreLock(const StoreLock&) = delete;
	StoreLock& operator=(const StoreLock&) = delete;

	KVMonitor* Monitor() const { return fLocked ? KVMainWindow::fMonitor : nullptr; }

private:
	BLocker* fLocker;
	bool fLocked;
};

bool
InRange(int32 number)
{
	return number >= 1 && number <= 10;
}

BString
NumberedLabel(int32 index, const char* name)
{
	BString label;
	label << index << " - " << name;
	return label;
}

BMenuItem*
AddFileItem(BMenu* menu, const char* label, uint32 what, char shortcut)
{
	BMenuItem* item = new BMenuItem(label, new BMessage(what), shortcut);
	menu->AddItem(item);
	return item;
}

} // namespace

KVBookmarkWindow::KVBookmarkWindow(BRect frame, int32 folder, int32 slot)
    : BWindow(BRect(frame.left, frame.top, frame.left + kWindowWidth, frame.top + kWindowHeight),
              kWindowTitle, B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL,
              B_NOT_RESIZABLE | B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE, B_CURRENT_WORKSPACE),
      fMenuBar(nullptr), fFileMenu(nullptr), fAddView(nullptr), fOwnMessenger(nullptr),
      fFolder(InRange(folder) ? folder : 0), fSlot(InRange(slot) ? slot : 0)
{
	InitWindow();

	BRect screen = BScreen(B_MAIN_SCREEN_ID).Frame();
	BRect own = Frame();
	MoveTo((screen.Width() - own.Width()) * 0.5f, (screen.Height() - own.Height()) * 0.5f);

	if (fSlot != 0)
		fAddView->fLocationView->fSlotField->Menu()->ItemAt(fSlot - 1)->SetMarked(true);
	if (fFolder != 0) {
		fAddView->fLocationView->fFolderField->Menu()->ItemAt(fFolder - 1)->SetMarked(true);
		UpdateScreen();
		UpdateSlotStrings();
	}
}

// The bar allows a new window once it hears that this one is gone; the messenger goes
// first, under the lock, so the bar never sends through a deleted one.
KVBookmarkWindow::~KVBookmarkWindow()
{
	StoreLock lock;
	if (fMsgWindow == fOwnMessenger)
		fMsgWindow = nullptr;
	delete fOwnMessenger;
	if (KVMainWindow::fMsgWindow != nullptr)
		KVMainWindow::fMsgWindow->SendMessage(kMsgBookmarkWindowGone);
}

void
KVBookmarkWindow::InitWindow()
{
	fAddView = new KVAddBookmarkView(BRect(0, 20, kWindowWidth, kWindowHeight), "kv_abview",
	                                 B_FOLLOW_NONE, B_WILL_DRAW);
	fAddView->InitView();
	AddChild(fAddView);
	// The window takes the choices of the two menu fields, whatever the menus' defaults.
	fAddView->fLocationView->fFolderField->Menu()->SetTargetForItems(this);
	fAddView->fLocationView->fSlotField->Menu()->SetTargetForItems(this);

	BRect bounds = Bounds();
	fMenuBar = new BMenuBar(BRect(bounds.left, bounds.top, bounds.right, bounds.top + 19),
	                        "main_menu", B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP, B_ITEMS_IN_ROW, true);
	AddChild(fMenuBar);
	fFileMenu = new BMenu("File", B_ITEMS_IN_COLUMN);
	fMenuBar->AddItem(fFileMenu);
	AddFileItem(fFileMenu, "Show in tracker", kMsgShowInTracker, 'T')->SetTarget(fAddView);
	AddFileItem(fFileMenu, "Cancel", kMsgCancel, 'C')->SetTarget(fAddView);
	AddFileItem(fFileMenu, "Add Bookmark", kMsgAddIt, 'D')->SetTarget(fAddView);
	AddFileItem(fFileMenu, "About Kestrovane", B_ABOUT_REQUESTED, 'A')->SetTarget(be_app_messenger);

	_RelabelFolders();

	StoreLock lock;
	fOwnMessenger = new BMessenger(this);
	fMsgWindow = fOwnMessenger;
}

void
KVBookmarkWindow::MessageReceived(BMessage* message)
{
	int32 folderIndex = FindFolderCode(message->what);
	if (folderIndex >= 0) {
		void* pointer = nullptr;
		int32 slot = 0;
		if (message->FindPointer("button", &pointer) == B_OK) {
			// Only our own browse buttons are trusted as places to pop a menu up at.
			BButton* button = _BrowseButton(pointer);
			if (button != nullptr)
				_PopUpFolder(folderIndex, button);
		} else if (message->FindInt32("slot", &slot) == B_OK)
			_Select(folderIndex + 1, slot);
		else {
			fFolder = folderIndex + 1;
			UpdateScreen();
			UpdateSlotStrings();
		}
		return;
	}
	int32 slotIndex = FindSlotCode(message->what);
	if (slotIndex >= 0) {
		fSlot = slotIndex + 1;
		if (fFolder > 0) {
			UpdateScreen();
			UpdateSlotStrings();
		}
		return;
	}

	switch (message->what) {
	case kMsgAddBookmarkHere: {
		int32 folder = 0;
		int32 slot = 0;
		message->FindInt32("folder", &folder);
		message->FindInt32("slot", &slot);
		_Select(folder, slot);
		break;
	}
	case kMsgShowInTracker:
		_ShowInTracker();
		break;
	case kMsgCancel:
		Quit();
		break;
	case kMsgAddIt:
		_AddIt();
		break;
	case B_NODE_MONITOR:
		_RelabelFolders();
		if (fFolder > 0) {
			UpdateScreen();
			UpdateSlotStrings();
		}
		break;
	default:
		BWindow::MessageReceived(message);
		break;
	}
}

BButton*
KVBookmarkWindow::_BrowseButton(void* pointer) const
{
	for (BButton* button : fAddView->fBrowseView->fButtons) {
		if (static_cast<void*>(button) == pointer)
			return button;
	}
	return nullptr;
}

// The folder's menu is the bar's own: while it is up, its entries report to this window,
// and the store stays locked so the menu cannot change under the pointer.
void
KVBookmarkWindow::_PopUpFolder(int32 index, BButton* button)
{
	StoreLock lock;
	KVMonitor* monitor = lock.Monitor();
	if (monitor == nullptr)
		return;
	BHandler* oldTarget = monitor->fFolders[0]->Target();
	for (KVPath* folder : monitor->fFolders)
		folder->SetTarget(this);
	BRect bounds = button->Bounds();
	BPoint where = button->ConvertToScreen(BPoint(bounds.left, bounds.bottom));
	monitor->fFolders[index]->Menu()->Go(where, true, true, false);
	for (KVPath* folder : monitor->fFolders)
		folder->SetTarget(oldTarget);
}

// Folder and slot numbers from messages outside 1..10 select nothing.
void
KVBookmarkWindow::_Select(int32 folder, int32 slot)
{
	fFolder = InRange(folder) ? folder : 0;
	fSlot = InRange(slot) ? slot : 0;
	BMenu* folders = fAddView->fLocationView->fFolderField->Menu();
	BMenu* slots = fAddView->fLocationView->fSlotField->Menu();
	if (fFolder > 0)
		folders->ItemAt(fFolder - 1)->SetMarked(true);
	if (fSlot > 0)
		slots->ItemAt(fSlot - 1)->SetMarked(true);
	if (fFolder > 0) {
		UpdateScreen();
		UpdateSlotStrings();
	}
}

void
KVBookmarkWindow::_RelabelFolders()
{
	BMenu* menu = fAddView->fLocationView->fFolderField->Menu();
	StoreLock lock;
	KVMonitor* monitor = lock.Monitor();
	if (monitor == nullptr)
		return;
	for (int32 i = 0; i < 10; i++)
		menu->ItemAt(i)->SetLabel(NumberedLabel(i, monitor->fFolders[i]->Name()).String());
}

void
KVBookmarkWindow::UpdateScreen()
{
	if (fFolder < 1)
		return;
	BString folderName;
	BString name;
	BString url;
	BString keywords;
	{
		StoreLock lock;
		KVMonitor* monitor = lock.Monitor();
		if (monitor == nullptr)
			return;
		KVPath* folder = monitor->fFolders[fFolder - 1];
		folderName = folder->Name();
		if (fSlot > 0) {
			KVItem* item = folder->Items()[fSlot - 1];
			name = item->Name();
			url = item->Url();
			keywords = item->Keywords();
		}
	}
	fAddView->fLocationView->fKeyword->SetText(folderName.String());
	if (fSlot > 0) {
		fAddView->fEditInfoView->fName->SetText(name.String());
		fAddView->fEditInfoView->fUrl->SetText(url.String());
		fAddView->fEditInfoView->fKeywords->SetText(keywords.String());
	}
}

void
KVBookmarkWindow::UpdateSlotStrings()
{
	if (fFolder < 1)
		return;
	BMenu* menu = fAddView->fLocationView->fSlotField->Menu();
	{
		StoreLock lock;
		KVMonitor* monitor = lock.Monitor();
		if (monitor == nullptr)
			return;
		KVItem** items = monitor->fFolders[fFolder - 1]->Items();
		for (int32 j = 0; j < 10; j++)
			menu->ItemAt(j)->SetLabel(NumberedLabel(j, items[j]->Name()).String());
	}
	if (fSlot > 0)
		menu->ItemAt(fSlot - 1)->SetMarked(true);
}

void
KVBookmarkWindow::_ShowInTracker()
{
	BEntry entry(kStoreDirectory, false);
	entry_ref ref;
	if (entry.InitCheck() != B_OK || entry.GetRef(&ref) != B_OK)
		return;
	BMessage refs(B_REFS_RECEIVED);
	refs.AddRef("refs", &ref);
	BMessenger tracker(kTrackerSignature);
	tracker.SendMessage(&refs, static_cast<BHandler*>(nullptr), B_INFINITE_TIMEOUT);
}

// The leaf of the file that holds the slot in the menus, when it sits in the folder's
// own directory; the filing rewrites that file and no other.
BString
KVBookmarkWindow::_SeenLeaf(int32 folder, int32 slot)
{
	StoreLock lock;
	KVMonitor* monitor = lock.Monitor();
	if (monitor == nullptr)
		return BString();
	KVPath* path = monitor->fFolders[folder - 1];
	KVItem* item = path->Items()[slot - 1];
	if (!item->IsValid() || item->Path() == nullptr || path->Path() == nullptr)
		return BString();
	BPath itemPath(item->Path());
	BPath parent;
	if (itemPath.GetParent(&parent) != B_OK || BString(parent.Path()) != path->Path())
		return BString();
	return BString(itemPath.Leaf());
}

void
KVBookmarkWindow::_AddIt()
{
	if (fFolder <= 0 || fSlot <= 0) {
		_Alert("Please select a slot to add to first!", "OK");
		return;
	}
	KVBookmarkRequest request;
	request.folder = fFolder;
	request.slot = fSlot;
	fFolder = 0;
	fSlot = 0;
	request.name = fAddView->fEditInfoView->fName->Text();
	request.url = fAddView->fEditInfoView->fUrl->Text();
	request.keywords = fAddView->fEditInfoView->fKeywords->Text();
	request.folderName = fAddView->fLocationView->fKeyword->Text();
	request.seenLeaf = _SeenLeaf(request.folder, request.slot);

	KVFilingResult result = FileBookmark(request);
	KVTrace(kTraceSignature, "Item Path = %s", result.foundFolderPath.String());
	if (result.folderRenameTried)
		KVTrace(kTraceSignature, "Item needs rename\n");
	if (result.status != kFilingDone)
		_Alert(FilingAlertText(result.status), FilingAlertButton(result.status));
	Quit();
}

// The alert runs on its own and deletes itself: this window never waits for it, so a
// quit of the program while an alert shows finds nothing blocked here.
void
KVBookmarkWindow::_Alert(const char* text, const char* button)
{
	BAlert* alert = new BAlert("", text, button, nullptr, nullptr, B_WIDTH_AS_USUAL, B_INFO_ALERT);
	alert->Go(nullptr);
}

KVBookmarkWindow::Attributes
KVBookmarkWindow::GetAttr(BString& path)
{
	Attributes attributes;
	attributes.name = GetName(path);
	BNode node(path.String());
	if (node.InitCheck() != B_OK)
		return attributes;
	if (!ReadStringAttribute(node, kUrlAttribute, &attributes.url))
		attributes.url = "";
	if (!ReadStringAttribute(node, kKeywordsAttribute, &attributes.keywords))
		attributes.keywords = "";
	return attributes;
}

BWindow*
MakeBookmarkWindow(BRect frame, int32 folder, int32 slot)
{
	return new KVBookmarkWindow(frame, folder, slot);
}
