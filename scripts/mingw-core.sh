#!/usr/bin/env bash
# Builds the core (the Qt-free libraries and the in-process simulator) for
# 64-bit Windows with Debian's MinGW-w64 cross compiler, links the core's unit
# tests into build-mingw/k400_core_tests.exe and, when Wine is installed, runs
# them. The window and the serial port need a Qt for Windows: docs/windows.md.
#
# A test source that does not compile for Windows (one that needs the command
# line, Qt or POSIX) is left out and listed; K400_MINGW_STRICT=1 fails instead.
set -euo pipefail
cd "$(dirname "$0")/.."

K400_WITH_MINGW=1 scripts/install-deps.sh
build=build-mingw
areas=(platform gateway modules canopen devicenet app)

configure() {
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DK400_CORE_ONLY=ON -DK400_BUILD_TESTS=ON \
        "-DK400_CORE_TEST_AREAS=$(IFS=';'; echo "${areas[*]}")" "-DK400_CORE_TEST_SOURCES=$1" >/dev/null
}

echo "== the core libraries =="
configure ""
cmake --build "$build" -j2 --target k400app k400sim gtest gmock gtest_main

echo "== the core's unit tests =="
# Compile every candidate, keep going past failures, then link the ones that compiled.
log=$build/test-compile.log
cmake --build "$build" -j2 --target k400_core_tests -- -k 0 >"$log" 2>&1 || true
mapfile -t failed < <(sed -n 's|^FAILED: .*k400_core_tests.dir/\(.*\)\.obj *$|\1|p' "$log" | sed 's|^\.\./||' | sort -u)
candidates=()
for area in "${areas[@]}" support; do
    for source in tests/"$area"/*.cpp; do
        [[ -e "$source" ]] && candidates+=("$source")
    done
done
kept=()
for source in "${candidates[@]}"; do
    skip=0
    for bad in "${failed[@]}"; do
        [[ "$source" == *"$bad" || "$bad" == *"$source" ]] && skip=1
    done
    ((skip)) || kept+=("$PWD/$source")
done
if ((${#failed[@]})); then
    echo "Left out, as they do not compile for Windows (first errors in $log):"
    printf '  %s\n' "${failed[@]}"
    grep -m 5 ' error: ' "$log" | sed 's/^/    /' || true
    [[ "${K400_MINGW_STRICT:-0}" == 1 ]] && exit 1
fi
if ((${#kept[@]} == 0)); then
    echo "No test source compiled for Windows." >&2
    exit 1
fi
configure "$(IFS=';'; echo "${kept[*]}")"
cmake --build "$build" -j2 --target k400_core_tests
exe=$build/k400_core_tests.exe
echo "Linked $exe from ${#kept[@]} sources ($(du -k "$exe" | cut -f1) KiB)."

# Debian's wine64 package keeps its loader out of PATH; the wine package adds the command.
wine=$(command -v wine64 || command -v wine || ls /usr/lib/wine/wine64 2>/dev/null || true)
if [[ -z "$wine" ]]; then
    echo "Wine is not installed: stopped after linking (apt-get install wine64 runs the tests too)."
    exit 0
fi
echo "== running the tests under $(basename "$wine") =="
WINEDEBUG=-all WINEPREFIX="${WINEPREFIX:-$PWD/$build/wine}" timeout 1200 "$wine" "$exe" --gtest_brief=1
