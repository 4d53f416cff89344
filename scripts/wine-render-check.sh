#!/usr/bin/env bash
# Runs the headless renderer of Linux and its Windows build (under wine64) over the whole show at
# 60 frames per second and checks that every hash line is the same; then runs the Windows build
# through the program tests of the options the hash run does not use.
# usage: wine-render-check.sh LINUX_RENDER WINDOWS_RENDER WORK_DIR
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=scripts/wine-lib.sh
source "$here/wine-lib.sh"
linux=$(realpath "$1")
windows=$(realpath "$2")
work=$3
mkdir -p "$work/render"
wine_prefix "$(realpath "$work")/prefix"
cd "$work/render"
rm -f linux.txt windows.txt
"$linux" --fps 60 --hashes linux.txt >linux.out
# The Windows program runs in the Unix folder it is started from: relative names work.
"$WINE64" "$windows" --fps 60 --hashes windows.txt >windows.out
"$WINESERVER" -w
echo "linux:   $(tr -d '\r' <linux.out)"
echo "windows: $(tr -d '\r' <windows.out)"
lines=$(wc -l <linux.txt)
if ! cmp -s linux.txt windows.txt; then
  echo "wine-render-check: the hash lines differ (first differences below)" >&2
  diff linux.txt windows.txt | head -n 10 >&2
  exit 1
fi
if [ "$lines" -eq 0 ]; then
  echo "wine-render-check: no hash lines" >&2
  exit 1
fi
echo "wine-render-check: all $lines hash lines are the same"

# The program tests call one executable: a script that starts the Windows build under Wine.
cd - >/dev/null
wrapper=$(realpath "$work")/morvanite-render-wine
printf '#!/bin/sh\nWINE_WORK=%s exec %s %s "$@"\n' "$(realpath "$work")" "$here/wine-run.sh" \
  "$windows" >"$wrapper"
chmod +x "$wrapper"
for case in escape-500 start-SetDisplayMode-DDERR_INVALIDMODE shots-and-trace focus-within-part; do
  python3 "$here/../tests/programs/fault_matrix.py" run "$case" "$wrapper" "$work/cases"
done
