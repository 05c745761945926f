#!/usr/bin/env bash
# The Windows Installer package as a school deploys it, under Wine's msiexec in a fresh prefix of
# its own: an older version installed silently, this one over it (a major upgrade), this one once
# more, and the older one refused; the installed game plays a round from Program Files; the Start-menu
# shortcut and the uninstall entry; a school's own word list, and one that is not there; silent
# removal leaving nothing behind.
#   msi_install_test.sh INSTALLED_ROUND_EXE STATE
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
driver=$1
state=$2
game=$root/build/win32/letrazul.exe
fail() {
  echo "FAILED: $*"
  exit 1
}
[ -f "$game" ] || fail "no $game: the package holds the shipped 32-bit game (cmake --build --preset win32)"
if [ "$("$root/tools/wine-prefix.sh" bits)" != 32 ]; then
  [ "${LETRAZUL_SKIP_32BIT:-}" = 1 ] && { echo "SKIPPED: Wine's 32-bit half does not run here"; exit 77; }
  fail "Wine's 32-bit half does not run here, and the package's game is 32-bit"
fi
version=$(sed -n 's/^ *VALUE "ProductVersion", "\([^"]*\)".*/\1/p' "$root/resources/letrazul.rc")
older=0.1
work=$(mktemp -d)
trap '"$root/tools/wine-session.sh" stop "$state" >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
"$root/tools/wine-session.sh" stop "$state" >/dev/null 2>&1 || true
rm -rf "$state/prefix"
"$root/tools/wine-session.sh" ensure "$state"
# shellcheck disable=SC1091
source "$state/env"
wine=/usr/lib/wine/wine64
folder="$WINEPREFIX/drive_c/Program Files (x86)/Letrazul"

# Two packages that tell apart by their notes: an older version and this one.
for v in "$older" "$version"; do
  mkdir -p "$work/$v"
  cp "$game" "$work/$v/letrazul.exe"
  cp "$root/data/dic.txt" "$work/$v/"
  printf 'Letrazul %s\r\n' "$v" >"$work/$v/LEEME.txt"
  "$root/tools/make-msi.sh" "$v" "$work/$v" "$work/letrazul-$v.msi"
done
# The same inputs give the same bytes; a change to any other input of the package (its source, the
# icon, the script that adds its tables) gives another package code, or Windows would take the
# changed package for the one it has cached.
package() { msiinfo suminfo "$1" | sed -n 's/^Revision number (UUID): //p'; }
mkdir -p "$work/copy/tools" "$work/copy/resources" "$work/small"
printf 'sol\r\n' | tee "$work/small/letrazul.exe" "$work/small/dic.txt" >"$work/small/LEEME.txt"
build() { SOURCE_DATE_EPOCH=315532800 "$work/copy/tools/make-msi.sh" "$version" "$work/small" "$1"; }
for input in none resources/letrazul.wxs resources/letrazul.ico tools/make-msi.sh; do
  cp "$root/tools/make-msi.sh" "$work/copy/tools/"
  cp "$root/resources/letrazul.wxs" "$root/resources/letrazul.ico" "$work/copy/resources/"
  [ "$input" = none ] || printf '\n' >>"$work/copy/$input"
  build "$work/copy/${input//\//-}.msi"
