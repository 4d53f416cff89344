#!/usr/bin/env bash
# Whole shows of morvanite-render under valgrind's memcheck: no invalid access, no use of
# uninitialised values, no leak (definite, indirect or possible), and the outcome each case
# expects. Frame rates are low (memcheck runs the show some 30 times slower) but every part still
# gets its frames and the show reaches its ending.
# usage: valgrind_shows.sh PROGRAM WORKDIR
set -uo pipefail
program=$1
work=$2
rm -rf "$work"
mkdir -p "$work"

# name | options | the summary line expected
cases=(
  "whole-show|--fps 5|flips=[0-9]+ last_t=1419 boxes=0 exit=0"
  "escape-mid-show|--fps 10 --escape-at 700|flips=[0-9]+ last_t=699 boxes=0 exit=0"
  "escape-at-start|--escape-at 0|flips=0 last_t=-1 boxes=0 exit=0"
  "focus-lost-across-parts|--fps 10 --deactivate-at 300 --activate-at 1000|flips=[0-9]+ last_t=1419 boxes=0 exit=0"
  "playback-refused|--fail BASS_StreamPlay|flips=0 last_t=-?[0-9]+ boxes=0 exit=1"
)

failed=0
for entry in "${cases[@]}"; do
  IFS='|' read -r name options expected <<<"$entry"
  start=$SECONDS
  # shellcheck disable=SC2086  # the options are words
  valgrind --tool=memcheck --error-exitcode=99 --leak-check=full \
    --show-leak-kinds=definite,indirect,possible --errors-for-leak-kinds=definite,indirect,possible \
    --log-file="$work/$name.log" \
    "$program" $options >"$work/$name.out" 2>"$work/$name.err"
  code=$?
  summary=$(tail -n 1 "$work/$name.out")
  problem=""
  if [ "$code" -eq 99 ]; then
    problem="memcheck reports errors (see $work/$name.log; --track-origins=yes tells where an
    uninitialised value came from)"
  elif ! [[ $summary =~ ^$expected$ ]]; then
    problem="summary '$summary', expected '$expected'"
  fi
  if [ -n "$problem" ]; then
    echo "FAIL ($name, $((SECONDS - start)) s): $problem" >&2
    [ "$code" -eq 99 ] && grep -v '^==[0-9]*== *$' "$work/$name.log" | head -n 60 >&2
    failed=1
  else
    echo "ok ($name, $((SECONDS - start)) s)"
  fi
done
exit $failed
