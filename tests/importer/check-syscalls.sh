#!/usr/bin/env bash
# Counts the system calls KVImporter spends per imported link with `strace -c -f`: two
# imports of different sizes, so what the program spends once (start-up, reading the
# Opera file) cancels out. A new bookmark file needs six (create, four attributes, close);
# the check allows eight. Skipped (77) where strace is missing or may not trace.
# Usage: check-syscalls.sh <KVImporter> [limit per link]
set -uo pipefail
importer=$1
limit=${2:-8}
links_per_folder=100

command -v strace >/dev/null || { echo "strace is not installed"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

write_opera() {
	local links=$1 file=$2 link
	{
		printf 'Opera Hotlist version 2.0\nOptions: encoding = utf8, version=3\n\n'
		for ((link = 0; link < links; link++)); do
			((link % links_per_folder == 0)) &&
				printf '#FOLDER\n\tNAME=Folder %d\n\n' $((link / links_per_folder))
			printf '#URL\n\tNAME=Bookmark %d\n\tURL=http://site%d.example/\n\n' "$link" "$link"
			((link % links_per_folder == links_per_folder - 1)) && printf -- '-\n\n'
		done
	} >"$file"
}

# Prints the total number of system calls of one import of the given number of links.
count_calls() {
	local links=$1 home=$work/home$1
	mkdir -p "$home/config/Opera"
	write_opera "$links" "$home/config/Opera/Opera Default Bookmarks.adr"
	# LeakSanitizer cannot run under ptrace; a sanitizer build counts without it.
	HOME=$home XDG_CONFIG_HOME=$home/config ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 \
		strace -c -f -o "$home/calls" "$importer" "$home/dest" </dev/null >"$home/out" 2>&1 ||
		return 1
	[ -s "$home/out" ] && { cat "$home/out" >&2; return 1; }
	[ "$(find "$home/dest" -type f | wc -l)" -eq "$links" ] || return 1
	awk '$NF == "total" { print $4 }' "$home/calls"
}

if ! strace -f -o /dev/null true 2>/dev/null; then
	echo "strace cannot trace here"
	exit 77
fi
small=$(count_calls 100) || { echo "FAIL: the import of 100 links went wrong"; exit 1; }
large=$(count_calls 500) || { echo "FAIL: the import of 500 links went wrong"; exit 1; }
per_link=$(awk -v a="$small" -v b="$large" 'BEGIN { printf "%.2f", (b - a) / 400 }')
echo "system calls per link: $per_link (limit $limit)"
awk -v n="$per_link" -v l="$limit" 'BEGIN { exit !(n <= l) }' || { echo "FAIL: too many"; exit 1; }
