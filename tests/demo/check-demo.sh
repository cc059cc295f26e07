#!/usr/bin/env bash
# Runs scripts/demo.sh without a display into a temporary profile and checks what its
# tour leaves: one picture per step, each showing the bar and more than one colour, and
# the stand-in browser's record of both bookmarks the hot key launched (the seeded one
# and the one filed through the add-bookmark window).
# Usage: check-demo.sh <build folder>
set -uo pipefail
source=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
demo=$work/demo
status=0

fail() {
	echo "FAIL: $*" >&2
	status=1
}

if ! env -u DISPLAY KV_DEMO_DIR="$demo" KV_BUILD_DIR="$1" bash "$source/scripts/demo.sh" \
	>"$work/output" 2>&1; then
	cat "$work/output" >&2
	echo "FAIL: scripts/demo.sh failed" >&2
	exit 1
fi

steps=(folder-menu hot-key-launch settings-menu add-bookmark new-bookmark-launch)
count=$(find "$demo/screenshots" -name '*.png' | wc -l)
[ "$count" -eq ${#steps[@]} ] || fail "$count screenshots, not ${#steps[@]}"
for i in "${!steps[@]}"; do
	shot=$demo/screenshots/$(printf '%02d' $((i + 1)))-${steps[i]}.png
	if [ ! -s "$shot" ]; then
		fail "no $shot"
		continue
	fi
	grep -qF "screenshot: $shot" "$work/output" || fail "the demo did not print $shot"
	colours=$(convert "$shot" -format %k info:)
	[ "$colours" -gt 1 ] || fail "$shot is blank"
	# Button "0" of the bar at (30, 30), away from its digit: a light grey (darker while
	# another window is active or the button is held), never the desktop's blue.
	bar=$(convert "$shot" -crop 1x1+34+47 -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}')
	grey=${bar:1:2}
	if [[ $bar != "#$grey$grey$grey" ]] || ((16#$grey < 0x80 || 16#$grey > 0xE0)); then
		fail "$shot does not show the bar ($bar at its button)"
	fi
done

for url in https://wiki.debian.org/ https://bugs.debian.org/; do
	grep -qxF "browser got: $url" "$demo/browser.log" 2>/dev/null ||
		fail "the stand-in browser did not get $url"
done

[ $status -ne 0 ] && cat "$work/output" >&2
exit $status
