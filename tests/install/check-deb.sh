#!/usr/bin/env bash
# Builds the Debian package from a build folder (cpack -G DEB), lists its contents and
# control fields, and checks that it carries the programs, the desktop files and the
# runtime libraries dpkg-shlibdeps found.
# Usage: check-deb.sh <build folder> [with-bar]
set -uo pipefail
build=$1
with_bar=${2:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
fail() {
	echo "FAIL: $*" >&2
	status=1
}

if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1; then
	cat "$work/cpack.log" >&2
	echo "FAIL: cpack -G DEB" >&2
	exit 1
fi
shopt -s nullglob
debs=("$work"/kestrovane_*.deb)
if [ ${#debs[@]} -ne 1 ]; then
	fail "expected one kestrovane_*.deb, found: ${debs[*]:-none}"
	exit 1
fi
deb=${debs[0]}
echo "=== $(basename "$deb")"
dpkg-deb -f "$deb" Package Version Architecture Depends Recommends | tee "$work/fields"
dpkg-deb -c "$deb" | awk '{print $6}' | tee "$work/contents"

[ "$(dpkg-deb -f "$deb" Package)" = kestrovane ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = 1.5.0 ] || fail "package version"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libstdc++6; do
	grep -q "$library (>=" <<<"$depends" || fail "Depends lacks $library: '$depends'"
done

expected=(
	./usr/bin/KVImporter ./usr/bin/kvsend
	./usr/share/applications/Kestrovane.desktop
	./usr/share/kestrovane/autostart/Kestrovane.desktop
	./usr/share/man/man1/Kestrovane.1 ./usr/share/man/man1/KVImporter.1
	./usr/share/man/man1/kvsend.1
	./usr/bin/kvbookmarks ./usr/share/man/man1/kvbookmarks.1
	./usr/share/bash-completion/completions/kvbookmarks
	./usr/share/icons/hicolor/16x16/apps/kestrovane.png
	./usr/share/icons/hicolor/32x32/apps/kestrovane.png
	./usr/share/icons/hicolor/48x48/apps/kestrovane.png
	./usr/share/icons/hicolor/scalable/apps/kestrovane.svg
)
# The bar and the X and text libraries it needs, once the build has it.
if [ "$with_bar" = with-bar ]; then
	expected+=(./usr/bin/Kestrovane)
	for library in libx11-6 libcairo2 libharfbuzz0b libfribidi0; do
		grep -q "$library" <<<"$depends" || fail "Depends lacks $library: '$depends'"
	done
fi
for path in "${expected[@]}"; do
	grep -qxF "$path" "$work/contents" || fail "the package lacks $path"
done
grep -q "metainfo/.*\.metainfo\.xml$" "$work/contents" || fail "the package lacks the metainfo"

[ $status -eq 0 ] && echo "package: all checks passed"
exit $status
