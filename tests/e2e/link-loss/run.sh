#!/bin/sh
# link-loss/run.sh ROOT WORKDIR DRIVER_DLL EMULATOR_DLL
# Answers lost between the driver and the register, settled with the register across host
# processes: each step is a new cscript process over one emulator folder and one device folder,
# the link dropped and restored through the emulator's faults file. Step 6 is killed while the
# register hangs in the middle of its receipt; the register must still hold that receipt open,
# and step 7's receipt must print after cancelling it. Skipped (77) where the DLLs' bitness cannot
# run here.
set -u
root=$1 work=$2 driver=$3 emulator=$4
shift 2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../wine-env.sh"
choose_wine "$root" "$driver" "$emulator"
fail() { echo "FAIL: $*"; exit 1; }
rm -rf "$work"
mkdir -p "$work"
register_modules "$driver" "$emulator"
emu="$work/emulator-folder"
export FR_EMULATOR_DIR="$(winpath "$emu")" FR_VBS_REGISTER=0 FR_VBS_INCLUDE="$here/common.vbs"
step() { sh "$here/../run-vbs.sh" "$root" "$work" "$here/$1.vbs" "$driver" "$emulator" || fail "step $1"; }

step 1-same-call
step 2-retry-printed
step 3-retry-deposit
step 4-retry-open
step 5-retry-withdrawal

# A step in the background, as a host that is still at work: $host is its process; it returns once
# the register's state holds the word (the host's receipt has begun) and a moment more, for the host
# to reach the call that hangs.
background_step() { # step word
  cat "$here/../prelude.vbs" "$here/common.vbs" "$here/$1.vbs" | iconv -f UTF-8 -t CP1251 >"$work/$1.vbs"
  (cd "$work" && LC_ALL=ru_RU.UTF-8 exec $wine cscript //nologo "$(winpath "$work/$1.vbs")") >"$work/$1.out" 2>&1 &
  host=$!
  i=0
  until grep -q "$2" "$emu/state.json" 2>/dev/null; do
    i=$((i + 1))
    [ $i -le 600 ] || { kill -9 $host 2>/dev/null; fail "step $1 never began its receipt: $(cat "$work/$1.out")"; }
    sleep 0.1
  done
  sleep 1
}

# Step 6 in the background, killed once the register holds its receipt's first item and hangs at
# the second.
background_step 6-killed 'Ряженка'
kill -9 $host 2>/dev/null || fail "step 6 ended by itself: $(cat "$work/6-killed.out")"
wait $host 2>/dev/null
# The register's saved state names the open document, or null.
open_document() { ! grep -q '"openDocument": null' "$emu/state.json"; }
open_document || fail "the register lost the receipt the killed host had begun"
echo "step 6: the host killed in the middle of its receipt; the register holds it open"

step 7-after-kill
open_document && fail "a receipt is still open on the register"
step 8-fault-after-commit
step 9-late-retry
step 10-other-device

# Two hosts at once on one register: the first hangs at its receipt's end, the second tries to
# sell meanwhile and must be refused without touching the first's receipt.
printf 'hang endFiscalReceipt 1\n' >"$emu/faults.txt"
background_step 11-first-host 'Бифидок'
step 12-second-host
open_document || fail "the second host cancelled the first host's receipt"
rm -f "$emu/faults.txt"
wait $host
out=$(iconv -f CP866 -t UTF-8 "$work/11-first-host.out" | tr -d '\r')
echo "$out"
case $out in
  *"3 passed, 0 failed"*) ;;
  *) fail "the first host" ;;
esac
open_document && fail "a receipt is still open on the register"
echo "lost answers settled: printed once, cash moved once, receipts left open cancelled, one host at a time"
