#!/usr/bin/env bash
# Runs every libFuzzer target in a build tree for the given number of seconds each,
# seeded with its checked-in corpus (a folder named <fuzzer>_corpus under fuzz/) when it has one;
# a corpus links to the test fixtures it shares rather than copying them.
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/fuzz}
seconds=${2:-20}
status=0
while IFS= read -r fuzzer; do
	name=$(basename "$fuzzer")
	corpus=()
	seed=$(find fuzz -type d -name "${name}_corpus" -print -quit)
	work=$(mktemp -d)
	[ -n "$seed" ] && corpus=("$work" "$(realpath "$seed")")
	echo "--- $name for ${seconds}s"
	binary=$(realpath "$fuzzer")
	if ! (cd "$work" && "$binary" -max_total_time="$seconds" -print_final_stats=1 \
		"${corpus[@]}" 2>&1 | tail -n 12); then
		status=1
	fi
	rm -rf "$work"
done < <(find "$build/fuzz" -type f -executable ! -name '*.so' ! -path '*/CMakeFiles/*' | sort)
exit $status
