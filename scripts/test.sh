#!/usr/bin/env bash
# Builds everything and runs every test: the plain build, the same suite under
# AddressSanitizer + UBSan, and the fuzz targets (seed corpora replayed, then
# a short run each) so that a parser regression fails here too.
#   K400_QUICK=1 scripts/test.sh   only the plain build and its tests
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2
ctest --test-dir build --output-on-failure -j2

if [[ "${K400_QUICK:-0}" != 1 ]]; then
    echo "== AddressSanitizer + UndefinedBehaviorSanitizer =="
    scripts/sanitize.sh
    echo "== fuzz targets =="
    scripts/fuzz.sh 10
fi
