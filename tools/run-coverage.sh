#!/usr/bin/env bash
# Line coverage of game/ and runtime/text by the native tests: builds the coverage preset, runs its
# tests, and sums gcov's counts per file and per folder.
#   run-coverage.sh [MINIMUM_PERCENT]   fails when a folder is below the minimum (90 unless given)
set -uo pipefail
cd "$(dirname "$0")/.."
minimum=${1:-90}
cmake --preset coverage >/dev/null && cmake --build --preset coverage >/dev/null || exit 1
find build/coverage -name '*.gcda' -delete
(cd build/coverage && ctest -j2 --output-on-failure >/dev/null) || { echo "coverage: the tests failed"; exit 1; }
status=0
for folder in game runtime/text; do
  executed=0
  total=0
  while IFS= read -r source; do
    object=$(find build/coverage -name "$(basename "$source").gcno" -path "*$(basename "$(dirname "$source")")*" | head -n 1)
    [ -n "$object" ] || continue
    line=$(cd "$(dirname "$object")" && gcov -n "$(basename "$object")" 2>/dev/null |
      awk -v src="$source'" '/^File / {found = index($0, src) > 0; next}
        found && /No executable lines/ {exit}
        found && /Lines executed/ {print; exit}')
    [ -n "$line" ] || continue
    percent=$(sed -E 's/Lines executed:([0-9.]+)% of ([0-9]+)/\1/' <<<"$line")
    lines=$(sed -E 's/Lines executed:([0-9.]+)% of ([0-9]+)/\2/' <<<"$line")
    hit=$(awk -v p="$percent" -v n="$lines" 'BEGIN {printf "%d", p * n / 100 + 0.5}')
    executed=$((executed + hit))
    total=$((total + lines))
    printf '  %-45s %6s%% of %s lines\n' "$source" "$percent" "$lines"
  done < <(git ls-files "$folder/*.cpp")
  share=$(awk -v e="$executed" -v t="$total" 'BEGIN {printf "%.1f", t ? 100 * e / t : 0}')
  echo "$folder: $share% of $total lines"
  awk -v s="$share" -v m="$minimum" 'BEGIN {exit !(s >= m)}' || status=1
done
exit $status
