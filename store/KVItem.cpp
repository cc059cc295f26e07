// Bookmark items: reading a bookmark file into a slot, the slot's menu label and message,
// and the watch on its file.
#include "KVItem.h"

#include "KVNames.h"
#include "KVTrace.h"

#include <KVConstants.h>
#include <KVSettings.h>

#include <Message.h>
#include <NodeInfo.h>
#include <NodeMonitor.h>

namespace {

const char* const kEmptyLabel = "Add Bookmark Here";
const uint32 kItemWatchFlags = B_WATCH_NAME | B_WATCH_STAT | B_WATCH_ATTR;

} // namespace

KVMenuItem::KVMenuItem(const char* label, BMessage* message) : BMenuItem(label, message)
{}

KVMenuItem::~KVMenuItem()
{}

status_t
KVMenuItem::Invoke(BMessage*)
{
	return BMenuItem::Invoke();
}

KVItem::KVItem(BHandler* target, int number, int folder)
    : fNumber(number), fFolder(folder), fValid(false), fNode(0),
      fMessage(new BMessage(kMsgAddBookmarkHere)), fTarget(target), fMenuItem(nullptr)
{
	fMessage->AddInt32("folder", fFolder);
	fMessage->AddInt32("slot", fNumber);
	fMenuItem = new KVMenuItem(kEmptyLabel, fMessage);
	fMenuItem->SetTarget(target);
	KVTrace("KVItem::KVItem(class BHandler *, int, int)", "Number = %d, Folder = %d", number,
	        folder);
}

KVItem::~KVItem()
{}

bool
KVItem::SetFile(const char* path)
{
	return SetFile(BEntry(path, false), path);
}

bool
KVItem::SetFile(const BEntry& entry, const char* path)
{
	if (fMenuItem == nullptr) {
		fMessage = new BMessage(KVFolder[fFolder - 1]);
		fMenuItem = new KVMenuItem("", fMessage);
		fMenuItem->SetTarget(fTarget);
	}
	// A file that is gone has no stat.
	entry_ref ref;
	struct stat info;
	if (entry.InitCheck() != B_OK || entry.GetRef(&ref) != B_OK || entry.GetStat(&info) != B_OK)
		return false;
	fRef = ref;
	fNode = info.st_ino;
	fName = GetName(path);
	// Kept even when the file is not readable yet, so that an attribute change can read
	// it again later.
	fPath.SetTo(path);

	BNode node(path);
	if (node.InitCheck() != B_OK)
		return false;
	BNodeInfo nodeInfo(&node);
	char type[B_MIME_TYPE_LENGTH];
	if (nodeInfo.InitCheck() != B_OK || nodeInfo.GetType(type) != B_OK || !IsBookmarkType(type))
		return false;
	if (!ReadStringAttribute(node, kUrlAttribute, &fUrl) ||
	    !ReadStringAttribute(node, kKeywordsAttribute, &fKeywords))
		return false;
	return true;
}

void
KVItem::SetValid(bool valid)
{
	if (valid == fValid)
		return;
	fValid = valid;
	if (valid) {
		fMenuItem->SetLabel(_ValidLabel().String());
		fMessage->what = KVFolder[fFolder - 1];
	} else {
		fMenuItem->SetLabel(kEmptyLabel);
		fMessage->what = kMsgAddBookmarkHere;
		fUrl = "";
		fName = "";
		fKeywords = "";
	}
}

void
KVItem::UpdateItem()
{
	if (!fValid)
		return;
	fMenuItem->SetLabel(_ValidLabel().String());
	_SetFields(KVFolder[fFolder - 1]);
}

KVRawItem
KVItem::RawItem() const
{
	return KVRawItem{fRef.device, fRef.directory, fRef.name, fNode};
}

bool
KVItem::Watch(BMessenger messenger)
{
	node_ref node = NodeRef();
	return watch_node(&node, kItemWatchFlags, messenger) == B_OK;
}

void
KVItem::StopWatching(BMessenger messenger)
{
	node_ref node = NodeRef();
	watch_node(&node, B_STOP_WATCHING, messenger);
}

void
KVItem::SetTarget(BHandler* target)
{
	fTarget = target;
	fMenuItem->SetTarget(target);
}

BString
KVItem::_ValidLabel() const
{
	BString label;
	label << (fNumber - 1) << " - " << fName;
	bool showURL = gSettings != nullptr && gSettings->GetShowURL();
	if (showURL && fUrl.Length() > 0)
		label << " [" << ParseURL(fUrl) << "]";
	return label;
}

// The message keeps exactly one "folder" and one "slot": refreshing a label must not make
// the message grow with every change the store sees.
void
KVItem::_SetFields(uint32 what)
{
	fMessage->what = what;
	fMessage->RemoveName("folder");
	fMessage->RemoveName("slot");
	fMessage->AddInt32("folder", fFolder);
	fMessage->AddInt32("slot", fNumber);
}
