#!/usr/bin/env bash
# The headless tour of the bar: a private Xvfb, the bar in the demo profile, and a user
# played through XTEST (xdotool). Each step prints what it shows and leaves a screenshot
# in <profile>/screenshots; the bar is asked to quit at the end.
# Usage: demo-tour.sh <profile> <build folder>; run by scripts/demo.sh, which prepares
# the profile and exports its environment.
set -euo pipefail
demo=$1
build=$2
shots=$demo/screenshots
mkdir -p "$shots"
signature=application/x-Zintu.Kestrovane
bar_log=$demo/bar.log
browser_log=$demo/browser.log
xvfb_pid=
bar_pid=
other_pid=
note_pid=

cleanup() {
	local pid
	for pid in $note_pid $other_pid $bar_pid $xvfb_pid; do
		kill "$pid" 2>/dev/null || true
	done
}
trap cleanup EXIT

fail() {
	echo "demo: $*" >&2
	[ -f "$bar_log" ] && tail -n 12 "$bar_log" | sed "s/^/  bar: /" >&2
	exit 1
}

# Polls the command until it succeeds or the seconds run out.
wait_for() {
	local deadline=$((${EPOCHREALTIME/./} + $1 * 1000000))
	shift
	until "$@" >/dev/null 2>&1; do
		[ "${EPOCHREALTIME/./}" -ge $deadline ] && return 1
		sleep 0.05
	done
}

pixel() {
	import -window root -crop "1x1+$1+$2" -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}'
}

# A checksum of a rectangle of the screen: x y width height.
region() {
	import -window root -crop "$3x$4+$1+$2" -depth 8 rgb:- | md5sum
}

region_is_not() {
	[ "$(region "$1" "$2" "$3" "$4")" != "$5" ]
}

pixel_is() {
	[ "$(pixel "$1" "$2")" = "$3" ]
}

pixel_is_not() {
	[ "$(pixel "$1" "$2")" != "$3" ]
}

traces() {
	grep -c -- "$1" "$bar_log" || true
}

trace_count_reaches() {
	[ "$(traces "$1")" -ge "$2" ]
}

shown() {
	xdotool search --onlyvisible --name "^$1\$"
}

has_focus() {
	[ "$(xdotool getwindowfocus)" = "$(shown "$1" | head -n 1)" ]
}

bookmark_launched() {
	grep -qxF "browser got: $1" "$browser_log" 2>/dev/null
}

step=0
screenshot() {
	step=$((step + 1))
	local file
	file=$shots/$(printf '%02d' $step)-$1.png
	import -window root "$file"
	echo "    screenshot: $file"
}

# The hot key: the "Windows" key, then folder and slot on the keypad (Num Lock off, so
# the keypad's digits are its navigation keys).
keypad=(KP_Insert KP_End KP_Down KP_Next KP_Left KP_Begin KP_Right KP_Home KP_Up KP_Prior)
hot_key() {
	xdotool key Super_L "${keypad[$1]}" "${keypad[$2]}"
}

# Types text key by key, each character by its key's name: the kit reads the keyboard's
# own mapping, which xdotool's "type" may change under it.
type_text() {
	local keys=() c i
	for ((i = 0; i < ${#1}; i++)); do
		c=${1:i:1}
		case $c in
		' ') keys+=(space) ;;
		:) keys+=(colon) ;;
		/) keys+=(slash) ;;
		.) keys+=(period) ;;
		-) keys+=(minus) ;;
		*) keys+=("$c") ;;
		esac
	done
	xdotool key "${keys[@]}"
}

# A note on the screen, as another program's window: focused, away from the bar.
show_note() {
	[ -n "$note_pid" ] && kill "$note_pid" 2>/dev/null
	xmessage -title demo-note -geometry +300+80 -buttons "" "$1" 2>/dev/null &
	note_pid=$!
	wait_for 10 shown demo-note || fail "the note window did not show"
	xdotool search --onlyvisible --name '^demo-note$' windowfocus --sync
	wait_for 10 has_focus demo-note || fail "the note window did not take the focus"
}

# The bar: a column at (30, 30); its strip is the top 14 pixels, button i below it at
# (1, 14 + 25 i) in the window.
bar_x=30
bar_y=30
button_x() { echo $((bar_x + 11)); }
button_y() { echo $((bar_y + 24 + 25 * $1)); }

echo "=== A private X server"
rm -f "$demo/display"
Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 1024x768x24 3>"$demo/display" 2>/dev/null &
xvfb_pid=$!
wait_for 20 test -s "$demo/display" || fail "Xvfb did not start"
DISPLAY=:$(head -n 1 "$demo/display")
export DISPLAY
xsetroot -solid '#336699'
background=$(pixel 300 300)
echo "    on $DISPLAY"

