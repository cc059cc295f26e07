// The bar window in this process on a private Xvfb with a full store: how long a change on
// disk takes to reach the label of the folder menu the user would open next.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/support/Latency.h"

#include <Autolock.h>
#include <Locker.h>
#include <MenuItem.h>
#include <Path.h>

#include "../kit/interface/BenchDisplay.h"
#include "app/KVSettings.h"
#include "bar/BarTestSupport.h"
#include "bar/KVMainWindow.h"
#include "store/KVMonitor.h"

using namespace kvtest;

namespace {

std::string
Label(int folder, int slot)
{
	BAutolock lock(KVMainWindow::fLocker);
	// The bar reads the store once it is on screen.
	if (KVMainWindow::fMonitor == nullptr)
		return "";
	KVItem* item = KVMainWindow::fMonitor->fFolders[folder - 1]->Items()[slot - 1];
	BMenuItem* menuItem = item->MenuItem();
	return menuItem != nullptr && menuItem->Label() != nullptr ? menuItem->Label() : "";
}

void
BM_DiskChangeToMenuLabel(benchmark::State& state)
{
	kvbench::Environment* environment = kvbench::Shared();
	if (!environment->client) {
		state.SkipWithError("Xvfb could not start");
		return;
	}
	BarProfile profile;
	for (int folder = 0; folder < 10; folder++) {
		for (int slot = 0; slot < 10; slot++) {
			profile.AddBookmark(std::to_string(folder) + " - F" + std::to_string(folder) + "/" +
			                            std::to_string(slot) + " - B" + std::to_string(slot),
			                    "http://example.org/" + std::to_string(folder * 10 + slot));
		}
	}
	gSettings = new KVSettings(BPath(profile.SettingsFile().c_str()));
	KVMainWindow* window = new KVMainWindow(BRect(30, 30, 0, 0));
	window->Show();

	std::string folder = profile.Store() + "/4 - F4/";
	std::string names[2] = {"7 - B7", "7 - Renamed"};
	int current = 0;
	std::vector<double> samples;
	for (auto _ : state) {
		int next = 1 - current;
		auto start = std::chrono::steady_clock::now();
		std::rename((folder + names[current]).c_str(), (folder + names[next]).c_str());
		while (Label(5, 8).rfind(names[next], 0) != 0)
			std::this_thread::yield();
		auto end = std::chrono::steady_clock::now();
		samples.push_back(kvbench::Microseconds(start, end));
		state.SetIterationTime(samples.back() / 1e6);
		current = next;
	}
	kvbench::ReportLatency(state, samples);
	if (window->Lock())
		window->Quit();
	delete gSettings;
	gSettings = nullptr;
}
BENCHMARK(BM_DiskChangeToMenuLabel)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond)
        ->Iterations(200);

} // namespace

BENCHMARK_MAIN();
