# shellcheck shell=bash
# Shell functions for running the real program under a virtual X server and quitting it with
# Escape. Source this file from a bash script that runs with `set -euo pipefail`.

# Cleanup run on exit after the X server has been stopped; a script may define its own.
xvfb_on_exit() { :; }

# Starts Xvfb on the first free display (the server picks it and names it when it accepts
# connections), stops it again when the script exits and exports DISPLAY. Fails when the server
# has not named its display within 60 s.
xvfb_start() {
  local number=
  exec {xvfb_fd}< <(exec Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null)
  xvfb_pid=$!
  trap 'kill $xvfb_pid 2>/dev/null || true; xvfb_on_exit' EXIT
  if ! read -r -t 60 number <&"$xvfb_fd" || [ -z "$number" ]; then
    echo "xvfb: the X server did not start" >&2
    return 1
  fi
  export DISPLAY=:$number
}

# Runs COMMAND... every tenth of a second until it succeeds and returns 0. Returns 1 when process
# PID ends first (it is reaped) and 2 when LIMIT seconds pass first.
xvfb_wait_until() {
  local limit=$1 pid=$2 deadline
  shift 2
  deadline=$((SECONDS + limit))
  until "$@"; do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid" || true
      return 1
    fi
    [ "$SECONDS" -lt "$deadline" ] || return 2
    sleep 0.1
  done
}

# Waits SECONDS (0: none), presses Escape in the program's "Morvanite" window and waits up to
# 30 s for process PID to end. Returns 0 when it ended (its exit code is left to `wait`), 1 when
# it had ended before Escape was pressed (reaped), 2 when it did not quit on Escape (it is
# killed), and xdotool's own code when xdotool fails.
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
  local deadline=$((SECONDS + 30))
  while kill -0 "$pid" 2>/dev/null && [ "$SECONDS" -lt "$deadline" ]; do
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid"
    return 2
  fi
}
