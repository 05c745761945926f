#!/usr/bin/env bash
# make dist: the 32-bit release, all a Windows player needs: dist/letrazul/ with letrazul.exe,
# dic.txt and LEEME.txt, dist/letrazul-<version>.zip holding that folder, the Windows Installer
# package dist/letrazul-<version>.msi of the same files for schools, the web site in
# dist/letrazul-<version>-web.zip (its folder letrazul-web/ goes on any static web server as it is),
# and dist/SHA256SUMS.
# Any clone of the same commit, in any folder, gives the same bytes, so anyone can rebuild a
# release and compare its sums.
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C  # one order of names everywhere
# The version is the one of the program's own version record.
version=$(sed -n 's/^ *VALUE "ProductVersion", "\([^"]*\)".*/\1/p' resources/letrazul.rc)
if [ -z "$version" ]; then
  echo "dist: resources/letrazul.rc has no ProductVersion" >&2
  exit 1
fi
# Every file carries the time of the last commit (SOURCE_DATE_EPOCH where given, as Debian's
# reproducible builds do), never the time of the build.
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 315532800)}

cmake --preset win32 >/dev/null
cmake --build --preset win32 --target letrazul
rm -rf dist
mkdir -p dist/letrazul
cp build/win32/letrazul.exe data/dic.txt dist/letrazul/
# The symbols are for debugging here; a player needs none of them. strip writes the time of day
# into the header unless SOURCE_DATE_EPOCH says otherwise; 0, as the link leaves it.
SOURCE_DATE_EPOCH=0 i686-w64-mingw32-strip dist/letrazul/letrazul.exe
# The player's notes are kept in UTF-8 here and shipped as Windows text: code page 1252, CR LF.
iconv -f UTF-8 -t CP1252 data/LEEME.txt | sed 's/\r*$/\r/' >dist/letrazul/LEEME.txt
chmod 0644 dist/letrazul/*
touch -d "@$epoch" dist/letrazul/*

# zip_folder ZIP FOLDER: FOLDER's files, names in a fixed order, the commit's time (zip times start
# in 1980, in no time zone) and no owner, permissions or extra times of this machine's files.
zip_folder() {
  local files
  mapfile -t files < <(cd dist && find "$2" -type f)
  (cd dist && python3 - "$1" "$epoch" "${files[@]}" <<'PY'
import sys, time, zipfile
name, epoch, files = sys.argv[1], int(sys.argv[2]), sorted(sys.argv[3:])
stamp = time.gmtime(max(epoch, 315532800))[:6]
with zipfile.ZipFile(name, "w") as archive:
    for file in files:
        entry = zipfile.ZipInfo(file, stamp)
        entry.create_system, entry.external_attr = 0, 0x20  # MS-DOS, "archive" as Windows sets it
        entry.compress_type = zipfile.ZIP_DEFLATED
        with open(file, "rb") as data:
            archive.writestr(entry, data.read(), compresslevel=9)
PY
  )
}
zip=letrazul-$version.zip
zip_folder "$zip" letrazul

# The web build's site, served as it is by any static web server.
NODE_PATH=${NODE_PATH:-/usr/share/nodejs} cmake --preset web >/dev/null
NODE_PATH=${NODE_PATH:-/usr/share/nodejs} cmake --build --preset web
cp -r build/web/site dist/letrazul-web
find dist/letrazul-web -type f -exec chmod 0644 {} + -exec touch -d "@$epoch" {} +
web=letrazul-$version-web.zip
zip_folder "$web" letrazul-web
msi=letrazul-$version.msi
SOURCE_DATE_EPOCH=$epoch tools/make-msi.sh "$version" dist/letrazul dist/"$msi"
(cd dist && sha256sum "$zip" "$msi" "$web" letrazul/* >SHA256SUMS)
touch -d "@$epoch" dist/"$zip" dist/"$msi" dist/"$web" dist/SHA256SUMS
ls -l dist/letrazul dist/"$zip" dist/"$msi" dist/"$web"
cat dist/SHA256SUMS
