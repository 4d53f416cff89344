#!/usr/bin/env python3
"""Plays a Windows program of the show under Wine on a virtual X server and checks what it shows.

usage: play_check.py [--loading-picture] DISPLAY OUT_DIR LOADING_REFERENCE WINE PROGRAM.exe

Starts WINE PROGRAM.exe in OUT_DIR (its output to OUT_DIR/program.log), then takes these steps,
each waiting for its condition. The one time limit, 300 s for the whole run, only ends a run that
is stuck.

1. With --loading-picture (a check program, given the argument loading.png): the program writes
   OUT_DIR/loading.png when the music starts. It must have exactly the pixels of
   LOADING_REFERENCE (the Linux renderer's picture of the finished loading screen), and the only
   pure white pixels around the progress bar must be the bar: columns 108 to 215 of rows 142 to
   148.
2. The show appears in Wine's desktop window: a 320x240 picture that is neither the loading
   screen (a mean difference per channel below 8 from LOADING_REFERENCE) nor of 16 colours or
   fewer (Wine's empty desktop, black). Kept as show.png.
3. The show moves: a later such picture differs from show.png. Kept as show-changed.png.
4. Escape, pressed in the "Morvanite" window, ends the program with exit code 0.

The program must not end before step 4.
"""
import os
import subprocess
import sys
import time

from PIL import Image, ImageChops, ImageGrab, ImageStat

LIMIT = 300  # seconds for the whole run of one program
LOADING_MATCH = 8.0  # mean difference per channel (0..255) below which it is the loading screen
FEW_COLOURS = 16  # a picture of this many colours or fewer is not the show
SHOW_SIZE = (320, 240)
BAR = (108, 142, 215, 148)  # first and last column, first and last row
BAR_SURROUNDINGS = (100, 134, 225, 157)
WHITE = (255, 255, 255)


class Failed(Exception):
    pass


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


def grab(display):
    """A picture of Wine's desktop window, or None while there is none."""
    box = desktop_box(display)
    if box is None:
        return None
    x, y, width, height = box
    return ImageGrab.grab(bbox=(x, y, x + width, y + height), xdisplay=display).convert("RGB")


def difference(a, b):
    """The mean difference per channel, 0..255; 255 for pictures of different sizes."""
    if a.size != b.size:
        return 255.0
    return sum(ImageStat.Stat(ImageChops.difference(a, b)).mean) / 3


def white_near_bar(picture):
    """The (x, y) of the pure white pixels around the progress bar."""
    left, top, right, bottom = BAR_SURROUNDINGS
    return {(x, y) for y in range(top, bottom + 1) for x in range(left, right + 1)
            if picture.getpixel((x, y)) == WHITE}


def check_loading_picture(picture, reference):
    if picture.size != reference.size:
        raise Failed(f"the loading picture is {picture.size}, the reference {reference.size}")
    differences = ImageChops.difference(picture, reference)
    changed = differences.getbbox()
    if changed is not None:
        count = sum(1 for pixel in differences.getdata() if pixel != (0, 0, 0))
        raise Failed(f"{count} pixels of the loading picture, within {changed}, differ from the "
                     "Linux renderer's")
    left, top, right, bottom = BAR
    bar = {(x, y) for y in range(top, bottom + 1) for x in range(left, right + 1)}
    white = white_near_bar(picture)
    if white != bar:
        raise Failed(f"the progress bar is not columns {left}..{right} of rows {top}..{bottom}: "
                     f"{len(bar - white)} of its pixels are not white, {len(white - bar)} white "
                     "pixels lie outside it")


def is_show(picture, loading):
    return (picture.size == SHOW_SIZE and difference(picture, loading) >= LOADING_MATCH
            and picture.getcolors(FEW_COLOURS) is None)


