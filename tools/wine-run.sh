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
# A program that lost its link to the Wine server was cut short wherever it was, and may still
# have ended with 0.
if [ "$status" -eq 0 ] && grep -q '^wine client error:' "$output"; then
  echo "wine-run.sh: the program lost its Wine server and was cut short"
  status=1
fi
exit $status
