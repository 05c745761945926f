#!/usr/bin/env bash
# Line coverage of game/ and runtime/text by the native tests, which the native build counts with gcov
# as they run (the same run as make test's, sanitizers included); gcovr sums the counts and holds each
# folder to the minimum.
#   run-coverage.sh [--tests-built] [MINIMUM_PERCENT]
# Builds the native preset unless --tests-built says it is built; then runs its tests afresh and
# fails when they fail or a folder is below the minimum (90 unless given).
set -uo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = --tests-built ]; then
  shift
else
  cmake --preset native >/dev/null && cmake --build --preset native >/dev/null || exit 1
fi
minimum=${1:-90}
find build/native -name '*.gcda' -delete
ctest --preset native || exit 1
status=0
for folder in game runtime/text; do
  report=$(gcovr --root . --object-directory build/native --filter "$folder/" --fail-under-line "$minimum" \
    --print-summary) || status=1
  echo "$report" | grep -E '^(File|[a-z_/]+\.(cpp|h) )'
  echo "$folder: $(echo "$report" | grep -E '^lines: ' | sed 's/^lines: //'), at least $minimum% asked"
done
exit $status
