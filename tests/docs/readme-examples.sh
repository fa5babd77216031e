#!/usr/bin/env bash
# Runs the README's runnable examples as written, with the k400gw just built,
# in a scratch folder: each must succeed. Usage: readme-examples.sh K400GW README
set -euo pipefail
exe=$1
readme=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mapfile -t lines < <(awk '/<!-- runnable examples -->/ {armed=1; next}
                          armed && /^```sh/ {inside=1; next}
                          inside && /^```/ {exit}
                          inside && /^k400gw / {print}' "$readme")
((${#lines[@]} > 0)) || { echo "no runnable examples found in $readme"; exit 1; }
cd "$scratch"
for line in "${lines[@]}"; do
    read -ra words <<<"$line"
    if ! "$exe" "${words[@]:1}" >out.txt 2>err.txt; then
        echo "FAILED: $line"; cat out.txt err.txt; exit 1
    fi
    echo "ok: $line"
done
