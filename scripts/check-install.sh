#!/usr/bin/env bash
# Installs the player from build folder BUILD into the staging folder STAGING with prefix /usr
# (through `make install`, as a packager would) and checks what landed there: the program runs,
# the man page formats, the desktop entry is valid and names an installed icon.
# usage: check-install.sh BUILD STAGING
set -euo pipefail
build=$1
staging=$(realpath -m "$2")
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
rm -rf "$staging"
make -s -C "$root" install BUILD="$build" DESTDIR="$staging" PREFIX=/usr >/dev/null
fail() { echo "check-install: $*" >&2; exit 1; }

expected=(
  usr/bin/morvanite
  usr/share/man/man6/morvanite.6
  usr/share/applications/morvanite.desktop
  usr/share/icons/hicolor/48x48/apps/morvanite.png
  usr/share/icons/hicolor/256x256/apps/morvanite.png
)
for file in "${expected[@]}"; do
  [ -f "$staging/$file" ] || fail "missing $file"
done
[ -x "$staging/usr/bin/morvanite" ] || fail "usr/bin/morvanite is not executable"
"$staging/usr/bin/morvanite" --help | grep -q -- '--integer-scale' || fail "the installed program's --help"
man_text=$(MANPATH="$staging/usr/share/man" MANWIDTH=80 man 6 morvanite 2>&1) || fail "man 6 morvanite: $man_text"
grep -q -- '--no-sound' <<<"$man_text" || fail "man morvanite does not show the options"
desktop-file-validate "$staging/usr/share/applications/morvanite.desktop" ||
  fail "the desktop entry is not valid"
grep -qx 'Icon=morvanite' "$staging/usr/share/applications/morvanite.desktop" ||
  fail "the desktop entry names another icon"
grep -qx 'Exec=morvanite' "$staging/usr/share/applications/morvanite.desktop" ||
  fail "the desktop entry starts another program"
for size in 48 256; do
  /usr/bin/python3 - "$staging/usr/share/icons/hicolor/${size}x$size/apps/morvanite.png" "$size" <<'PY' ||
import sys
from PIL import Image
image = Image.open(sys.argv[1])
sys.exit(0 if image.size == (int(sys.argv[2]),) * 2 and image.mode == "RGBA" else 1)
PY
    fail "the ${size}x$size icon is not a ${size}x$size RGBA PNG"
done
echo "check-install: $(find "$staging" -type f | wc -l) files installed under $staging/usr"
