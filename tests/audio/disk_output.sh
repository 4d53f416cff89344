#!/usr/bin/env bash
# Plays the real program under a virtual X server with SDL's disk audio driver, presses Escape
# after a few seconds, and checks that it quit with exit code 0 after writing the music's decoded
# audio, from its first sample, to the driver's output file.
# Usage: disk_output.sh MORVANITE CAPTURE_CHECK MUSIC.mp3
set -euo pipefail
program=$1
check=$2
music=$3
seconds=${DISK_OUTPUT_SECONDS:-4}
work=$(mktemp -d)
display=:$((200 + RANDOM % 100))

Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 50); do
  DISPLAY=$display xdpyinfo >/dev/null 2>&1 && break || sleep 0.1
done

export DISPLAY=$display SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$work/capture.raw
"$program" --windowed 2>"$work/stderr" &
pid=$!
sleep "$seconds"
if ! kill -0 "$pid" 2>/dev/null; then
  wait "$pid" || true
  cat "$work/stderr" >&2
  echo "disk_output: the program ended before Escape was pressed" >&2
  exit 1
fi
window=$(xdotool search --sync --name '^Morvanite$' | head -n 1)
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool key --clearmodifiers Escape
for _ in $(seq 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
  kill "$pid"
  echo "disk_output: the program did not quit on Escape" >&2
  exit 1
fi
status=0
wait "$pid" || status=$?
if [ "$status" -ne 0 ]; then
  cat "$work/stderr" >&2
  echo "disk_output: exit code $status" >&2
  exit 1
fi
"$check" "$work/capture.raw" "$music" 1.0
