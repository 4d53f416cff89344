#!/usr/bin/env bash
# morvanite where no display is needed: without one it says so in one line and fails, instead of
# playing to nowhere; --help and refused options.
# usage: player_without_display_test.sh PROGRAM WORKDIR
set -uo pipefail
program=$1
work=$2
rm -rf "$work"
mkdir -p "$work"

fail() {
  echo "FAIL (player-without-display): $*" >&2
  exit 1
}

env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "$program" >"$work/out" 2>"$work/err"
code=$?
[ "$code" -eq 1 ] || fail "exit code $code, expected 1"
[ "$(wc -l <"$work/err")" -eq 1 ] && grep -q '^morvanite: no display' "$work/err" ||
  fail "stderr: $(cat "$work/err")"
"$program" --help >"$work/out" 2>&1 || fail "--help failed"
grep -q -- '--windowed' "$work/out" || fail "--help does not list --windowed"
"$program" --fullscreen >/dev/null 2>&1
code=$?
[ "$code" -eq 2 ] || fail "--fullscreen: exit code $code, expected 2"
echo "ok (player-without-display)"
