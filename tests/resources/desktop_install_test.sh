#!/usr/bin/env bash
# make install and make uninstall in a data folder of their own, empty or already holding other
# programs' entries and icons: the menu entry installed is valid (desktop-file-validate) and starts
# the installed launcher, the icon and the game are ours; an install over an install leaves one;
# uninstall then leaves the folder exactly as it was before.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
installer=$root/tools/desktop-install.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAILED ($1): $2"
  exit 1
}
mkdir -p "$work/game"
printf 'MZ' >"$work/game/letrazul.exe"
printf 'casa\r\n' >"$work/game/dic.txt"

# A space in the path: the entry's Exec must quote it.
for case in empty "with others"; do
  data=$work/$case/share
  mkdir -p "$data"
  if [ "$case" != empty ]; then
    mkdir -p "$data/applications" "$data/icons/hicolor/48x48/apps"
    printf '[Desktop Entry]\nType=Application\nName=Other\nExec=other\n' >"$data/applications/other.desktop"
    cp "$root/resources/icon.png" "$data/icons/hicolor/48x48/apps/other.png"
  fi
  before=$(cd "$data" && find . -printf '%p %s\n' | sort)
  for _ in 1 2; do
    XDG_DATA_HOME=$data "$installer" install "$work/game/letrazul.exe" >/dev/null || fail "$case" "install failed"
  done
  entry=$data/applications/letrazul.desktop
  report=$(desktop-file-validate "$entry" 2>&1) || fail "$case" "desktop-file-validate: $report"
  [ -z "$report" ] || fail "$case" "desktop-file-validate: $report"
  exec_line=$(grep '^Exec=' "$entry")
  [ "$exec_line" = "Exec=\"$data/letrazul/letrazul.sh\"" ] || fail "$case" "the entry starts $exec_line"
  for file in letrazul.sh wine-prefix.sh; do
    [ -x "$data/letrazul/$file" ] || fail "$case" "no $file to start the game"
  done
  cmp -s "$root/resources/icon.png" "$data/icons/hicolor/48x48/apps/letrazul.png" || fail "$case" "not our icon"
  for file in letrazul.exe dic.txt; do
    cmp -s "$work/game/$file" "$data/letrazul/$file" || fail "$case" "$file is not the game's"
  done
  XDG_DATA_HOME=$data "$installer" uninstall >/dev/null || fail "$case" "uninstall failed"
  after=$(cd "$data" && find . -printf '%p %s\n' | sort)
  [ "$after" = "$before" ] || fail "$case" "uninstall left $(diff <(echo "$before") <(echo "$after") | grep '^>' | tr '\n' ' ')"
done
echo "desktop install and uninstall: both cases passed"
