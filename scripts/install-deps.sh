#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages that building (and, with --test, testing) Vesperon needs.
# Quiet when everything is present; works as root and through sudo.
set -euo pipefail

build_packages=(
    cmake
    g++
    ninja-build
    pkg-config
    qt6-base-dev
    qt6-base-dev-tools
    libgl-dev
    libpulse-dev
    qt6-wayland
    libxcb1-dev
    fonts-liberation2
    qt6-tools-dev
)
test_packages=(
    clang-14
    libclang-rt-14-dev
    valgrind
    pulseaudio
    dbus
    python3-dbusmock
    python3-gi
    jwm
    trayer
    x11-apps
    x11-utils
    xdotool
    xvfb
    weston
    appstream
    desktop-file-utils
    dpkg-dev
    file
    g++-mingw-w64-x86-64-win32
    wine64
)

wanted=("${build_packages[@]}")
if [[ "${1:-}" == "--test" ]]; then
    wanted+=("${test_packages[@]}")
fi

missing=()
for package in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -eq 0 ]]; then
    sudo=()
elif command -v sudo >/dev/null; then
    sudo=(sudo)
else
    echo "install-deps: these packages are missing and there is no sudo: ${missing[*]}" >&2
    exit 1
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
