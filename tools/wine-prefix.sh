#!/usr/bin/env bash
# The Wine prefixes the game runs in, the tests' and the player's, made the same way.
#   wine-prefix.sh bits                        32 where Wine's 32-bit half runs here, else 64
#   wine-prefix.sh env PREFIX                  the settings every Wine program in PREFIX runs with,
#                                              as shell exports
#   wine-prefix.sh wait PREFIX                 returns once Wine's server for PREFIX has ended, which
#                                              it does a moment after its last program
#   wine-prefix.sh ensure PREFIX LOG [unmanaged]
#       makes PREFIX unless one made for this Wine version is there (Wine's own output goes to
#       LOG); with unmanaged, Wine draws its windows' frames itself, for a display without a
#       window manager. Safe to call concurrently.
set -euo pipefail
wine=/usr/lib/wine/wine64
wine32=/usr/lib/wine/wine
wineserver=/usr/lib/wine/wineserver64
[ -x "$wineserver" ] || wineserver=/usr/lib/wine/wineserver

# Every command below closes the lock's descriptor (8>&-): a server that kept it would hold the
# lock for as long as it lives.
bits() {
  if [ -x "$wine32" ] && "$wine32" --version >/dev/null 2>&1 </dev/null 8>&-; then echo 32; else echo 64; fi
}

settings() {
  cat <<ENV
export WINEPREFIX=$(printf %q "$1")
export WINEDEBUG=-all
# No prompts to install .NET or a browser engine, and no menu entries of Wine's own on the desktop.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Where Wine's 32-bit half runs under qemu's user-mode emulation, qemu's default guest address
# space here is one page short of 4 GiB, and Wine's 32-bit start then fails to map its shared user
# data; a 64 KiB-aligned size lets it. It ends a little above 2 GiB: a 32-bit Windows program has
# only the lower 2 GiB, and Wine starts by reserving all the rest 64 KiB at a time, which this qemu
# emulates slowly (about 50 s a process with 4 GiB, 9 s with this). Programs that are not emulated
# ignore this.
export QEMU_RESERVED_VA=0x88000000
ENV
}

ensure() {
  local prefix=$1 log=$2 unmanaged=${3:-}
  mkdir -p "$(dirname "$prefix")"
  exec 8>"$prefix.lock"
  flock 8
  # A prefix that can start 32-bit programs is a mixed 64/32-bit one, which a 64-bit-only prefix
  # cannot become later: the key tells them apart.
  local kind=64 key
  [ "$(bits)" = 32 ] && kind=mixed
  key="$("$wine" --version) $kind 1"
  if [ "$(cat "$prefix/.letrazul-template" 2>/dev/null)" != "$key" ]; then
    rm -rf "$prefix" "$prefix.new"
    (
      eval "$(settings "$prefix.new")"
      "$wine" wineboot -i
      # The game asks for Times New Roman; Liberation Serif has the same metrics.
      "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Times New Roman' /t REG_SZ /d 'Liberation Serif' /f
      if [ "$unmanaged" = unmanaged ]; then
        # With windows Wine thinks managed and no window manager to answer, every shown window
        # that is destroyed waits two seconds for one.
        "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f
      fi
      "$wineserver" -w
    ) >"$log" 2>&1 </dev/null 8>&-
    echo "$key" >"$prefix.new/.letrazul-template"
    mv "$prefix.new" "$prefix"
  fi
  exec 8>&-
}

case "${1:-}" in
  bits) bits ;;
  env) settings "${2:?prefix}" ;;
  wait) WINEPREFIX=${2:?prefix} "$wineserver" -w ;;
  ensure) ensure "${2:?prefix}" "${3:?log}" "${4:-}" ;;
  *)
    echo "usage: wine-prefix.sh bits | env PREFIX | wait PREFIX | ensure PREFIX LOG [unmanaged]" >&2
    exit 2
    ;;
esac
