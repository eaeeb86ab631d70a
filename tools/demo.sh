#!/bin/sh
# ./dev demo runs this after building and registering the win64 modules: what the driver does so
# far, through the real COM DLL under Wine.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
work="$ROOT/build/demo"
mkdir -p "$work"
winpath() { printf 'Z:%s' "$(printf '%s' "$1" | sed 's|/|\\|g')"; }

echo "== VBScript host (Wine cscript): Eqdr.FrVornlex"
# cscript reads the ANSI code page (1251) and prints in the OEM one (866).
iconv -f UTF-8 -t CP1251 "$ROOT/tools/demo/driver.vbs" >"$work/driver.vbs"
LC_ALL=ru_RU.UTF-8 "$ROOT/dev" wine cscript //nologo "$(winpath "$work/driver.vbs")" | iconv -f CP866 -t UTF-8 | tr -d '\r'