done
build "$work/again.msi"
cmp -s "$work/copy/tools-make-msi.sh.msi" "$work/again.msi" || fail "the same inputs gave a different package"
codes=$(for f in "$work"/copy/*.msi; do package "$f"; done)
[ "$(sort -u <<<"$codes" | wc -l)" = 4 ] || fail "a changed source, icon or script kept the package code: $codes"
code() { msiinfo export "$work/letrazul-$1.msi" Property | tr -d '\r' | sed -n 's/^ProductCode\t//p'; }
windows() { printf 'Z:%s' "${1//\//\\}"; }
# msiexec ARGS...: its exit code, which Wine hands on modulo 256 (1603 is 67).
msiexec() { "$wine" msiexec "$@" >/dev/null 2>&1 </dev/null; }
# The uninstall entry of a product, from whichever registry view this Wine writes it to.
entry() {
  local view
  for view in 'Software' 'Software\Wow6432Node'; do
    "$wine" reg query "HKLM\\$view\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$1" 2>/dev/null | tr -d '\r' &&
      return 0
  done
  return 1
}
# Every Letrazul uninstall entry there is, as product codes.
entries() {
  local view
  for view in 'Software' 'Software\Wow6432Node'; do
    "$wine" reg query "HKLM\\$view\\Microsoft\\Windows\\CurrentVersion\\Uninstall" /s 2>/dev/null | tr -d '\r' |
      awk '/^HKEY_/ { key = $0; sub(/.*\\/, "", key) } $1 == "DisplayName" && $3 == "Letrazul" { print key }'
  done | sort -u
}
# Wine 8 puts a per-machine package's shortcuts in the user's Start menu, Windows in all users'.
shortcut() { find "$WINEPREFIX/drive_c" -name Letrazul.lnk -print -quit; }

# installed VERSION LIST: that version is installed, alone, with LIST as its dic.txt.
installed() {
  local v=$1 list=$2 product values link names
  product=$(code "$v")
  cmp -s "$game" "$folder/letrazul.exe" || fail "$v: letrazul.exe is not in Program Files"
  [ "$(cat "$folder/LEEME.txt" 2>/dev/null)" = $'Letrazul '"$v"$'\r' ] || fail "$v: LEEME.txt is not its own"
  cmp -s "$list" "$folder/dic.txt" || fail "$v: dic.txt is not $list"
  [ "$(entries)" = "$product" ] || fail "$v: the uninstall entries are $(entries | tr '\n' ' '), not $product alone"
  values=$(entry "$product")
  for value in "DisplayName    REG_SZ    Letrazul" "DisplayVersion    REG_SZ    $v" "Publisher    REG_SZ    Letrazul" \
    "HelpLink    REG_SZ    https://letrazul.example.org" "NoModify    REG_DWORD    0x1"; do
    grep -qF "    $value" <<<"$values" || fail "$v: the uninstall entry has no $value"
  done
  cmp -s "$root/resources/letrazul.ico" "$WINEPREFIX/drive_c/windows/Installer/$product/letrazul.ico" ||
    fail "$v: the uninstall entry's icon is not the game's"
  link=$(shortcut)
  [ -n "$link" ] || fail "$v: no Start-menu shortcut"
  # Its target, its working folder and its icon, as Wine writes them (some in UTF-16).
  names=$(strings -a "$link"; strings -a -el "$link")
  for text in 'C:\Program Files (x86)\Letrazul\letrazul.exe' 'C:\Program Files (x86)\Letrazul\' \
    "C:\\windows\\Installer\\$product\\letrazul.ico"; do
    grep -qF "$text" <<<"$names" || fail "$v: the shortcut does not name $text"
  done
}
# Nothing of the game is left: no folder, shortcut, uninstall entry or cached icon.
gone() {
  [ ! -e "$folder" ] || fail "$1: $(find "$folder" | tr '\n' ' ') left behind"
  [ -z "$(shortcut)" ] || fail "$1: the shortcut $(shortcut) left behind"
  [ -z "$(entries)" ] || fail "$1: the uninstall entry $(entries) left behind"
  [ -z "$(find "$WINEPREFIX/drive_c/windows/Installer" -name letrazul.ico)" ] || fail "$1: the cached icon left behind"
  for view in 'Software' 'Software\Wow6432Node'; do
    ! "$wine" reg query "HKLM\\$view\\Letrazul" >/dev/null 2>&1 || fail "$1: the registry key $view\\Letrazul left behind"
  done
}

began=$(date +%s)
new=$(windows "$work/letrazul-$version.msi")
old=$(windows "$work/letrazul-$older.msi")
msiexec /i "$old" /qn || fail "installing $older ended with $?"
installed "$older" "$root/data/dic.txt"
msiexec /i "$new" /qn || fail "installing $version over $older ended with $?"
installed "$version" "$root/data/dic.txt"
msiexec /i "$new" /qn || fail "installing $version again ended with $?"
installed "$version" "$root/data/dic.txt"
! msiexec /i "$old" /qn || fail "$older installed over $version"
installed "$version" "$root/data/dic.txt"
echo "installed $older, upgraded to $version, reinstalled, refused $older after it: $(($(date +%s) - began)) s"

# The installed game, played from Program Files, as the emulated 32-bit program it is.
grep -qs '^enabled' /proc/sys/fs/binfmt_misc/qemu-i386 && export LETRAZUL_GAME_SLOWNESS=8
"$root/tools/wine-run.sh" "$state" "$driver" 'C:\Program Files (x86)\Letrazul\letrazul.exe' ||
  fail "the installed game did not play its round"

msiexec /x "$new" /qn || fail "removing $version ended with $?"
gone "removing $version"

# A school's own list: the dic.txt of the folder given is installed instead of ours, and goes with
# the game; a folder without one stops the installation before anything is installed.
mkdir -p "$work/escuela" "$work/vacía"
printf 'pizarra\r\ncuaderno\r\n' >"$work/escuela/dic.txt"
msiexec /i "$new" /qn "WORDLISTFOLDER=$(windows "$work/escuela")" || fail "installing with the school's list ended with $?"
installed "$version" "$work/escuela/dic.txt"
msiexec /x "$new" /qn || fail "removing $version with the school's list ended with $?"
gone "removing $version with the school's list"
! msiexec /i "$new" /qn "WORDLISTFOLDER=$(windows "$work/vacía")" || fail "installed with a word-list folder that has no dic.txt"
gone "installing with a word-list folder that has no dic.txt"

# A stray dic.txt at the root of drive C: and in a folder of that name there: ours is installed
# and upgraded without WORDLISTFOLDER, and a relative WORDLISTFOLDER is refused, not looked for on
# every drive.
mkdir -p "$WINEPREFIX/drive_c/escuela"
printf 'intruso\r\n' | tee "$WINEPREFIX/drive_c/dic.txt" >"$WINEPREFIX/drive_c/escuela/dic.txt"
msiexec /i "$old" /qn || fail "installing $older beside a stray C:\dic.txt ended with $?"
installed "$older" "$root/data/dic.txt"
msiexec /i "$new" /qn || fail "upgrading beside a stray C:\dic.txt ended with $?"
installed "$version" "$root/data/dic.txt"
msiexec /x "$new" /qn || fail "removing $version ended with $?"
# refused NAME FOLDER: installing with WORDLISTFOLDER=FOLDER is refused, with its log in NAME.log.
refused() {
  ! msiexec /i "$new" /qn /l*v "$(windows "$work/$1.log")" "WORDLISTFOLDER=$2" || fail "installed with WORDLISTFOLDER=$2"
  gone "installing with WORDLISTFOLDER=$2"
}
started() { tr -d '\0\r' <"$work/$1.log" | sed -n 's/^Action start [0-9:]*: \(.*\)\.$/\1/p' | tr '\n' ' '; }
# A relative folder is refused before any search; a share (one that is not there) is looked for.
refused relative escuela
[[ "$(started relative)" == *RefuseRelativeWordListFolder* && "$(started relative)" != *AppSearch* ]] ||
  fail "a relative WORDLISTFOLDER was not refused before the search: $(started relative)"
refused share '\\servidor\letrazul'
[[ "$(started share)" == *AppSearch* && "$(started share)" != *RefuseRelative* ]] ||
  fail "a share was refused as relative: $(started share)"
# The school's list is remembered: an upgrade without WORDLISTFOLDER keeps it, and a repair
# brings it back.
msiexec /i "$old" /qn "WORDLISTFOLDER=$(windows "$work/escuela")" || fail "installing $older with the school's list ended with $?"
installed "$older" "$work/escuela/dic.txt"
msiexec /i "$new" /qn || fail "upgrading a school-list install ended with $?"
installed "$version" "$work/escuela/dic.txt"
rm "$folder/dic.txt"
msiexec /i "$new" /qn REINSTALL=ALL REINSTALLMODE=omus || fail "repairing a school-list install ended with $?"
installed "$version" "$work/escuela/dic.txt"
msiexec /x "$new" /qn || fail "removing $version with the remembered list ended with $?"
gone "removing $version with the remembered list"
echo "msi install, upgrade, play, school list and removal: all passed in $(($(date +%s) - began)) s"
