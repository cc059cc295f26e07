// The store commands of kvbookmarks. Every change is checked against the store as the bar
// reads it first, so a command never makes a second file for a slot or touches a file that
// only looks like a slot's.
#include "StoreCommands.h"

#include "StoreView.h"
#include "app/KVConstants.h"
#include "app/KVSettings.h"
#include "store/KVFiling.h"
#include "store/KVNames.h"

#include <Directory.h>
#include <Entry.h>
#include <Message.h>
#include <Messenger.h>
#include <Path.h>
#include <Roster.h>

namespace {

const char* const kBarSignature = "application/x-Zintu.Kestrovane";
const char* const kSettingsFile = "/boot/home/config/settings/Kestrovane.settings";

KVCommandResult
Refused(const BString& message)
{
	return KVCommandResult(kCommandRefused, message);
}

BString
Place(int32 folder, int32 slot)
{
	BString text;
	text << "folder " << folder << " slot " << slot;
	return text;
}

bool
ReadFolderOf(int32 folder, KVFolderView* view, BString* why)
{
	BString path = EnsureFolder(folder);
	if (path.IsEmpty()) {
		*why = "cannot make or read the store's folder";
		return false;
	}
	ReadFolder(path.String(), view);
	return true;
}

// The slot's own bookmark: a readable bookmark file (not a link) right in the folder.
bool
IsOwnBookmark(const KVFolderView& folder, const KVSlotView& slot)
{
	BEntry entry(slot.path.String(), false);
	BEntry parent;
	BPath parentPath;
	return slot.bookmark && entry.IsFile() && entry.GetParent(&parent) == B_OK &&
	       parent.GetPath(&parentPath) == B_OK && folder.path == parentPath.Path();
}

KVCommandResult
NotOwnBookmark(int32 folder, int32 slot, const KVSlotView& view)
{
	BString message;
	message << Place(folder, slot) << " holds \"" << BPath(view.path.String()).Leaf()
	        << "\", which is no bookmark file of the folder; it is left alone";
	return Refused(message);
}

BString
NumberedLeaf(int32 number, const BString& name)
{
	BString leaf;
	leaf << number << " -";
	if (!name.IsEmpty())
		leaf << " " << DiskName(name);
	return leaf;
}

bool
NameFits(const BString& name, BString* why)
{
	if (DiskName(name).Length() <= kMaxNameLength)
		return true;
	*why = "";
	*why << "the name is longer than " << kMaxNameLength << " bytes";
	return false;
}

} // namespace

BString
EnsureFolder(int32 folder)
{
	BString path = FindItem(folder + 1, 0);
	if (!path.IsEmpty())
		return path;
	if (create_directory(kStoreDirectory, 0777) != B_OK)
		return BString();
	BDirectory store(kStoreDirectory);
	BString leaf = NumberedLeaf(folder, BString());
	BDirectory made;
	status_t status = store.CreateDirectory(leaf.String(), &made);
	if (status != B_OK && status != B_FILE_EXISTS)
		return BString();
	return FindItem(folder + 1, 0);
}

bool
IsOpenableUrl(const BString& url, BString* why)
{
	if (url.IsEmpty())
		*why = "the URL is empty";
	else if (url[0] == '-')
		*why = "a URL may not start with \"-\" (a browser would take it for an option)";
	else
		return true;
	return false;
}

KVCommandResult
AddBookmark(int32 folder, int32 slot, const BString& name, const BString& url,
            const BString& keywords, bool replace)
{
	BString why;
	if (!IsOpenableUrl(url, &why) || !NameFits(name, &why))
		return KVCommandResult(kCommandUsage, why);
	KVFolderView view;
	if (!ReadFolderOf(folder, &view, &why))
		return Refused(why);
	const KVSlotView& current = view.slots[slot];
	if (current.IsTaken() && !replace) {
		BString message;
		message << Place(folder, slot) << " holds \"" << current.name
		        << "\" already (--replace rewrites it)";
		return Refused(message);
	}
	if (current.IsTaken() && !IsOwnBookmark(view, current))
		return NotOwnBookmark(folder, slot, current);

	KVBookmarkRequest request;
	request.folder = folder + 1;
	request.slot = slot + 1;
	request.name = name;
	request.url = url;
	request.keywords = keywords;
	request.folderName = view.name;
	if (current.IsTaken())
		request.seenLeaf = BPath(current.path.String()).Leaf();
	KVFilingResult result = FileBookmark(request);
	if (result.status != kFilingDone)
		return Refused(FilingAlertText(result.status));
	return KVCommandResult();
}

