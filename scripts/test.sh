#!/usr/bin/env bash
# The whole test suite: installs what is missing, checks formatting, then builds and runs
# every test in a plain build, under Address+UndefinedBehavior sanitizers and under
# ThreadSanitizer, and gives each fuzzer a short run.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
bash scripts/check-format.sh

jobs=$(nproc)
status=0
for preset in default asan tsan; do
	echo "=== $preset build"
	cmake --preset "$preset" >/dev/null
	cmake --build --preset "$preset" -j "$jobs"
	echo "=== $preset tests"
	ctest --preset "$preset" -j "$jobs" || status=1
done

echo "=== fuzzers (short runs)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
bash scripts/run-fuzzers.sh build/fuzz 20 || status=1

exit $status
