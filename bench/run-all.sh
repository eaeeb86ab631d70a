#!/usr/bin/env bash
# Runs every benchmark of the optimised native build, then the Windows ones under Wine.
set -uo pipefail
ROOT="$1"
rc=0
for b in $(find "$ROOT/build/bench/bench" -type f -name 'bench_*' -perm -u+x | sort); do
  echo "== $(basename "$b")"
  "$b" || rc=1
done
for s in "$ROOT"/bench/*/run-wine.sh; do
  [ -x "$s" ] || continue
  echo "== $s"
  "$s" "$ROOT" || rc=1
done
exit $rc
