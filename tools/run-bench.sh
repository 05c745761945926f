#!/usr/bin/env bash
# Builds and runs the benchmark programs natively (optimised, no sanitizers) and under Wine, then
# times the web build in headless chromium (tests/web/bench.mjs).
set -euo pipefail
cd "$(dirname "$0")/.."
for preset in native-release win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target benchmarks
done
# Word lists beside the shipped one, as players write them: twelve words; twenty lines of which one
# gives a word; the shipped list saved by Notepad as UTF-8, with its mark and Linux line ends.
lists=build/bench-lists
mkdir -p "$lists/twelve" "$lists/one-usable" "$lists/utf8"
printf '%s\r\n' casa perro gato luna sol mar pan flor nube tren libro arbol >"$lists/twelve/dic.txt"
{ for i in $(seq 1 19); do printf 'de\r\n'; done; printf 'camino\r\n'; } >"$lists/one-usable/dic.txt"
{ printf '\xEF\xBB\xBF'; iconv -f CP1252 -t UTF-8 data/dic.txt | tr -d '\r'; } >"$lists/utf8/dic.txt"
word_lists=(data "$lists/twelve" "$lists/one-usable" "$lists/utf8")
echo "== native"
for list in "${word_lists[@]}"; do build/native-release/tests/word_choice_bench "$list"; done
echo "== win64 under Wine"
for list in "${word_lists[@]}"; do
  tools/wine-run.sh build/win64/wine build/win64/tests/word_choice_bench.exe "$list"
done
tools/wine-run.sh build/win64/wine build/win64/tests/frame_bench.exe
tools/wine-run.sh build/win64/wine build/win64/tests/screen_bench.exe
tools/wine-run.sh build/win64/wine build/win64/tests/press_bench.exe data
# The web page presses where the Windows build's layout puts the keys.
cmake --build --preset win64 --target reference_frames
tools/wine-run.sh build/win64/wine build/win64/tests/reference_frames.exe build/win64/web-frames
tools/wine-session.sh stop build/win64/wine >/dev/null 2>&1 || true
echo "== web in headless chromium"
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}  # emcc's optimiser loads Debian's acorn from there
cmake --preset web >/dev/null
cmake --build --preset web
tools/web-modules.sh
node tests/web/bench.mjs
