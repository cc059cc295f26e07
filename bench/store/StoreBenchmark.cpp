// How fast the live store follows the disk: the time from a file operation (create,
// rename, attribute write) to the changed menu label in memory, reported as median and
// 99th percentile, and the cost of rebuilding a store of 100 bookmarks.
#include "store/KVMenu.h"
#include "store/KVMonitor.h"

#include <KVConstants.h>
#include <KVSettings.h>

#include <AppDefs.h>
#include <Autolock.h>
#include <Locker.h>
#include <Looper.h>
#include <Message.h>
#include <Path.h>

#include <benchmark/benchmark.h>

#include "bench/support/Latency.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

using kvbench::Microseconds;
using kvbench::ReportLatency;

namespace {

typedef std::chrono::steady_clock Clock;

// The main window's part: hand node-monitor messages to the monitor under the store lock
// and wake whoever waits for a label.
class Window : public BLooper
{
public:
	Window() : BLooper("bench window"), fMonitor(nullptr) {}
	~Window() override
	{
		BAutolock lock(fLocker);
		delete fMonitor;
	}
	void MessageReceived(BMessage* message) override
	{
		if (message->what != B_NODE_MONITOR)
			return;
		{
			BAutolock lock(fLocker);
			fMonitor->HandleNodeMessage(message);
		}
		std::lock_guard<std::mutex> guard(fWaitLock);
		fChanged.notify_all();
	}
	std::string Label(int folder, int slot)
	{
		BAutolock lock(fLocker);
		return fMonitor->fFolders[folder - 1]->Menu()->ItemAt(slot + 1)->Label();
	}
	// Waits until the label is text; returns the moment it was seen.
	Clock::time_point WaitFor(int folder, int slot, const std::string& text)
	{
		std::unique_lock<std::mutex> guard(fWaitLock);
		auto deadline = Clock::now() + std::chrono::seconds(5);
		while (Label(folder, slot) != text && Clock::now() < deadline)
			fChanged.wait_for(guard, std::chrono::milliseconds(1));
		return Clock::now();
	}

	BLocker fLocker;
	KVMonitor* fMonitor;

private:
	std::mutex fWaitLock;
	std::condition_variable fChanged;
};

struct Store
{
	Store()
	{
		char pattern[] = "/tmp/kvbench-XXXXXX";
		root = mkdtemp(pattern);
		setenv("XDG_CONFIG_HOME", root.c_str(), 1);
		settings = new KVSettings(BPath((root + "/Kestrovane.settings").c_str()));
		settings->SetShowURL(true);
		gSettings = settings;
		window = new Window;
		{
			BAutolock lock(window->fLocker);
			window->fMonitor = new KVMonitor(window, BMessenger(window));
		}
		window->Run();
		folder = root + "/Kestrovane/2 -";
	}
	~Store()
	{
		if (window->Lock())
			window->Quit();
		gSettings = nullptr;
		delete settings;
		std::filesystem::remove_all(root);
	}

	std::string root;
	std::string folder;
	KVSettings* settings;
	Window* window;
};

void
WriteBookmark(const std::string& path, const std::string& url)
{
	int fd = open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
	const char* type = "application/x-vnd.Be-bookmark";
	fsetxattr(fd, "user.mime_type", type, strlen(type), 0);
	fsetxattr(fd, "user.META:url", url.c_str(), url.size() + 1, 0);
	fsetxattr(fd, "user.META:keyw", "", 1, 0);
	close(fd);
}

// A bookmark file moved into a folder appears in its menu.
void
BM_CreateToLabel(benchmark::State& state)
{
	Store store;
	std::string staging = store.root + "/staging";
	WriteBookmark(staging, "http://new");
	std::vector<double> samples;
	int round = 0;
	for (auto _ : state) {
		std::string name = "4 - new" + std::to_string(round++);
		std::string target = store.folder + "/" + name;
		auto start = Clock::now();
		rename(staging.c_str(), target.c_str());
		auto seen = store.window->WaitFor(3, 5, name + " [http://new]");
		samples.push_back(Microseconds(start, seen));
		state.PauseTiming();
		rename(target.c_str(), staging.c_str());
		store.window->WaitFor(3, 5, "Add Bookmark Here");
		state.ResumeTiming();
	}
	ReportLatency(state, samples);
}
BENCHMARK(BM_CreateToLabel)->Iterations(200)->Unit(benchmark::kMicrosecond);

// A bookmark renamed in place shows its new name.
void
BM_RenameToLabel(benchmark::State& state)
{
	Store store;
	std::string current = store.folder + "/1 - name0";
	WriteBookmark(current, "http://r");
	store.window->WaitFor(3, 2, "1 - name0 [http://r]");
	std::vector<double> samples;
	int round = 0;
	for (auto _ : state) {
		std::string name = "1 - name" + std::to_string(++round);
		std::string next = store.folder + "/" + name;
		auto start = Clock::now();
		rename(current.c_str(), next.c_str());
		samples.push_back(Microseconds(start, store.window->WaitFor(3, 2, name + " [http://r]")));
		current = next;
	}
	ReportLatency(state, samples);
}
BENCHMARK(BM_RenameToLabel)->Iterations(200)->Unit(benchmark::kMicrosecond);

// A new "META:url" shows in the label without a re-read of the folder.
void
BM_AttributeToLabel(benchmark::State& state)
{
	Store store;
	std::string file = store.folder + "/2 - attr";
	WriteBookmark(file, "http://a0");
	store.window->WaitFor(3, 3, "2 - attr [http://a0]");
	std::vector<double> samples;
	int round = 0;
	for (auto _ : state) {
		std::string url = "http://a" + std::to_string(++round);
		auto start = Clock::now();
		setxattr(file.c_str(), "user.META:url", url.c_str(), url.size() + 1, 0);
		samples.push_back(
		        Microseconds(start, store.window->WaitFor(3, 3, "2 - attr [" + url + "]")));
	}
	ReportLatency(state, samples);
}
BENCHMARK(BM_AttributeToLabel)->Iterations(200)->Unit(benchmark::kMicrosecond);

// The rebuild that follows removals, on a full store of 100 bookmarks.
void
BM_RebuildHundredBookmarks(benchmark::State& state)
{
	Store store;
	std::string base = store.root + "/Kestrovane/";
	for (int folder = 0; folder < 10; folder++) {
		std::string directory = base + std::to_string(folder) + " -";
		for (int slot = 0; slot < 10; slot++) {
			WriteBookmark(directory + "/" + std::to_string(slot) + " - B",
			              "http://b" + std::to_string(slot));
		}
	}
	BMessage rebuild(B_NODE_MONITOR);
	rebuild.AddInt32("opcode", kOpcodeRebuild);
	for (auto _ : state) {
		BAutolock lock(store.window->fLocker);
		store.window->fMonitor->HandleNodeMessage(&rebuild);
	}
	BAutolock lock(store.window->fLocker);
	state.counters["valid_items"] = store.window->fMonitor->fFolders[9]->Items()[9]->IsValid();
}
BENCHMARK(BM_RebuildHundredBookmarks)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