echo "=== The bar starts: the seeded store, folders \"0\" to \"3\""
"$build/app/Kestrovane" >"$bar_log" 2>&1 &
bar_pid=$!
wait_for 20 has_focus Kestrovane || fail "the bar did not show"
wait_for 10 pixel_is "$(button_x)" "$(button_y 0)" "#D8D8D8" || fail "the bar was not drawn"

echo "--- 1. A click on button \"0\" opens the menu of its folder, \"Debian\""
# A click the bar gets before it is ready for it is lost: it is repeated until the bar
# says it shows the menu.
for _ in $(seq 5); do
	xdotool mousemove "$(button_x)" "$(button_y 0)" click 1
	wait_for 2 trace_count_reaches "Showing menu" 1 && break
done
trace_count_reaches "Showing menu" 1 || fail "no menu"
wait_for 10 pixel_is_not $((bar_x + 40)) $((bar_y + 40)) "$background" || fail "no menu drawn"
screenshot folder-menu
xdotool mousemove 600 600 click 1
wait_for 10 trace_count_reaches "Menu shown" 1 || fail "the menu did not close"

echo "--- 2. The hot key (Windows, keypad 0, keypad 1) while another program has the focus"
show_note "Another program has the focus.
The hot key still reaches the bar."
hot_key 0 1
wait_for 10 bookmark_launched https://wiki.debian.org/ || fail "the browser got nothing"
echo "    the stand-in browser printed: $(tail -n 1 "$browser_log")"
show_note "The hot key launched \"Debian Wiki\":
$(tail -n 1 "$browser_log")"
screenshot hot-key-launch
kill "$note_pid"
note_pid=

echo "--- 3. A right click on the strip opens the settings menu"
xdotool mousemove $((bar_x + 17)) $((bar_y + 6)) click 3
wait_for 10 pixel_is_not $((bar_x + 60)) $((bar_y + 6)) "$background" ||
	fail "no settings menu"
screenshot settings-menu

echo "--- 4. Its \"Add Bookmark\" opens the add-bookmark window; a bookmark is typed in"
# The menu takes the keyboard a moment after it shows: its trigger "d" is typed until
# the window answers.
add_title="Kestrovane - Add Bookmark"
for _ in $(seq 50); do
	xdotool key d
	wait_for 0 shown "$add_title" && break
	sleep 0.1
done
wait_for 10 has_focus "$add_title" || fail "no add-bookmark window"
eval "$(xdotool search --name "^$add_title\$" getwindowgeometry --shell)"
# Controls sit below the window's 20-pixel menu bar. A text field takes the focus from a
# click once the window has it to itself (a closing menu may still hold the pointer), so
# the click is repeated until the field shows its focus frame; only then is it typed into.
field() {
	local y=$((Y + 20 + $1)) before
	before=$(region $((X + 76)) $((y - 10)) 230 21)
	for _ in $(seq 10); do
		xdotool mousemove $((X + 170)) $y click 1
		wait_for 1 region_is_not $((X + 76)) $((y - 10)) 230 21 "$before" && return
	done
	fail "the field at $1 did not take the focus"
}
# Folder "0" and slot "3" through their menus' shortcuts (Alt+digit,
# Alt+Shift+digit) first: choosing a slot shows what it holds in the fields.
slot_field=($((X + 235)) $((Y + 20 + 235)) 70 16)
before=$(region "${slot_field[@]}")
xdotool key alt+0 alt+shift+3
wait_for 5 region_is_not "${slot_field[@]}" "$before" || fail "no slot chosen"
field 40
type_text "Debian Bugs"
field 70
type_text "https://bugs.debian.org/"
field 100
type_text "bugs BTS"
# The last keys have nothing to show for themselves but their drawing: a moment for it.
sleep 0.2
screenshot add-bookmark
xdotool key Return
wait_for 10 bash -c "! xdotool search --onlyvisible --name '^$add_title\$'" ||
	fail "the add-bookmark window stayed"
filed="$XDG_CONFIG_HOME/Kestrovane/0 - Debian/3 - Debian Bugs"
wait_for 10 test -f "$filed" || fail "nothing filed"
echo "    filed: $filed"

echo "--- 5. The new bookmark launched by the hot key (Windows, keypad 0, keypad 3)"
show_note "Another program has the focus again."
hot_key 0 3
wait_for 10 bookmark_launched https://bugs.debian.org/ || fail "the new bookmark did not launch"
echo "    the stand-in browser printed: $(tail -n 1 "$browser_log")"
show_note "The hot key launched the new bookmark:
$(tail -n 1 "$browser_log")"
screenshot new-bookmark-launch

echo "=== The bar quits"
"$build/tools/kvsend/kvsend" "$signature" quit >/dev/null || fail "kvsend could not reach the bar"
wait_for 20 bash -c "! kill -0 $bar_pid" || fail "the bar did not quit"
wait "$bar_pid" || fail "the bar exited with status $?"
bar_pid=
echo "    done; the bar's own output: $bar_log"
