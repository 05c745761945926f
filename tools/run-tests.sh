#!/usr/bin/env bash
# Runs every test of the native and the 64-bit Windows build (under Wine), the shipped 32-bit build
# under Wine's 32-bit half, and the fuzz, coverage and lint checks; then reports each runner's
# summary and the total. Exits non-zero when any test failed.
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
# Runs one more check, counted as one test; `summarise` makes its summary line from its output.
extra_check() {
  local name=$1 summarise=$2
  shift 2
  local log
  log=$(mktemp)
  "$@" | tee "$log"
  if [ "${PIPESTATUS[0]}" -eq 0 ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    status=1
  fi
  summaries+=("$name: $($summarise "$log")")
  rm -f "$log"
}
win32_summary() { grep -E '^win32: ' "$1" | tail -n 1 | sed 's/^win32: //'; }
fuzz_summary() { sed -n '/== fuzzing summary/,$p' "$1" | tail -n +2 | paste -sd ';' -; }
coverage_summary() { grep -E '^(game|runtime/text):' "$1" | paste -sd ';' -; }
lint_summary() { tail -n 1 "$1" | sed 's/^lint: //'; }
# The shipped 32-bit program itself, under Wine's 32-bit half; a machine that cannot run it fails
# the run unless LETRAZUL_SKIP_32BIT=1 says that is known.
if [ "${LETRAZUL_SKIP_32BIT:-}" = 1 ]; then
  summaries+=("win32: not run (LETRAZUL_SKIP_32BIT=1); build/win32/letrazul.exe is built")
else
  extra_check "win32 (the shipped 32-bit build)" win32_summary tools/run-win32-tests.sh
fi
# A short smoke of every fuzz target (make fuzz runs them longer), the line coverage of the game
# and the text runtime (at least 90% each), and clang-tidy and cppcheck over every source.
extra_check "fuzz (20 s a target)" fuzz_summary tools/run-fuzz.sh 20
extra_check coverage coverage_summary tools/run-coverage.sh 90
extra_check lint lint_summary tools/run-lint.sh
echo
echo "== summary"
printf '%s\n' "${summaries[@]}"
echo "total: $passed passed, $failed failed"
exit $status
