#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole job against the built-in
# simulated gateway. The EDS files land in build/demo-output.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target k400gw k400gw-gui
mkdir -p build/demo-output
build/k400gw demo --output-dir build/demo-output
