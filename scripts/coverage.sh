#!/usr/bin/env bash
# Line coverage of the core (src/{gateway,modules,canopen,devicenet,app,platform}/*.cpp,
# not ui/ or qt/) by the whole test suite: builds with gcov instrumentation in
# build-coverage, runs the tests, prints the per-file table with the lines
# not covered and the total. Writes build-coverage/coverage.txt as well.
#   scripts/coverage.sh
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v gcovr >/dev/null; then
    SUDO=""
    [[ $(id -u) -ne 0 ]] && SUDO=sudo
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq gcovr
fi

build=${K400_COVERAGE_BUILD_DIR:-build-coverage}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DK400_COVERAGE=ON -DK400_BUILD_GUI=OFF \
    -DK400_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j2
find "$build" -name '*.gcda' -delete
ctest --test-dir "$build" -j2 --output-on-failure || echo "(some tests failed; coverage is still reported)" >&2

gcovr --root . --object-directory "$build" \
    --filter 'src/(gateway|modules|canopen|devicenet|app|platform)/[^/]+\.cpp$' \
    --exclude-unreachable-branches --gcov-ignore-parse-errors --txt "$build/coverage.txt" --print-summary
cat "$build/coverage.txt"
