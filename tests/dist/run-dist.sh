#!/bin/sh
# run-dist.sh ROOT WORKDIR x64|x86 ARCHIVE
# The release archive as a shop installs it: unpacked into a fresh Wine prefix, its DLLs checked
# (system imports only, the driver under 1 MB), install.cmd /emulator run with cmd,
# a VBScript host of the archive's bitness printing a receipt on the emulator through the
# installed driver, then uninstall.cmd leaving no registration behind. The x86 half needs a
# machine that runs 32-bit programs; elsewhere it is skipped (77) with the reason, and the x64
# half checks install.cmd's 64-bit registrations only.
set -u
root=$1 work=$2 arch=$3 archive=$4
here=$(cd "$(dirname "$0")" && pwd)
fail() { echo "FAIL: $*"; exit 1; }
no32=$("$root/tools/wine32-probe.sh")
if [ -n "$no32" ] && [ "$arch" = x86 ]; then echo "$no32: skipped"; exit 77; fi
[ -f "$archive" ] || fail "no archive $archive (./dev dist makes it)"
case $arch in x64) tool=x86_64-w64-mingw32 sysdir=system32 ;; *) tool=i686-w64-mingw32 sysdir=syswow64 ;; esac

. "$here/prefix.sh"
fresh_prefix

unzip -q "$archive" -d "$work/prefix/drive_c" || fail "cannot unpack $archive"
name=$(basename "$archive" .zip)
dir="$work/prefix/drive_c/$name"
for f in install.cmd uninstall.cmd README.txt SHA256SUMS x64/fr_vornlex.dll x86/fr_vornlex.dll \
         x64/fr_emulator.dll x86/fr_emulator.dll; do
  [ -f "$dir/$f" ] || fail "the archive has no $f"
done
(cd "$dir" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match"

for dll in "$dir/$arch"/*.dll; do
  # Every import is a library of a plain Windows: none of the MinGW runtime.
  for imp in $("$tool-objdump" -p "$dll" | sed -n 's/^\s*DLL Name: //p'); do
    found=$(find "$work/prefix/drive_c/windows/$sysdir" -maxdepth 1 -iname "$imp" | head -n 1)
    [ -n "$found" ] || fail "$(basename "$dll") imports $imp, which Windows does not have"
    case $imp in lib*|LIB*) fail "$(basename "$dll") imports the runtime library $imp" ;; esac
  done
done
# Under 1 MB (x64 0.84 MB, x86 0.94 MB when this limit was set): the runtime's iostreams, its
# std::to_chars tables and its demangler had taken it to 2.1 MB and 2.3 MB.
size=$(stat -c %s "$dir/$arch/fr_vornlex.dll")
[ "$size" -lt 1000000 ] || fail "fr_vornlex.dll is $size bytes: 1 MB or more"

winpath() { printf 'C:\\%s' "$(printf '%s' "$1" | sed 's|/|\\|g')"; }
cmdrun() { # folder script [args]: cmd's exit code; its Russian output shown in UTF-8 (Wine's cmd
  # writes a pipe in the ANSI code page)
  /usr/lib/wine/wine64 cmd /c "$(winpath "$1/$2")" "${3:-}" </dev/null >"$work/cmd.out" 2>&1
  rc=$?
  iconv -f CP1251 -t UTF-8 "$work/cmd.out" | tr -d '\r'
  return $rc
}
# install.cmd or uninstall.cmd, which must succeed. Where 32-bit programs cannot run, the 32-bit
# regsvr32 cannot start, and install.cmd rightly fails for the x86 DLLs: then it must have done
# every x64 step, and its only errors may name x86 files.
cmdok() { # folder script [args] -- the messages each x64 step prints
  f=$1 s=$2 a=$3
  shift 4
  out=$(cmdrun "$f" "$s" "$a")
  rc=$?
  printf '%s\n' "$out"
  [ $rc = 0 ] && return 0
  [ -n "$no32" ] || return 1
  for m in "$@"; do printf '%s\n' "$out" | grep -F "$m: " | grep -qF '\x64\' || return 1; done
  if printf '%s\n' "$out" | grep 'ОШИБКА' | grep -qvF '\x86\'; then return 1; fi
  echo "(the x86 registrations skipped: $no32)"
}

# A damaged copy: the registration that fails makes install.cmd fail, and says which file.
cp -r "$dir" "$dir-damaged"
head -c 1000 "$dir/x64/fr_vornlex.dll" >"$dir-damaged/x64/fr_vornlex.dll"
out=$(cmdrun "$name-damaged" install.cmd) && fail "install.cmd succeeded with a damaged DLL"
printf '%s\n' "$out" | grep 'ОШИБКА' | grep -qF '\x64\fr_vornlex.dll' ||
  fail "install.cmd did not name the damaged DLL: $out"
cmdok "$name" install.cmd /emulator -- "64-разрядный драйвер зарегистрирован" \
  "64-разрядный эмулятор ККТ зарегистрирован" || fail "install.cmd /emulator failed"

# The scenarios run behind the shared prelude; nothing is registered by the runner itself.
export FR_VBS_REGISTER=0 FR_EMULATOR_DIR="$(winpath emulator-folder)"
export FR_INSTALLED_DIR="$(winpath "$name")"
sh "$root/tests/e2e/run-vbs.sh" "$root" "$work/vbs" "$here/receipt.vbs" "$dir/$arch/fr_vornlex.dll" ||
  fail "the receipt through the installed driver"

cmdok "$name" uninstall.cmd "" -- "регистрация 64-разрядного драйвера снята" \
  "регистрация 64-разрядного эмулятора ККТ снята" || fail "uninstall.cmd failed"
sh "$root/tests/e2e/run-vbs.sh" "$root" "$work/vbs" "$here/uninstalled.vbs" "$dir/$arch/fr_vornlex.dll" ||
  fail "a registration is left behind"
echo "the $arch half of $name installs, prints and uninstalls"
