#!/usr/bin/env bash
# Builds the benchmarks (release build in build-bench, no desktop window) and
# runs them: the console dialogue and the end-to-end procedures over a real
# pseudo-terminal against `k400gw sim` (wall time, floor, ratio, client CPU,
# peak memory of `k400gw configure`), the safe commit, a backup, network
# ports, a batch of eight gateways, then EDS generation (time, allocations).
# Figures only: nothing here passes or fails on speed.
#   scripts/bench.sh [--rounds N]
set -euo pipefail
cd "$(dirname "$0")/.."

rounds=1
if [[ "${1:-}" == "--rounds" ]]; then
    rounds=$2
fi

build=${K400_BENCH_BUILD_DIR:-build-bench}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DK400_BUILD_GUI=OFF >/dev/null
if ! cmake --build "$build" --target bench_dialogue bench_endtoend bench_finish bench_backup bench_network bench_batch bench_eds -j2 >"$build/build.log" 2>&1; then
    cat "$build/build.log"
    exit 1
fi

echo "== console dialogue (50 lines) =="
"$build/bench/bench_dialogue"
echo
echo "== connect, CANopen Finish, DeviceNet Finish: fifteen modules, pace 5 ms =="
"$build/bench/bench_endtoend" --rounds "$rounds"
echo
echo "== the same with --strict-timing (recovery steps wait out their time-out) =="
"$build/bench/bench_endtoend" --rounds "$rounds" --strict-timing
echo
echo "== what the safe EEPROM commit adds to a Finish =="
"$build/bench/bench_finish"
echo
echo "== a backup next to a connect =="
"$build/bench/bench_backup"
echo
echo "== a connect over TCP and RFC 2217 against a pseudo-terminal =="
"$build/bench/bench_network"
echo
echo "== a batch of eight gateways against one alone =="
"$build/bench/bench_batch"
echo
echo "== EDS generation, largest configuration =="
"$build/bench/bench_eds" --benchmark_min_time=0.5