KVCommandResult
RemoveBookmark(int32 folder, int32 slot)
{
	KVFolderView view;
	BString why;
	if (!ReadFolderOf(folder, &view, &why))
		return Refused(why);
	const KVSlotView& current = view.slots[slot];
	if (!current.IsTaken())
		return Refused(Place(folder, slot) << " is empty");
	if (!IsOwnBookmark(view, current))
		return NotOwnBookmark(folder, slot, current);
	status_t status = BEntry(current.path.String(), false).Remove();
	if (status != B_OK)
		return Refused(BString("cannot remove the bookmark: ") << strerror_be(status));
	return KVCommandResult();
}

KVCommandResult
MoveBookmark(int32 fromFolder, int32 fromSlot, int32 toFolder, int32 toSlot)
{
	if (fromFolder == toFolder && fromSlot == toSlot)
		return KVCommandResult(kCommandUsage, "the bookmark is in that slot already");
	KVFolderView from, to;
	BString why;
	if (!ReadFolderOf(fromFolder, &from, &why) || !ReadFolderOf(toFolder, &to, &why))
		return Refused(why);
	const KVSlotView& source = from.slots[fromSlot];
	if (!source.IsTaken())
		return Refused(Place(fromFolder, fromSlot) << " is empty");
	if (!IsOwnBookmark(from, source))
		return NotOwnBookmark(fromFolder, fromSlot, source);
	const KVSlotView& target = to.slots[toSlot];
	if (target.IsTaken()) {
		BString message;
		message << Place(toFolder, toSlot) << " holds \"" << target.name << "\" already";
		return Refused(message);
	}
	BDirectory directory(to.path.String());
	BEntry entry(source.path.String(), false);
	BString leaf = NumberedLeaf(toSlot, source.name);
	status_t status = directory.InitCheck();
	if (status == B_OK)
		status = entry.MoveTo(&directory, leaf.String(), false);
	if (status != B_OK)
		return Refused(BString("cannot move the bookmark: ") << strerror_be(status));
	return KVCommandResult();
}

KVCommandResult
RenameFolder(int32 folder, const BString& name)
{
	BString why;
	if (!NameFits(name, &why))
		return KVCommandResult(kCommandUsage, why);
	BString path = EnsureFolder(folder);
	if (path.IsEmpty())
		return Refused("cannot make or read the store's folder");
	BString leaf = NumberedLeaf(folder, name);
	if (leaf == BPath(path.String()).Leaf())
		return KVCommandResult();
	BEntry entry(path.String(), false);
	status_t status = entry.Rename(leaf.String(), false);
	if (status != B_OK) {
		BString message;
		message << "cannot rename the folder to \"" << leaf << "\": " << strerror_be(status);
		return Refused(message);
	}
	return KVCommandResult();
}

KVCommandResult
OpenBookmark(int32 folder, int32 slot)
{
	BString path = FindItem(folder + 1, 0);
	KVFolderView view;
	if (!path.IsEmpty())
		ReadFolder(path.String(), &view);
	const KVSlotView& current = view.slots[slot];
	BString why;
	if (!current.IsTaken())
		return Refused(Place(folder, slot) << " is empty");
	if (!IsOpenableUrl(current.url, &why))
		return Refused(why);

	BMessenger bar(kBarSignature);
	if (bar.IsValid()) {
		BMessage launch(kMsgLaunchItem);
		launch.AddInt8("folder", static_cast<int8>(folder + 1));
		launch.AddInt8("slot", static_cast<int8>(slot + 1));
		if (bar.SendMessage(&launch) == B_OK)
			return KVCommandResult();
	}

	KVSettings settings{BPath(kSettingsFile)};
	settings.Load();
	const char* signature =
	        settings.GetBrowser() == kBrowserNetPositive ? kNetPositiveSignature : kOperaSignature;
	if (settings.GetBrowser() != kBrowserOpera && settings.GetBrowser() != kBrowserNetPositive)
		return KVCommandResult(kCommandNoBrowser, "the settings name no known browser");
	const char* arguments[1] = {current.url.String()};
	status_t status = be_roster->Launch(signature, 1, arguments);
	if (status != B_OK && status != B_ALREADY_RUNNING) {
		BString message;
		message << "cannot start the browser (" << signature << "): " << strerror_be(status);
		return KVCommandResult(kCommandNoBrowser, message);
	}
	return KVCommandResult();
}
