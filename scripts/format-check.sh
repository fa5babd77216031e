#!/usr/bin/env bash
# Lists the C++ files whose layout differs from .clang-format, with the number
# of their lines that would change, and exits 1 when there is any.
#   scripts/format-check.sh [PATH...]        default: src tests bench fuzz
#   scripts/format-check.sh --fix [PATH...]  rewrites those files in place instead
set -euo pipefail
cd "$(dirname "$0")/.."

fix=0
if [[ "${1:-}" == --fix ]]; then
    fix=1
    shift
fi
paths=("$@")
((${#paths[@]})) || paths=(src tests bench fuzz)

# The version .clang-format was tuned with; another one may lay out differently.
formatter=$(command -v clang-format-14 || command -v clang-format || true)
if [[ -z "$formatter" ]]; then
    echo "format-check.sh: clang-format is missing (scripts/install-deps.sh installs it)" >&2
    exit 2
fi

mapfile -t files < <(find "${paths[@]}" \( -name '*.cpp' -o -name '*.h' \) -type f 2>/dev/null | sort)
if ((fix)); then
    "$formatter" -i --style=file "${files[@]}"
    echo "Formatted ${#files[@]} files."
    exit 0
fi

differing=0 lines=0
for file in "${files[@]}"; do
    # Lines that would change: those replaced or removed, or those added if more.
    changed=$("$formatter" --style=file "$file" | { diff "$file" - || true; } |
        awk '/^</ { old++ } /^>/ { new++ } END { print (old > new ? old : new) + 0 }')
    if ((changed > 0)); then
        printf '%5d  %s\n' "$changed" "$file"
        differing=$((differing + 1))
        lines=$((lines + changed))
    fi
done
if ((differing)); then
    echo "$differing of ${#files[@]} files are not formatted ($lines lines differ); scripts/format-check.sh --fix formats them."
    exit 1
fi
echo "All ${#files[@]} files are formatted."
