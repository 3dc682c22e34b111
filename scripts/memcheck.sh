#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Valgrind memcheck on one end-to-end dry run of the program: started with a session-end switch
# and --dry-run, it loads its main window, records the request instead of making it, and ends.
# The program is built into build/ first (another folder with BUILD_DIR=...). A timeout ends a run
# that would not finish on its own.
# Prints the leak summary; fails when a block that is definitely lost was allocated in our code.
# By hand only: under valgrind the run takes a minute or more.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-240}"
build="${BUILD_DIR:-build}"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON >/dev/null
cmake --build "$build" --target Vesperon >/dev/null
log="$build/memcheck.log"
export QT_QPA_PLATFORM=offscreen
status=0
timeout --signal=INT "$seconds" valgrind --leak-check=full --show-leak-kinds=definite --num-callers=30 \
    --log-file="$log" "$build/bin/Vesperon" --dry-run -3 -1 || status=$?
echo "memcheck: the program ended with status $status; full report in $log"
sed -n '/LEAK SUMMARY/,/suppressed/p' "$log" | sed 's/^==[0-9]*== //'
# A definitely lost block whose allocation stack passes through our sources or libraries.
ours=$(awk '/definitely lost in loss record/ {block=1; text=""} block {text=text $0 "\n"}
            block && /^==[0-9]+== *$/ {if (text ~ /Vesperon|libDurix|libTamsel|libVesperon|\/app\/|\/clock\/|\/durationbox\/|\/platform\/|\/common\//) n++; block=0}
            END {print n+0}' "$log")
echo "memcheck: definitely lost blocks allocated in Vesperon's code: $ours"
[[ $ours -eq 0 ]]
