#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the artwork generator in a temporary folder and writes Vesperon's pictures into app/images/.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(mktemp -d)
trap 'rm -rf "$build"' EXIT

cmake -S "$root/scripts/artwork" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" >/dev/null
mkdir -p "$root/app/images"
QT_QPA_PLATFORM=offscreen "$build/vesperon-artwork" "$root/app/images"
