# Sourced by the installation tests: a fresh Wine prefix of the test's own in $work/prefix, booted,
# with its server and system processes started before the test's programs (started by one of them,
# they would hold its output pipe), and ended when the test exits.
fresh_prefix() {
  # No screen: a prefix's first boot shows windows of its own, which would take the input focus
  # from the window tests running beside it on the shared screen. Installing needs none.
  unset DISPLAY
  rm -rf "$work"
  mkdir -p "$work/prefix"
  export WINEPREFIX="$work/prefix" WINEPREFIX32="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  export LC_ALL=ru_RU.UTF-8
  server=/usr/lib/wine/wineserver64
  trap '"$server" -k >/dev/null 2>&1' EXIT
  /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
  "$server" -w
  "$server" -p
  /usr/lib/wine/wine64 cmd /c exit </dev/null >/dev/null 2>&1
}
