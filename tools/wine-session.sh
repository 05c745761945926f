#!/usr/bin/env bash
# One virtual display, one Wine prefix and one persistent wineserver per build tree, shared by every
# Windows test program of a run: a cold Wine start costs seconds, a warm one a fraction of that.
#   wine-session.sh ensure STATE   start whatever is not running yet (safe to call concurrently)
#   wine-session.sh stop STATE     end the display and the wineserver; the prefix is kept
# Each prefix is a copy of one made once per machine and Wine version in the user's cache: making
# one takes minutes when Wine's 32-bit half runs under emulation, copying it seconds.
set -euo pipefail
action=${1:?ensure or stop}
state=${2:?state folder}
mkdir -p "$state"
state=$(cd "$state" && pwd)
wine=/usr/lib/wine/wine64
prefixes=$(dirname "$0")/wine-prefix.sh
cache=${XDG_CACHE_HOME:-$HOME/.cache}/letrazul
template=$cache/wine-prefix
wineserver=/usr/lib/wine/wineserver64
[ -x "$wineserver" ] || wineserver=/usr/lib/wine/wineserver

# Everything started here closes the lock's descriptor (9>&-): a server that kept it would hold
# the lock for as long as it lives.
alive() { [ -f "$1" ] && kill -0 "$(cat "$1")" 2>/dev/null; }

start_display() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    setsid Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$state/xvfb.log" 2>&1 </dev/null 9>&- &
    echo $! >"$state/xvfb.pid"
    for _ in $(seq 1 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && { echo ":$n" >"$state/display"; return 0; }
      alive "$state/xvfb.pid" || break
      sleep 0.05
    done
  done
  echo "wine-session: could not start Xvfb" >&2
  return 1
}

write_env() {
  # There is no sound card here: a null device lets the sounds play to nowhere without ALSA's
  # complaints in every test's output.
  printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' >"$state/alsa.conf"
  cat >"$state/env" <<ENV
$("$prefixes" env "$state/prefix")
export DISPLAY="$(cat "$state/display")"
# File names reach Linux in UTF-8, so folders named outside ASCII ("Łukasz") exist for Windows
# programs; C.UTF-8 is the UTF-8 locale every Debian has, and Wine still gives its programs the
# ANSI code page 1252.
export LANG=C.UTF-8
export LC_ALL=C.UTF-8
export ALSA_CONFIG_PATH="$state/alsa.conf"
# Wine tries PulseAudio first: here only the session's own server, which the sound test starts
# (tools/pulse-session.sh). Without it Wine falls back to the null device above; no desktop server
# is played to, and none is started.
export PULSE_SERVER="$("$(dirname "$0")/pulse-session.sh" server "$state")"
ENV
}

# The template, made once per machine and Wine version: with no window manager on the virtual
# display, its windows are left unmanaged.
ensure_template() {
  "$prefixes" ensure "$template" "$state/wineboot.log" unmanaged 9>&-
}

ensure() {
  if ! alive "$state/xvfb.pid"; then
    rm -f "$state/env" "$state/warm"
    start_display
  fi
  write_env
  # shellcheck disable=SC1091
  source "$state/env"
  ensure_template
  if ! cmp -s "$template/.letrazul-template" "$WINEPREFIX/.letrazul-template"; then
    rm -rf "$WINEPREFIX" "$WINEPREFIX.new"
    cp -a "$template" "$WINEPREFIX.new"
    mv "$WINEPREFIX.new" "$WINEPREFIX"
  fi
  # A persistent server outlives each test program, so the next one starts warm. The first program
  # of a session also starts Wine's own services; starting them here keeps them off the output of
  # a test run, which would otherwise wait for them to close it.
  if [ ! -f "$state/warm" ]; then
    "$wineserver" -p >/dev/null 2>&1 </dev/null 9>&- || true
    "$wine" cmd /c exit >/dev/null 2>&1 </dev/null 9>&- || true
    touch "$state/warm"
  fi
}

case "$action" in
  ensure)
    exec 9>"$state/lock"
    flock 9
    ensure
    ;;
  stop)
    exec 9>"$state/lock"
    flock 9
    if [ -f "$state/env" ]; then
      # shellcheck disable=SC1091
      source "$state/env"
      "$wineserver" -k 2>/dev/null || true
    fi
    if alive "$state/xvfb.pid"; then kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true; fi
    rm -f "$state/env" "$state/xvfb.pid" "$state/display" "$state/warm"
    ;;
  *)
    echo "usage: wine-session.sh ensure|stop STATE" >&2
    exit 2
    ;;
esac
