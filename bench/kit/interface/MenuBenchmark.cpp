// Menu speed on a private Xvfb: time from Go() to the menu's first frame on the server for
// a pop-up menu of 12 items and for a menu whose submenu is then opened from the keyboard,
// and the resident memory that 10 open menus cost.
#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <unistd.h>
#include <vector>

#include <InterfaceDefs.h>
#include <MenuItem.h>
#include <PopUpMenu.h>
#include <Window.h>

#include "BenchDisplay.h"
#include "Display.h"
#include "support/TestSupport.h"

namespace {

using kvbench::Environment;
using kvbench::Shared;

const unsigned int kRightKeycode = 114;

// Hide() closes an open menu; the benchmarks close their menus with it.
class BenchMenu : public BPopUpMenu
{
public:
	explicit BenchMenu(const char* name) : BPopUpMenu(name, false, false) {}
	using BPopUpMenu::Hide;
};

uint32_t
MenuBackground()
{
	rgb_color color = ui_color(B_MENU_BACKGROUND_COLOR);
	return (uint32_t)color.red << 16 | (uint32_t)color.green << 8 | color.blue;
}

uint32_t
Selection()
{
	rgb_color color = ui_color(B_MENU_SELECTION_BACKGROUND_COLOR);
	return (uint32_t)color.red << 16 | (uint32_t)color.green << 8 | color.blue;
}

BenchMenu*
NewMenu(const char* name, int32 count)
{
	BenchMenu* menu = new BenchMenu(name);
	for (int32 i = 0; i < count; i++)
		menu->AddItem(new BMenuItem("A bookmark of some length", nullptr));
	return menu;
}

// Closes an open menu and waits until its window is gone from the screen.
bool
CloseMenu(Environment* environment, BenchMenu* menu, BPoint where)
{
	menu->Hide();
	return kvtest::WaitUntil([&] {
		return menu->Window() == nullptr &&
		       environment->client->Pixel(where.x + 4, where.y + 4) != MenuBackground();
	});
}

bool
Skip(benchmark::State& state, Environment* environment)
{
	if (environment->client == nullptr) {
		state.SkipWithError("no Xvfb");
		return true;
	}
	return false;
}

void
BM_OpenPopUpMenuOf12Items(benchmark::State& state)
{
	Environment* environment = Shared();
	if (Skip(state, environment))
		return;
	BenchMenu* menu = NewMenu("twelve", 12);
	BPoint where(200, 200);
	for (auto _ : state) {
		menu->Go(where, false, false, true);
		if (!environment->client->WaitForPixel(where.x + 4, where.y + 4, MenuBackground())) {
			state.SkipWithError("the menu never showed");
			break;
		}
		state.PauseTiming();
		bool closed = CloseMenu(environment, menu, where);
		state.ResumeTiming();
		if (!closed) {
			state.SkipWithError("the menu never closed");
			break;
		}
	}
	delete menu;
}
BENCHMARK(BM_OpenPopUpMenuOf12Items)->Unit(benchmark::kMillisecond)->UseRealTime();

// Go() to the submenu's first frame: the menu opens, the pointer highlights the
// submenu's item and Right opens the submenu beside it.
void
BM_OpenMenuAndItsSubmenu(benchmark::State& state)
{
	Environment* environment = Shared();
	if (Skip(state, environment))
		return;
	BenchMenu* menu = NewMenu("parent", 0);
	BMenu* submenu = new BMenu("Submenu");
	for (int32 i = 0; i < 6; i++)
		submenu->AddItem(new BMenuItem("A bookmark of some length", nullptr));
	menu->AddItem(submenu);
	for (int32 i = 0; i < 5; i++)
		menu->AddItem(new BMenuItem("Another bookmark", nullptr));
	BPoint where(200, 200);
	float width = 0;
	menu->GetPreferredSize(&width, nullptr);
	BPoint submenuWhere(where.x + width + 1, where.y);
	for (auto _ : state) {
		menu->Go(where, false, false, true);
		// Shown: plain, or highlighted already when it opened under the pointer.
		bool shown = kvtest::WaitUntil([&] {
			uint32_t pixel = environment->client->Pixel(where.x + 4, where.y + 4);
			return pixel == MenuBackground() || pixel == Selection();
		});
		if (!shown) {
			state.SkipWithError("the menu never showed");
			break;
		}
		// The pointer highlights the submenu's item once the menu holds the grab.
		environment->client->MoveMouse(where.x + 2, 700);
		environment->client->MoveMouse(where.x + 20, where.y + 6);
		if (!environment->client->WaitForPixel(where.x + 4, where.y + 4, Selection())) {
			state.SkipWithError("the submenu's item was never highlighted");
			break;
		}
		environment->client->Tap(kRightKeycode);
		if (!environment->client->WaitForPixel(submenuWhere.x + 8, submenuWhere.y + 8,
		                                       MenuBackground())) {
			state.SkipWithError("the submenu never showed");
			break;
		}
		state.PauseTiming();
		submenu->Window()->PostMessage(B_QUIT_REQUESTED);
		kvtest::WaitUntil([&] { return submenu->Window() == nullptr; });
		bool closed = CloseMenu(environment, menu, where);
		state.ResumeTiming();
		if (!closed) {
			state.SkipWithError("the menu never closed");
			break;
		}
	}
	delete menu;
}
BENCHMARK(BM_OpenMenuAndItsSubmenu)->Unit(benchmark::kMillisecond)->UseRealTime();

long
ResidentBytes()
{
	std::ifstream statm("/proc/self/statm");
	long size = 0;
	long resident = 0;
	statm >> size >> resident;
	return resident * sysconf(_SC_PAGESIZE);
}

void
BM_MemoryOfTenOpenMenus(benchmark::State& state)
{
	Environment* environment = Shared();
	if (Skip(state, environment))
		return;
	for (auto _ : state) {
		std::vector<BenchMenu*> menus;
		for (int32 i = 0; i < 10; i++)
			menus.push_back(NewMenu("menu", 12));
		long before = ResidentBytes();
		for (int32 i = 0; i < 10; i++) {
			BPoint where(20 + 90 * i, 100 + 20 * i);
			menus[i]->Go(where, false, false, true);
			environment->client->WaitForPixel(where.x + 4, where.y + 4, MenuBackground());
		}
		state.counters["bytes_per_menu"] = (double)(ResidentBytes() - before) / 10;
		for (BenchMenu* menu : menus) {
			menu->Hide();
			kvtest::WaitUntil([&] { return menu->Window() == nullptr; });
			delete menu;
		}
	}
}
BENCHMARK(BM_MemoryOfTenOpenMenus)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
