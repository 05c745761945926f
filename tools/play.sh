#!/usr/bin/env bash
# The player's commands: make play, make install and make uninstall.
#   play.sh            plays the game on the player's display (DISPLAY) as any desktop program; with
#                      no display, plays a scripted round on a virtual one and keeps it in
#                      build/play/: a screenshot of every step, the round's sound (round.wav) and
#                      an animation of the screenshots (round.webp)
#   play.sh install    puts the game into the desktop's menu, in the user's XDG_DATA_HOME
#   play.sh uninstall  takes out what install put there
# Each plays, or installs, the shipped 32-bit game where Wine's 32-bit half runs here, else its
# 64-bit twin, and says which.
set -euo pipefail
cd "$(dirname "$0")/.."
action=${1:-play}

# Builds the game this machine plays; sets `game` to it, and `strip` to the strip of its processor.
build_game() {
  local bits
  bits=$(tools/wine-prefix.sh bits)
  cmake --preset "win$bits" >/dev/null
  cmake --build --preset "win$bits" --target letrazul
  game=build/win$bits/letrazul.exe
  strip=x86_64-w64-mingw32-strip
  if [ "$bits" = 32 ]; then
    strip=i686-w64-mingw32-strip
    echo "The game: the shipped 32-bit $game."
  else
    echo "The game: the 64-bit twin $game, since Wine's 32-bit half does not run here (wine32:i386)."
  fi
}

# quiet_qemu STATUS LOG: prints LOG, without qemu's line about a crash when STATUS is 0. Under qemu,
# Wine's sound threads can crash the emulated game's process while it ends, after it has exited with
# code 0 (see docs/development.md); the line then says nothing about the game.
quiet_qemu() {
  if [ "$1" -eq 0 ]; then grep -v '^qemu: uncaught target signal' "$2" || true; else cat "$2"; fi
  rm -f "$2"
}

has_display() { [ -n "${DISPLAY:-}" ] && xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; }

# A scripted round of the real game, driven by the end-to-end tests' driver on a virtual display of
# its own, its sound recorded from a sound server of its own. Nothing of it runs afterwards.
round() {
  local out=build/play state=build/play/wine
  tools/install-deps.sh round
  build_game
  cmake --preset win64 >/dev/null
  cmake --build --preset win64 --target play_round
  rm -rf "$out/round"
  local status=0 log
  # Where qemu emulates the 32-bit game, each start of it takes most of a minute: the driver waits
  # longer.
  if [ "$game" = build/win32/letrazul.exe ] && grep -qs '^enabled' /proc/sys/fs/binfmt_misc/qemu-i386; then
    export LETRAZUL_GAME_SLOWNESS=8
  fi
  log=$(mktemp)
  LETRAZUL_SOUND_RATE=44100 tools/pulse-session.sh run "$state" \
    tools/wine-run.sh "$state" build/win64/tools/play_round.exe "Z:$PWD/$game" data/dic.txt "$out/round" \
    >"$log" 2>&1 || status=$?
  quiet_qemu "$status" "$log"
  tools/wine-session.sh stop "$state" >/dev/null 2>&1 || true
  [ $status -eq 0 ] || return $status
  animate "$out/round" "$out/round.webp"
  echo "The round: $PWD/$out/round/ (screenshots and round.wav) and $PWD/$out/round.webp"
}

# animate FOLDER FILE: the screenshots of FOLDER, in order, as an animated WebP that loops; the
# first and the last picture stay longer. Lossless, so that no letter blurs: each picture after the
# first keeps only what changed, and the whole stays well under a megabyte.
animate() {
  local shots=("$1"/*.png) frames=() last
  last=$((${#shots[@]} - 1))
  for i in "${!shots[@]}"; do
    case $i in
      0 | "$last") frames+=(-d 2000) ;;
      *) frames+=(-d 700) ;;
    esac
    frames+=("${shots[$i]}")
  done
  img2webp -loop 0 -m 6 "${frames[@]}" -o "$2" >/dev/null 2>&1 || { echo "img2webp could not make $2" >&2; return 1; }
  echo "$2: ${#shots[@]} pictures, $(($(stat -c %s "$2") / 1024)) KB"
}

case "$action" in
  play)
    # The display's own check needs x11-utils, which play's packages bring.
    tools/install-deps.sh play
    if ! has_display; then
      echo "No display here: playing a scripted round on a virtual one."
      round
      exit
    fi
    build_game
    echo "Starting Letrazul on $DISPLAY; it ends with Opciones > Salir del programa."
    exec tools/letrazul.sh "$game"
    ;;
  install)
    tools/install-deps.sh play
    build_game
    # The player needs none of the symbols, which are most of the program.
    release=build/play/release
    rm -rf "$release"
    mkdir -p "$release"
    cp "$(dirname "$game")/dic.txt" "$release/"
    "$strip" -o "$release/letrazul.exe" "$game"
    tools/desktop-install.sh install "$release/letrazul.exe"
    ;;
  uninstall) tools/desktop-install.sh uninstall ;;
  *)
    echo "usage: play.sh [play|install|uninstall]" >&2
    exit 2
    ;;
esac
