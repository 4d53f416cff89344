#!/usr/bin/env bash
# Plays the real program under a virtual X server with SDL's disk audio driver, presses Escape
# after a few seconds, and checks that it quit with exit code 0 after writing the music's decoded
# audio, from its first sample, to the driver's output file.
# Usage: disk_output.sh MORVANITE CAPTURE_CHECK MUSIC.mp3
set -euo pipefail
# shellcheck source=scripts/xvfb-lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/xvfb-lib.sh"
program=$1
check=$2
music=$3
seconds=${DISK_OUTPUT_SECONDS:-4}
work=$(mktemp -d)
xvfb_on_exit() { rm -rf "$work"; }

xvfb_start 200
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$work/capture.raw
"$program" --windowed 2>"$work/stderr" &
pid=$!
escape=0
xvfb_press_escape "$seconds" "$pid" || escape=$?
case $escape in
  0) ;;
  1)
    cat "$work/stderr" >&2
    echo "disk_output: the program ended before Escape was pressed" >&2
    exit 1
    ;;
  2) echo "disk_output: the program did not quit on Escape" >&2; exit 1 ;;
  *) exit "$escape" ;;
esac
status=0
wait "$pid" || status=$?
if [ "$status" -ne 0 ]; then
  cat "$work/stderr" >&2
  echo "disk_output: exit code $status" >&2
  exit 1
fi
"$check" "$work/capture.raw" "$music" 1.0
