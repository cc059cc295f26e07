#!/usr/bin/env bash
# Program code is plain BeOS-API code: it includes kit headers and the C++ standard
# library, never X11, POSIX or Linux headers. Exits non-zero and lists offenders.
cd "$(dirname "$0")/.." || exit 2
pattern='#[[:space:]]*include[[:space:]]*[<"](X11/|xcb/|cairo|pango|glib|sys/|linux/|unistd\.h|fcntl\.h|dirent\.h|pthread\.h|poll\.h|signal\.h|spawn\.h|dlfcn\.h|errno\.h|termios\.h)'
dirs=()
for d in app store bar addbookmark widgets importer tools; do
	[ -d "$d" ] && dirs+=("$d")
done
[ ${#dirs[@]} -eq 0 ] && exit 0
if grep -rnE "$pattern" "${dirs[@]}"; then
	echo "program code includes platform headers (only kit/ may)" >&2
	exit 1
fi
echo "layering: program folders include kit headers only"
