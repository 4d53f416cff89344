#!/usr/bin/env bash
# Plays the real program under a virtual X server with SDL's disk audio driver, presses Escape
# once the driver's output file holds a second of the music, and checks that it quit with exit
# code 0 after writing the music's decoded audio, from its first sample, to that file.
# Usage: disk_output.sh MORVANITE CAPTURE_CHECK MUSIC.mp3
set -euo pipefail
# shellcheck source=scripts/xvfb-lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/xvfb-lib.sh"
program=$1
check=$2
music=$3
wanted=1.0
limit=${DISK_OUTPUT_LIMIT:-60}  # seconds; reached only when the sound never comes
work=$(mktemp -d)
xvfb_on_exit() { rm -rf "$work"; }

xvfb_start
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$work/capture.raw
"$program" --windowed 2>"$work/stderr" &
pid=$!

# The checker reads the file again as it grows until it holds the wanted music; the program must
# not end before.
"$check" "$work/capture.raw" "$music" "$wanted" --wait "$limit" >"$work/waited" 2>&1 &
waiter=$!
first=
waited=0
wait -n -p first "$waiter" "$pid" || waited=$?
if [ "$first" = "$pid" ]; then
  kill "$waiter" 2>/dev/null || true
  cat "$work/stderr" >&2
  echo "disk_output: the program ended (exit code $waited) before Escape was pressed" >&2
  exit 1
fi
if [ "$waited" -ne 0 ]; then
  kill "$pid" 2>/dev/null || true
  cat "$work/waited" >&2
  echo "disk_output: the driver's file did not come to hold $wanted s of the music" >&2
  exit 1
fi

escape=0
xvfb_press_escape 0 "$pid" || escape=$?
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
"$check" "$work/capture.raw" "$music" "$wanted"
