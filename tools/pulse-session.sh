#!/usr/bin/env bash
# A private PulseAudio server with one null sink whose output is recorded, so that what Wine plays
# is heard and kept without reaching, or needing, a desktop's own sound server.
#   pulse-session.sh server STATE          the PULSE_SERVER of STATE's server
#   pulse-session.sh run STATE COMMAND...  starts the server and the recording, runs COMMAND with
#                                          PULSE_SERVER, LETRAZUL_SOUND_RECORDING (the recording
#                                          so far: signed 16-bit little-endian mono samples) and
#                                          LETRAZUL_SOUND_RATE (its rate: 11025 unless set) in its
#                                          environment, then stops both; COMMAND's status is the result
set -euo pipefail
action=${1:?server or run}
state=${2:?state folder}
mkdir -p "$state"
state=$(cd "$state" && pwd)
rate=${LETRAZUL_SOUND_RATE:-11025}

# A Unix socket's path holds at most 107 bytes; a deep state folder gets a short one of its own.
folder() {
  if [ ${#state} -le 80 ]; then
    echo "$state/pulse"
  else
    echo "${TMPDIR:-/tmp}/letrazul-pulse-$(printf %s "$state" | cksum | cut -d' ' -f1)"
  fi
}

pids=()
stop() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  pids=()
}

# wait_for WHAT PID TEST...: until TEST passes, for ten seconds at most, while PID lives.
wait_for() {
  local what=$1 pid=$2
  shift 2
  for _ in $(seq 200); do
    "$@" && return 0
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  echo "pulse-session: $what did not start (see $(folder))" >&2
  return 1
}

serving() { pactl info >/dev/null 2>&1; }

run() {
  local dir status=0
  dir=$(folder)
  if ! command -v pulseaudio >/dev/null || ! command -v parec >/dev/null; then
    echo "pulse-session: pulseaudio and parec are needed (tools/install-deps.sh round installs them)" >&2
    return 1
  fi
  rm -rf "$dir"
  mkdir -p "$dir/runtime" "$dir/home"
  chmod 700 "$dir" "$dir/runtime"
  cat >"$dir/server.pa" <<PA
load-module module-null-sink sink_name=letrazul rate=44100 channels=2
load-module module-native-protocol-unix socket=$dir/native auth-anonymous=1
set-default-sink letrazul
PA
  trap stop EXIT
  # Its own runtime and home folders: no desktop server is found and no cookie of the user's read.
  # As root PulseAudio warns that it is meant for users, and runs.
  XDG_RUNTIME_DIR=$dir/runtime HOME=$dir/home DBUS_SESSION_BUS_ADDRESS=disabled: \
    pulseaudio --daemonize=no --system=false --exit-idle-time=-1 --use-pid-file=no -n -F "$dir/server.pa" \
    --log-target="file:$dir/server.log" </dev/null >/dev/null 2>&1 &
  pids+=($!)
  export PULSE_SERVER=unix:$dir/native
  wait_for "the sound server" "${pids[0]}" serving
  # Short fragments, so samples reach the file within milliseconds of being played.
  parec --device=letrazul.monitor --format=s16le --rate="$rate" --channels=1 --latency-msec=10 \
    --raw >"$dir/recording.raw" 2>"$dir/parec.log" </dev/null &
  pids+=($!)
  wait_for "the recording" "${pids[1]}" test -s "$dir/recording.raw"
  LETRAZUL_SOUND_RECORDING=$dir/recording.raw LETRAZUL_SOUND_RATE=$rate "$@" || status=$?
  stop
  return $status
}

case "$action" in
  server) echo "unix:$(folder)/native" ;;
  run)
    shift 2
    run "$@"
    ;;
  *)
    echo "usage: pulse-session.sh server|run STATE [COMMAND...]" >&2
    exit 2
    ;;
esac
