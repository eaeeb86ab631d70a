#!/bin/sh
# Whether and how this machine runs 32-bit Windows programs: natively, emulated (qemu-user's i386
# target registered in binfmt_misc, on kernels that run 64-bit code only), or not at all.
# The 32-bit Wine loader must actually start and say what it is: its file being there proves
# nothing, as every i386 program fails with "Exec format error" on a 64-bit-only kernel.
#   wine32-probe.sh        silent with exit 0 when they run; else one line with the reason, exit 1
#   wine32-probe.sh --how  "native" or "emulated (qemu VERSION)" when they run; else as above
#   wine32-probe.sh --entry  the binfmt_misc entry that emulates i386 programs, if any
#   wine32-probe.sh --qemu PATH  exit 0 when that qemu is new enough; else the reason, exit 1
# FR_WINE32 names another loader (a file that holds no program simulates a 64-bit-only machine).
# FR_NO_EMULATION=1 refuses the emulated way; FR_EMULATE_32=1 accepts no other.
loader="${FR_WINE32:-/usr/lib/wine/wine}"
binfmt=/proc/sys/fs/binfmt_misc
# The oldest qemu that runs Wine correctly: under 7.2 a process with two threads running at once
# crashes ("wine client error: write: Bad file descriptor").
qemu_major_min=10

# An enabled entry that matches i386 ELF programs; it is tried before the kernel's own loader.
i386_entry() {
  for e in "$binfmt"/*; do
    case ${e##*/} in register|status|'*') continue ;; esac
    [ -r "$e" ] && grep -qx enabled "$e" 2>/dev/null || continue
    magic=$(sed -n 's/^magic //p' "$e")
    # The ELF mark, 32-bit, little-endian, ... machine 3 (i386) in bytes 18-19.
    case $magic in 7f454c460101*) [ "$(printf '%s' "$magic" | cut -c37-40)" = 0300 ] && echo "$e" && return ;; esac
  done
}

fail() { echo "$*"; exit 1; }

qemu_ok() { # interpreter: sets $version, or fails with the reason
  version=$("$1" --version 2>/dev/null | sed -n '1s/.* version \([0-9][0-9.]*\).*/\1/p')
  [ -n "$version" ] || fail "32-bit programs would run through $1, which does not answer --version"
  [ "${version%%.*}" -ge "$qemu_major_min" ] ||
    fail "32-bit programs would run through qemu $version, too old: Wine's threads crash under it (qemu $qemu_major_min or later needed)"
}

case ${1:-} in
  --entry) i386_entry; exit 0 ;;
  --qemu) qemu_ok "$2"; exit 0 ;;
esac
[ -e "$loader" ] || fail "no 32-bit Wine: $loader is not installed (wine32:i386)"

entry=$(i386_entry)
how=native
if [ -n "$entry" ]; then
  qemu=$(sed -n 's/^interpreter //p' "$entry")
  [ "${FR_NO_EMULATION:-0}" = 1 ] &&
    fail "32-bit programs run here only emulated ($qemu), and FR_NO_EMULATION=1 turns that off"
  qemu_ok "$qemu"
  how="emulated (qemu $version)"
elif [ "${FR_EMULATE_32:-0}" = 1 ]; then
  fail "FR_EMULATE_32=1, but no binfmt_misc entry runs i386 programs through qemu here"
fi

# The shell runs a file the kernel refuses as a script of its own, so only the loader's answer
# counts, not its exit code.
out=$("$loader" --version 2>&1 </dev/null)
case $out in
  wine-*) [ "${1:-}" = --how ] && echo "$how"; exit 0 ;;
esac
why=$(printf '%s\n' "$out" | grep -v '^$' | tail -n 1 | sed 's/^.*: //')
fail "32-bit Windows programs cannot run here: $loader does not start (${why:-it printed nothing})"
