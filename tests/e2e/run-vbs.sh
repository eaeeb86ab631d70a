#!/bin/sh
# run-vbs.sh ROOT WORKDIR SCENARIO.vbs [DLL...]
# Registers the COM modules and runs the scenario, behind the shared prelude, with Wine's cscript
# in the Russian locale. It passes when the last line reads "N passed, 0 failed" with N the
# number of checks the scenario declares (its "Plan N" line). Modules for x86 run in the WoW64
# prefix through the 32-bit loader; without a 32-bit Wine the scenario is skipped (77).
# Scenarios are kept in UTF-8; cscript reads the ANSI code page (1251) and writes the OEM one (866).
# FR_VBS_INCLUDE names a file put between the prelude and the scenario (steps that share code).
set -u
root=$1 work=$2 scenario=$3
shift 3
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
choose_wine "$root" "$@"
planned=$(sed -n 's/^Plan \([0-9][0-9]*\).*/\1/p' "$scenario" | head -n 1)
if [ -z "$planned" ]; then echo "$(basename "$scenario") declares no Plan N"; exit 1; fi
mkdir -p "$work" || exit 1
script="$work/$(basename "$scenario")"
cat "$here/prelude.vbs" ${FR_VBS_INCLUDE:+"$FR_VBS_INCLUDE"} "$scenario" | iconv -f UTF-8 -t CP1251 >"$script" || exit 1
export LC_ALL=ru_RU.UTF-8
# FR_VBS_REGISTER=0: the modules are registered already (by an installer under test); they only
# choose the bitness.
[ "${FR_VBS_REGISTER:-1}" = 0 ] || register_modules "$@"
out=$(cd "$work" && $wine cscript //nologo "$(winpath "$script")" 2>&1 | iconv -f CP866 -t UTF-8 | tr -d '\r')
printf '%s\n' "$out"
last=$(printf '%s\n' "$out" | grep -v '^$' | tail -n 1)
[ "$last" = "$planned passed, 0 failed" ] && exit 0
echo "expected \"$planned passed, 0 failed\" as the last line"
exit 1
