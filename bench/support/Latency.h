// Latency samples of a benchmark: the time between two instants in microseconds, and the
// median and 99th percentile reported as the benchmark's counters.
#ifndef _KV_BENCH_LATENCY_H
#define _KV_BENCH_LATENCY_H

#include <algorithm>
#include <chrono>
#include <vector>

#include <benchmark/benchmark.h>

namespace kvbench {

inline double
Microseconds(std::chrono::steady_clock::time_point start, std::chrono::steady_clock::time_point end)
{
	return std::chrono::duration<double, std::micro>(end - start).count();
}

inline void
ReportLatency(benchmark::State& state, std::vector<double>& samples)
{
	if (samples.empty())
		return;
	std::sort(samples.begin(), samples.end());
	state.counters["median_us"] = samples[samples.size() / 2];
	state.counters["p99_us"] = samples[std::min(samples.size() - 1, samples.size() * 99 / 100)];
}

} // namespace kvbench

#endif // _KV_BENCH_LATENCY_H
