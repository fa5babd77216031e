#!/usr/bin/env bash
# Builds everything and runs every test: the plain build, the same suite under
# AddressSanitizer + UBSan, the fuzz targets (seed corpora replayed, then a
# short run each) so that a parser regression fails here too, and, when the
# MinGW-w64 cross compiler is installed, the Windows build of the core and its
# unit tests (scripts/mingw-core.sh; under Wine when that is installed too).
# Tests are kept lean: their lines (tests/, .cpp and .h) may be at most
# MaxTestRatio of the product's (src/). The figure is printed first, so it is
# seen even when the build fails, and a suite over the limit fails at the end.
#   K400_QUICK=1 scripts/test.sh     only the plain build and its tests
#   K400_PACKAGE=1 scripts/test.sh   first builds the Debian package (scripts/package.sh),
#                                    which the "package" test then checks instead of skipping
#   K400_MINGW=0 scripts/test.sh     without the Windows build (about 3 minutes of 2 cores
#                                    the first time, seconds once build-mingw and ccache hold it)
set -euo pipefail
cd "$(dirname "$0")/.."

MaxTestRatio=0.35

# Lines of the .cpp and .h files under a folder: tracked ones and new ones
# not ignored, as they will be committed (build trees do not count).
source_lines() {
    local files
    if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        files=$(git ls-files -co --exclude-standard -- "$1" | grep -E '\.(cpp|h)$' || true)
    else
        files=$(find "$1" -type f \( -name '*.cpp' -o -name '*.h' \))
    fi
    local total=0 f
    while IFS= read -r f; do
        # A tracked file deleted in the work tree is gone already.
        [[ -n "$f" && -f "$f" ]] && total=$((total + $(wc -l <"$f")))
    done <<<"$files"
    echo "$total"
}

test_lines=$(source_lines tests)
src_lines=$(source_lines src)
ratio_ok=$(awk -v t="$test_lines" -v s="$src_lines" -v m="$MaxTestRatio" 'BEGIN { print (s > 0 && t <= s * m) ? 1 : 0 }')
ratio_text=$(awk -v t="$test_lines" -v s="$src_lines" -v ok="$ratio_ok" -v m="$MaxTestRatio" 'BEGIN {
    r = s > 0 ? t / s : 0; text = sprintf("%.2f", r)
    # Over the limit but rounding to it: show the digits that tip it.
    for (d = 3; !ok && s > 0 && text + 0 <= m && d <= 6; ++d) text = sprintf("%." d "f", r)
    print text }')
ratio_line="Tests: $test_lines lines against $src_lines lines of src/ ($ratio_text; at most $MaxTestRatio)"
echo "$ratio_line"

scripts/install-deps.sh
# The layout is checked first and judged at the end, so a stray space does not
# hide what the tests say.
format_ok=1
scripts/format-check.sh || format_ok=0
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2
if [[ "${K400_PACKAGE:-0}" == 1 ]]; then
    echo "== the Debian package =="
    scripts/package.sh
fi
ctest --test-dir build --output-on-failure -j2

if [[ "${K400_QUICK:-0}" != 1 ]]; then
    echo "== AddressSanitizer + UndefinedBehaviorSanitizer =="
    scripts/sanitize.sh
    echo "== fuzz targets =="
    scripts/fuzz.sh 10
    echo "== the core for Windows (MinGW-w64) =="
    if [[ "${K400_MINGW:-1}" == 0 ]]; then
        echo "Skipped (K400_MINGW=0)."
    elif command -v x86_64-w64-mingw32-g++-posix >/dev/null; then
        scripts/mingw-core.sh
    else
        echo "Skipped: the MinGW-w64 cross compiler is not installed (apt-get install g++-mingw-w64-x86-64)."
    fi
fi

if ((format_ok != 1)); then
    echo "FAILED: files differ from .clang-format (listed above); scripts/format-check.sh --fix formats them" >&2
    exit 1
fi
if ((ratio_ok != 1)); then
    echo "$ratio_line" >&2
    echo "FAILED: the tests are over the line budget; merge or drop cases that restate the code" >&2
    exit 1
fi
