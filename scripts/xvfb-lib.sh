# shellcheck shell=bash
# Shell functions for running the real program under a virtual X server and quitting it with
# Escape. Source this file from a bash script that runs with `set -euo pipefail`.

# Cleanup run on exit after the X server has been stopped; a script may define its own.
xvfb_on_exit() { :; }

# Starts Xvfb on display :FIRST + (0..99), stops it again when the script exits, and exports
# DISPLAY once the server answers (waiting at most 5 s).
xvfb_start() {
  local display=:$(($1 + RANDOM % 100))
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  trap 'kill $xvfb_pid 2>/dev/null || true; xvfb_on_exit' EXIT
  for _ in $(seq 50); do
    DISPLAY=$display xdpyinfo >/dev/null 2>&1 && break || sleep 0.1
  done
  export DISPLAY=$display
}

# Waits SECONDS, presses Escape in the program's "Morvanite" window and waits up to 10 s for
# process PID to end. Returns 0 when it ended (its exit code is left to `wait`), 1 when it had
# ended before Escape was pressed (reaped), 2 when it did not quit on Escape (it is killed), and
# xdotool's own code when xdotool fails.
xvfb_press_escape() {
  local seconds=$1 pid=$2 window
  sleep "$seconds"
  if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid" || true
    return 1
  fi
  window=$(xdotool search --sync --name '^Morvanite$' | head -n 1) || return
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  xdotool key --clearmodifiers Escape || return
  for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid"
    return 2
  fi
}
