#!/usr/bin/env bash
# Renders every window of the desktop program (connected to the simulated
# gateway) into docs/screenshots/*.png, without a display.
#   scripts/screenshots.sh [BUILD_DIR]   (default: build)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"

if [[ ! -x "$build/k400gw-gui" ]]; then
    cmake -S "$root" -B "$build" -G Ninja >/dev/null
    cmake --build "$build" --target k400gw-gui
fi

mkdir -p "$root/docs/screenshots"
QT_QPA_PLATFORM=offscreen "$build/k400gw-gui" --screenshots "$root/docs/screenshots"
