#!/usr/bin/env bash
# Checks a whole-show video from morvanite-render --video: its video stream holds one frame per
# flip of the show at 60 frames per second, and its sound lasts at least 140 s.
# usage: check-video.sh MORVANITE_RENDER VIDEO
set -euo pipefail
render=$1
video=$2

flips=$("$render" --fps 60 | sed -n 's/^flips=\([0-9]*\) .*/\1/p')
frames=$(ffprobe -v error -select_streams v:0 -count_packets \
  -show_entries stream=nb_read_packets -of csv=p=0 "$video")
sound=$(ffprobe -v error -select_streams a:0 -show_entries stream=duration -of csv=p=0 "$video")
echo "check-video: $video: $frames frames (the show flips $flips times), $sound s of sound"
[ -n "$flips" ] && [ "$frames" = "$flips" ] || { echo "check-video: frame count differs" >&2; exit 1; }
awk -v s="$sound" 'BEGIN { exit !(s >= 140) }' || { echo "check-video: sound too short" >&2; exit 1; }
