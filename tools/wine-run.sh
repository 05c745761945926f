#!/usr/bin/env bash
# Runs one Windows test program under wine64 in the build tree's own prefix and virtual display.
#   wine-run.sh STATE PROGRAM [ARGS...]
set -euo pipefail
state=$1
shift
"$(dirname "$0")/wine-session.sh" ensure "$state"
# shellcheck disable=SC1091
source "$state/env"
exec /usr/lib/wine/wine64 "$@"
