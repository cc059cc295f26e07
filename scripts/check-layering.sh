#!/usr/bin/env bash
# The layering rules, checked by grep:
# - Program code is plain BeOS-API code: it includes the kits' public headers and the C++
#   standard library, never X11, POSIX or Linux headers, and never a kit-internal header
#   (a kit's private/ folder, or the backends: backend/, display/, linux/).
# - The display backend knows nothing of the interface kit: kit/display and kit/backend
#   include no header of kit/interface (public or private).
# Exits non-zero and lists offenders.
cd "$(dirname "$0")/.." || exit 2
status=0

dirs=()
for d in app store bar addbookmark widgets importer tools; do
	[ -d "$d" ] && dirs+=("$d")
done

# Header names of a set of folders, as an alternation for grep -E.
names_in() {
	find "$@" -maxdepth 1 -name '*.h' -printf '%f\n' 2>/dev/null | sort -u |
		sed 's/\./\\./g' | paste -sd '|'
}

include_of() {
	printf '#[[:space:]]*include[[:space:]]*[<"](%s)[>"]' "$1"
}

if [ ${#dirs[@]} -gt 0 ]; then
	host='#[[:space:]]*include[[:space:]]*[<"](X11/|xcb/|cairo|pango|glib|hb\.h|hb-|fribidi|fontconfig/|ft2build|sys/|linux/|unistd\.h|fcntl\.h|dirent\.h|pthread\.h|poll\.h|signal\.h|spawn\.h|dlfcn\.h|errno\.h|termios\.h)'
	if grep -rnE "$host" "${dirs[@]}"; then
		echo "program code includes platform headers (only kit/ may)" >&2
		status=1
	fi
	private=$(names_in kit/*/private kit/backend kit/display kit/linux)
	if [ -n "$private" ] && grep -rnE "$(include_of "$private")" "${dirs[@]}"; then
		echo "program code includes kit-internal headers (only public kit headers may be)" >&2
		status=1
	fi
fi

interface=$(names_in kit/interface kit/interface/private)
if [ -n "$interface" ] && grep -rnE "$(include_of "$interface")" kit/display kit/backend; then
	echo "the display backend includes interface kit headers" >&2
	status=1
fi

[ $status -eq 0 ] &&
	echo "layering: programs include public kit headers only; the display sees no interface kit"
exit $status
