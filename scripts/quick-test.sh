#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The edit-and-test loop: builds build/ with its tests and runs them through CTest, nothing more
# (no packaging checks, sanitizers or fuzzing: scripts/test.sh runs those). Extra arguments go to
# ctest, e.g. scripts/quick-test.sh -R tst_spanfield
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON >/dev/null
cmake --build build
cd build
ctest --output-on-failure -j2 "$@"
