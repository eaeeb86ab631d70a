#!/usr/bin/env bash
# make-dist.sh ROOT [FOLDER]: packs the built win64 and win32 modules into the release archive
# fr_vornlex-<version>.zip and the Windows Installer packages fr_vornlex-<version>-x64.msi and
# -x86.msi, in FOLDER (default ROOT/dist).
# The DLLs go without their debug information, which is kept in dist/symbols/ (linked from each
# DLL by name and checksum), so a crash report from a till can still be read. Every file of the
# archive carries the commit's time, in a fixed order: the same commit gives the same archive, and
# the same packages.
set -euo pipefail
ROOT="$1"
here="$ROOT/tools/dist"
dist="${2:-$ROOT/dist}"
version=$(sed -n 's/^#define FR_VERSION_TEXT "\(.*\)"/\1/p' "$ROOT/build/win64/generated/fr_version.h")
[ -n "$version" ] || { echo "no version in build/win64" >&2; exit 1; }
stage="$dist/fr_vornlex-$version"
rm -rf "$stage" "$dist/symbols" "$dist/fr_vornlex-$version".zip "$dist/fr_vornlex-$version"-x??.msi
mkdir -p "$stage" "$dist/symbols"
# objcopy stamps the PE header with this time instead of now; the files carry it as well.
export SOURCE_DATE_EPOCH
SOURCE_DATE_EPOCH=$(git -C "$ROOT" log -1 --format=%ct 2>/dev/null || echo 1700000000)

# arch folder, MinGW prefix, build preset
pack_arch() {
  local arch="$1" tool="$2" preset="$3" dll
  mkdir -p "$stage/$arch" "$dist/symbols/$arch"
  for dll in "$ROOT/build/$preset/src/module/fr_vornlex.dll" "$ROOT/build/$preset/emulator/com/fr_emulator.dll"; do
    local name; name=$(basename "$dll" .dll)
    "$tool-objcopy" --only-keep-debug "$dll" "$dist/symbols/$arch/$name.dbg"
    "$tool-objcopy" --strip-all "$dll" "$stage/$arch/$name.dll"
    # The link names the file only (no folder), so the symbols can be put anywhere a debugger looks.
    (cd "$dist/symbols/$arch" && "$tool-objcopy" --add-gnu-debuglink="$name.dbg" "$stage/$arch/$name.dll")
  done
  # The settings window finds its help pages and popup texts beside the driver.
  cp -r "$ROOT/help" "$stage/$arch/help"
}
pack_arch x64 x86_64-w64-mingw32 win64
pack_arch x86 i686-w64-mingw32 win32

# Windows reads the scripts in the console's OEM code page (866 on Russian systems) and wants CR LF;
# the README is UTF-8 with a byte-order mark, which Notepad recognises.
for f in install.cmd uninstall.cmd; do
  iconv -f UTF-8 -t CP866 "$here/$f" | sed 's/$/\r/' >"$stage/$f"
done
{ printf '\xef\xbb\xbf'; sed 's/$/\r/' "$here/README.txt"; } >"$stage/README.txt"
(cd "$stage" && find . -type f ! -name SHA256SUMS | sed 's|^\./||' | LC_ALL=C sort | xargs sha256sum >SHA256SUMS)

find "$stage" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
(cd "$dist" && find "fr_vornlex-$version" | LC_ALL=C sort | TZ=UTC zip -X -D -q "fr_vornlex-$version.zip" -@)
echo "$dist/fr_vornlex-$version.zip"
for arch in x64 x86; do
  "$here/make-msi.sh" "$stage/$arch" "$arch" "$version" "$dist/fr_vornlex-$version-$arch.msi"
  echo "$dist/fr_vornlex-$version-$arch.msi"
done
