# shellcheck shell=bash
# Shell functions for running the Windows builds under Debian's Wine. Source this file from a bash
# script that runs with `set -euo pipefail`.

# Debian's wine64 package keeps wine64 and wineserver in Wine's own folder, not on PATH.
wine_find() {
  local dir
  for dir in /usr/lib/wine "$(dirname "$(command -v wine64 2>/dev/null || echo /none/x)")"; do
    if [ -x "$dir/wine64" ] && [ -x "$dir/wineserver" ]; then
      WINE64=$dir/wine64
      WINESERVER=$dir/wineserver
      return 0
    fi
  done
  echo "wine: no wine64 here (install the wine64 package: make deps DEPS=wine)" >&2
  return 1
}

# Sets up (once) and selects the prefix in folder $1: Wine's own lines kept out of the logs, no
# Mono or Gecko installers, a virtual desktop of 1024x768 in which DirectDraw may change the
# display mode, and Direct3D drawing through GDI (a virtual X server has no OpenGL).
wine_prefix() {
  wine_find
  export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  [ -f "$WINEPREFIX/.morvanite-ready" ] && return 0
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  "$WINE64" wineboot --init >/dev/null 2>&1
  "$WINE64" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null
  "$WINE64" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null
  "$WINE64" reg add 'HKCU\Software\Wine\Direct3D' /v renderer /d gdi /f >/dev/null
  "$WINESERVER" -w
  touch "$WINEPREFIX/.morvanite-ready"
}
