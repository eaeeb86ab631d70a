#!/bin/sh
# run-wine.sh ROOT: the COM dispatch benchmark of the win64 build, under Wine.
set -eu
root=$1
exe="$root/build/win64/bench/bench_com_dispatch.exe"
log=$(cmake --build "$root/build/win64" --target bench_com_dispatch 2>&1) || { printf '%s\n' "$log"; exit 1; }
cd "$root/build/win64/bench"
LC_ALL=ru_RU.UTF-8 "$root/dev" wine "$exe"
