#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer + UBSan) in build-fuzz
# and runs each one for SECONDS (default 60), starting from its checked-in
# seed corpus fuzz/corpus/<target>. Prints executions and crashes per target;
# exits 1 when any target crashed (the crashing inputs are kept under
# build-fuzz/artifacts/<target>/).
#   scripts/fuzz.sh [SECONDS] [TARGET...]
#   scripts/fuzz.sh --replay      only run the seed corpora once (regression check)
set -euo pipefail
cd "$(dirname "$0")/.."
# Warnings as errors hold for the plain build; these builds use other compilers
# and flags whose extra warnings are reported, not fatal.
unset K400_WERROR

seconds=60
replay=0
if [[ "${1:-}" == "--replay" ]]; then
    replay=1
    shift
elif [[ "${1:-}" =~ ^[0-9]+$ ]]; then
    seconds=$1
    shift
fi

K400_WITH_FUZZ=1 scripts/install-deps.sh
build=${K400_FUZZ_BUILD_DIR:-build-fuzz}

if (($#)); then
    targets=("$@")
else
    targets=()
    for src in fuzz/fuzz_*.cpp; do
        targets+=("$(basename "$src" .cpp)")
    done
fi

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DK400_FUZZ=ON -DK400_BUILD_GUI=OFF \
    -DK400_BUILD_TESTS=OFF -DK400_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target "${targets[@]}" -j2 | grep -v '^\[' || true

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=0
printf '%-24s %12s %8s %10s\n' target executions crashes corpus
for t in "${targets[@]}"; do
    exe="$build/fuzz/$t"
    seeds="fuzz/corpus/$t"
    work="$build/corpus/$t"
    artifacts="$build/artifacts/$t/"
    rm -rf "$artifacts"
    mkdir -p "$work" "$artifacts" "$seeds"
    log="$build/fuzz-$t.log"
    options=(-artifact_prefix="$artifacts" -timeout=10 -rss_limit_mb=2048 -max_len=4096 -print_final_stats=1)
    [[ -f "fuzz/$t.dict" ]] && options+=(-dict="fuzz/$t.dict")
    rc=0
    if ((replay)); then
        "$exe" "${options[@]}" -runs=0 "$seeds" >"$log" 2>&1 || rc=$?
    else
        # New inputs go to the work corpus; the checked-in seeds stay as they are.
        "$exe" "${options[@]}" -max_total_time="$seconds" "$work" "$seeds" >"$log" 2>&1 || rc=$?
    fi
    execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
    crashes=$(find "$artifacts" -type f | wc -l)
    size=$(find "$work" "$seeds" -type f | wc -l)
    if ((rc != 0)) && ((crashes == 0)); then
        crashes=1  # died without an artifact (for example a failed build of the corpus)
    fi
    printf '%-24s %12s %8s %10s\n' "$t" "${execs:-0}" "$crashes" "$size"
    if ((crashes > 0)); then
        failed=1
        echo "  see $log and $artifacts" >&2
        grep -m3 -E 'ERROR|SUMMARY|runtime error' "$log" >&2 || true
    fi
done
exit $failed
