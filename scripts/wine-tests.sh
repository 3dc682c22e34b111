#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Qt-free Windows parts of Vesperon with their tests (testsupport/win32) with MinGW-w64 into
# build-win32/ and runs them under Wine. The Wine prefix is a scratch folder that this run creates
# and removes, never the user's ~/.wine; no display is used. Fails when a test fails.
# Extra arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS

find_tool() {
    command -v "$1" 2>/dev/null || { [[ -x /usr/lib/wine/$1 ]] && echo "/usr/lib/wine/$1"; } || true
}
wine=$(find_tool wine64)
wineserver=$(find_tool wineserver64)
[[ -n $wineserver ]] || wineserver=$(find_tool wineserver)
if [[ -z $wine || -z $wineserver ]]; then
    echo "wine-tests: wine64 is missing (scripts/install-deps.sh --test installs it)" >&2
    exit 1
fi

cmake -S testsupport/win32 -B build-win32 -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" -DCMAKE_CROSSCOMPILING_EMULATOR="$wine" >/dev/null
cmake --build build-win32
built=$SECONDS

scratch=$(mktemp -d)
cleanup() {
    # The prefix's own server, which this run started, and everything in the scratch folder.
    "$wineserver" -k 2>/dev/null || true
    "$wineserver" -w 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT
mkdir -p "$scratch/home" "$scratch/tmp"
export WINEPREFIX=$scratch/prefix
export HOME=$scratch/home TMPDIR=$scratch/tmp
export WINEDEBUG=-all
# No Mono, no Gecko, no menu entries, and no window: only console programs run.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME XDG_RUNTIME_DIR

if ! "$wine" wineboot --init >"$scratch/wineboot.log" 2>&1; then
    cat "$scratch/wineboot.log" >&2
    echo "wine-tests: the scratch prefix could not be made" >&2
    exit 1
fi
prefix_made=$SECONDS

(cd build-win32 && ctest --output-on-failure "$@")
echo "wine-tests: build $((built - started)) s, prefix $((prefix_made - built)) s, tests $((SECONDS - prefix_made)) s"
