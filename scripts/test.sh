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
passed=0
failed=0
log=$(mktemp)
trap 'rm -f "$log"' EXIT
for preset in default asan tsan; do
	echo "=== $preset build"
	cmake --preset "$preset" >/dev/null
	cmake --build --preset "$preset" -j "$jobs"
	echo "=== $preset tests"
	ctest --preset "$preset" -j "$jobs" | tee "$log" || status=1
	# "100% tests passed, 0 tests failed out of 193"
	counts=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
	if [ -z "$counts" ]; then
		status=1
		continue
	fi
	total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$counts")
	bad=$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$counts")
	passed=$((passed + total - bad))
	failed=$((failed + bad))
done

echo "=== fuzzers (short runs)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
bash scripts/run-fuzzers.sh build/fuzz 20 || status=1

[ $status -ne 0 ] && [ $failed -eq 0 ] && failed=1
echo "tests: $passed passed, $failed failed"
exit $status
