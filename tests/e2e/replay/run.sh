#!/bin/sh
# replay/run.sh ROOT WORKDIR FR_CLI DRIVER_DLL EMULATOR_DLL
# A working day through the real driver under Wine with the debug log on, replayed natively with
# fr-cli: every answer must match. Then a day with register errors injected through the
# emulator's faults file, replayed with --faults: those errors are made again at the same calls and
# every answer matches too. Skipped (77) where the DLLs' bitness cannot run here or the native
# fr-cli has not been built.
set -u
root=$1 work=$2 cli=$3 driver=$4 emulator=$5
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../wine-env.sh"
[ -x "$cli" ] || { echo "no native fr-cli at $cli (build the native preset first): skipped"; exit 77; }
choose_wine "$root" "$driver" "$emulator"
fail() { echo "FAIL: $*"; exit 1; }
rm -rf "$work"
mkdir -p "$work"
register_modules "$driver" "$emulator"
export FR_VBS_REGISTER=0

# day NAME [FAULTS]: the day in a folder of its own; prints the log's path.
day() {
  dir="$work/$1"
  mkdir -p "$dir/emulator-folder"
  [ $# -lt 2 ] || printf '%s\n' "$2" >"$dir/emulator-folder/faults.txt"
  FR_EMULATOR_DIR="$(winpath "$dir/emulator-folder")" FR_REPLAY_FAULTY=$([ $# -lt 2 ] && echo 0 || echo 1) \
    sh "$here/../run-vbs.sh" "$root" "$dir" "$here/day.vbs" "$driver" "$emulator" >"$dir/day.out" 2>&1 ||
    fail "the $1 day: $(cat "$dir/day.out")"
  # A day that passes midnight goes on in the next day's file.
  logs=$(find "$dir/devices" -name 'Debug_*.log' | sort)
  [ -n "$logs" ] || fail "the $1 day wrote no debug log"
  cat $logs >"$dir/day.log"
}

# replay NAME [OPTION]: the replay's output in NAME/replay.out; it must exit 0 with every call equal.
replay() {
  dir="$work/$1"
  shift
  "$cli" replay "$dir/day.log" --dir="$dir/replay" "$@" >"$dir/replay.out" 2>&1
  rc=$?
  cat "$dir/replay.out"
  [ $rc -eq 0 ] || fail "replay of $dir/day.log exited $rc"
  ! grep -q '≠' "$dir/replay.out" || fail "an answer differs"
  for method in OpenDay Encash PrintReceipt PrintText UploadTemplate PrintTemplateDocument GetDateTime \
                PrintExtReport PrintXReport PrintZReport; do
    grep -q " $method: журнал .* =\$" "$dir/replay.out" || fail "no matching $method in the replay"
  done
  # The sale and the return.
  [ "$(grep -c " PrintReceipt: журнал .* =\$" "$dir/replay.out")" -eq 2 ] || fail "not both receipts match"
  # Both objects of the log, each with its own number.
  grep -q ' #2 PrintText: журнал True' "$dir/replay.out" || fail "the second object's calls were not replayed"
  # The replay printed what the shop's register printed, but for the clock and the serial number.
  norm() { sed -E 's/[0-9]{2}\.[0-9]{2}\.[0-9]{4} [0-9]{2}:[0-9]{2}/DATE/; s/^(ЗН ККТ +)[0-9]+$/\1SERIAL/' "$1"; }
  norm "$dir/emulator-folder/tape.txt" >"$dir/day-tape.txt"
  norm "$dir/replay/tape.txt" >"$dir/replay-tape.txt"
  diff "$dir/day-tape.txt" "$dir/replay-tape.txt" || fail "the replay's tape differs from the day's"
}

day plain
replay plain
grep -q 'НЕФИСКАЛЬНЫЙ ДОКУМЕНТ' "$work/plain/replay.out" || fail "the tape is not shown"
[ ! -f "$work/plain/replay/faults.txt" ] || fail "a faults file without --faults"

faults='fail beginFiscalReceipt 2 25 Открыт другой документ
fail printXReport 1 1 Перегрев печатающей головки
fail printRecCash 2 35'
day faulty "$faults"
grep -q 'Result=False' "$work/faulty/day.log" || fail "the faulty day logged no failure"
replay faulty --faults
rules=$(grep -c '^fail ' "$work/faulty/replay/faults.txt")
[ "$rules" -eq 3 ] || fail "expected 3 rules in the replay's faults file, found $rules"
for rule in 'fail beginFiscalReceipt 2 25' 'fail printXReport 1 1 Перегрев' 'fail printRecCash 2 35'; do
  grep -q "^$rule" "$work/faulty/replay/faults.txt" || fail "the replay's faults file lacks: $rule"
done
echo "the plain day and the faulty day replayed: every answer matches"
