#!/usr/bin/env bash
# Puts Letrazul into the desktop's menu for this user, or takes it out again, in the freedesktop
# layout under XDG_DATA_HOME (~/.local/share unless set):
#   letrazul/                              the game, its word list and its launcher
#   applications/letrazul.desktop          the menu entry, which starts the launcher
#   icons/hicolor/48x48/apps/letrazul.png  its icon
#     desktop-install.sh install GAME   GAME: a letrazul.exe with its dic.txt beside it
#     desktop-install.sh uninstall
# install lists every file and folder it made in letrazul/installed; uninstall removes those and
# nothing else. An install over an earlier one takes the earlier one out first.
set -euo pipefail
tools=$(cd "$(dirname "$0")" && pwd)
data=${XDG_DATA_HOME:-}
# As the freedesktop base directories say, a relative path there is ignored.
[[ $data == /* ]] || data=$HOME/.local/share
home=$data/letrazul
manifest=$home/installed

uninstall() {
  [ -f "$manifest" ] || return 0
  local paths path
  mapfile -t paths <"$manifest"
  rm -f "$manifest"
  # The files first,
  for path in "${paths[@]}"; do
    [ -d "$path" ] || rm -f "$path"
  done
  # then the folders, deepest first, each only if nothing else has come into it.
  mapfile -t paths < <(printf '%s\n' "${paths[@]}" | sort -r)
  for path in "${paths[@]}"; do
    [ ! -d "$path" ] || rmdir "$path" 2>/dev/null || true
  done
}

# put SOURCE TARGET MODE: copies, noting the target and any folder made for it.
made=()
put() {
  local folder missing=()
  folder=$(dirname "$2")
  while [ ! -d "$folder" ]; do
    missing=("$folder" "${missing[@]}")
    folder=$(dirname "$folder")
  done
  [ ${#missing[@]} -eq 0 ] || mkdir -p "${missing[-1]}"
  made+=("${missing[@]}" "$2")
  install -m "$3" "$1" "$2"
}

install_game() {
  local game=$1 entry template launcher=$home/letrazul.sh
  if [ ! -f "$game" ] || [ ! -f "$(dirname "$game")/dic.txt" ]; then
    echo "desktop-install: $game and a dic.txt beside it are needed" >&2
    return 1
  fi
  # The entry's Exec quotes the launcher's path; a path with characters that a desktop entry must
  # escape is refused instead.
  case $launcher in
    *[\"\`\$\\%]* | *$'\n'*)
      echo "desktop-install: $launcher has characters a desktop entry cannot hold plainly" >&2
      return 1
      ;;
  esac
  uninstall
  put "$game" "$home/letrazul.exe" 644
  put "$(dirname "$game")/dic.txt" "$home/dic.txt" 644
  put "$tools/letrazul.sh" "$launcher" 755
  put "$tools/wine-prefix.sh" "$home/wine-prefix.sh" 755
  entry=$(mktemp)
  template=$(<"$tools/../resources/letrazul.desktop.in")
  echo "${template//@LAUNCHER@/\"$launcher\"}" >"$entry"
  put "$entry" "$data/applications/letrazul.desktop" 644
  rm -f "$entry"
  put "$tools/../resources/icon.png" "$data/icons/hicolor/48x48/apps/letrazul.png" 644
  printf '%s\n' "${made[@]}" >"$manifest"
  echo "Installed Letrazul: $data/applications/letrazul.desktop starts $launcher"
}

case "${1:-}" in
  install) install_game "${2:?game}" ;;
  uninstall)
    uninstall
    echo "Letrazul is no longer installed in $data"
    ;;
  *)
    echo "usage: desktop-install.sh install GAME | uninstall" >&2
    exit 2
    ;;
esac
