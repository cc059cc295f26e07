// The time from "Add It!" in the add-bookmark window to the new label in the folder's
// menu: the filing on disk, the node monitor's notice and the store's update together,
// reported as median and 99th percentile. Runs without a display (the window is a looper).
#include "addbookmark/KVBookmarkWindow.h"
#include "addbookmark/KVStepViews.h"
#include "bar/KVMainWindow.h"
#include "store/KVMenu.h"
#include "store/KVMonitor.h"

#include <KVConstants.h>
#include <KVSettings.h>

#include <Autolock.h>
#include <Locker.h>
#include <Looper.h>
#include <Message.h>
#include <Messenger.h>
#include <OS.h>
#include <Path.h>
#include <TextControl.h>

#include <benchmark/benchmark.h>

#include "bench/support/Latency.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <string>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

using kvbench::Microseconds;
using kvbench::ReportLatency;

namespace {

typedef std::chrono::steady_clock Clock;

// The bar's part: node-monitor messages go to the monitor under the store lock.
class Bar : public BLooper
{
public:
	Bar() : BLooper("bench bar") {}
	void MessageReceived(BMessage* message) override
	{
		if (message->what != B_NODE_MONITOR)
			return;
		{
			BAutolock lock(KVMainWindow::fLocker);
			KVMainWindow::fMonitor->HandleNodeMessage(message);
		}
		std::lock_guard<std::mutex> guard(fWaitLock);
		fChanged.notify_all();
	}
	std::string Label(int folder, int slot)
	{
		BAutolock lock(KVMainWindow::fLocker);
		return KVMainWindow::fMonitor->fFolders[folder - 1]->Menu()->ItemAt(slot + 1)->Label();
	}
	Clock::time_point WaitFor(int folder, int slot, const std::string& text)
	{
		std::unique_lock<std::mutex> guard(fWaitLock);
		auto deadline = Clock::now() + std::chrono::seconds(5);
		while (Label(folder, slot) != text && Clock::now() < deadline)
			fChanged.wait_for(guard, std::chrono::milliseconds(1));
		return Clock::now();
	}

private:
	std::mutex fWaitLock;
	std::condition_variable fChanged;
};

struct Store
{
	Store()
	{
		unsetenv("DISPLAY");
		char pattern[] = "/tmp/kvbench-XXXXXX";
		root = mkdtemp(pattern);
		setenv("XDG_CONFIG_HOME", root.c_str(), 1);
		settings = new KVSettings(BPath((root + "/Kestrovane.settings").c_str()));
		settings->SetShowURL(true);
		gSettings = settings;
		KVMainWindow::fLocker = new BLocker("bench store");
		bar = new Bar;
		{
			BAutolock lock(KVMainWindow::fLocker);
			KVMainWindow::fMonitor = new KVMonitor(bar, BMessenger(bar));
		}
		bar->Run();
	}
	~Store()
	{
		// The windows read the store until their threads end.
		for (thread_id thread : windows) {
			status_t result;
			wait_for_thread(thread, &result);
		}
		if (bar->Lock())
			bar->Quit();
		delete KVMainWindow::fMonitor;
		KVMainWindow::fMonitor = nullptr;
		delete KVMainWindow::fLocker;
		KVMainWindow::fLocker = nullptr;
		gSettings = nullptr;
		delete settings;
		std::filesystem::remove_all(root);
	}

	// A window on folder and slot with the fields filled in, ready for "Add It!".
	BMessenger Open(int folder, int slot, const std::string& name, const std::string& url)
	{
		KVBookmarkWindow* window =
		        static_cast<KVBookmarkWindow*>(MakeBookmarkWindow(BRect(0, 0, 0, 0), folder, slot));
		KVAddBookmarkView* view = window->AddView();
		view->fEditInfoView->fName->SetText(name.c_str());
		view->fEditInfoView->fUrl->SetText(url.c_str());
		window->Show();
		windows.push_back(window->Thread());
		// The window has drawn itself and waits, as it does when the user clicks.
		BMessenger messenger(window);
		BMessage ping('ping');
		BMessage reply;
		messenger.SendMessage(&ping, &reply);
		return messenger;
	}

	std::string root;
	KVSettings* settings;
	Bar* bar;
	std::vector<thread_id> windows;
};

// Rewriting a slot's bookmark under a new name: rename, three attributes, new label.
void
BM_AddItRewriteToLabel(benchmark::State& state)
{
	Store store;
	std::vector<double> samples;
	int round = 0;
	BMessenger window = store.Open(3, 2, "name0", "http://r");
	window.SendMessage(kMsgAddIt);
	store.bar->WaitFor(3, 2, "1 - name0 [http://r]");
	for (auto _ : state) {
		state.PauseTiming();
		std::string name = "name" + std::to_string(++round);
		window = store.Open(3, 2, name, "http://r");
		state.ResumeTiming();
		auto start = Clock::now();
		window.SendMessage(kMsgAddIt);
		samples.push_back(
		        Microseconds(start, store.bar->WaitFor(3, 2, "1 - " + name + " [http://r]")));
	}
	ReportLatency(state, samples);
}
BENCHMARK(BM_AddItRewriteToLabel)->Iterations(100)->Unit(benchmark::kMicrosecond);

// Filing into a free slot: a new file, its type and attributes, a new label.
void
BM_AddItCreateToLabel(benchmark::State& state)
{
	Store store;
	std::vector<double> samples;
	int round = 0;
	for (auto _ : state) {
		state.PauseTiming();
		int folder = round / 10 + 1;
		int slot = round % 10 + 1;
		round++;
		std::string name = "new" + std::to_string(round);
		BMessenger window = store.Open(folder, slot, name, "http://c");
		state.ResumeTiming();
		auto start = Clock::now();
		window.SendMessage(kMsgAddIt);
		std::string label = std::to_string(slot - 1) + " - " + name + " [http://c]";
		samples.push_back(Microseconds(start, store.bar->WaitFor(folder, slot, label)));
	}
	ReportLatency(state, samples);
}
BENCHMARK(BM_AddItCreateToLabel)->Iterations(100)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
