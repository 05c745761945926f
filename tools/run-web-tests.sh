#!/usr/bin/env bash
# The web build's tests: the site built with emscripten, the frames the page must match composed by
# the 64-bit Windows build under a Wine session of their own (so they run beside the other Wine
# tests), and the browser round in Debian's chromium without a screen (tests/web/). The last line
# says "web: N passed, M failed".
set -uo pipefail
cd "$(dirname "$0")/.."
# emcc's optimiser loads Debian's acorn from there.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
fail() {
  echo "$1"
  echo "web: 0 passed, 1 failed"
  exit 1
}

{ cmake --preset web >/dev/null && cmake --build --preset web; } || fail "web: the site did not build"
{ cmake --preset win64 >/dev/null && cmake --build --preset win64 --target reference_frames; } ||
  fail "web: the Windows reference frames did not build"
# Made again only when their program has changed: a Wine session costs seconds to start.
frames=build/win64/web-frames
if [ ! "$frames/layout.json" -nt build/win64/tests/reference_frames.exe ]; then
  rm -rf "$frames"
  state=build/web/wine
  tools/wine-run.sh "$state" build/win64/tests/reference_frames.exe "$frames"
  made=$?
  tools/wine-session.sh stop "$state" >/dev/null 2>&1 || true
  [ "$made" -eq 0 ] || fail "web: the Windows reference frames were not made"
fi

tools/web-modules.sh || fail "web: the npm packages were not installed"

log=$(mktemp)
trap 'rm -f "$log"' EXIT
# TAP: one line a test, and the counts as "# pass N" and "# fail N" at the end.
node --test --test-reporter=tap tests/web/round.test.mjs 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
passed=$(sed -n 's/^# pass \([0-9]*\)$/\1/p' "$log")
failed=$(sed -n 's/^# fail \([0-9]*\)$/\1/p' "$log")
[ "$status" -eq 0 ] || [ "${failed:-0}" -gt 0 ] || failed=1
echo "web: ${passed:-0} passed, ${failed:-1} failed"
exit "$status"
