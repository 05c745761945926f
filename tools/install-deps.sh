#!/usr/bin/env bash
# Installs, with apt-get, what a command needs and this machine lacks.
#   install-deps.sh [PROFILE]
#     play   building the game and playing it under Wine on the player's display
#     round  play's, and what the scripted round on a virtual display needs: the display, a sound
#            server of its own to record, the animation maker
#     test   (the default) everything: round's, the whole test toolchain and the release's
#            packaging (wixl and msitools for the Windows Installer package), and web's
#     web    only the web page's build: emscripten, Node, the font and the image and font converters
set -euo pipefail
profile=${1:-test}
# One list: each package under the first profile that needs it; a profile takes its own and those
# of the profiles before it.
profiles=(play round test)
packages="
play  make cmake ninja-build ccache
play  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
play  wine64 wine32:i386 fonts-liberation x11-utils
play  googletest libstb-dev zlib1g-dev libz-mingw-w64-dev
round xvfb xauth pulseaudio pulseaudio-utils webp
test  g++ qemu-user-static locales wspanish nlohmann-json3-dev desktop-file-utils wixl msitools faketime
test  clang libclang-rt-14-dev clang-tidy cppcheck python3 gcovr
test  chromium
web   cmake ninja-build ccache emscripten nodejs fonts-liberation webp woff2
"
wanted=()
for name in "${profiles[@]}"; do
  wanted+=("$name")
  [ "$name" = "$profile" ] && break
done
# The web build stands apart: it needs none of the Windows toolchain, and the tests need it too.
[ "$profile" = web ] && wanted=(web)
[ "$profile" = test ] && wanted+=(web)
[ "${wanted[-1]}" = "$profile" ] || [ "$profile" = test ] ||
  { echo "usage: install-deps.sh [play|round|test|web]" >&2; exit 2; }

missing=()
while read -r tag names; do
  [[ -n "$tag" && " ${wanted[*]} " == *" $tag "* ]] || continue
  for package in $names; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
done <<<"$packages"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
pause=${LETRAZUL_APT_PAUSE:-10}

# Stops everything with one line: what failed, and what to do about it.
give_up() {
  echo "install-deps: $1" >&2
  exit 1
}

# apt-get update, tried three times: a mirror in the middle of a sync serves an index whose size or
# hash does not match its Release file, for minutes at a time. True when every index came; else the
# first error apt-get gave is in $update_error.
update_error=
update_indexes() {
  local try out
  for try in 1 2 3; do
    if out=$("${sudo[@]}" apt-get update -qq 2>&1) && ! grep -qE '^(E|W): (Failed to fetch|Some index files failed)' <<<"$out"; then
      return 0
    fi
    update_error=$(grep -m 1 -E '^(E|W): ' <<<"$out" || echo "apt-get update failed")
    [ "$try" -eq 3 ] || sleep "$pause"
  done
  return 1
}

# apt-get install; with a suite's name, every package from that suite where it has one.
install_from() {
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends ${1:+-t "$1"} "${missing[@]}"
}

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  # Wine's 32-bit half, for running the shipped 32-bit program, comes from the i386 packages.
  dpkg --print-foreign-architectures | grep -qx i386 || "${sudo[@]}" dpkg --add-architecture i386
  # Without a suite's index (the security suite's, say) an update in it of an amd64 library may need
  # its i386 twin at a version no index lists, and the whole install cannot be resolved. The
  # release's own suite is complete by itself and always resolves.
  release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  if update_indexes; then
    install_from "" || { [ -n "$release" ] && echo "install-deps: trying again from $release alone" >&2 && install_from "$release"; } ||
      give_up "apt-get could not install ${missing[*]}, even from $release alone; run 'apt-get install ${missing[*]}' to see why, mend it, and try again"
  else
    echo "install-deps: a package index is missing after three tries ($update_error); installing from ${release:-the release} alone" >&2
    [ -n "$release" ] && install_from "$release" ||
      give_up "a package index is missing ($update_error) and the packages could not be installed from ${release:-its own suite} alone; check the network and /etc/apt/sources.list, or try again once the mirror has finished syncing"
  fi
fi
# Only the tests make this machine run 32-bit programs where its kernel cannot (a player's game
# falls back to the 64-bit build instead). Early, so that the first Wine prefix made is already a
# 32-bit one too; the 32-bit tests say so when this machine refuses.
if [ "$profile" = test ]; then
  "${sudo[@]}" "$(dirname "$0")/i386-binfmt.sh" >/dev/null || true
fi
