#!/usr/bin/env bash
# Runs every test of the native and the 64-bit Windows build (under Wine), then ends the Wine
# session and reports each runner's summary and the total. Exits non-zero when any test failed.
set -uo pipefail
cd "$(dirname "$0")/.."
status=0
summaries=()
passed=0
failed=0
for preset in native win64; do
  echo "== ctest --preset $preset"
  log=$(mktemp)
  ctest --preset "$preset" 2>&1 | tee "$log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
  summary=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  rm -f "$log"
  if [ -z "$summary" ]; then
    summaries+=("$preset: no summary (the run did not complete)")
    status=1
    continue
  fi
  summaries+=("$preset: $summary")
  count_failed=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$summary")
  count_all=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$summary")
  passed=$((passed + count_all - count_failed))
  failed=$((failed + count_failed))
done
tools/wine-session.sh stop build/win64/wine >/dev/null 2>&1 || true
# A short smoke of every fuzz target; make fuzz runs them for longer.
fuzz_log=$(mktemp)
tools/run-fuzz.sh 20 | tee "$fuzz_log"
if [ "${PIPESTATUS[0]}" -eq 0 ]; then
  passed=$((passed + 1))
else
  failed=$((failed + 1))
  status=1
fi
summaries+=("fuzz (20 s a target): $(sed -n '/== fuzzing summary/,$p' "$fuzz_log" | tail -n +2 | paste -sd ';' -)")
rm -f "$fuzz_log"
# Line coverage of the game and the text runtime by the native tests, at least 90% each.
coverage_log=$(mktemp)
tools/run-coverage.sh 90 | tee "$coverage_log"
if [ "${PIPESTATUS[0]}" -eq 0 ]; then
  passed=$((passed + 1))
else
  failed=$((failed + 1))
  status=1
fi
summaries+=("coverage: $(grep -E '^(game|runtime/text):' "$coverage_log" | paste -sd ';' -)")
rm -f "$coverage_log"
# clang-tidy and cppcheck over every source.
if tools/run-lint.sh; then
  passed=$((passed + 1))
  summaries+=("lint: clean")
else
  failed=$((failed + 1))
  status=1
  summaries+=("lint: findings (see above)")
fi
echo
echo "== summary"
echo "win32: built (build/win32/letrazul.exe); this machine runs no 32-bit code, so its tests are not run here"
printf '%s\n' "${summaries[@]}"
echo "total: $passed passed, $failed failed"
exit $status
