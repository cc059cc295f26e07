// Cost of flattening and unflattening messages of the sizes the programs use: a
// settings message, a node-monitor notice, and a large drag message with many fields.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include <Message.h>

namespace {

BMessage
SettingsMessage()
{
	BMessage message;
	message.AddInt32("browser", 1);
	message.AddPoint("pos", BPoint(30, 30));
	message.AddInt32("align", 1);
	message.AddBool("url", true);
	message.AddBool("ontop", false);
	message.AddInt32("hotkey", 8);
	rgb_color color = {216, 216, 216, 0};
	message.AddData("color", B_RGB_COLOR_TYPE, &color, sizeof(color));
	return message;
}

BMessage
NodeMonitorMessage()
{
	BMessage message(B_NODE_MONITOR);
	message.AddInt32("opcode", 3);
	message.AddInt32("device", 2049);
	message.AddInt64("from directory", 123456);
	message.AddInt64("to directory", 123457);
	message.AddInt64("node", 99999);
	message.AddString("name", "Kestrovane bookmark with a long name");
	return message;
}

BMessage
LargeMessage()
{
	BMessage message(B_MIME_DATA);
	for (int i = 0; i < 100; i++) {
		std::string name = "field " + std::to_string(i);
		message.AddString(name.c_str(), "http://www.example.com/some/long/path/to/a/page.html");
		message.AddString(name.c_str(), "a second value");
	}
	std::string blob(64 * 1024, 'x');
	message.AddData("text/plain", B_MIME_TYPE, blob.data(), (ssize_t)blob.size());
	return message;
}

void
Flatten(benchmark::State& state, const BMessage& message)
{
	std::vector<char> buffer(message.FlattenedSize());
	for (auto _ : state) {
		benchmark::DoNotOptimize(message.Flatten(buffer.data(), (ssize_t)buffer.size()));
		benchmark::ClobberMemory();
	}
	state.SetBytesProcessed(state.iterations() * (int64_t)buffer.size());
}

void
Unflatten(benchmark::State& state, const BMessage& message)
{
	std::vector<char> buffer(message.FlattenedSize());
	message.Flatten(buffer.data(), (ssize_t)buffer.size());
	BMessage read;
	for (auto _ : state)
		benchmark::DoNotOptimize(read.Unflatten(buffer.data(), (ssize_t)buffer.size()));
	state.SetBytesProcessed(state.iterations() * (int64_t)buffer.size());
}

void
BM_FlattenSettings(benchmark::State& state)
{
	Flatten(state, SettingsMessage());
}

void
BM_UnflattenSettings(benchmark::State& state)
{
	Unflatten(state, SettingsMessage());
}

void
BM_FlattenNodeMonitor(benchmark::State& state)
{
	Flatten(state, NodeMonitorMessage());
}

void
BM_UnflattenNodeMonitor(benchmark::State& state)
{
	Unflatten(state, NodeMonitorMessage());
}

void
BM_FlattenLarge(benchmark::State& state)
{
	Flatten(state, LargeMessage());
}

void
BM_UnflattenLarge(benchmark::State& state)
{
	Unflatten(state, LargeMessage());
}

} // namespace

BENCHMARK(BM_FlattenSettings);
BENCHMARK(BM_UnflattenSettings);
BENCHMARK(BM_FlattenNodeMonitor);
BENCHMARK(BM_UnflattenNodeMonitor);
BENCHMARK(BM_FlattenLarge);
BENCHMARK(BM_UnflattenLarge);

BENCHMARK_MAIN();