class Run:
    """One program under Wine, its deadline and what it was last seen showing."""

    def __init__(self, display, out, wine, program, arguments):
        self.display = display
        self.out = out
        self.started = time.monotonic()
        self.deadline = self.started + LIMIT
        self.last = None
        self.log = open(os.path.join(out, "program.log"), "wb")
        self.process = subprocess.Popen([wine, program, *arguments], cwd=out, stdout=self.log,
                                        stderr=subprocess.STDOUT)

    def seconds(self):
        return time.monotonic() - self.started

    def wait_for(self, test, what):
        """Polls until test() gives a value other than None and returns it."""
        while True:
            value = test()
            if value is not None:
                return value
            if self.process.poll() is not None:
                raise Failed(f"waiting until {what}: the program ended with exit code "
                             f"{self.process.returncode}")
            if time.monotonic() > self.deadline:
                raise Failed(f"waiting until {what}: still not after {LIMIT} s")
            time.sleep(0.05)

    def screen(self, test):
        """A picture of the desktop window that passes test, or None."""
        picture = grab(self.display)
        if picture is None:
            return None
        self.last = picture
        return picture if test(picture) else None

    def press_escape(self):
        env = {"DISPLAY": self.display}
        left = max(1.0, self.deadline - time.monotonic())
        found = subprocess.run(["xdotool", "search", "--sync", "--name", "^Morvanite$"], env=env,
                               capture_output=True, text=True, timeout=left)
        windows = found.stdout.split()
        if not windows:
            raise Failed("there is no window named Morvanite")
        try:
            subprocess.run(["xdotool", "windowfocus", "--sync", windows[0]], env=env,
                           capture_output=True, timeout=left)
        except subprocess.TimeoutExpired:
            pass
        subprocess.run(["xdotool", "key", "--clearmodifiers", "Escape"], env=env, check=True)

    def end(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.log.close()


def play(run, reference, loading_picture):
    if loading_picture:
        path = os.path.join(run.out, "loading.png")
        run.wait_for(lambda: path if os.path.exists(path) else None,
                     "the program writes the loading picture")
        check_loading_picture(Image.open(path).convert("RGB"), reference)
        print(f"loading picture ({run.seconds():.1f} s): the Linux renderer's pixels, the bar on "
              f"columns {BAR[0]}..{BAR[2]} of rows {BAR[1]}..{BAR[3]}")
    show = run.wait_for(lambda: run.screen(lambda p: is_show(p, reference)),
                        "the show appears on the screen")
    show.save(os.path.join(run.out, "show.png"))
    print(f"show on the screen ({run.seconds():.1f} s)")
    changed = run.wait_for(
        lambda: run.screen(lambda p: is_show(p, reference) and
                           ImageChops.difference(p, show).getbbox() is not None),
        "the show moves")
    changed.save(os.path.join(run.out, "show-changed.png"))
    print(f"show moving ({run.seconds():.1f} s): {difference(changed, show):.2f} from the first "
          "picture of it")
    run.press_escape()
    try:
        status = run.process.wait(timeout=max(1.0, run.deadline - time.monotonic()))
    except subprocess.TimeoutExpired:
        raise Failed(f"the program did not quit on Escape within {LIMIT} s of its start")
    print(f"exit code {status} after Escape ({run.seconds():.1f} s)")
    if status != 0:
        raise Failed(f"the program quit on Escape with exit code {status}")


def main(arguments):
    loading_picture = arguments[:1] == ["--loading-picture"]
    if loading_picture:
        arguments = arguments[1:]
    if len(arguments) != 5:
        raise SystemExit(__doc__)
    display, out, reference_path, wine, program = arguments
    reference = Image.open(reference_path).convert("RGB")
    os.makedirs(out, exist_ok=True)
    for name in ("loading.png", "loading.png.part", "show.png", "show-changed.png",
                 "last-seen.png"):
        if os.path.exists(os.path.join(out, name)):
            os.remove(os.path.join(out, name))
    run = Run(display, out, wine, program, ["loading.png"] if loading_picture else [])
    try:
        play(run, reference, loading_picture)
    except Failed as failure:
        print(f"play_check: {os.path.basename(program)}: {failure}", file=sys.stderr)
        print(f"  the program's output: {os.path.join(out, 'program.log')}", file=sys.stderr)
        if run.last is not None:
            run.last.save(os.path.join(out, "last-seen.png"))
            print(f"  the last picture of the screen: {os.path.join(out, 'last-seen.png')}",
                  file=sys.stderr)
        return 1
    finally:
        run.end()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
