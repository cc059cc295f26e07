// Display speed on a private Xvfb: time from Show() to the first frame on the server, a
// full redraw of a 300x300 view with 100 lines of text, and the CPU an idle shown window
// costs (it should be none: the display thread blocks, nothing polls).
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <sys/resource.h>
#include <thread>

#include <View.h>
#include <Window.h>

#include "BenchDisplay.h"
#include "Display.h"

namespace {

using kvbench::Environment;
using kvbench::Shared;

constexpr rgb_color kMarker = {10, 200, 30, 255};

class TextView : public BView
{
public:
	TextView(BRect frame) : BView(frame, "text", B_FOLLOW_ALL, B_WILL_DRAW)
	{
		SetViewColor(kMarker);
	}

	void Draw(BRect) override
	{
		SetHighColor(0, 0, 0);
		for (int line = 0; line < 100; line++) {
			DrawString("The quick brown fox jumps over the lazy dog 0123456789",
			           BPoint(2, 3 + line * 3));
		}
	}
};

BWindow*
NewWindow(BRect frame, BView** view)
{
	BWindow* window = new BWindow(frame, "Bench", B_BORDERED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL,
	                              B_NOT_RESIZABLE);
	*view = new TextView(window->Bounds());
	window->AddChild(*view);
	return window;
}

void
Close(BWindow* window)
{
	if (window->Lock())
		window->Quit();
}

void
BM_ShowToFirstFrame(benchmark::State& state)
{
	Environment* environment = Shared();
	if (!environment->client) {
		state.SkipWithError("Xvfb could not start");
		return;
	}
	for (auto _ : state) {
		BView* view;
		BWindow* window = NewWindow(BRect(100, 100, 399, 399), &view);
		auto start = std::chrono::steady_clock::now();
		window->Show();
		while (environment->client->Pixel(101, 101) != 0x0ac81e)
			std::this_thread::yield();
		auto end = std::chrono::steady_clock::now();
		state.SetIterationTime(std::chrono::duration<double>(end - start).count());
		Close(window);
		while (environment->client->Pixel(101, 101) == 0x0ac81e)
			std::this_thread::yield();
	}
}
BENCHMARK(BM_ShowToFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

void
BM_FullRedraw300x300With100Lines(benchmark::State& state)
{
	Environment* environment = Shared();
	if (!environment->client) {
		state.SkipWithError("Xvfb could not start");
		return;
	}
	BView* view;
	BWindow* window = NewWindow(BRect(100, 100, 399, 399), &view);
	window->Show();
	while (environment->client->Pixel(101, 101) != 0x0ac81e)
		std::this_thread::yield();
	for (auto _ : state) {
		window->Lock();
		view->Invalidate();
		window->UpdateIfNeeded();
		window->Sync();
		window->Unlock();
	}
	Close(window);
}
BENCHMARK(BM_FullRedraw300x300With100Lines)->Unit(benchmark::kMillisecond);

double
CpuSeconds()
{
	rusage usage;
	getrusage(RUSAGE_SELF, &usage);
	return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
	       (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void
BM_IdleShownWindowCpu(benchmark::State& state)
{
	Environment* environment = Shared();
	if (!environment->client) {
		state.SkipWithError("Xvfb could not start");
		return;
	}
	BView* view;
	BWindow* window = NewWindow(BRect(100, 100, 399, 399), &view);
	window->Show();
	while (environment->client->Pixel(101, 101) != 0x0ac81e)
		std::this_thread::yield();
	double cpu = 0;
	double wall = 0;
	for (auto _ : state) {
		double before = CpuSeconds();
		auto start = std::chrono::steady_clock::now();
		// Waiting, not polling: the window must cost nothing meanwhile.
		std::this_thread::sleep_for(std::chrono::seconds(3));
		wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
		cpu += CpuSeconds() - before;
	}
	state.counters["cpu_percent"] = 100.0 * cpu / wall;
	Close(window);
}
BENCHMARK(BM_IdleShownWindowCpu)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
