#!/usr/bin/env bash
# Runs one Windows test program under wine64 in the build tree's own prefix and virtual display.
#   wine-run.sh STATE PROGRAM [ARGS...]
set -euo pipefail
state=$1
shift
"$(dirname "$0")/wine-session.sh" ensure "$state"
# shellcheck disable=SC1091
source "$state/env"
# A test may ask for another system locale, and with it the ANSI code page of a school elsewhere
# (zh_CN.UTF-8: 936, el_GR.UTF-8: 1253). The locale is compiled once into the session's folder, so
# no system locale needs to be installed. It is set for Wine alone: this shell cannot find it.
locale=()
if [ -n "${LETRAZUL_WINE_LOCALE:-}" ]; then
  locales=$state/locales
  if [ ! -d "$locales/$LETRAZUL_WINE_LOCALE" ]; then
    mkdir -p "$locales"
    compiled=$(mktemp -d "$locales/.new.XXXXXX")
    localedef -i "${LETRAZUL_WINE_LOCALE%%.*}" -f "${LETRAZUL_WINE_LOCALE#*.}" "$compiled/locale"
    # Two tests may compile it at once: the first one moved in is kept.
    mv -T "$compiled/locale" "$locales/$LETRAZUL_WINE_LOCALE" 2>/dev/null || true
    rm -rf "$compiled"
  fi
  locale=(LOCPATH="$locales" LANG="$LETRAZUL_WINE_LOCALE" LC_ALL="$LETRAZUL_WINE_LOCALE")
fi
# The program's output goes through a file: anything Wine leaves running then holds the file, not
# the pipe of whoever started us, which would otherwise wait for it to close.
output=$(mktemp)
trap 'rm -f "$output"' EXIT
status=0
env "${locale[@]}" /usr/lib/wine/wine64 "$@" >"$output" 2>&1 </dev/null || status=$?
cat "$output"
# A program that lost its link to the Wine server was cut short wherever it was, and may still
# have ended with 0.
if [ "$status" -eq 0 ] && grep -q '^wine client error:' "$output"; then
  echo "wine-run.sh: the program lost its Wine server and was cut short"
  status=1
fi
exit $status
