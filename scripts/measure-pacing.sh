#!/usr/bin/env bash
# Plays the whole show under a virtual X server (SDL's dummy audio driver) with a frame log and
# reports the frame pacing: intervals between shown frames, how far the sound is ahead of the
# picture, frames that stood too long or too short.
# usage: measure-pacing.sh [PROGRAM] [LOG]; PACING_REALTIME=1 runs the player (and the X server)
# at a real-time priority, to measure the pacing itself apart from a busy machine.
set -euo pipefail
# shellcheck source=scripts/xvfb-lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/xvfb-lib.sh"
program=${1:-build/morvanite}
log=${2:-build/pacing.log}

xvfb_start
export SDL_AUDIODRIVER=dummy
run=()
if [ "${PACING_REALTIME:-0}" = 1 ]; then
  chrt -f -p 10 "$xvfb_pid"
  run=(chrt -f 10)
fi
"${run[@]}" "$program" --windowed --frame-log "$log" &
pid=$!
# The window takes the focus (no window manager here to give it).
window=$(xdotool search --sync --name '^Morvanite$' | head -n 1)
xdotool windowfocus --sync "$window" 2>/dev/null || true
status=0
timeout_s=240
for _ in $(seq $((timeout_s * 10))); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
  kill "$pid"
  echo "measure-pacing: the show did not end within $timeout_s s" >&2
  exit 1
fi
wait "$pid" || status=$?
[ "$status" -eq 0 ] || { echo "measure-pacing: $program exited with $status" >&2; exit 1; }
echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
/usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/pacing_report.py" "$log"
