#!/usr/bin/env bash
# Plays the Windows programs under wine64 on a virtual X server (tests/windows/play_check.py).
# First the check program (morvanite-win64-check.exe, the same show with test support): the
# loading screen it pictures when the music starts must be the Linux renderer's pixel for pixel,
# with its bar; the show must appear and move; Escape must end it with exit code 0. Then the
# program users run (morvanite-win64.exe): the show must appear and move, and Escape end it with
# exit code 0. Pictures go to WORK_DIR/shots-64/<program>/. The 32-bit programs get the same runs
# only where the host executes 32-bit code and Wine can run it; otherwise the step says why it
# was skipped.
# usage: wine-play-check.sh LINUX_RENDER DIST_DIR WIN64_BUILD WIN32_BUILD WORK_DIR
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=scripts/xvfb-lib.sh
source "$here/xvfb-lib.sh"
# shellcheck source=scripts/wine-lib.sh
source "$here/wine-lib.sh"
linux=$(realpath "$1")
dist=$(realpath "$2")
build64=$(realpath "$3")
build32=$(realpath "$4")
mkdir -p "$5"
work=$(realpath "$5")
python=/usr/bin/python3

# The loading screen as the Linux renderer draws it.
rm -rf "$work/reference"
"$linux" --escape-at 0 --shots "$work/reference" --at load >/dev/null

wine_prefix "$work/prefix"
xvfb_on_exit() { "$WINESERVER" -k 2>/dev/null || true; }
xvfb_start 60

# Plays program $2 with Wine's loader $1, pictures in $3/<program>/; options of play_check.py
# after them. Returns once Wine has ended, so that the next run starts on a fresh Wine desktop
# (not on the last picture of this one).
play() {
  local loader=$1 program=$2 shots=$3/$(basename "$2" .exe)
  shift 3
  echo "== $(basename "$program")"
  "$python" "$here/../tests/windows/play_check.py" "$@" "$DISPLAY" "$shots" \
    "$work/reference/load.png" "$loader" "$program"
  "$WINESERVER" -w
}

rm -rf "$work/shots-64"
play "$WINE64" "$build64/morvanite-win64-check.exe" "$work/shots-64" --loading-picture
play "$WINE64" "$dist/morvanite-win64.exe" "$work/shots-64"

echo "== morvanite-win32-check.exe, morvanite-win32.exe"
if ! "$here/runs-32-bit.sh"; then
  echo "SKIPPED: this host refuses 32-bit x86 code (a 32-bit Linux program fails with 'Exec format error'), so no Wine can run the 32-bit programs here"
elif [ ! -x "$(dirname "$WINE64")/wine" ]; then
  echo "SKIPPED: no 32-bit Wine (Debian's wine32 needs the i386 architecture added to dpkg, which this project does not do to a build machine)"
else
  rm -rf "$work/shots-32"
  play "$(dirname "$WINE64")/wine" "$build32/morvanite-win32-check.exe" "$work/shots-32" \
    --loading-picture
  play "$(dirname "$WINE64")/wine" "$dist/morvanite-win32.exe" "$work/shots-32"
fi
