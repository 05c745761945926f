#!/usr/bin/env bash
# Runs one Windows test program under wine64 in the build tree's own prefix and virtual display.
#   wine-run.sh STATE PROGRAM [ARGS...]
set -euo pipefail
state=$1
shift
"$(dirname "$0")/wine-session.sh" ensure "$state"
# shellcheck disable=SC1091
source "$state/env"
# The program's output goes through a file: anything Wine leaves running then holds the file, not
# the pipe of whoever started us, which would otherwise wait for it to close.
output=$(mktemp)
trap 'rm -f "$output"' EXIT
status=0
/usr/lib/wine/wine64 "$@" >"$output" 2>&1 </dev/null || status=$?
cat "$output"
exit $status
