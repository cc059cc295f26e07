#!/usr/bin/env bash
# Fills a demo profile's bookmark store with a few named folders and bookmarks, written
# by kvseed in the bar's own file format. Usage: seed-demo.sh <profile folder> [build folder]
# The profile gets config/ (its XDG_CONFIG_HOME) and home/ (its HOME); the store is
# config/Kestrovane. Bookmarks already in the profile are kept.
set -euo pipefail
cd "$(dirname "$0")/.."
profile=$(realpath -m "$1")
build=${2:-build/default}
cmake --build "$build" --target kvseed >/dev/null
mkdir -p "$profile/config" "$profile/home"
XDG_CONFIG_HOME=$profile/config HOME=$profile/home \
	"$build/tools/kvseed/kvseed" scripts/demo-store.txt
