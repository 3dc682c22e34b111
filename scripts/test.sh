#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Vesperon with its tests into build/ and runs every test through CTest; then the packaging
# checks, the Windows parts and their tests under Wine (scripts/wine-tests.sh, build-win32/), the
# whole suite again under AddressSanitizer and UBSan (the "asan" preset, build-asan/), and a short
# run of each fuzz target (scripts/fuzz.sh, build-fuzz/).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --test
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON >/dev/null
cmake --build build
cd build
ctest --output-on-failure -j2 "$@"
# --- packaging: install, Debian package, CMake packages, Designer plugins ---
../scripts/check-packaging.sh "$PWD"
# --- end of packaging ---
# --- Windows parts under Wine (MinGW-w64 build in build-win32/, about half a minute) ---
../scripts/wine-tests.sh
# --- end of Windows parts ---
# --- sanitizers and fuzzing ---
cd ..
cmake --preset asan >/dev/null
cmake --build --preset asan
# Reports go to build-asan/sanitizer-report.<pid>, so that a finding in a program that a test
# starts (the Python tests run the real binary) fails the run as well.
rm -f build-asan/sanitizer-report.*
ctest --preset asan "$@"
if compgen -G "build-asan/sanitizer-report.*" >/dev/null; then
    cat build-asan/sanitizer-report.* >&2
    echo "test: the sanitizers reported findings (above)" >&2
    exit 1
fi
# A repeatable short run: a fresh clone always makes the same inputs.
FUZZ_SEED=1 FUZZ_RUNS=2000 scripts/fuzz.sh 45
# --- end of sanitizers and fuzzing ---
