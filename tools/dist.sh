#!/usr/bin/env bash
# make dist: the 32-bit release, all a Windows player needs: dist/letrazul/ with letrazul.exe and
# dic.txt, and dist/letrazul.zip holding that folder.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target letrazul
rm -rf dist
mkdir -p dist/letrazul
cp build/win32/letrazul.exe data/dic.txt dist/letrazul/
# The symbols are for debugging here; a player needs none of them.
i686-w64-mingw32-strip dist/letrazul/letrazul.exe
(cd dist && cmake -E tar cf letrazul.zip --format=zip letrazul)
ls -l dist/letrazul dist/letrazul.zip
