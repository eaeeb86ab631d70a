#!/bin/sh
# run-msi.sh ROOT WORKDIR x64|x86 PACKAGE: the Windows Installer package as an administrator deploys
# it, with Wine's msiexec in a fresh prefix: with the emulator (ADDLOCAL=Emulator) the classes are
# registered from the installed folder with exactly the keys DllRegisterServer writes, and a
# VBScript host prints a receipt; removed, nothing is left; without the emulator the driver alone is
# there; a newer build replaces it in place; the same version again is no second product.
# The x86 package is read and installed by the 64-bit msiexec everywhere (its keys land in the
# 32-bit view), but its receipt and DllRegisterServer need 32-bit programs: where they cannot run,
# the test ends skipped (77) with the reason after everything else has passed.
set -u
root=$1 work=$2 arch=$3 msi=$4
here=$(cd "$(dirname "$0")" && pwd)
fail() { printf 'FAIL: %s\n' "$*"; exit 1; }
[ -f "$msi" ] || fail "no package $msi (./dev dist makes it)"
no32=$("$root/tools/wine32-probe.sh")
case $arch in
  x64) bits=64 folder="Program Files" dirs=ProgramFiles64Folder template="x64;1049" ;;
  *) bits=32 folder="Program Files (x86)" dirs=ProgramFilesFolder template="Intel;1049" ;;
esac
run32=yes
[ "$arch" = x86 ] && [ -n "$no32" ] && run32=""

# What the package says, read without running it.
table() { msiinfo export "$msi" "$1" | tr -d '\r' | tail -n +4; }
prop() { table Property | sed -n "s/^$1\t//p"; }
version=$(prop ProductVersion)
name=$(head -n 1 "$root/tools/dist/README.txt")
[ "$(prop ProductName)" = "$name" ] || fail "the product is called \"$(prop ProductName)\", not \"$name\""
msiinfo suminfo "$msi" | grep -qx "Template: $template" || fail "the package is not for $template"
table Directory | grep -q "^INSTALLDIR	$dirs	fr_vornlex$" || fail "not installed into $dirs\\fr_vornlex"
# Every component of the x64 package is a 64-bit one (256), none of the x86 package.
[ "$arch" = x64 ] && want=256 || want=0
table Component | cut -f4 | grep -qvx "$want" && fail "a component's bitness is not $arch"
# Both bitnesses register the same keys; the x64 ones are compared with DllRegisterServer's below.
other=$(echo "$msi" | sed 's/-x\(64\|86\)\.msi$//')
for a in x64 x86; do msiinfo export "$other-$a.msi" Registry | tr -d '\r' | cut -f2- | sort >"$work.$a.reg" || fail "no $a package"; done
cmp -s "$work.x64.reg" "$work.x86.reg" || fail "the x64 and x86 packages register different keys"
rm -f "$work".x??.reg

