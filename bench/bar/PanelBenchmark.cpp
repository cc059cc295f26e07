// Kestrovane beside the panels people already run (tint2 and plank), measured in one run
// on one private Xvfb: time from exec to the first window on screen, memory once shown,
// and CPU while idle. Prints one table; a peer that is not installed is left out.
//
// Usage: PanelBenchmark [runs] [idle-seconds]   (defaults 15 and 60)
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

#include <X11/Xlib.h>

#include <InterfaceDefs.h>

#include "bar/BarTestSupport.h"
#include "kit/display/XServer.h"

using namespace kvtest;
using Clock = std::chrono::steady_clock;

namespace {

struct Peer
{
	Peer(std::string name_, std::vector<std::string> argv_)
	    : name(std::move(name_)), argv(std::move(argv_))
	{}

	std::string name;
	std::vector<std::string> argv;
	std::vector<double> mapped; // milliseconds from exec to the first window mapped
	std::vector<double> drawn;  // to the bar's buttons drawn (Kestrovane only)
	std::vector<double> rssKB;
	double idleCpu = -1; // percent of one core
};

bool
Installed(const std::string& program)
{
	if (program.find('/') != std::string::npos)
		return access(program.c_str(), X_OK) == 0;
	return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

double
Median(std::vector<double> values)
{
	if (values.empty())
		return -1;
	std::sort(values.begin(), values.end());
	size_t middle = values.size() / 2;
	return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Resident memory of a process, kB.
double
RssKB(pid_t pid)
{
	std::ifstream status("/proc/" + std::to_string(pid) + "/status");
	std::string line;
	while (std::getline(status, line)) {
		if (line.rfind("VmRSS:", 0) == 0)
			return std::atof(line.c_str() + 6);
	}
	return -1;
}

// User plus system CPU time of a process, in clock ticks.
long
CpuTicks(pid_t pid)
{
	std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
	std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
	size_t close = text.rfind(')');
	if (close == std::string::npos)
		return -1;
	std::istringstream fields(text.substr(close + 2));
	std::string field;
	long utime = 0, stime = 0;
	for (int i = 3; fields >> field; i++) {
		if (i == 14)
			utime = std::atol(field.c_str());
		if (i == 15) {
			stime = std::atol(field.c_str());
			break;
		}
	}
	return utime + stime;
}

// Waits for the next window mapped on the root; false after the deadline.
bool
WaitForMap(Display* display, Clock::time_point deadline)
{
	while (Clock::now() < deadline) {
		while (XPending(display) > 0) {
			XEvent event;
			XNextEvent(display, &event);
			if (event.type == MapNotify)
				return true;
		}
		std::this_thread::sleep_for(std::chrono::microseconds(200));
	}
	return false;
}

void
Stop(BackgroundProcess& process)
{
	process.Signal(SIGTERM);
	if (process.Wait(3000) < 0)
		process.Signal(SIGKILL);
	process.Wait(3000);
}

void
MeasureStart(Peer& peer, const std::vector<std::string>& env, XClient& client)
{
	Display* display = client.Handle();
	XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
	XSync(display, True);
	BackgroundProcess process(peer.argv, env);
	Clock::time_point start = process.ExecTime();
	if (WaitForMap(display, start + std::chrono::seconds(10))) {
		peer.mapped.push_back(
		        std::chrono::duration<double, std::milli>(Clock::now() - start).count());
	}
	// The first frame shows a button's face in the inactive look, or in the active one once
	// the window manager has handed the bar the focus.
	const uint32_t kFace = 0xd8d8d8;
	rgb_color inactive = tint_color(make_color(0xd8, 0xd8, 0xd8), B_DARKEN_1_TINT);
	const uint32_t kInactiveFace = (inactive.red << 16) | (inactive.green << 8) | inactive.blue;
	auto drawn = [&] {
		uint32_t pixel = client.Pixel(34, 47);
		return pixel == kFace || pixel == kInactiveFace;
	};
	if (peer.name == "Kestrovane" && WaitUntil(drawn, std::chrono::milliseconds(10000))) {
		peer.drawn.push_back(
		        std::chrono::duration<double, std::milli>(Clock::now() - start).count());
	}
	std::this_thread::sleep_for(std::chrono::milliseconds(1500));
	peer.rssKB.push_back(RssKB(process.Pid()));
	Stop(process);
	XSelectInput(display, DefaultRootWindow(display), NoEventMask);
}

// All peers shown at once, each one's CPU over the same stretch of time.
void
MeasureIdle(std::vector<Peer>& peers, const std::vector<std::string>& env, int seconds)
{
	std::vector<std::unique_ptr<BackgroundProcess>> processes;
	for (Peer& peer : peers)
		processes.push_back(std::make_unique<BackgroundProcess>(peer.argv, env));
	std::this_thread::sleep_for(std::chrono::seconds(3));
	std::vector<long> before;
	for (auto& process : processes)
		before.push_back(CpuTicks(process->Pid()));
	std::this_thread::sleep_for(std::chrono::seconds(seconds));
	double ticksPerSecond = sysconf(_SC_CLK_TCK);
	for (size_t i = 0; i < peers.size(); i++) {
		long after = CpuTicks(processes[i]->Pid());
		if (before[i] >= 0 && after >= 0)
			peers[i].idleCpu = 100.0 * (after - before[i]) / ticksPerSecond / seconds;
		Stop(*processes[i]);
	}
}

} // namespace

int
main(int argc, char** argv)
{
	int runs = argc > 1 ? std::atoi(argv[1]) : 15;
	int idleSeconds = argc > 2 ? std::atoi(argv[2]) : 60;
	// Under a window manager, as on a desktop: tint2 shows no panel without one.
	XServer server(true);
	if (!server.IsRunning()) {
		fprintf(stderr, "no Xvfb: %s\n", server.Error().c_str());
		return 1;
	}
	XClient client;
	BarProfile profile;
	for (int folder = 0; folder < 10; folder++) {
		for (int slot = 0; slot < 10; slot++) {
			profile.AddBookmark(std::to_string(folder) + " - Folder " + std::to_string(folder) +
			                            "/" + std::to_string(slot) + " - Bookmark " +
			                            std::to_string(folder * 10 + slot),
			                    "http://example.org/" + std::to_string(folder * 10 + slot));
		}
	}
	std::vector<std::string> env = profile.Environment();
	env.push_back("DISPLAY=" + server.DisplayName());

	std::vector<Peer> peers = {{"Kestrovane", {KestrovanePath()}},
	                           {"tint2", {"/usr/bin/tint2"}},
	                           {"plank", {"/usr/bin/plank"}}};
	std::erase_if(peers, [](const Peer& peer) { return !Installed(peer.argv[0]); });
	// Interleaved, so that a slow moment of the machine hits every program alike.
	for (int run = 0; run < runs; run++) {
		for (Peer& peer : peers)
			MeasureStart(peer, env, client);
	}
	if (idleSeconds > 0)
		MeasureIdle(peers, env, idleSeconds);

	printf("%-12s %14s %14s %10s %12s   (%d runs, idle over %d s, one Xvfb)\n", "program",
	       "mapped ms", "drawn ms", "RSS MB", "idle CPU %", runs, idleSeconds);
	for (const Peer& peer : peers) {
		printf("%-12s %14.1f %14.1f %10.1f %12.3f\n", peer.name.c_str(), Median(peer.mapped),
		       Median(peer.drawn), Median(peer.rssKB) / 1024.0, peer.idleCpu);
	}
	return 0;
}
