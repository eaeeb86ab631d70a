#!/bin/sh
# run-vbs.sh ROOT WORKDIR SCENARIO.vbs [DLL...]
# Registers the COM modules, runs the scenario with Wine's cscript in the Russian locale and
# passes when its last line reads "N passed, 0 failed". Scenarios are kept in UTF-8; cscript
# reads the ANSI code page (1251) and writes the OEM one (866).
set -u
root=$1 work=$2 scenario=$3
shift 3
winpath() { printf 'Z:%s' "$(printf '%s' "$1" | sed 's|/|\\|g')"; }
# PE machine of a module: 014c for x86, 8664 for x64.
pe_machine() {
  off=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  od -An -tx2 -j$((off + 4)) -N2 "$1" | tr -d ' '
}
for dll in "$@"; do
  if [ "$(pe_machine "$dll")" = 014c ]; then
    # A 32-bit module needs a 32-bit Wine and cscript; this machine may have none.
    echo "32-bit module $(basename "$dll"): no 32-bit Wine scenario runner here, skipped"
    exit 77
  fi
done
mkdir -p "$work" || exit 1
script="$work/$(basename "$scenario")"
iconv -f UTF-8 -t CP1251 "$scenario" >"$script" || exit 1
export LC_ALL=ru_RU.UTF-8
# The machine type of a PE file: 014c for x86, 8664 for x64.
pe_machine() {
  off=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  od -An -tx2 -j$((off + 4)) -N2 "$1" | tr -d ' '
}
wine="$root/dev wine"
for dll in "$@"; do
  if [ "$(pe_machine "$dll")" = 014c ]; then
    # 32-bit modules need a 32-bit Wine and a prefix of their own.
    if [ ! -x /usr/lib/wine/wine ]; then echo "no 32-bit Wine on this machine: skipped"; exit 77; fi
    export WINEPREFIX="$root/build/wine32" WINEDEBUG=-all
    wine=/usr/lib/wine/wine
  fi
done
for dll in "$@"; do
  $wine regsvr32 /s "$(winpath "$dll")" || { echo "cannot register $dll"; exit 1; }
done
out=$(cd "$work" && $wine cscript //nologo "$(winpath "$script")" 2>&1 | iconv -f CP866 -t UTF-8 | tr -d '\r')
printf '%s\n' "$out"
printf '%s\n' "$out" | grep -v '^$' | tail -n 1 | grep -Eq '^[1-9][0-9]* passed, 0 failed$'
