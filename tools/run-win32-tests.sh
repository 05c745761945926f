#!/usr/bin/env bash
# Runs the shipped 32-bit build itself under Wine's 32-bit half (through qemu's user-mode emulation
# where the kernel has no 32-bit mode): the end-to-end tour of build/win32/letrazul.exe, driven by
# the 64-bit driver in the same Wine session, the 32-bit Windows unit tests, and the game's sounds as
# heard. Every emulated 32-bit process takes seconds to start, so the tests run in few processes.
# A machine that cannot run it fails, with one line saying why (make test heeds LETRAZUL_SKIP_32BIT=1).
#   run-win32-tests.sh               the tour as Windows XP, the oldest Windows the game is for, the
#                                    unit tests and the sound test
#   run-win32-tests.sh VERSION...    only the tour, once as each Windows version Wine can pretend to
#                                    be (make versions: winxp win7 win10)
#   run-win32-tests.sh sound         only the sound test (make sound)
set -uo pipefail
cd "$(dirname "$0")/.."
began=$(date +%s)
if ! reason=$(tools/i386-binfmt.sh); then
  echo "win32: the 32-bit build was not run: $reason (LETRAZUL_SKIP_32BIT=1 lets make test pass without it)"
  exit 1
fi
state=build/win32/wine
tools/wine-session.sh ensure "$state" || exit 1
# shellcheck disable=SC1091
source "$state/env"
if [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
  echo "win32: the 32-bit build was not run: the Wine prefix has no 32-bit half (see $state/wineboot.log)"
  exit 1
fi

passed=0
failed=0
# run NAME PROGRAM [ARGS...]: one test program, one process, with its time; with heard=1, while a
# sound server of the session's own records what it plays (tools/pulse-session.sh).
run() {
  local name=$1 started=$(date +%s) around=()
  shift
  [ -z "${heard:-}" ] || around=(tools/pulse-session.sh run "$state")
  echo "== 32-bit: $name"
  local log
  log=$(mktemp)
  if "${around[@]}" tools/wine-run.sh "$state" "$@" --gtest_brief=1 >"$log" 2>&1; then
    # Under qemu, Wine's sound threads can crash the emulated game's process while it ends, after it
    # has exited with code 0 (see docs/development.md): a test that passed has nothing to say of it.
    grep -v '^qemu: uncaught target signal' "$log" || true
    passed=$((passed + 1))
    echo "$name: passed in $(($(date +%s) - started)) s"
  else
    cat "$log"
    failed=$((failed + 1))
    echo "$name: FAILED in $(($(date +%s) - started)) s"
  fi
  rm -f "$log"
}

# heard_game: the shipped game's sounds, found in a recording of what it played, event by event.
heard_game() {
  LETRAZUL_GAME="Z:$PWD/build/win32/letrazul.exe" LETRAZUL_GAME_BITS=32 LETRAZUL_GAME_SLOWNESS=8 heard=1 \
    run "the game's sounds, heard" build/win64/tests/sound_tests.exe
}

if [ "${1:-}" = sound ]; then
  heard_game
  set --
  only_sound=1
fi
# The real 32-bit game, played from start to "Salir del programa" in one process, its frames
# compared pixel for pixel with those the driver composes.
[ -n "${only_sound:-}" ] || for windows in "${@:-winxp}"; do
  LETRAZUL_GAME="Z:$PWD/build/win32/letrazul.exe" LETRAZUL_GAME_BITS=32 LETRAZUL_GAME_SLOWNESS=8 \
    LETRAZUL_GAME_WINDOWS=$windows run "the game, end to end, as $windows" build/win64/tests/play_tests.exe \
    --gtest_filter=PlayTest.TheWholeTourInOneProcess
done
if [ $# -eq 0 ] && [ -z "${only_sound:-}" ]; then
  run "the runtime and the shell" build/win32/tests/windows_suite_tests.exe
  run "the frames on a real Canvas" build/win32/tests/screen_pixels_tests.exe
  # The emulated game's sound stutters while other work keeps every core busy: make test names, in
  # LETRAZUL_HEAR_AFTER, a file that is there while such work runs beside this.
  while [ -n "${LETRAZUL_HEAR_AFTER:-}" ] && [ -e "$LETRAZUL_HEAR_AFTER" ]; do sleep 1; done
  heard_game
fi
tools/wine-session.sh stop "$state" >/dev/null 2>&1 || true

echo "win32: $passed passed, $failed failed, in $(($(date +%s) - began)) s"
[ "$failed" -eq 0 ]
