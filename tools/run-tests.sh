#!/usr/bin/env bash
# make test: installs what is missing, then builds and checks everything, the quickest checks first so
# that a failure shows early: the native tests with their line coverage, the Windows builds, the
# lint, the fuzz targets, the build of every command's programs and the 64-bit Windows tests under
# Wine. The shipped 32-bit build's tests under Wine's 32-bit half run beside those from the Windows
# builds on: they spend minutes in one emulated process at a time, while the 64-bit tests mostly
# wait for the game, so together they take hardly longer than the 32-bit ones alone. Every step
# runs even after one failed; the summary gives each step's result and time, and the total of
# tests. Exits non-zero when anything failed.
set -uo pipefail
cd "$(dirname "$0")/.."
began=$(date +%s)
status=0
summaries=()
passed=0
failed=0

# step NAME SUMMARISE COMMAND...: one step, counted as one test, or as the tests it ran when
# SUMMARISE is ctest_summary; SUMMARISE makes the summary line from the step's output.
step() {
  local name=$1 summarise=$2 started log
  shift 2
  started=$(date +%s)
  log=$(mktemp)
  echo "== $name"
  "$@" 2>&1 | tee "$log"
  record "$name" "$summarise" "${PIPESTATUS[0]}" "$log" "$started"
}

