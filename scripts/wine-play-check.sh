#!/usr/bin/env bash
# Plays the Windows program under wine64 on a virtual X server: it must show the loading screen
# (as the Linux renderer draws it) and the show, and quit with exit code 0 on Escape. Screenshots
# go to WORK_DIR/shots-64. The 32-bit program gets the same run only where the host executes
# 32-bit code and Wine can run it; otherwise the step says why it was skipped.
# usage: wine-play-check.sh LINUX_RENDER DIST_DIR WORK_DIR
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=scripts/xvfb-lib.sh
source "$here/xvfb-lib.sh"
# shellcheck source=scripts/wine-lib.sh
source "$here/wine-lib.sh"
linux=$(realpath "$1")
dist=$(realpath "$2")
mkdir -p "$3"
work=$(realpath "$3")
python=/usr/bin/python3

# The loading screen as the Linux renderer draws it.
rm -rf "$work/reference"
"$linux" --escape-at 0 --shots "$work/reference" --at load >/dev/null

wine_prefix "$work/prefix"
xvfb_on_exit() { "$WINESERVER" -k 2>/dev/null || true; }
xvfb_start 60

# Plays program $1 with Wine's loader $2, pictures in folder $3.
play() {
  local program=$1 loader=$2 shots=$3 pid status=0 escape=0
  rm -rf "$shots" && mkdir -p "$shots"
  "$loader" "$program" >"$shots/program.log" 2>&1 &
  pid=$!
  if ! "$python" "$here/../tests/windows/show_screens.py" "$DISPLAY" "$shots" \
    "$work/reference/load.png"; then
    kill "$pid" 2>/dev/null || true
    return 1
  fi
  xvfb_press_escape 0 "$pid" || escape=$?
  case $escape in
    0) ;;
    1) echo "wine-play-check: the program ended before Escape was pressed" >&2; return 1 ;;
    2) echo "wine-play-check: the program did not quit on Escape" >&2; return 1 ;;
    *) return "$escape" ;;
  esac
  wait "$pid" || status=$?
  echo "exit code $status after Escape"
  [ "$status" -eq 0 ]
}

echo "== morvanite-win64.exe"
play "$dist/morvanite-win64.exe" "$WINE64" "$work/shots-64"

echo "== morvanite-win32.exe"
if ! "$here/runs-32-bit.sh"; then
  echo "SKIPPED: this host refuses 32-bit x86 code (a 32-bit Linux program fails with 'Exec format error'), so no Wine can run the 32-bit program here"
elif [ ! -x "$(dirname "$WINE64")/wine" ]; then
  echo "SKIPPED: no 32-bit Wine (Debian's wine32 needs the i386 architecture added to dpkg, which this project does not do to a build machine)"
else
  play "$dist/morvanite-win32.exe" "$(dirname "$WINE64")/wine" "$work/shots-32"
fi
