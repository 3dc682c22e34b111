#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Vesperon with its tests into build/ and runs every test through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --test
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON >/dev/null
cmake --build build
cd build
ctest --output-on-failure -j2 "$@"
# --- packaging: install, Debian package, CMake packages, Designer plugins, Win32 compile check ---
../scripts/check-packaging.sh "$PWD"
# --- end of packaging ---
