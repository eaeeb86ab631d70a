#!/bin/sh
# Whether this machine runs 32-bit Windows programs: the 32-bit Wine loader must actually start
# and say what it is. Its file being there proves nothing: some kernels run 64-bit programs only,
# and every i386 program fails there with "Exec format error".
# Silent with exit 0 when it runs; otherwise one line with the reason and exit 1.
# FR_WINE32 names another loader (a machine of the other kind can be simulated with a file that
# holds no program).
loader="${FR_WINE32:-/usr/lib/wine/wine}"
if [ ! -e "$loader" ]; then
  echo "no 32-bit Wine: $loader is not installed (wine32:i386)"
  exit 1
fi
# The shell runs a file the kernel refuses as a script of its own, so only the loader's answer
# counts, not its exit code.
out=$("$loader" --version 2>&1 </dev/null)
case $out in
  wine-*) exit 0 ;;
esac
why=$(printf '%s\n' "$out" | grep -v '^$' | tail -n 1 | sed 's/^.*: //')
echo "32-bit Windows programs cannot run here: $loader does not start (${why:-it printed nothing})"
exit 1
