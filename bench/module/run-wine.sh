#!/bin/sh
# run-wine.sh ROOT: the Windows benchmarks of the win64 build (the COM dispatch path, the debug
# log with a held file), under Wine.
set -eu
root=$1
log=$(cmake --build "$root/build/win64" --target bench_com_dispatch bench_held_log 2>&1) || { printf '%s\n' "$log"; exit 1; }
cd "$root/build/win64/bench"
for exe in bench_com_dispatch bench_held_log; do
  echo "-- $exe"
  LC_ALL=ru_RU.UTF-8 "$root/dev" wine "$root/build/win64/bench/$exe.exe"
done
