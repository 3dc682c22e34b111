#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the six recordings of app/sound/ from short spoken phrases (needs espeak-ng and sox).
# The recordings are committed; run this only to make them anew.
set -euo pipefail
cd "$(dirname "$0")/.."

for tool in espeak-ng sox; do
    command -v "$tool" >/dev/null || { echo "make-sounds: $tool is missing" >&2; exit 1; }
done

declare -A phrases=(
    [shereIam]="Here I am. Vesperon is ready."
    [skill]="Armed. The countdown is running."
    [ssurvive]="Disarmed. He survives."
    [s3mins]="Three minutes left."
    [s1min]="One minute left."
    [s0mdown]="Time is up. Good night."
)

out=app/sound
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for name in "${!phrases[@]}"; do
    espeak-ng -v en-us -s 150 -w "$work/$name.wav" "${phrases[$name]}"
    # 16 kHz, mono, 16 bit: clear enough for speech and well under 100 KB a phrase.
    sox "$work/$name.wav" -r 16000 -c 1 -b 16 "$out/$name.wav" \
        silence 1 0.02 0.5% reverse silence 1 0.02 0.5% reverse norm -1 pad 0.05 0.1
    size=$(stat -c %s "$out/$name.wav")
    if (( size >= 100000 )); then
        echo "make-sounds: $out/$name.wav is $size bytes, too long" >&2
        exit 1
    fi
    echo "make-sounds: $out/$name.wav ($size bytes): ${phrases[$name]}"
done
