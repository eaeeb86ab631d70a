#!/bin/sh
# same-bytes.sh ROOT WORKDIR: packs the built modules a second time and compares the release
# archive, both Windows Installer packages and the symbols with those ./dev dist made in ROOT/dist:
# one build gives the same bytes every time it is packed.
set -u
root=$1 work=$2
fail() { printf 'FAIL: %s\n' "$*"; exit 1; }
rm -rf "$work"
"$root/tools/dist/make-dist.sh" "$root" "$work" >/dev/null || fail "make-dist.sh"
n=0
for f in $(cd "$work" && find . -name '*.zip' -o -name '*.msi' -o -name '*.dbg' | sort); do
  [ -f "$root/dist/$f" ] || fail "dist has no $f (./dev dist makes it)"
  cmp -s "$work/$f" "$root/dist/$f" || fail "$f differs when packed again (or the build changed since ./dev dist)"
  n=$((n + 1))
done
[ "$n" -ge 7 ] || fail "only $n files packed"
echo "$n files packed twice, byte for byte the same"