# begin_step NAME SUMMARISE COMMAND...: a step that runs beside the steps after it, until end_step;
# its output is shown then. Several may run aside at once; end_step waits for each in turn.
asides=()
aside_pids=()
begin_step() {
  local log
  log=$(mktemp)
  asides+=("$1|$2|$log|$(date +%s)")
  shift 2
  echo "== ${asides[-1]%%|*}: started, beside the steps below"
  { "$@" >"$log" 2>&1; echo $? >"$log.status"; date +%s >"$log.ended"; } &
  aside_pids+=($!)
}
end_step() {
  local i name summarise log started
  for i in "${!aside_pids[@]}"; do
    wait "${aside_pids[$i]}"
    IFS='|' read -r name summarise log started <<<"${asides[$i]}"
    echo "== $name (ran beside the steps above)"
    cat "$log"
    record "$name" "$summarise" "$(cat "$log.status" 2>/dev/null || echo 1)" "$log" "$started" \
      "$(cat "$log.ended" 2>/dev/null || date +%s)"
    rm -f "$log.status" "$log.ended"
  done
  asides=()
  aside_pids=()
}
# Interrupted, the steps aside end too, with the Wine sessions their programs run in.
stop_aside() {
  [ ${#aside_pids[@]} -gt 0 ] || return 0
  kill "${aside_pids[@]}" 2>/dev/null
  rm -f "${busy:-}"
  tools/wine-session.sh stop build/win32/wine >/dev/null 2>&1 || true
  tools/wine-session.sh stop build/web/wine >/dev/null 2>&1 || true
}
trap stop_aside EXIT

# record NAME SUMMARISE STATUS LOG STARTED [ENDED]: counts a step that has ended and removes its log.
record() {
  local name=$1 summarise=$2 code=$3 log=$4 started=$5 ended=${6:-$(date +%s)} counted
  [ "$code" -eq 0 ] || status=1
  counted=$(ctest_counts "$log")
  [ "$summarise" != web_summary ] || counted=$(web_counts "$log")
  if [[ "$summarise" == @(ctest_summary|web_summary) && -n "$counted" ]]; then
    passed=$((passed + ${counted% *}))
    failed=$((failed + ${counted#* }))
    # A failure after the tests (the coverage floor) counts once more.
    [ "$code" -eq 0 ] || [ "${counted#* }" -ne 0 ] || failed=$((failed + 1))
  elif [ "$code" -eq 0 ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
  fi
  summaries+=("$name ($((ended - started)) s): $($summarise "$log")")
  rm -f "$log"
}

# "PASSED FAILED" of the last ctest summary in a log, or nothing.
ctest_counts() {
  local line all bad
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -n 1)
  [ -n "$line" ] || return 0
  bad=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
  all=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
  echo "$((all - bad)) $bad"
}
ctest_summary() {
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -n 1)
  echo "${line:-no test summary (the step stopped before its tests ended)}$(grep -E '^(game|runtime/text): ' "$1" | sed 's/^/; /' | tr -d '\n')"
}
last_line() { tail -n 1 "$1"; }
win32_summary() { grep -E '^win32: ' "$1" | tail -n 1 | sed 's/^win32: //'; }
# The browser round's own count: "web: N passed, M failed".
web_summary() { grep -E '^web: ' "$1" | tail -n 1 | sed 's/^web: //'; }
web_counts() { web_summary "$1" | sed -nE 's/^([0-9]+) passed, ([0-9]+) failed$/\1 \2/p'; }
fuzz_summary() { sed -n '/== fuzzing summary/,$p' "$1" | tail -n +2 | paste -sd ';' -; }

build() { cmake --preset "$1" >/dev/null && cmake --build --preset "$1"; }
native() { build native && tools/run-coverage.sh --tests-built 90; }
# The 32-bit tests drive the game from the 64-bit build's end-to-end tests.
windows_builds() { build win64 && build win32 && echo "the Windows programs build"; }

step packages last_line bash -c 'tools/install-deps.sh && echo "packages: all there"'
# Without its packages every later step would fail on a missing tool and bury the one line that
# says why.
if [ "$status" -ne 0 ]; then
  printf '%s\n' "${summaries[@]}"
  echo "total: $passed passed, $failed failed, in $(($(date +%s) - began)) s (stopped: the packages did not install)"
  exit 1
fi
step "native tests and their line coverage" ctest_summary native
step "the 64-bit and 32-bit Windows builds" last_line windows_builds
built=$status
# The native step ran before these programs existed, so their import check waited for them.
imports() { (cd build/native && ctest -R program_imports_tests --output-on-failure); }
[ "$built" -eq 0 ] && step "the programs' imports, against the oldest Windows" ctest_summary imports
# A machine that cannot run the shipped 32-bit program fails the run unless LETRAZUL_SKIP_32BIT=1
# says that is known.
if [ "${LETRAZUL_SKIP_32BIT:-}" = 1 ]; then
  summaries+=("win32: not run (LETRAZUL_SKIP_32BIT=1)")
elif [ "$built" -eq 0 ]; then
  # The 32-bit sound test waits while the steps that keep both cores busy run.
  busy=build/cores-busy
  touch "$busy"
  LETRAZUL_HEAR_AFTER=$busy begin_step "win32, the shipped build" win32_summary tools/run-win32-tests.sh
fi
# The web build and its browser round run beside the rest too: they wait on the browser and on
# emscripten far more than they keep a core busy.
[ "$built" -eq 0 ] && begin_step "web, the site in a headless browser" web_summary tools/run-web-tests.sh &&
  web_pid=${aside_pids[-1]}
step "lint" last_line tools/run-lint.sh
step "fuzz (20 s a target)" fuzz_summary tools/run-fuzz.sh 20
step "every command's programs build" last_line tools/check-targets.sh
# The 32-bit sound test also waits for the browser tests: its recordings missed a sound cut short
# while they ran beside it.
if [ -n "${web_pid:-}" ]; then
  { while kill -0 "$web_pid" 2>/dev/null; do sleep 1; done; rm -f "${busy:-}"; } &
else
  rm -f "${busy:-}"
fi
step "win64 tests under Wine" ctest_summary ctest --preset win64
tools/wine-session.sh stop build/win64/wine >/dev/null 2>&1 || true
end_step

echo
echo "== summary"
printf '%s\n' "${summaries[@]}"
echo "total: $passed passed, $failed failed, in $(($(date +%s) - began)) s"
exit $status
