// What the bubble helper costs while nothing happens: the program's CPU time per minute
// with the pointer resting outside its windows, with and without a helper, in a running
// application on a private Xvfb. The goal is under 0.1% of one core (60 ms a minute).
#include <benchmark/benchmark.h>

#include <atomic>
#include <ctime>
#include <thread>

#include <Application.h>
#include <View.h>
#include <Window.h>

#include "BenchDisplay.h"
#include "support/TestSupport.h"
#include "widgets/KVBubbleHelper.h"

namespace {

// How long each case sits idle; the figure is scaled to one minute.
const double kIdleSeconds = 10;

class BenchApp : public BApplication
{
public:
	BenchApp() : BApplication("application/x-vnd.kvbench-bubble") {}

	void ReadyToRun() override { running = true; }

	static std::atomic<bool> running;
};

std::atomic<bool> BenchApp::running{false};

// The application, one window with help on its view, and the pointer far from it, made
// once for the process.
struct IdleProgram
{
	IdleProgram()
	{
		kvbench::Environment* environment = kvbench::Shared();
		if (!environment->server->IsRunning())
			return;
		appThread = std::thread([] {
			BenchApp app;
			app.Run();
		});
		if (!kvtest::WaitUntil([] { return BenchApp::running.load(); }))
			return;
		window = new BWindow(BRect(100, 100, 399, 199), "Bar", B_TITLED_WINDOW_LOOK,
		                     B_NORMAL_WINDOW_FEEL, 0);
		view = new BView(window->Bounds(), "button", B_FOLLOW_ALL, B_WILL_DRAW);
		window->AddChild(view);
		window->Show();
		environment->client->MoveMouse(900, 700);
		environment->client->Sync();
		ready = true;
	}

	std::thread appThread;
	BWindow* window = nullptr;
	BView* view = nullptr;
	bool ready = false;
};

IdleProgram*
Program()
{
	static IdleProgram* sProgram = new IdleProgram;
	return sProgram;
}

double
ProcessSeconds()
{
	timespec now;
	clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
	return now.tv_sec + now.tv_nsec / 1e9;
}

void
Idle(benchmark::State& state, bool withHelper)
{
	IdleProgram* program = Program();
	if (!program->ready) {
		state.SkipWithError("no private X server");
		return;
	}
	double cpu = 0;
	for (auto _ : state) {
		KVBubbleHelper* helper = nullptr;
		if (withHelper) {
			helper = new KVBubbleHelper;
			program->window->Lock();
			helper->SetHelp(program->view, "0 - Home");
			program->window->Unlock();
		}
		// Let the helper find the application and make its bubble before measuring.
		std::this_thread::sleep_for(std::chrono::seconds(1));
		double start = ProcessSeconds();
		std::this_thread::sleep_for(std::chrono::duration<double>(kIdleSeconds));
		cpu = ProcessSeconds() - start;
		delete helper;
	}
	state.counters["cpu_ms_per_minute"] = cpu * 1000 * 60 / kIdleSeconds;
	state.counters["percent_of_core"] = cpu * 100 / kIdleSeconds;
}

void
BM_IdleWithoutHelper(benchmark::State& state)
{
	Idle(state, false);
}

void
BM_IdleWithHelper(benchmark::State& state)
{
	Idle(state, true);
}

BENCHMARK(BM_IdleWithoutHelper)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_IdleWithHelper)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
