// A real store for the live-store tests: a private configuration directory, a looper
// standing in for the main window (it hands every node-monitor message to the store
// monitor while holding the store lock), snapshots of the in-memory menus, an independent
// reading of the disk to compare them with, and shell helpers that change the tree the
// way the file manager would.
#ifndef KV_LIVE_STORE_SUPPORT_H
#define KV_LIVE_STORE_SUPPORT_H

#include "store/KVMonitor.h"
#include "tests/support/TestSupport.h"

#include <Autolock.h>
#include <Locker.h>
#include <Looper.h>
#include <Message.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

class KVSettings;

namespace kvtest {

struct FolderState
{
	std::string title;
	std::string name;
	std::vector<std::string> labels;
	bool operator==(const FolderState& other) const = default;
};

std::string Describe(const std::vector<FolderState>& store);

class StoreWindow : public BLooper
{
public:
	StoreWindow();
	~StoreWindow() override;

	// Builds the monitor under the store lock, then starts the looper.
	void Start();
	void MessageReceived(BMessage* message) override;

	std::vector<FolderState> Snapshot();
	// The menus of the store as a fresh read of the disk would build them.
	int32 Rebuilds() const { return fRebuilds.load(); }
	int32 Handled() const { return fHandled.load(); }
	bool RebuildPending();
	std::vector<BMessage> Invoked();

	BLocker fLocker;
	KVMonitor* fMonitor;

private:
	std::atomic<int32> fRebuilds;
	std::atomic<int32> fHandled;
	std::vector<BMessage> fInvoked;
};

// A configuration directory of its own, the settings with show-URL on, and the window.
class LiveStore
{
public:
	LiveStore();
	~LiveStore();

	void Start();
	std::string Store() const { return fConfig.Sub("Kestrovane"); }
	std::string Folder(int number);
	std::string Outside() const { return fOutside.Path(); }
	StoreWindow* Window() const { return fWindow; }

	// Waits for a label of folder (1..10) slot (1..10) to become text.
	bool WaitForLabel(int folder, int slot, const std::string& text, int milliseconds = 3000);
	// Waits until a rebuild has run after the given count and no other is pending.
	bool WaitForRebuildAfter(int32 count, int milliseconds = 4000);
	std::string Label(int folder, int slot);

private:
	TempDir fConfig{"kvconfig"};
	TempDir fOutside{"kvoutside"};
	ScopedEnv fXdg;
	ScopedEnv fHome;
	KVSettings* fSettings;
	StoreWindow* fWindow;
};

// The store as read straight from disk with the naming rules, show-URL on.
std::vector<FolderState> ReadDisk(const std::string& store);

// A bookmark file with type, URL and keywords, written in one shell command.
std::string BookmarkCommand(const std::string& path, const std::string& url);
void Shell(const std::string& command);
std::string Quote(const std::string& text);

} // namespace kvtest

#endif // KV_LIVE_STORE_SUPPORT_H
