#!/usr/bin/env bash
# Whole-program runs of morvanite-render (exit codes, summary lines, the records it writes) and of
# morvanite where no display is needed.
# usage: morvanite_render_test.sh CASE PROGRAM WORKDIR
set -uo pipefail
case_name=$1
program=$2
work=$3/$case_name
rm -rf "$work"
mkdir -p "$work"

fail() {
  echo "FAIL ($case_name): $*" >&2
  exit 1
}

# run ARGS...: runs the program, keeping stdout, stderr and the exit code.
run() {
  "$program" "$@" >"$work/out" 2>"$work/err"
  code=$?
  summary=$(tail -n 1 "$work/out")
}

expect_summary() {
  [ "$summary" = "$1" ] || fail "summary '$summary', expected '$1'"
}

expect_code() {
  [ "$code" -eq "$1" ] || fail "exit code $code, expected $1; stderr: $(cat "$work/err")"
}

case $case_name in
  full-show)
    run --fps 60 --hashes "$work/h.txt"
    expect_code 0
    expect_summary "flips=8405 last_t=1419 boxes=0 exit=0"
    [ "$(wc -l <"$work/h.txt")" -eq 8405 ] || fail "hash lines: $(wc -l <"$work/h.txt")"
    changes=$(awk '$3 != part { if (NR > 1) printf "%d ", $1; part = $3 }' "$work/h.txt")
    [ "$changes" = "888 1480 1847 2486 3078 3552 4025 4617 5209 5919 6629 " ] ||
      fail "the part changes at flips $changes"
    head -n 1 "$work/h.txt" | grep -q '^0 0 OpeningZoomBlurPart [0-9a-f]\{16\}$' ||
      fail "first line: $(head -n 1 "$work/h.txt")"
    tail -n 1 "$work/h.txt" | grep -q '^8404 1419 TextScrollPart [0-9a-f]\{16\}$' ||
      fail "last line: $(tail -n 1 "$work/h.txt")"
    ;;
  escape)
    run --fps 60 --escape-at 500 --hashes "$work/h.txt"
    expect_code 0
    expect_summary "flips=2960 last_t=499 boxes=0 exit=0"
    awk '$2 >= 500 { exit 1 }' "$work/h.txt" || fail "a frame at t >= 500 was shown"
    ;;
  escape-at-start)
    run --escape-at 0
    expect_code 0
    expect_summary "flips=0 last_t=-1 boxes=0 exit=0"
    ;;
  display-mode-refused)
    run --fail SetDisplayMode=DDERR_INVALIDMODE
    expect_code 1
    expect_summary "flips=0 last_t=-1 boxes=1 exit=1"
    grep -q '^Error: DirectDraw does not support the requested mode\.$' "$work/err" &&
      grep -q '^(Codigo de error: -2005532552)$' "$work/err" || fail "box text: $(cat "$work/err")"
    ;;
  old-processor)
    run --fail CheckProcessor
    expect_code 1
    expect_summary "flips=0 last_t=-1 boxes=0 exit=1"
    ;;
  flip-retries)
    # A flip still drawing is repeated; a lost one is restored and that frame is not shown.
    run --fps 10 --fail Flip@3=DDERR_WASSTILLDRAWING --fail Flip@20=DDERR_SURFACELOST --hashes "$work/h.txt"
    expect_code 0
    expect_summary "flips=1401 last_t=1419 boxes=0 exit=0"
    ;;
  lock-fails-during-show)
    run --fps 10 --fail Lock@5
    expect_code 0
    expect_summary "flips=1401 last_t=1419 boxes=1 exit=0"
    grep -q 'Access to this surface is being refused because the surface memory is gone' "$work/err" ||
      fail "no lock box: $(cat "$work/err")"
    ;;
  focus-lost)
    run --fps 60 --deactivate-at 300 --activate-at 700 --hashes "$work/h.txt"
    expect_code 0
    awk '$2 >= 300 && $2 < 700 { exit 1 }' "$work/h.txt" || fail "frames drawn while inactive"
    grep -q '^[0-9]* 299 ' "$work/h.txt" && grep -q '^[0-9]* 700 ' "$work/h.txt" ||
      fail "no frames at 299 and 700"
    [ "$(awk '$2 == 700' "$work/h.txt" | awk '{print $3}' | uniq | wc -l)" -ge 5 ] ||
      fail "the parts whose slots passed did not get one pass each"
    ;;
  shots-and-trace)
    run --fps 10 --shots "$work/shots" --at load,150,1419 --trace "$work/trace.txt"
    expect_code 0
    for name in load t150 t1419; do
      head -c 8 "$work/shots/$name.png" 2>/dev/null | od -An -tx1 | grep -q '89 50 4e 47 0d 0a 1a 0a' ||
        fail "no picture $name.png"
    done
    grep -q '^Modo de video  320x 240x16 activado \.\.\.\.\.\.\.\.\. OK$' "$work/trace.txt" ||
      fail "trace: $(head -n 3 "$work/trace.txt")"
    grep -q '^Se llego a fin de script en' "$work/trace.txt" || fail "no end-of-script line"
    ;;
  bad-options)
    run --fail Lok
    expect_code 2
    run --at 150
    expect_code 2
    run --deactivate-at 3
    expect_code 2
    run --fps 0
    expect_code 2
    ;;
  player-without-display)
    # PROGRAM is morvanite here: one clear line and a failure, not a silent success.
    env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "$program" >"$work/out" 2>"$work/err"
    code=$?
    expect_code 1
    [ "$(wc -l <"$work/err")" -eq 1 ] && grep -q '^morvanite: no display' "$work/err" ||
      fail "stderr: $(cat "$work/err")"
    "$program" --help >"$work/out" 2>&1 || fail "--help failed"
    grep -q -- '--windowed' "$work/out" || fail "--help does not list --windowed"
    "$program" --fullscreen >/dev/null 2>&1
    code=$?
    expect_code 2
    ;;
  *)
    fail "no such case"
    ;;
esac
echo "ok ($case_name)"
