#!/usr/bin/env bash
# Plays the real program under a virtual X server with SDL's dummy audio driver, presses Escape
# after a few seconds and checks that it quits with exit code 0.
set -euo pipefail
program=${1:-build/morvanite}
seconds=${SMOKE_SECONDS:-5}
display=:$((90 + RANDOM % 100))

Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  DISPLAY=$display xdpyinfo >/dev/null 2>&1 && break || sleep 0.1
done

export DISPLAY=$display SDL_AUDIODRIVER=dummy
"$program" &
pid=$!
sleep "$seconds"
if ! kill -0 "$pid" 2>/dev/null; then
  wait "$pid" || true
  echo "xvfb-smoke: $program ended before Escape was pressed" >&2
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
  echo "xvfb-smoke: $program did not quit on Escape" >&2
  exit 1
fi
status=0
wait "$pid" || status=$?
echo "xvfb-smoke: exit code $status"
exit "$status"
