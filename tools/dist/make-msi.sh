#!/usr/bin/env bash
# make-msi.sh FOLDER x64|x86 VERSION OUT.msi: the Windows Installer package of one bitness from a
# staged folder (fr_vornlex.dll, fr_emulator.dll, help/), built with wixl from fr_vornlex.wxs.in.
# The same folder and version give the same bytes: the product code follows from the bitness and
# the version, the package code from the package's content, and the summary dates are
# SOURCE_DATE_EPOCH (wixl stamps the current time and a random package code of its own).
set -euo pipefail
dir=$(cd "$1" && pwd) arch=$2 version=$3 out=$4
here=$(cd "$(dirname "$0")" && pwd)
: "${SOURCE_DATE_EPOCH:=1700000000}"
case $arch in x64) template="x64;1049" ;; x86) template="Intel;1049" ;; *) echo "bitness x64 or x86: $arch" >&2; exit 2 ;; esac
[[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+$ ]] || { echo "version a.b.c.d: $version" >&2; exit 2; }
# The texts "Programs and Features" and the Installer show, in Russian (code page 1251), and what
# wixl leaves out: the feature attributes (the driver cannot be left out, 16; neither is
# advertised, 8) and, further down, the upgrade of an installed version up to this one inclusive
# (512), since the Installer compares three fields of a version only, and a new build (the fourth)
# must replace the installed one too.
fixes=(
  "UPDATE \`Property\` SET \`Value\` = 'Драйвер фискальных регистраторов Vornlex' WHERE \`Property\` = 'ProductName'"
  "UPDATE \`Feature\` SET \`Title\` = 'Драйвер фискальных регистраторов' WHERE \`Feature\` = 'Driver'"
  "UPDATE \`Feature\` SET \`Title\` = 'Эмулятор ККТ' WHERE \`Feature\` = 'Emulator'"
  "UPDATE \`LaunchCondition\` SET \`Description\` = 'Уже установлена более новая версия драйвера.' WHERE \`Condition\` = 'NOT WIX_DOWNGRADE_DETECTED'"
  "UPDATE \`Feature\` SET \`Attributes\` = 24 WHERE \`Feature\` = 'Driver'"
  "UPDATE \`Feature\` SET \`Attributes\` = 8 WHERE \`Feature\` = 'Emulator'"
)

# A GUID from the SHA-256 of the standard input, marked as a name-based one (version 5, RFC 4122).
guid() { sha256sum | cut -c1-32 | tr a-f A-F | sed -E 's/^(.{8})(.{4}).(.{3}).(.{3})(.{12})$/\1-\2-5\3-8\4-\5/'; }

help_files() {
  local f id key=' KeyPath="yes"'
  while IFS= read -r f; do
    id=help_$(basename "$f" | tr -c 'A-Za-z0-9_.\n' '_')
    printf '              <File Id="%s" Name="%s" Source="%s"%s/>\n' "$id" "$(basename "$f")" "${f#"$dir/"}" "$key"
    key=""
  done < <(find "$dir/help" -maxdepth 1 -type f | LC_ALL=C sort)
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
help_files >"$work/help.xml"
product=$(printf 'fr_vornlex %s %s' "$arch" "$version" | guid)
sed -e "s|@VERSION@|$version|g" -e "s|@PRODUCT_CODE@|$product|g" \
    -e "/@HELP_FILES@/{r $work/help.xml" -e 'd}' "$here/fr_vornlex.wxs.in" >"$work/fr_vornlex.wxs"
package=$( { cat "$work/fr_vornlex.wxs"; (cd "$dir" && find . -type f | LC_ALL=C sort | xargs sha256sum); } | guid)

# wixl takes the files' sources relative to the folder it runs in.
# The clock is frozen at that time, not started from it: a wixl that took over a second (a loaded
# machine) had stamped a summary date one second later.
stamp=$(date -u -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%d %H:%M:%S')
(cd "$dir" && TZ=UTC faketime -f "$stamp" wixl -a "$arch" -D Arch="$arch" -o "$work/out.msi" "$work/fr_vornlex.wxs")
printf '\r\n\r\n1251\t_ForceCodepage\r\n' >"$work/_ForceCodepage.idt"
msibuild "$work/out.msi" -i "$work/_ForceCodepage.idt"
upgrade=$(msiinfo export "$work/out.msi" Property | sed -n 's/^UpgradeCode\t\([^\r]*\).*/\1/p')
fixes+=("DELETE FROM \`Upgrade\` WHERE \`ActionProperty\` = 'WIX_UPGRADE_DETECTED'"
  "INSERT INTO \`Upgrade\` (\`UpgradeCode\`, \`VersionMax\`, \`Attributes\`, \`ActionProperty\`) VALUES ('$upgrade', '$version', 513, 'WIX_UPGRADE_DETECTED')")
for q in "${fixes[@]}"; do msibuild "$work/out.msi" -q "$q"; done
msibuild "$work/out.msi" -s "Vornlex fiscal printer driver" Eqdr "$template" "{$package}"
mv "$work/out.msi" "$out"
