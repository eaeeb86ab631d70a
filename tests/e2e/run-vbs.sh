#!/bin/sh
# run-vbs.sh ROOT WORKDIR SCENARIO.vbs [DLL...]
# Registers the COM modules, runs the scenario with Wine's cscript in the Russian locale and
# passes when its last line reads "N passed, 0 failed". Scenarios are kept in UTF-8; cscript
# reads the ANSI code page (1251) and writes the OEM one (866).
set -u
root=$1 work=$2 scenario=$3
shift 3
winpath() { printf 'Z:%s' "$(printf '%s' "$1" | sed 's|/|\\|g')"; }
mkdir -p "$work" || exit 1
script="$work/$(basename "$scenario")"
iconv -f UTF-8 -t CP1251 "$scenario" >"$script" || exit 1
export LC_ALL=ru_RU.UTF-8
for dll in "$@"; do
  "$root/dev" wine regsvr32 /s "$(winpath "$dll")" || { echo "cannot register $dll"; exit 1; }
done
out=$(cd "$work" && "$root/dev" wine cscript //nologo "$(winpath "$script")" 2>&1 | iconv -f CP866 -t UTF-8 | tr -d '\r')
printf '%s\n' "$out"
printf '%s\n' "$out" | grep -v '^$' | tail -n 1 | grep -Eq '^[1-9][0-9]* passed, 0 failed$'
