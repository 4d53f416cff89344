#!/usr/bin/env bash
# The player's --help and its man page name the same options and the same keys.
# usage: player_help_test.sh PROGRAM MAN-PAGE
set -euo pipefail
program=$1
page=$2
fail() { echo "player_help_test: $*" >&2; exit 1; }

help=$("$program" --help)
# Options: "  --name" or "  -h, --name" at the start of a help line; ".B \-\-name" (also .BI,
# .BR) after a .TP of the man page.
help_options=$(grep -oE '^  (-[a-z], )?--[a-z-]+' <<<"$help" | grep -oE -- '--?[a-z-]+' | sort -u)
man_options=$(sed -n '/^\.TP/{n;p}' "$page" | grep -E '^\.B[IR]? +\\-' | sed 's/\\-/-/g' |
  grep -oE -- '(^| |")--?[a-z-]+' | tr -d ' "' | sort -u)
[ -n "$help_options" ] || fail "no options found in --help"
[ "$help_options" = "$man_options" ] ||
  fail "options differ: --help has $(echo $help_options), the man page $(echo $man_options)"
for key in Escape Alt+Enter F12; do
  grep -q "$key" <<<"$help" || fail "--help does not name the key $key"
  grep -q "^\.B $key$" "$page" || fail "the man page does not describe the key $key"
done
# Every option --help lists is accepted by the program (checked without a display: the options
# are read before the display is looked for, so each one gets as far as "no display").
for option in $help_options; do
  case $option in -h | --help) continue ;; esac
  args=("$option")
  [ "$option" = --frame-log ] && args+=(/dev/null)
  code=0
  env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "$program" "${args[@]}" >/dev/null 2>&1 ||
    code=$?
  [ "$code" -eq 1 ] || fail "$option: exit code $code (1, no display, expected)"
done
echo "player_help_test: $(echo $help_options) agree"
