#!/usr/bin/env bash
# Lets this machine start 32-bit x86 Linux programs, Wine's 32-bit half among them, so that the
# shipped 32-bit letrazul.exe runs here. Where the kernel has no 32-bit mode, it registers qemu's
# user-mode emulation for them with the kernel; a registration already in place is kept. Needs
# root. On failure prints one line saying why and exits 1.
set -uo pipefail
probe=/usr/lib/wine/wine  # Wine's 32-bit loader, an i386 program
qemu=/usr/bin/qemu-i386-static
binfmt=/proc/sys/fs/binfmt_misc

runs() { "$probe" --version >/dev/null 2>&1 </dev/null; }

[ -x "$probe" ] || { echo "Wine's 32-bit half (wine32:i386) is not installed"; exit 1; }
runs && exit 0
[ -x "$qemu" ] || { echo "qemu-user-static is not installed"; exit 1; }
if ! mountpoint -q "$binfmt"; then
  mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null ||
    { echo "the kernel refused to mount binfmt_misc (not root, or not allowed here)"; exit 1; }
fi
if [ ! -e "$binfmt/qemu-i386" ]; then
  # ELF, 32-bit, little-endian, an executable or shared object, for the i386; F opens qemu now, so
  # it serves every later program whatever its root.
  magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  { printf '%s' ":qemu-i386:M::$magic:$mask:$qemu:F" >"$binfmt/register"; } 2>/dev/null ||
    { echo "the kernel refused to register qemu-i386-static for 32-bit programs"; exit 1; }
fi
grep -q '^enabled' "$binfmt/qemu-i386" || { echo 1 >"$binfmt/qemu-i386"; } 2>/dev/null
runs || { echo "32-bit programs still do not start, though qemu-i386-static is registered"; exit 1; }
