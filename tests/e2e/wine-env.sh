# Sourced by the scenario runners: which Wine runs the given COM modules, and registering them.
# x86 modules run in the WoW64 prefix through the 32-bit loader; where this machine cannot run
# 32-bit programs, the runner exits 77 (skipped) with the reason.
winpath() { printf 'Z:%s' "$(printf '%s' "$1" | sed 's|/|\\|g')"; }
# The machine type of a PE file: 014c for x86, 8664 for x64.
pe_machine() {
  off=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  od -An -tx2 -j$((off + 4)) -N2 "$1" | tr -d ' '
}
choose_wine() { # ROOT DLL...: sets $wine
  wine_root=$1
  wine="$1/dev wine"
  shift
  for dll in "$@"; do
    if [ "$(pe_machine "$dll")" = 014c ]; then
      if ! why=$("$wine_root/tools/wine32-probe.sh"); then echo "$why: skipped"; exit 77; fi
      export WINEPREFIX="${WINEPREFIX32:-$wine_root/build/wine32}" WINEDEBUG=-all
      wine="${FR_WINE32:-/usr/lib/wine/wine}"
    fi
  done
}
register_modules() { # DLL...
  for dll in "$@"; do
    $wine regsvr32 /s "$(winpath "$dll")" || { echo "cannot register $dll"; exit 1; }
  done
}
