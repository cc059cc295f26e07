#!/usr/bin/env bash
# The main job: build the bar and run it in a demo profile of its own, seeded with a few
# folders and bookmarks. On a desktop ($DISPLAY reachable) the bar appears there and this
# returns when it quits; without one, a private X server gets a short scripted tour
# (scripts/demo-tour.sh) that leaves screenshots in the profile's screenshots/.
# The profile is ./demo, or $KV_DEMO_DIR; the build folder build/default, or $KV_BUILD_DIR.
# Its own XDG_CONFIG_HOME, HOME and XDG_RUNTIME_DIR keep the user's files and any bar the
# user runs out of it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
build=${KV_BUILD_DIR:-build/default}
[ -f "$build/CMakeCache.txt" ] || cmake --preset default >/dev/null
cmake --build "$build" -j "$(nproc)" --target Kestrovane kvsend kvseed

demo=$(realpath -m "${KV_DEMO_DIR:-demo}")
mkdir -p "$demo"
(cd "$demo" && rm -rf config home runtime screenshots display ./*.log)
mkdir -p "$demo/config/kit" "$demo/home" "$demo/runtime"
chmod 700 "$demo/runtime"
bash scripts/seed-demo.sh "$demo" "$build"

# Both browsers of the settings menu are a stand-in that only says what it was given.
browser=$demo/config/kit/stand-in-browser
cat >"$browser" <<SCRIPT
#!/bin/sh
echo "browser got: \$*" | tee -a '$demo/browser.log'
SCRIPT
chmod 755 "$browser"
printf '%s %s\n' application/x-vnd.operasoftware-opera "$browser" \
	application/x-vnd.Be-NPOS "$browser" >"$demo/config/kit/applications"

export XDG_CONFIG_HOME=$demo/config HOME=$demo/home XDG_RUNTIME_DIR=$demo/runtime
export KIT_APPLICATION_TABLE=$demo/config/kit/applications
if [ -n "${DISPLAY:-}" ] && xdotool getdisplaygeometry >/dev/null 2>&1; then
	echo "=== The bar on $DISPLAY, profile $demo (quit: the close box, Alt+Q or \"Quit\")"
	exec "$build/app/Kestrovane"
fi
unset DISPLAY
exec bash scripts/demo-tour.sh "$demo" "$build"
