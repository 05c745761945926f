#!/usr/bin/env bash
# Builds and runs the benchmark programs natively (optimised, no sanitizers) and under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
for preset in native-release win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target benchmarks
done
echo "== native"
build/native-release/tests/word_choice_bench data
echo "== win64 under Wine"
tools/wine-run.sh build/win64/wine build/win64/tests/word_choice_bench.exe data
tools/wine-run.sh build/win64/wine build/win64/tests/frame_bench.exe
tools/wine-run.sh build/win64/wine build/win64/tests/screen_bench.exe
tools/wine-run.sh build/win64/wine build/win64/tests/press_bench.exe data
tools/wine-session.sh stop build/win64/wine >/dev/null 2>&1 || true
