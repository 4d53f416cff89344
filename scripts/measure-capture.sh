#!/usr/bin/env bash
# Times morvanite-render --video beside Debian's ffmpeg program encoding the same frames, already
# rendered, with the same settings, for H.264 (libx264 preset veryfast, CRF 18, yuv420p, enlarged
# 4 times with nearest-neighbour pixels, AAC) and for FFV1 with RGB pixels at scale 1 (FLAC).
# Prints wall-clock and CPU seconds and their ratios. A measurement, not a test: run it on a quiet
# machine; it says how loaded the machine was.
# usage: measure-capture.sh MORVANITE_RENDER WORKDIR
set -euo pipefail
render=$(realpath "$1")
work=$2
mkdir -p "$work"
cd "$work"
rm -f ./*.mp4 ./*.mkv frames.rgb show.wav

# The frames and the sound, made once and not timed: the lossless capture holds every flip
# exactly; decoded to raw 8-bit RGB, that is what the ffmpeg program reads.
"$render" --fps 60 --lossless --video frames.mkv --wav show.wav >/dev/null 2>&1
ffmpeg -v error -i frames.mkv -map 0:v -f rawvideo -pix_fmt rgb24 frames.rgb
frames=$(($(stat -c %s frames.rgb) / (320 * 240 * 3)))
cat frames.rgb show.wav >/dev/null  # into the page cache

raw=(-f rawvideo -pix_fmt rgb24 -video_size 320x240 -framerate 60 -i frames.rgb -i show.wav)
ours_h264=("$render" --fps 60 --video ours.mp4)
ffmpeg_h264=(ffmpeg -v error -y "${raw[@]}" -vf scale=iw*4:ih*4:flags=neighbor -pix_fmt yuv420p
  -c:v libx264 -preset veryfast -crf 18 -c:a aac -b:a 192k -movflags +faststart ffmpeg.mp4)
ours_ffv1=("$render" --fps 60 --lossless --video ours.mkv)
ffmpeg_ffv1=(ffmpeg -v error -y "${raw[@]}" -pix_fmt bgr0 -c:v ffv1 -level 3 -c:a flac
  ffmpeg.mkv)

# timed NAME COMMAND...: wall-clock, user and system seconds into NAME.time.
timed() {
  local name=$1
  shift
  local TIMEFORMAT='%R %U %S'
  { time "$@" >/dev/null 2>"$name.err"; } 2>"$name.time"
}

seconds() { awk '{ printf "%.1f", $1 }' "$1.time"; }
cpu() { awk '{ printf "%.1f", $2 + $3 }' "$1.time"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

echo "measure-capture: $frames frames; $(nproc) cores; load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
for codec in h264 ffv1; do
  ours=ours_$codec[@]
  theirs=ffmpeg_$codec[@]
  timed "ours-$codec" "${!ours}"
  timed "ffmpeg-$codec" "${!theirs}"
  printf '%-5s --video %6s s wall %6s s CPU | ffmpeg %6s s wall %6s s CPU | ratio %s wall, %s CPU\n' \
    "$codec" "$(seconds "ours-$codec")" "$(cpu "ours-$codec")" \
    "$(seconds "ffmpeg-$codec")" "$(cpu "ffmpeg-$codec")" \
    "$(ratio "$(seconds "ours-$codec")" "$(seconds "ffmpeg-$codec")")" \
    "$(ratio "$(cpu "ours-$codec")" "$(cpu "ffmpeg-$codec")")"
done
echo "measure-capture: load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
rm -f frames.rgb
