#!/usr/bin/env bash
# Starts Letrazul under Wine on the player's display, in a Wine prefix of its own in the user's
# cache, made at the first start: its window is the desktop's to manage and its sounds go to the
# desktop's sound server. It returns when the game has ended and Wine with it.
#   letrazul.sh [GAME]   GAME: a letrazul.exe with its dic.txt beside it (unless given, the one
#                        beside this script, where make install puts both)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
game=$(realpath "${1:-$here/letrazul.exe}")
prefixes=$here/wine-prefix.sh
[ -x /usr/lib/wine/wine64 ] || { echo "letrazul: Wine is not installed (make play installs it)" >&2; exit 1; }
[ -f "$game" ] || { echo "letrazul: no game at $game" >&2; exit 1; }
cache=${XDG_CACHE_HOME:-$HOME/.cache}/letrazul
prefix=$cache/play-prefix
[ -f "$prefix/.letrazul-template" ] || echo "Making Letrazul's Wine prefix in $prefix: the first start takes a while."
"$prefixes" ensure "$prefix" "$cache/play-prefix.log"
eval "$("$prefixes" env "$prefix")"
status=0
errors=$(mktemp)
(cd "$(dirname "$game")" && /usr/lib/wine/wine64 "$game") 2>"$errors" || status=$?
"$prefixes" wait "$prefix"
# Under qemu's emulation of 32-bit programs, Wine's sound threads can crash the game's process while
# it ends, after it has exited with code 0, and qemu says so in one line: a player who quit the game
# need not read it. Anything else, and everything after a failure, is shown.
if [ $status -eq 0 ]; then grep -v '^qemu: uncaught target signal' "$errors" >&2 || true; else cat "$errors" >&2; fi
rm -f "$errors"
exit $status
