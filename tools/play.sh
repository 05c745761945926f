#!/usr/bin/env bash
# make play: the game under Wine with the shipped word list. On a display the player has, it simply
# starts; with none, it plays a short scripted round on a virtual display and keeps screenshots.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target letrazul play_round
state=build/win64/wine
tools/wine-session.sh ensure "$state" >/dev/null
if [ -n "${DISPLAY:-}" ] && xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
  echo "Starting Letrazul on $DISPLAY; it ends with Opciones > Salir del programa."
  # The prefix and its settings from the session, the player's own display.
  # shellcheck disable=SC1091
  display=$DISPLAY
  source "$state/env"
  export DISPLAY=$display
  exec /usr/lib/wine/wine64 build/win64/letrazul.exe
fi
echo "No display here: playing a scripted round on a virtual one."
rm -rf build/screenshots
tools/wine-run.sh "$state" build/win64/tools/play_round.exe build/win64/letrazul.exe data/dic.txt build/screenshots
tools/wine-session.sh stop "$state" >/dev/null 2>&1 || true
echo "Screenshots of the round: $(pwd)/build/screenshots/"
