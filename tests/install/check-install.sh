#!/usr/bin/env bash
# Installs a build into a temporary prefix as a user would (cmake --install) and checks
# every installed file with the tool a desktop uses to read it; when the bar is part of
# the build, starts the installed bar on a private X server and ends it by message.
# Usage: check-install.sh <build folder>
set -uo pipefail
build=$1
work=$(mktemp -d)
prefix=$work/prefix
bar_pid=
xvfb_pid=
status=0

cleanup() {
	[ -n "$bar_pid" ] && kill "$bar_pid" 2>/dev/null
	[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
	rm -rf "$work"
}
trap cleanup EXIT

fail() {
	echo "FAIL: $*" >&2
	status=1
}

# Runs a checker; its complaints are printed and fail the test.
check() {
	local what=$1
	shift
	local output
	if ! output=$("$@" 2>&1); then
		fail "$what"
		echo "$output" >&2
	fi
}

# Polls until the command succeeds or the seconds run out.
wait_for() {
	local seconds=$1
	shift
	local deadline=$((SECONDS + seconds))
	until "$@"; do
		[ $SECONDS -ge $deadline ] && return 1
		sleep 0.1
	done
}

cmake --install "$build" --prefix "$prefix" >/dev/null || {
	echo "FAIL: cmake --install" >&2
	exit 1
}
share=$prefix/share

for program in KVImporter kvsend kvbookmarks; do
	[ -x "$prefix/bin/$program" ] || fail "bin/$program is not installed"
done
check "KVImporter --help" "$prefix/bin/KVImporter" --help
check "kvbookmarks --help" "$prefix/bin/kvbookmarks" --help
[ -f "$share/bash-completion/completions/kvbookmarks" ] || fail "kvbookmarks bash completion missing"

for page in Kestrovane KVImporter kvsend kvbookmarks; do
	file=$share/man/man1/$page.1
	if [ ! -f "$file" ]; then
		fail "man page $page.1 missing"
		continue
	fi
	# groff's warnings (bad requests, unknown fonts) go to standard error.
	rendered=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$file" 2>"$work/man.err")
	[ -s "$work/man.err" ] && fail "man -l $page.1: $(cat "$work/man.err")"
	grep -q "^NAME" <<<"$rendered" || fail "man -l $page.1 renders no NAME section"
done

desktop=$share/applications/Kestrovane.desktop
autostart=$share/kestrovane/autostart/Kestrovane.desktop
check "desktop-file-validate Kestrovane.desktop" desktop-file-validate "$desktop"
check "desktop-file-validate autostart entry" desktop-file-validate "$autostart"
for entry in "$desktop" "$autostart"; do
	grep -qx "Exec=Kestrovane" "$entry" || fail "$entry does not start Kestrovane"
done
grep -qx "Categories=Utility;" "$desktop" || fail "desktop entry is not in Utility"

metainfo=$(find "$share/metainfo" -name '*.metainfo.xml' 2>/dev/null)
if [ -z "$metainfo" ]; then
	fail "no metainfo installed"
else
	check "appstreamcli validate $metainfo" appstreamcli validate --no-net "$metainfo"
	launchable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$metainfo")
	[ -f "$share/applications/$launchable" ] || fail "metainfo launches '$launchable', not installed"
fi

# The desktop entry's Icon must name the icons installed at every size.
icon=$(sed -n 's/^Icon=//p' "$desktop")
for size in 16 32 48; do
	png=$share/icons/hicolor/${size}x${size}/apps/$icon.png
	if ! report=$(pngcheck "$png" 2>&1); then
		fail "icon ${size}x$size: $report"
	elif ! grep -q "(${size}x${size}," <<<"$report"; then
		fail "icon ${size}x$size has another size: $report"
	fi
done
svg=$share/icons/hicolor/scalable/apps/$icon.svg
check "scalable icon is well-formed SVG" xmllint --noout "$svg"
grep -q "<rect " "$svg" 2>/dev/null || fail "scalable icon draws nothing"

bar=$prefix/bin/Kestrovane
if [ -x "$bar" ]; then
	version=$("$bar" --version) || fail "Kestrovane --version exits non-zero"
	grep -q "1\.5\.0" <<<"$version" || fail "Kestrovane --version prints '$version'"
	check "Kestrovane --help" "$bar" --help

	# A profile of its own: store, settings, running-program sockets and browsers.
	mkdir -p -m 700 "$work/config" "$work/home" "$work/runtime"
	printf 'application/x-vnd.operasoftware-opera true\napplication/x-vnd.Be-NPOS true\n' \
		>"$work/applications"
	export XDG_CONFIG_HOME=$work/config HOME=$work/home XDG_RUNTIME_DIR=$work/runtime
	export KIT_APPLICATION_TABLE=$work/applications
	Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$work/display" 2>/dev/null &
	xvfb_pid=$!
	wait_for 20 test -s "$work/display" || fail "Xvfb did not start"
	export DISPLAY=:$(head -n 1 "$work/display")

	"$bar" >"$work/bar.log" 2>&1 &
	bar_pid=$!
	# The store is made once the bar is on screen.
	wait_for 20 test -d "$XDG_CONFIG_HOME/Kestrovane" || fail "the bar made no bookmark store"
	wait_for 20 "$prefix/bin/kvsend" --timeout 1 application/x-Zintu.Kestrovane quit \
		>/dev/null 2>&1 || fail "the installed bar did not answer a quit request"
	if wait_for 20 bash -c "! kill -0 $bar_pid 2>/dev/null"; then
		wait "$bar_pid" || fail "the installed bar exited with status $?"
		bar_pid=
		[ -f "$XDG_CONFIG_HOME/Kestrovane.settings" ] || fail "the bar wrote no settings"
	else
		fail "the installed bar did not quit"
	fi
	[ $status -ne 0 ] && cat "$work/bar.log" >&2
else
	echo "Kestrovane is not part of this build: its start is not checked"
fi

[ $status -eq 0 ] && echo "installed files: all checks passed"
exit $status
