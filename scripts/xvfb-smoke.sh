#!/usr/bin/env bash
# Plays the real program under a virtual X server with SDL's dummy audio driver, presses Escape
# after a few seconds and checks that it quits with exit code 0.
set -euo pipefail
# shellcheck source=scripts/xvfb-lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/xvfb-lib.sh"
program=${1:-build/morvanite}
seconds=${SMOKE_SECONDS:-5}

xvfb_start 90
export SDL_AUDIODRIVER=dummy
"$program" &
pid=$!
escape=0
xvfb_press_escape "$seconds" "$pid" || escape=$?
case $escape in
  0) ;;
  1) echo "xvfb-smoke: $program ended before Escape was pressed" >&2; exit 1 ;;
  2) echo "xvfb-smoke: $program did not quit on Escape" >&2; exit 1 ;;
  *) exit "$escape" ;;
esac
status=0
wait "$pid" || status=$?
echo "xvfb-smoke: exit code $status"
exit "$status"
