#!/bin/sh
# run-examples.sh ROOT WORKDIR EXAMPLES_DIR EXPECTED DLL...
# Registers the COM modules and runs every example named in EXPECTED, in its order, with Wine's
# cscript on one emulator register (FR_EMULATOR_DIR, emptied first), exactly as a user would copy
# them: no prelude. Each expectation is a regular expression one line of the example's output, or
# of what it added to the tape, must match. Examples are kept in UTF-8; cscript reads the ANSI code
# page (1251) and writes the OEM one (866).
set -u
root=$1 work=$2 examples=$3 expected=$4
shift 4
. "$(dirname "$0")/wine-env.sh"
choose_wine "$root" "$@"
export LC_ALL=ru_RU.UTF-8
register_modules "$@"
tape_dir=$(printf '%s' "$FR_EMULATOR_DIR" | sed 's|^Z:||; s|\\|/|g')
rm -rf "$tape_dir"
mkdir -p "$work" || exit 1
passed=0 failed=0
for name in $(grep -v '^#' "$expected" | cut -d'|' -f1 | uniq); do
  script="$work/$name"
  iconv -f UTF-8 -t CP1251 "$examples/$name" >"$script" || exit 1
  before=$(stat -c %s "$tape_dir/tape.txt" 2>/dev/null || echo 0)
  out=$(cd "$work" && $wine cscript //nologo "$(winpath "$script")" 2>&1 | iconv -f CP866 -t UTF-8 | tr -d '\r')
  added=$(tail -c +$((before + 1)) "$tape_dir/tape.txt" 2>/dev/null)
  printf '== %s\n%s\n' "$name" "$out"
  grep -v '^#' "$expected" | grep "^$name|" | while IFS='|' read -r _ where pattern; do
    if [ "$where" = out ]; then text=$out; else text=$added; fi
    if printf '%s\n' "$text" | grep -Eq -- "$pattern"; then echo "ok $name $where $pattern"
    else echo "FAIL: $name: no $where line matches $pattern"; fi
  done >"$work/$name.checks"
  cat "$work/$name.checks"
  passed=$((passed + $(grep -c '^ok ' "$work/$name.checks")))
  failed=$((failed + $(grep -c '^FAIL' "$work/$name.checks")))
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
