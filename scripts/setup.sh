#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
set -euo pipefail

packages=(
	cmake ninja-build g++ clang clang-format libclang-rt-14-dev
	libgtest-dev libgmock-dev libbenchmark-dev
	libsqlite3-dev nlohmann-json3-dev libxml2-dev
	attr tree strace
	libx11-dev libxi-dev libxtst-dev libxext-dev libcairo2-dev libfontconfig-dev
	libharfbuzz-dev libfribidi-dev
	fonts-dejavu-core xvfb xdotool openbox xclip
	desktop-file-utils appstream man-db dpkg-dev pngcheck libxml2-utils
	imagemagick x11-utils x11-xserver-utils
)

missing=()
for package in "${packages[@]}"; do
	if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
		missing+=("$package")
	fi
done

if [ ${#missing[@]} -gt 0 ]; then
	echo "Installing: ${missing[*]}"
	sudo_cmd=()
	[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
	"${sudo_cmd[@]}" apt-get update -qq
	DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
		"${missing[@]}"
fi
