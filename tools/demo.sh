#!/bin/sh
# ./dev demo runs this after building and registering the win64 modules: the driver through the
# real COM DLL under Wine, the command-line tool natively, and last a shop's working day through
# the driver, ending with the register's paper tape.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
work="$ROOT/build/demo"
rm -rf "$work"
mkdir -p "$work"
winpath() { printf 'Z:%s' "$(printf '%s' "$1" | sed 's|/|\\|g')"; }
# cscript reads the ANSI code page (1251) and prints in the OEM one (866). Each script runs behind
# the part they share (common.vbs).
cscript() {
  cat "$ROOT/tools/demo/common.vbs" "$ROOT/tools/demo/$1" | iconv -f UTF-8 -t CP1251 >"$work/$1"
  rc=0
  (cd "$work" && LC_ALL=ru_RU.UTF-8 "$ROOT/dev" wine cscript //nologo "$(winpath "$work/$1")") >"$work/$1.out" || rc=$?
  iconv -f CP866 -t UTF-8 "$work/$1.out" | tr -d '\r'
  return $rc
}
cli="${FR_CLI:-$ROOT/build/native/tools/fr-cli/fr-cli}"

echo "== 1. What the driver answers (VBScript host, Wine)"
cscript driver.vbs

echo
# The driver connects to the register through the emulator, in the demo's own folder.
export FR_EMULATOR_DIR="$(winpath "$work/emulator")"
echo "== 2. A session: Init, Open, GetDeviceInfo, settings, Enable, CheckHealth, Disable, Close"
cscript session.vbs
echo
echo "-- the debug log it wrote ($work/devices/kassa-1):"
for f in "$work"/devices/kassa-1/Debug_*.log; do iconv -f CP1251 -t UTF-8 "$f" | tr -d '\r'; done

echo
echo "== 3. The expression evaluator (fr-cli eval)"
"$cli" eval "2+3*4"
"$cli" eval "roundto(price*qty*(1-disc/100); -2)" price=89,9 qty=3 disc=5
"$cli" eval "1/x" x=0 || true

echo
echo "== 4. A template document (fr-cli render examples/goods-slip.xml)"
"$cli" render "$ROOT/examples/goods-slip.xml" "$ROOT/examples/goods-slip.json" --width 48

echo
echo "== 5. A working day through the driver (VBScript host as the business application, Wine):"
echo "   the shift opened, a deposit, a sale with a discount and change, a return, X and Z reports"
day=0
cscript day.vbs || day=$?
echo
echo "-- the register's paper tape of the day (fr-cli tape):"
"$cli" tape --dir="$work/emulator"
exit $day
