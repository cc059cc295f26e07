// Text editing speed: one keystroke typed into a text of 1,000 characters, with the text
// laid out again, in a word-wrapped view of many lines and in a one-line text control's
// view that scrolls sideways. Each iteration types a character and deletes it again, so
// the text keeps its size; the time per keystroke is half the iteration's.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include <InterfaceDefs.h>
#include <TextControl.h>
#include <TextView.h>

namespace {

std::string
ThousandCharacters()
{
	std::string text;
	const char* words[] = {"kestrel ", "bookmark ", "folder ", "slot ", "caf\xc3\xa9 "};
	for (int i = 0; text.size() < 1000; i++)
		text += words[i % 5];
	text.resize(1000);
	return text;
}

void
TypeAndDelete(benchmark::State& state, BTextView* view)
{
	const char key[] = "x";
	const char backspace[] = {B_BACKSPACE, '\0'};
	int32 middle = view->TextLength() / 2;
	view->Select(middle, middle);
	for (auto _ : state) {
		view->KeyDown(key, 1);
		view->KeyDown(backspace, 1);
	}
	state.SetItemsProcessed(state.iterations() * 2);
	benchmark::DoNotOptimize(view->CountLines());
}

void
BM_KeystrokeInWrappedText(benchmark::State& state)
{
	BTextView view(BRect(0, 0, 299, 399), "text", BRect(0, 0, 299, 399), B_FOLLOW_NONE,
	               B_WILL_DRAW);
	view.SetText(ThousandCharacters().c_str());
	TypeAndDelete(state, &view);
	state.counters["lines"] = view.CountLines();
}
BENCHMARK(BM_KeystrokeInWrappedText)->Unit(benchmark::kMicrosecond);

void
BM_KeystrokeInTextControl(benchmark::State& state)
{
	BTextControl control(BRect(10, 20, 295, 40), "name", "Name", ThousandCharacters().c_str(),
	                     nullptr);
	control.SetDivider(55);
	TypeAndDelete(state, control.TextView());
}
BENCHMARK(BM_KeystrokeInTextControl)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
