#!/usr/bin/env bash
# Runs the Windows audio check under wine64 in a fresh prefix: first with Wine's sound drivers
# turned off (no device: the decoding cases and the silent output), then on ALSA's null device (a
# waveOut device that plays into nothing: its position clock).
# Usage: run_audio_check.sh MAKE_AUDIO_CASES AUDIO_WINDOWS_CHECK.exe MUSIC.mp3
set -euo pipefail
cases_tool=$1
check=$2
music=$3
wine=${WINE64:-/usr/lib/wine/wine64}
wineserver=$(dirname "$wine")/wineserver
limit=${WINDOWS_AUDIO_TIMEOUT:-300}
work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all
cleanup() {
  "$wineserver" -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/cases" "$work/home"
"$cases_tool" "$work/cases" "$music"
cp "$check" "$work/check.exe"
printf 'pcm.!default {\n  type null\n}\n' >"$work/home/.asoundrc"
cd "$work"
echo "== no sound driver"
WINEDLLOVERRIDES="winealsa.drv,winepulse.drv,wineoss.drv=d" \
  timeout "$limit" "$wine" check.exe cases silent
echo "== ALSA's null device"
HOME=$work/home WINEDLLOVERRIDES="winepulse.drv,wineoss.drv=d" \
  timeout "$limit" "$wine" check.exe cases device
