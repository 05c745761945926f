#!/usr/bin/env bash
# Builds, without running them, the programs of every make command that make test does not run
# itself, so that none of them rots unnoticed: make bench's benchmarks (optimised native and
# 64-bit Windows), make picture's frame capture, make play's scripted round, make dist's release
# and make fuzz's targets.
set -uo pipefail
cd "$(dirname "$0")/.."
status=0
# build WHAT PRESET TARGET...
build() {
  local what=$1 preset=$2
  shift 2
  if cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" --target "$@"; then
    echo "builds: $what"
  else
    echo "FAILS TO BUILD: $what"
    status=1
  fi
}
build "make bench (native)" native-release benchmarks
build "make bench (Wine)" win64 benchmarks
build "make picture" win64 capture_frame
build "make play" win64 letrazul play_round
build "make fuzz" fuzz all
if tools/dist.sh >/dev/null; then echo "builds: make dist"; else echo "FAILS TO BUILD: make dist"; status=1; fi
[ $status -eq 0 ] && echo "every command's programs build" || echo "some command's programs do not build"
exit $status
