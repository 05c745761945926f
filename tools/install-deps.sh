#!/usr/bin/env bash
# Installs, with apt-get, whatever the build and the tests need and this machine lacks.
set -euo pipefail
packages=(
  cmake ninja-build ccache g++ make googletest
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine64 xvfb xauth x11-utils fonts-liberation
  qemu-user-static wine32:i386
  wspanish nlohmann-json3-dev
  libstb-dev zlib1g-dev libz-mingw-w64-dev
  clang libclang-rt-14-dev clang-tidy cppcheck python3 gcovr
)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  # Wine's 32-bit half, for running the shipped 32-bit program, comes from the i386 packages.
  dpkg --print-foreign-architectures | grep -qx i386 || "${sudo[@]}" dpkg --add-architecture i386
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# Early, so that the first Wine prefix made is already a 32-bit one too; the 32-bit tests say so
# when this machine refuses.
"${sudo[@]}" "$(dirname "$0")/i386-binfmt.sh" >/dev/null || true
