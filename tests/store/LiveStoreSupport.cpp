// The live-store test harness: main window stand-in, snapshots, and the disk oracle.
#include "LiveStoreSupport.h"

#include "store/KVMenu.h"
#include "store/KVNames.h"

#include <KVConstants.h>
#include <KVSettings.h>

#include <Autolock.h>
#include <Message.h>
#include <Path.h>

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace kvtest {

StoreWindow::StoreWindow()
    : BLooper("kv main window stand-in"), fMonitor(nullptr), fRebuilds(0), fHandled(0)
{}

StoreWindow::~StoreWindow()
{
	BAutolock lock(fLocker);
	delete fMonitor;
}

void
StoreWindow::Start()
{
	{
		BAutolock lock(fLocker);
		fMonitor = new KVMonitor(this, BMessenger(this));
	}
	Run();
}

void
StoreWindow::MessageReceived(BMessage* message)
{
	if (message->what != B_NODE_MONITOR) {
		BAutolock lock(fLocker);
		fInvoked.push_back(*message);
		return;
	}
	BAutolock lock(fLocker);
	int32 opcode = 0;
	message->FindInt32("opcode", &opcode);
	fMonitor->HandleNodeMessage(message);
	if (opcode == kOpcodeRebuild)
		fRebuilds++;
	fHandled++;
}

std::vector<FolderState>
StoreWindow::Snapshot()
{
	BAutolock lock(fLocker);
	std::vector<FolderState> store;
	for (KVPath* folder : fMonitor->fFolders) {
		FolderState state;
		state.title = folder->Menu()->ItemAt(0)->Label();
		state.name = folder->Name();
		for (int32 i = 2; i < folder->Menu()->CountItems(); i++)
			state.labels.push_back(folder->Menu()->ItemAt(i)->Label());
		store.push_back(state);
	}
	return store;
}

bool
StoreWindow::RebuildPending()
{
	BAutolock lock(fLocker);
	return fMonitor->IsRebuildPending();
}

std::vector<BMessage>
StoreWindow::Invoked()
{
	BAutolock lock(fLocker);
	return fInvoked;
}

std::string
Describe(const std::vector<FolderState>& store)
{
	std::string text;
	for (const FolderState& folder : store) {
		text += "[" + folder.title + "] name '" + folder.name + "'\n";
		for (const std::string& label : folder.labels)
			text += "    " + label + "\n";
	}
	return text;
}

LiveStore::LiveStore()
    : fXdg("XDG_CONFIG_HOME", fConfig.Path().c_str()), fHome("HOME", fConfig.Path().c_str()),
      fSettings(new KVSettings(BPath(fConfig.Sub("Kestrovane.settings").c_str()))),
      fWindow(new StoreWindow)
{
	fSettings->SetShowURL(true);
	gSettings = fSettings;
}

LiveStore::~LiveStore()
{
	if (fWindow->Lock())
		fWindow->Quit();
	gSettings = nullptr;
	delete fSettings;
}

void
LiveStore::Start()
{
	fWindow->Start();
}

std::string
LiveStore::Folder(int number)
{
	BAutolock lock(fWindow->fLocker);
	return fWindow->fMonitor->fFolders[number - 1]->Path();
}

std::string
LiveStore::Label(int folder, int slot)
{
	return fWindow->Snapshot()[folder - 1].labels[slot - 1];
}

bool
LiveStore::WaitForLabel(int folder, int slot, const std::string& text, int milliseconds)
{
	return WaitUntil([&] { return Label(folder, slot) == text; },
	                 std::chrono::milliseconds(milliseconds));
}

bool
LiveStore::WaitForRebuildAfter(int32 count, int milliseconds)
{
	return WaitUntil([&] { return fWindow->Rebuilds() > count && !fWindow->RebuildPending(); },
	                 std::chrono::milliseconds(milliseconds));
}

namespace {

std::vector<fs::path>
SortedEntries(const fs::path& directory)
{
	std::vector<fs::path> entries;
	std::error_code error;
	for (const auto& entry : fs::directory_iterator(directory, error))
		entries.push_back(entry.path());
	std::sort(entries.begin(), entries.end(), [](const fs::path& a, const fs::path& b) {
		return a.filename().string() < b.filename().string();
	});
	return entries;
}

std::string
AttributeText(const std::string& path, const char* name)
{
	std::string value;
	if (!GetXattr(path, std::string("user.") + name, &value))
		return std::string();
	return value.substr(0, value.find('\0'));
}

std::string
DiskLabel(const fs::path& file, int digit)
{
	std::string label = std::to_string(digit) + " - " + GetName(file.c_str()).String();
	std::string type;
	bool bookmark = GetXattr(file, "user.mime_type", &type) && IsBookmarkType(type.c_str());
	std::string url = bookmark ? AttributeText(file, "META:url") : std::string();
	if (!url.empty())
		label += " [" + std::string(ParseURL(url.c_str()).String()) + "]";
	return label;
}

} // namespace

std::vector<FolderState>
ReadDisk(const std::string& store)
{
	std::vector<FolderState> result(10);
	std::vector<bool> found(10, false);
	for (const fs::path& entry : SortedEntries(store)) {
		std::error_code error;
		if (!fs::is_directory(fs::symlink_status(entry, error)))
			continue;
		int number = GetNumber(entry.c_str());
		if (number < 0 || found[number])
			continue;
		found[number] = true;
		FolderState& folder = result[number];
		folder.title = entry.filename().string();
		folder.name = GetName(entry.c_str()).String();
		folder.labels.assign(10, "Add Bookmark Here");
		std::vector<bool> taken(10, false);
		for (const fs::path& file : SortedEntries(entry)) {
			if (!fs::is_regular_file(fs::status(file, error)))
				continue;
			int slot = GetNumber(file.c_str());
			if (slot < 0 || taken[slot])
				continue;
			taken[slot] = true;
			folder.labels[slot] = DiskLabel(file, slot);
		}
	}
	return result;
}

std::string
Quote(const std::string& text)
{
	return "'" + text + "'";
}

std::string
BookmarkCommand(const std::string& path, const std::string& url)
{
	std::string file = Quote(path);
	return "touch " + file + " && setfattr -n user.mime_type -v application/x-vnd.Be-bookmark " +
	       file + " && setfattr -n user.META:url -v " + Quote(url) + " " + file +
	       " && setfattr -n user.META:keyw -v '' " + file;
}

void
Shell(const std::string& command)
{
	ProcessResult result = RunProcess({"/bin/sh", "-c", command});
	ASSERT_EQ(0, result.exitStatus) << command << "\n" << result.error;
}

} // namespace kvtest
