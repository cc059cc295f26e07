#!/usr/bin/env bash
# The importer's demo: build KVImporter, import a sample Opera bookmark file into a demo
# directory inside the checkout, and show the bookmark files it wrote with their
# attributes. Everything lives under ./demo-importer, so the user's own settings stay
# untouched.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
[ -f build/default/CMakeCache.txt ] || cmake --preset default >/dev/null
cmake --build build/default -j "$(nproc)" --target KVImporter

demo=$PWD/demo-importer
rm -rf "$demo"
mkdir -p "$demo/config/Opera" "$demo/home"
cp "tests/importer/fixtures/opera8or9-2006-win-crlf-nested-japanese.adr" \
	"$demo/config/Opera/Opera Default Bookmarks.adr"

echo "=== KVImporter $demo/Bookmarks"
XDG_CONFIG_HOME=$demo/config HOME=$demo/home \
	build/default/importer/KVImporter "$demo/Bookmarks" </dev/null

echo "=== What it wrote"
tree -a --noreport "$demo/Bookmarks" 2>/dev/null || find "$demo/Bookmarks" | sort
echo "=== Attributes of the first bookmarks"
find "$demo/Bookmarks" -type f | sort | head -n 3 | while IFS= read -r file; do
	getfattr --absolute-names -d -m - "$file"
done
