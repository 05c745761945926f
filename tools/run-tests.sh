#!/usr/bin/env bash
# Runs every test of the native and the 64-bit Windows build (under Wine), then ends the Wine
# session and reports each runner's summary. Exits non-zero when any test failed.
set -uo pipefail
cd "$(dirname "$0")/.."
status=0
summaries=()
for preset in native win64; do
  echo "== ctest --preset $preset"
  log=$(mktemp)
  ctest --preset "$preset" 2>&1 | tee "$log"
  result=${PIPESTATUS[0]}
  [ "$result" -eq 0 ] || status=1
  summaries+=("$preset: $(grep -E 'tests passed' "$log" | tail -n 1)")
  rm -f "$log"
done
tools/wine-session.sh stop build/win64/wine >/dev/null 2>&1 || true
echo
echo "== summary"
printf '%s\n' "${summaries[@]}"
echo "win32: built (build/win32/letrazul.exe); this machine runs no 32-bit code, so its tests are not run here"
exit $status
