#!/bin/sh
# files/run.sh ROOT WORKDIR DRIVER_DLL DISPATCH_TEST_DLL EMULATOR_DLL
# The files the driver writes, through the real DLL: device IDs that would leave the devices
# folder are refused, and links laid under today's debug log name are never written through.
# VBScript cannot make links, so they are laid here before the scenario runs: on Z: a Linux hard
# link is a hard link for Wine too. Checked here afterwards: the linked files are unchanged.
set -u
root=$1 work=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
fail() { echo "FAIL: $*"; exit 1; }
# Skipped (77) with the reason where the DLLs' bitness cannot run here.
. "$here/../wine-env.sh"
choose_wine "$root" "$@"
rm -rf "$work"
# The emulator's folder made beforehand: the scenario compares what the work folder holds.
mkdir -p "$work/devices/dev-hard" "$work/devices/dev-sym" "$work/emulator-folder"
content='not the driver'"'"'s file'
printf '%s\n' "$content" >"$work/hard-target.txt"
printf '%s\n' "$content" >"$work/sym-target.txt"
# Today's and tomorrow's name: the run may cross midnight.
for day in today tomorrow; do
  name="Debug_$(date -d "$day" +%Y.%m.%d).log"
  ln "$work/hard-target.txt" "$work/devices/dev-hard/$name"
  ln -s "$work/sym-target.txt" "$work/devices/dev-sym/$name"
done
sh "$here/../run-vbs.sh" "$root" "$work" "$here/files.vbs" "$@" || fail "the scenario"
[ "$(cat "$work/hard-target.txt")" = "$content" ] || fail "the file the hard link named was written: $(cat "$work/hard-target.txt")"
today="$work/devices/dev-hard/Debug_$(date +%Y.%m.%d).log"
[ "$(stat -c %h "$today")" = 1 ] || fail "today's log still shares its file with another name"
echo "hard link: removed, its file unchanged, a fresh log made"
# A Linux symbolic link under Z: is what Wine shows it as: reported, not judged (natively the
# unit tests lay one in every run).
sym="$work/devices/dev-sym/Debug_$(date +%Y.%m.%d).log"
if [ "$(cat "$work/sym-target.txt")" = "$content" ]; then
  if [ -L "$sym" ]; then echo "symbolic link: left in place, its file unchanged (the log was not written there)"
  else echo "symbolic link: removed, its file unchanged, a fresh log made"; fi
else
  # Wine opens a Linux symbolic link as the file it names, FILE_FLAG_OPEN_REPARSE_POINT or not, and
  # shows a plain file with one link: the driver cannot tell it from its own log there.
  echo "NOTE: symbolic link: Wine showed it as a plain file with one link and followed it, so its" \
    "file got $(($(wc -l <"$work/sym-target.txt") - 1)) lines; on Windows it is a reparse point"
fi