. "$here/prefix.sh"
fresh_prefix
wine=/usr/lib/wine/wine64
. "$root/tests/e2e/wine-env.sh"  # winpath
dir="$work/prefix/drive_c/$folder/fr_vornlex"
windir="C:\\$folder\\fr_vornlex"
driver='HKCR\CLSID\{7C75037F-F54C-4D72-9A9B-9F64D8F0FBAC}'
emulator='HKCR\CLSID\{F0E57890-E067-46B4-B7F4-A448DDC8400E}'
keys="$driver HKCR\\Eqdr.FrVornlex $emulator HKCR\\Vornlex.FiscalPrinter"
msiexec() { $wine msiexec "$@" </dev/null; }
# The keys are read as a host of the package's bitness finds them. A 32-bit program (the 32-bit
# regsvr32, a 32-bit host) writes and reads a ProgID in the part of HKCR both views share, as on
# Windows 7 and later, while Wine's Installer puts a 32-bit component's ProgID in Wow6432Node, the
# only place the 64-bit reg.exe looks with /reg:32. So the x86 keys are read through the 32-bit
# reg.exe, which sees both, wherever 32-bit programs run.
regexe=$wine view=/reg:$bits
[ "$arch" = x86 ] && [ -n "$run32" ] && regexe="${FR_WINE32:-/usr/lib/wine/wine}" view=""
has() { $regexe reg query "$1" $view </dev/null >/dev/null 2>&1; }
reg() { $regexe reg query "$@" $view </dev/null 2>/dev/null | tr -d '\r' | iconv -f CP866 -t UTF-8; }
dump() { for k in $keys; do reg "$k" /s; done; }
value() { reg "$1" /ve | sed -n 's/.*REG_SZ    //p'; }
# A read through reg.exe once came back wrong in CI right after msiexec had ended, and right on the
# next read of the same key: what is read counts as wrong only when three reads in a row give it.
# Every read that differs is printed. reads WANT COMMAND...: true when a read gives WANT; the last
# read is left in $got.
reads() {
  want=$1; shift
  for try in 1 2 3; do
    got=$("$@")
    [ "$got" = "$want" ] && return 0
    printf 'read %s of "%s": "%s"\n' "$try" "$*" "$got"
  done
  return 1
}
# The versions of the entries of "Programs and Features" that carry the product's name.
entries() {
  reg 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s | awk -v name="$name" '
      function flush() { if (shown == name) print version; shown = ""; version = "" }
      /^HKEY/ { flush() }
      $1 == "DisplayName" { sub(/^ *DisplayName +REG_SZ +/, ""); shown = $0 }
      $1 == "DisplayVersion" { version = $3 }
      END { flush() }'
}
nothing_left() { # what
  for k in $keys; do has "$k" && fail "$1: $k is left"; done
  [ -e "$dir" ] && fail "$1: the folder is left: $(find "$dir")"
  reads "" entries || fail "$1: the product is still listed: $(echo $got)"
}
driver_there() { # what
  reads "$windir\\fr_vornlex.dll" value "$driver\\InprocServer32" ||
    fail "$1: the driver is registered as \"$got\""
  for f in "$root"/help/*; do cmp -s "$f" "$dir/help/$(basename "$f")" || fail "$1: help/$(basename "$f") is not installed"; done
}

msiexec /i "$(winpath "$msi")" /qn ADDLOCAL=Emulator || fail "msiexec /i ADDLOCAL=Emulator"
driver_there "ADDLOCAL=Emulator"
reads "$windir\\fr_emulator.dll" value "$emulator\\InprocServer32" || fail "the emulator is not registered"
reads "$version" entries || fail "\"$name\" $version is not listed once: $got"
dump >"$work/installed.txt"
if [ -n "$run32" ]; then
  export FR_VBS_REGISTER=0 FR_EMULATOR_DIR='C:\emulator' FR_INSTALLED_DIR="$windir"
  sh "$root/tests/e2e/run-vbs.sh" "$root" "$work/vbs" "$here/receipt.vbs" "$dir/fr_vornlex.dll" ||
    fail "the receipt through the installed driver"
fi
# The same DLLs registered by themselves from the same folder write the very same keys.
cp -r "$dir" "$work/files"
msiexec /x "$(winpath "$msi")" /qn || fail "msiexec /x"
nothing_left "msiexec /x"
if [ -n "$run32" ]; then
  [ "$arch" = x64 ] && regsvr32=$wine || regsvr32="${FR_WINE32:-/usr/lib/wine/wine}"
  cp -r "$work/files" "$dir"
  for m in fr_vornlex fr_emulator; do $regsvr32 regsvr32 /s "$windir\\$m.dll" </dev/null || fail "regsvr32 $m.dll"; done
  dump | diff "$work/installed.txt" - || fail "the package's keys differ from DllRegisterServer's"
  for m in fr_vornlex fr_emulator; do $regsvr32 regsvr32 /s /u "$windir\\$m.dll" </dev/null; done
  rm -rf "$dir"
fi

msiexec /i "$(winpath "$msi")" /qn || fail "msiexec /i"
driver_there "without ADDLOCAL"
[ -e "$dir/fr_emulator.dll" ] && fail "the emulator is installed unasked"
has HKCR\\Vornlex.FiscalPrinter && fail "Vornlex.FiscalPrinter is registered unasked"
has "$emulator" && fail "the emulator's class is registered unasked"

# A newer build of the same files replaces the installed one; installing it again changes nothing.
newer=$(echo "$version" | awk -F. '{ printf "%d.%d.%d.%d", $1, $2, $3, $4 + 1 }')
msiextract -C "$work/extracted" "$msi" >/dev/null || fail "msiextract"
files=$(dirname "$(find "$work/extracted" -name fr_vornlex.dll)")
SOURCE_DATE_EPOCH=1700000000 "$root/tools/dist/make-msi.sh" "$files" "$arch" "$newer" "$work/newer.msi" ||
  fail "make-msi.sh $newer"
for i in 1 2; do
  msiexec /i "$(winpath "$work/newer.msi")" /qn || fail "msiexec /i $newer ($i)"
  reads "$newer" entries || fail "after installing $newer ($i), listed: $(echo $got)"
  driver_there "$newer ($i)"
done
msiexec /x "$(winpath "$work/newer.msi")" /qn || fail "msiexec /x $newer"
nothing_left "msiexec /x $newer"

if [ -z "$run32" ]; then echo "$no32: the receipt and DllRegisterServer's keys skipped"; exit 77; fi
echo "the $arch package installs, prints, upgrades and removes"
