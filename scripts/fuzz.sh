#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the fuzz targets into build-fuzz/ with clang, AddressSanitizer, UBSan and libFuzzer, and
# runs each one on its seed corpus for the given number of seconds (default 20, the short run CI
# makes; "scripts/fuzz.sh 600" for a long run by hand). New inputs go to build-fuzz/corpus/<target>/,
# a finding stops the run and leaves its input in build-fuzz/findings/. Optional further arguments
# name the targets to run. FUZZ_SEED and FUZZ_RUNS make a run repeatable (CI sets both): the same
# seed and at most that many inputs per target, the seconds then only a limit.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-20}"
shift || true
targets=("$@")
[[ ${#targets[@]} -eq 0 ]] && targets=(fuzz_privateprofile fuzz_propertybag fuzz_tokens fuzz_spanfield)

clangxx=$(command -v clang++-14 || command -v clang++)
sanitize="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF -DVESPERON_FUZZ=ON \
    -DCMAKE_CXX_COMPILER="$clangxx" \
    -DCMAKE_CXX_FLAGS="$sanitize -fsanitize=fuzzer-no-link" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
    -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build build-fuzz --target "${targets[@]}" | grep -v "^\[" || true

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:allocator_may_return_null=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/sanitizers/lsan.supp:print_suppressions=0"
mkdir -p build-fuzz/findings
for target in "${targets[@]}"; do
    work="build-fuzz/corpus/$target"
    mkdir -p "$work"
    echo "fuzz: $target for ${seconds}s"
    log="build-fuzz/findings/$target.log"
    status=0
    repeatable=()
    [[ -n "${FUZZ_SEED:-}" ]] && repeatable+=(-seed="$FUZZ_SEED")
    [[ -n "${FUZZ_RUNS:-}" ]] && repeatable+=(-runs="$FUZZ_RUNS")
    build-fuzz/fuzz/"$target" "${repeatable[@]}" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 -max_len=8192 \
        -print_final_stats=1 -artifact_prefix="build-fuzz/findings/$target-" \
        "$work" "fuzz/corpus/$target" >"$log" 2>&1 || status=$?
    grep -E '^stat::(number_of_executed_units|new_units_added)' "$log" || true
    if [[ $status -ne 0 ]]; then
        grep -E -A30 '^(==[0-9]+==|[a-z]+: )|runtime error' "$log" | head -60 >&2 || true
        echo "fuzz: $target found a fault, see $log and build-fuzz/findings/" >&2
        exit 1
    fi
done
echo "fuzz: ${#targets[@]} passed, 0 failed"
