#!/usr/bin/env bash
# Plays the real program under a virtual X server with SDL's dummy audio driver, presses Escape
# once it has shown frames of the show with the music running, and checks that it quits with exit
# code 0.
set -euo pipefail
# shellcheck source=scripts/xvfb-lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/xvfb-lib.sh"
program=${1:-build/morvanite}
limit=${SMOKE_LIMIT:-120}  # seconds; reached only when no frame of the show comes
log=$(mktemp)
xvfb_on_exit() { rm -f "$log"; }

# True once the frame log holds a frame shown for a music position past 0.
show_is_shown() { awk '!/^#/ && $3 > 0 { found = 1; exit } END { exit !found }' "$log"; }

xvfb_start
export SDL_AUDIODRIVER=dummy
"$program" --frame-log "$log" &
pid=$!
shown=0
xvfb_wait_until "$limit" "$pid" show_is_shown || shown=$?
case $shown in
  0) ;;
  1) echo "xvfb-smoke: $program ended before it showed the show" >&2; exit 1 ;;
  *) kill "$pid"; echo "xvfb-smoke: $program showed no frame of the show in $limit s" >&2; exit 1 ;;
esac
escape=0
xvfb_press_escape 0 "$pid" || escape=$?
case $escape in
  0) ;;
  1) echo "xvfb-smoke: $program ended before Escape was pressed" >&2; exit 1 ;;
  2) echo "xvfb-smoke: $program did not quit on Escape" >&2; exit 1 ;;
  *) exit "$escape" ;;
esac
status=0
wait "$pid" || status=$?
echo "xvfb-smoke: $(grep -vc '^#' "$log") frames shown, exit code $status"
exit "$status"
