#!/usr/bin/env python3
"""Watches the show of the Windows program on a virtual X server and keeps three screenshots.

usage: show_screens.py DISPLAY OUT_DIR LOADING_REFERENCE_PNG

The program's screen is Wine's virtual desktop window, which DirectDraw's mode change makes
320x240. The loading screen must match the Linux renderer's picture of it, and its progress bar,
drawn with GDI lines on the primary surface, must cover rows 142 to 148 of column 108 in white (a
line without its end point). Once the show has started (the screen no longer matches), a picture
from the first four parts (at about 20 s of music) and one from the last four (at about 95 s)
must not be black. Each picture must be 4:3. Writes loading.png, first-parts.png and
last-parts.png.
"""
import subprocess
import sys
import time

from PIL import Image, ImageChops, ImageGrab, ImageStat

LOADING_MATCH = 8.0  # mean difference per channel (0..255) still taken as the loading screen
BLACK = 4.0  # mean brightness at or below which a picture counts as black


def desktop_box(display):
    """(x, y, width, height) of Wine's virtual desktop window, or None."""
    env = {"DISPLAY": display}
    found = subprocess.run(["xdotool", "search", "--name", " - Wine desktop$"], env=env,
                           capture_output=True, text=True)
    for window in found.stdout.split():
        shape = subprocess.run(["xdotool", "getwindowgeometry", "--shell", window], env=env,
                               capture_output=True, text=True).stdout
        values = dict(line.split("=", 1) for line in shape.split() if "=" in line)
        if all(k in values for k in ("X", "Y", "WIDTH", "HEIGHT")):
            return tuple(int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))
    return None


class Screen:
    """Pictures of Wine's desktop window. Once it has the show's 320x240 its place is asked again
    only every other second, so that a picture takes a few milliseconds: the loading screen may
    last well under a second."""

    def __init__(self, display):
        self.display = display
        self.box = None
        self.asked = 0.0

    def grab(self):
        now = time.monotonic()
        if self.box is None or self.box[2:] != (320, 240) or now - self.asked > 2:
            self.box, self.asked = desktop_box(self.display), now
        if self.box is None:
            return None
        x, y, width, height = self.box
        return ImageGrab.grab(bbox=(x, y, x + width, y + height),
                              xdisplay=self.display).convert("RGB")


def difference(a, b):
    if a.size != b.size:
        return 255.0
    return sum(ImageStat.Stat(ImageChops.difference(a, b)).mean) / 3


def bar_rows(picture):
    """The white rows of column 108 near the progress bar."""
    return [y for y in range(136, 156) if picture.getpixel((108, y)) == (255, 255, 255)]


def brightness(picture):
    return sum(ImageStat.Stat(picture).mean) / 3


def wait_for(screen, test, until, what):
    while time.monotonic() < until:
        picture = screen.grab()
        if picture is not None and test(picture):
            return picture
        time.sleep(0.01)
    raise SystemExit(f"show_screens: {what}")


def keep(picture, path, label):
    width, height = picture.size
    picture.save(path)
    print(f"{label}: {width}x{height}, brightness {brightness(picture):.1f}")
    if width * 3 != height * 4:
        raise SystemExit(f"show_screens: {label} is {width}x{height}, not 4:3")


def main(display, out, reference_path):
    reference = Image.open(reference_path).convert("RGB")
    screen = Screen(display)
    start = time.monotonic()
    loading = wait_for(screen, lambda p: difference(p, reference) < LOADING_MATCH and bar_rows(p),
                       start + 150, "the loading screen with its bar did not appear within 150 s")
    keep(loading, f"{out}/loading.png", "loading screen")
    print(f"  {difference(loading, reference):.2f} from the Linux renderer's loading screen")
    if bar_rows(loading) != list(range(142, 149)):
        raise SystemExit(f"show_screens: the progress bar covers rows {bar_rows(loading)}")
    wait_for(screen, lambda p: difference(p, reference) >= LOADING_MATCH, time.monotonic() + 60,
             "the show did not start within 60 s of the loading screen")
    shown = time.monotonic()
    print(f"show started {shown - start:.1f} s after launch")
    for label, name, at, last in (("first parts", "first-parts", 20, 30),
                                  ("last parts", "last-parts", 95, 110)):
        time.sleep(max(0.0, shown + at - time.monotonic()))
        picture = wait_for(screen, lambda p: brightness(p) > BLACK, shown + last,
                           f"the screen stayed black from {at} s to {last} s of the show")
        keep(picture, f"{out}/{name}.png", f"{label} ({time.monotonic() - shown:.1f} s)")
        if difference(picture, reference) < LOADING_MATCH:
            raise SystemExit(f"show_screens: {label}: still the loading screen")
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 4:
        raise SystemExit(__doc__)
    sys.exit(main(*sys.argv[1:]))
