#!/usr/bin/env python3
"""The fault matrix: every fault the show can meet, met on purpose.

Each case is one run of morvanite-render with the faults, presses and focus changes of its row
and the outcome it must have: exit code, message boxes, the frames shown (part and time of every
flip), the trace and the platform calls made. The rows are data (CASES); one checker reads them.
The outcome of the show's timing comes from a model of the scheduler on the headless clock
(Show), written apart from the program, so a row states its faults and the model the frames.

usage: fault_matrix.py list                         the case names, one a line
       fault_matrix.py run CASE PROGRAM WORKDIR     run one case (WORKDIR holds every case)
       fault_matrix.py table                        the matrix as a Markdown table
"""
import os
import random
import re
import subprocess
import sys
from dataclasses import dataclass, field

SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
RESOURCES = os.path.join(SOURCE, "resources")

# --- The show as the program plays it. ---
BYTES_PER_SECOND = 176400
BYTES_PER_UNIT = 17400
SCRIPT = [
    (0, "OpeningZoomBlurPart"), (150, "RotozoomPicturePart"), (250, "ZoomThroughPart"),
    (312, "BlobFieldPart"), (420, "MorphTunnelPart"), (520, "RingInterferencePart"),
    (600, "LobedTunnelPart"), (680, "RayTunnelPart"), (780, "RayPlanesPart"),
    (880, "ZoomTrailsPart"), (1000, "PictureFirePart"), (1120, "TextScrollPart"),
]
END = 1420
PART_NAMES = [name for _, name in SCRIPT]
# Parts that copy their frame into the locked back buffer (one Lock and Unlock per pass).
LOCKING = ["ZoomThroughPart", "MorphTunnelPart", "LobedTunnelPart", "RayTunnelPart",
           "RayPlanesPart", "ZoomTrailsPart"]
# Parts that blit an image surface, in the order they create it while loading (CreateSurface
# call 1 is the primary chain).
IMAGE_SURFACES = ["OpeningZoomBlurPart", "RotozoomPicturePart", "BlobFieldPart",
                  "RingInterferencePart", "PictureFirePart", "TextScrollPart"]
# Parts that draw from the one random sequence while they play.
RANDOM_DRAWERS = ["BlobFieldPart", "MorphTunnelPart", "LobedTunnelPart", "PictureFirePart"]
# Every picture the show loads, in the order it loads them, and the part that loads it (None: the
# loading screen); all are loaded before the first part plays.
LOADS = [
    (102, None), (105, "OpeningZoomBlurPart"), (131, "OpeningZoomBlurPart"),
    (132, "OpeningZoomBlurPart"), (133, "OpeningZoomBlurPart"), (123, "RotozoomPicturePart"),
    (124, "RotozoomPicturePart"), (112, "ZoomThroughPart"), (136, "ZoomThroughPart"),
    (138, "BlobFieldPart"), (139, "BlobFieldPart"), (109, "MorphTunnelPart"),
    (147, "MorphTunnelPart"), (131, "RingInterferencePart"), (132, "RingInterferencePart"),
    (133, "RingInterferencePart"), (107, "RingInterferencePart"), (128, "LobedTunnelPart"),
    (134, "LobedTunnelPart"), (109, "RayTunnelPart"), (109, "RayPlanesPart"),
    (115, "ZoomTrailsPart"), (116, "ZoomTrailsPart"), (117, "ZoomTrailsPart"),
    (104, "PictureFirePart"), (113, "TextScrollPart"), (115, "TextScrollPart"),
]
# Every picture and the parts that show it, by number.
PICTURES = {n: [p for p in PART_NAMES if (n, p) in LOADS] for n in sorted({n for n, _ in LOADS})}
# A black picture 113 looks like the real one at one flip a second: its text starts 249 rows
# down, and by the end the scroll has reached row 30.
BLACK_UNSEEN = {113}
# Image memory the program asks for while it starts and loads (Display images, pictures,
# frames and tables); checked against the clean run.
LOADING_ALLOCATIONS = 76
# The texts of the result codes the matrix injects: (value, first line of the box).
DDRAW = {
    "DDERR_GENERIC": (0x80004005, "Generic failure."),
    "DDERR_OUTOFMEMORY": (0x8007000E, "DirectDraw does not have enough memory to perform the "
                                      "operation."),
    "DDERR_INVALIDPARAMS": (0x80070057, "One or more of the parameters passed to the function "
                                        "are incorrect."),
    "DDERR_INVALIDMODE": (0x88760078, "DirectDraw does not support the requested mode."),
    "DDERR_INVALIDPIXELFORMAT": (0x88760091, "The pixel format was invalid as specified."),
    "DDERR_NOEXCLUSIVEMODE": (0x887600E1, "Operation requires the application to have exclusive "
                                          "mode but the application does not have exclusive "
                                          "mode."),
    "DDERR_OUTOFVIDEOMEMORY": (0x8876017C, "DirectDraw does not have enough memory to perform "
                                           "the operation."),
    "DDERR_SURFACEBUSY": (0x887601AE, "Access to this surface is being refused because the "
                                      "surface is already locked by another thread."),
    "DDERR_SURFACELOST": (0x887601C2, "Access to this surface is being refused because the "
                                      "surface memory is gone. The DirectDrawSurface object "
                                      "representing this surface should have Restore called "
                                      "on it."),
    "DDERR_INVALIDDIRECTDRAWGUID": (0x88760231, "The GUID passed to DirectDrawCreate is not a "
                                                "valid DirectDraw driver identifier."),
    "DDERR_PRIMARYSURFACEALREADYEXISTS": (0x88760234, "This process already has created a "
                                                      "primary surface."),
    "DDERR_HWNDALREADYSET": (0x8876023B, "The CooperativeLevel HWND has already been set. It "
                                         "can not be reset while the process has surfaces or "
                                         "palettes created."),
    "DDERR_EXCLUSIVEMODEALREADYSET": (0x88760245, "An attempt was made to set the cooperative "
                                                  "level when it was already set to exclusive."),
    "DDERR_NOTLOCKED": (0x88760248, "Surface was not locked.  An attempt to unlock a surface "
                                    "that was not locked at all, or by this process, has been "
                                    "attempted."),
    "DDERR_UNSUPPORTEDMODE": (0x8876024E, "Unrecognized error value."),
}
BASS = {"BASS_ERROR_MEM": 1, "BASS_ERROR_FILEOPEN": 2, "BASS_ERROR_DRIVER": 3,
        "BASS_ERROR_FORMAT": 6, "BASS_ERROR_START": 9, "BASS_ERROR_DEVICE": 23}
# The defaults of the stand-ins when --fail gives no code.
DEFAULT_CODE = {"Lock": "DDERR_SURFACELOST", "Unlock": "DDERR_NOTLOCKED",
                "CreateSurface": "DDERR_OUTOFVIDEOMEMORY"}


def ddraw_box(code):
    value, text = DDRAW[code]
    signed = value - (1 << 32) if value >= 1 << 31 else value
    return ["Error: " + text, "(Codigo de error: %d)" % signed]


def music_box(text, code):
    return [text, "(Codigo de error: %d)" % code]


def part_at(t):
    """The part whose slot holds script time t (None at or after the end)."""
    if t >= END:
        return None
    return [name for start, name in SCRIPT if start <= t][-1]


# --- The model: which passes the show makes on the headless clock. ---
@dataclass
class Pass:
    t: int
    part: str
    flipped: bool


@dataclass
class Show:
    """The rendering passes of one run: what the headless clock and the scheduler make of a frame
    rate, an Escape time, one focus change and frames whose flip finds the surface lost."""
    passes: list
    switches: list   # t of every "Nueva Parte_activa" line
    ended_at: int    # t of the end of the script, or None when Escape ended the show

    @property
    def flips(self):
        return [(p.t, p.part) for p in self.passes if p.flipped]


def model(fps, escape_at=None, focus=None, lost_from=()):
    """escape_at: script time of the first Escape press (None: never; 'load': while loading).
    focus: (lost at, regained at). lost_from: times from which the next flip finds the surface
    lost (that pass shows nothing and the clock stays)."""
    flips = inactive = 0
    passes, switches = [], [0]
    lost = sorted(lost_from)
    active, next_entry = 0, 1
    deactivated = False
    if escape_at == "load":
        return Show(passes, switches, None)

    def position():
        return flips * BYTES_PER_SECOND // fps + inactive

    def escaped():
        return escape_at is not None and position() // BYTES_PER_UNIT >= escape_at

    while True:
        if escaped():
            return Show(passes, switches, None)
        if focus and not deactivated and position() // BYTES_PER_UNIT >= focus[0]:
            deactivated = True
            inactive += max(0, focus[1] * BYTES_PER_UNIT - position())
            if escaped():
                return Show(passes, switches, None)
        t = position() // BYTES_PER_UNIT
        if next_entry <= len(SCRIPT) and t >= (SCRIPT + [(END, None)])[next_entry][0]:
            active = next_entry
            switches.append(t)
            next_entry += 1
        if active == len(SCRIPT):
            return Show(passes, switches, t)
        flipped = not (lost and t >= lost[0])
        if not flipped:
            lost.pop(0)
        passes.append(Pass(t, SCRIPT[active][1], flipped))
        flips += flipped


def calls_from(show, first_time, parts):
    """How many passes of `parts` the show makes once the clock has reached first_time."""
    return sum(1 for p in show.passes if p.t >= first_time and p.part in parts)


# --- The rows. ---
@dataclass
class Case:
    name: str
    args: list
    what: str                  # the case, in words
    outcome: str               # the expected outcome, in words
    fps: int = 1
    exit: int = 0
    boxes: list = field(default_factory=list)  # the texts of the boxes, in order
    escape_at: object = None   # for the model: as the --escape-at given in args
    focus: tuple = None
    lost_from: tuple = ()
    show_runs: bool = True     # the show reaches its main loop
    summary: bool = True       # the run ends with its summary line
    refused_locks: int = 0     # locks of back that fail
    calls: dict = field(default_factory=dict)  # name -> expected count, or f(show, reference)
    same_frames_except: list = None  # frames of every other part equal the clean run's
    still_parts: list = field(default_factory=list)  # parts whose frames never change
    trace_has: list = field(default_factory=list)    # lines (prefixes) that must be there
    trace_lacks: list = field(default_factory=list)  # lines (prefixes) that must not
    loads: dict = None         # picture -> its load_outcomes() outcome; the rest of LOADS load;
                               # None: not checked
    changed_parts: list = field(default_factory=list)  # parts showing a frame unlike the clean run
    files: dict = field(default_factory=dict)  # name -> function writing the file's bytes
    check: object = None       # further check: f(result) -> list of problems


def startup_cases():
    rows = [("CheckProcessor", None, [], "no box"),
            ("CreateWindowExA", None, [], "no box")]
    for name, codes in [("DirectDrawCreateEx", ["DDERR_GENERIC", "DDERR_INVALIDDIRECTDRAWGUID"]),
                        ("SetCooperativeLevel", ["DDERR_HWNDALREADYSET",
                                                 "DDERR_EXCLUSIVEMODEALREADYSET"]),
                        ("SetDisplayMode", ["DDERR_INVALIDMODE", "DDERR_UNSUPPORTEDMODE"]),
                        ("CreateSurface", ["DDERR_OUTOFVIDEOMEMORY",
                                           "DDERR_PRIMARYSURFACEALREADYEXISTS"]),
                        ("GetAttachedSurface", ["DDERR_NOEXCLUSIVEMODE", "DDERR_SURFACELOST"])]:
        for code in codes:
            rows.append((name, code, ddraw_box(code), "DirectDraw box"))
    version = "BASS version 0.7 o superior no fue cargada"
    init = "No puedo inicializar el sistema de sonido"
    stream = "No puedo crear el stream"
    for name, code, text in [("BASS_GetVersion", "BASS_ERROR_DRIVER", version),
                             ("BASS_GetVersion", "BASS_ERROR_FORMAT", version),
                             ("BASS_Init", "BASS_ERROR_DRIVER", init),
                             ("BASS_Init", "BASS_ERROR_DEVICE", init),
                             ("BASS_StreamCreateFile", "BASS_ERROR_FILEOPEN", stream),
                             ("BASS_StreamCreateFile", "BASS_ERROR_MEM", stream)]:
        rows.append((name, code, music_box(text, BASS[code]), "music box"))
    rows.append(("BASS_StreamPlay", "BASS_ERROR_START", [], "no box, after loading"))
    cases = []
    for name, code, boxes, said in rows:
        request = name + ("=" + code if code else "")
        # The mode line is traced once the display mode is set.
        opened = name.startswith("BASS_") or name in ("CreateSurface", "GetAttachedSurface")
        cases.append(Case(
            "start-%s%s" % (name, "-" + code if code else ""), ["--fail", request],
            "%s fails%s" % (name, " with " + code if code else ""),
            "exit 1, %s, nothing shown" % said, exit=1, boxes=boxes, show_runs=False,
            # The pictures are loaded only when playback failed.
            trace_has=(["Modo de video  320x 240x16 activado"] if opened else []) +
                      (["Abierto archivo TGA"] if name == "BASS_StreamPlay" else []),
            trace_lacks=([] if opened else ["Modo de video"]) +
                        ([] if name == "BASS_StreamPlay" else ["Abierto archivo TGA"]) +
                        ["Nueva Parte_activa"]))
    return cases


def lock_cases():
    cases = []
    for part in LOCKING:
        start = dict((n, s) for s, n in SCRIPT)[part]
        # One refused lock early in the part and two in a row later, with different codes.
        first, later = start + 15, start + 40
        cases.append(Case(
            "show-lock-" + part,
            ["--fail", "Lock@t%d" % first, "--fail", "Lock@t%dx2=DDERR_SURFACEBUSY" % later],
            "Lock of back refused at %d and twice from %d (%s)" % (first, later, part),
            "a box each time, the show plays on; no unlock without a lock",
            boxes=ddraw_box("DDERR_SURFACELOST") + ddraw_box("DDERR_SURFACEBUSY") * 2,
            refused_locks=3))
        cases.append(Case(
            "show-unlock-" + part, ["--fail", "Unlock@t%d" % first],
            "Unlock of back refused at %d (%s)" % (first, part),
            "one box, the show plays on", boxes=ddraw_box("DDERR_NOTLOCKED")))
    return cases


def flip_cases():
    return [
        Case("show-flip-still-drawing",
             ["--fail", "Flip@t300x3=DDERR_WASSTILLDRAWING",
              "--fail", "Flip@t900x5=DDERR_WASSTILLDRAWING"],
             "Flip answers DDERR_WASSTILLDRAWING 3 times at 300 and 5 times at 900",
             "Flip called once more each time; every frame as in the clean run",
             calls={"Flip": lambda show, ref: len(show.flips) + 8, "Restore": 0},
             same_frames_except=[]),
        Case("show-flip-lost", ["--fail", "Flip@t500=DDERR_SURFACELOST"],
             "Flip answers DDERR_SURFACELOST at 500",
             "one Restore, no second flip: that frame is not shown, the show plays on",
             lost_from=(500,),
             calls={"Flip": lambda show, ref: len(show.flips) + 1, "Restore": 1}),
        Case("show-flip-lost-restore-fails",
             ["--fail", "Flip@t430=DDERR_SURFACELOST", "--fail", "Restore@1=DDERR_GENERIC"],
             "Flip finds the surface lost at 430 (a locking part) and Restore fails once",
             "the next lock of back shows the lost-surface box and copies nothing; the next "
             "flip restores; the show plays on",
             lost_from=(430, 430), boxes=ddraw_box("DDERR_SURFACELOST"), refused_locks=1,
             calls={"Flip": lambda show, ref: len(show.flips) + 2, "Restore": 2}),
        # Kept from the first whole-program checks: at 10 frames per second.
        Case("show-flip-retries",
             ["--fail", "Flip@3=DDERR_WASSTILLDRAWING", "--fail", "Flip@20=DDERR_SURFACELOST"],
             "Flip still drawing on its 3rd call and lost on its 20th, at 10 frames a second",
             "1401 flips to the end, no box", fps=10, lost_from=(18,), check=flip_count(1401),
             calls={"Flip": lambda show, ref: len(show.flips) + 2, "Restore": 1}),
        Case("show-lock-fails-10fps", ["--fail", "Lock@5"],
             "the 5th Lock (in the show) refused, at 10 frames a second",
             "one lost-surface box, 1401 flips to the end", fps=10,
             boxes=ddraw_box("DDERR_SURFACELOST"), refused_locks=1, check=flip_count(1401)),
    ]


def surface_cases():
    cases = []
    for index, part in enumerate(IMAGE_SURFACES):
        code = "DDERR_INVALIDPIXELFORMAT" if index % 2 else "DDERR_OUTOFVIDEOMEMORY"
        cases.append(Case(
            "show-image-surface-" + part, ["--fail", "CreateSurface@%d=%s" % (index + 2, code)],
            "CreateSurface refused for the image surface of %s while loading" % part,
            "one box; that part's blits are skipped (its frames never change), every other "
            "part as in the clean run", boxes=ddraw_box(code), still_parts=[part],
            same_frames_except=[part]))
    return cases


SIGNATURE = b"TRUEVISION-XFILE.\0"


def tga_variant(kind, number):
    def write(path):
        with open(os.path.join(RESOURCES, picture_file(number)), "rb") as f:
            data = f.read()
        if kind == "truncated":
            # Cut one byte into the run-length packet that holds the middle byte (every packet is
            # a header byte and at least one pixel byte), closed by a footer there.
            at = 18 + data[0] + (data[7] * (data[5] | data[6] << 8) // 8 if data[1] else 0)
            pixel = data[16] // 8
            while True:
                size = 1 + pixel * (1 if data[at] & 128 else (data[at] & 127) + 1)
                if at + size > len(data) // 2:
                    break
                at += size
            data = data[:at + 1] + bytes(8) + SIGNATURE
        else:
            # Byte k of the signature changed for the k-th picture (mod 18): every byte is hit.
            broken = bytearray(SIGNATURE)
            broken[list(PICTURES).index(number) % len(SIGNATURE)] ^= 1
            data = data[:-18] + bytes(broken)
        with open(path, "wb") as f:
            f.write(data)
    return write


def picture_file(number):
    with open(os.path.join(RESOURCES, "resources.list")) as f:
        for line in f:
            words = line.split()
            if len(words) == 3 and words[1] == str(number):
                return words[2]
    raise KeyError(number)


def picture_cases():
    cases = []
    for number, parts in PICTURES.items():
        users = ", ".join(parts) or "the loading screen"
        cases.append(Case(
            "picture-missing-%d" % number, ["--resource", "%d=" % number],
            "picture %d missing (%s)" % (number, users),
            "the show plays to its end without a box; the loader finds no picture; its parts "
            "change, the others are as in the clean run", same_frames_except=parts,
            loads={number: "missing"}, changed_parts=parts))
        for kind, said, outcome in [
                ("truncated", "cut inside the packet at its middle, closed by a footer there",
                 "released"),
                ("footer", "with one byte of its footer signature changed", "refused")]:
            name = "%d-%s.tga" % (number, kind)
            cases.append(Case(
                "picture-%s-%d" % (kind, number), ["--resource", "%d={%s}" % (number, name)],
                "picture %d %s (%s)" % (number, said, users),
                "the show plays to its end without a box; the loader refuses the picture (%s); "
                "its parts change, the others are as in the clean run" %
                ("its pixel memory given back" if kind == "truncated" else "nothing taken"),
                same_frames_except=parts, files={name: tga_variant(kind, number)},
                loads={number: outcome},
                changed_parts=[] if number in BLACK_UNSEEN else parts))
    return cases


def music_variant(kind):
    def write(path):
        with open(os.path.join(RESOURCES, picture_file(122)), "rb") as f:
            data = f.read()
        if kind == "garbled":
            data = random.Random(122).randbytes(len(data))
        else:
            data = data[:len(data) // 8]
        with open(path, "wb") as f:
            f.write(data)
    return write


def music_cases():
    box = music_box("No puedo crear el stream", BASS["BASS_ERROR_FILEOPEN"])
    return [
        Case("music-missing", ["--resource", "122="], "the music missing",
             "the stream box, exit 1", exit=1, boxes=box, show_runs=False,
             trace_lacks=["Abierto archivo TGA"]),
        Case("music-garbled", ["--resource", "122={garbled.mp3}"],
             "the music replaced by noise of its length", "the stream box, exit 1", exit=1,
             boxes=box, show_runs=False, files={"garbled.mp3": music_variant("garbled")}),
        Case("music-short", ["--resource", "122={short.mp3}"],
             "the music cut to its first eighth (about 18 s)",
             "the show plays to its end on the running clock, every frame as in the clean run",
             files={"short.mp3": music_variant("short")}, same_frames_except=[]),
    ]


def memory_cases():
    return [Case("memory-%d" % n, ["--fail", "HeapAlloc@%d" % n],
                 "image memory refused on allocation %d of %d while loading"
                 % (n, LOADING_ALLOCATIONS),
                 "the show plays to its end without a box; the memory total comes back")
            for n in range(1, LOADING_ALLOCATIONS + 1)]


def people_cases():
    cases = [Case("escape-load", ["--escape-at", "load"], "Escape while the loading screen shows",
                  "every part loads, then the show ends at once, exit 0", escape_at="load")]
    for t in range(0, END + 1, 10):
        cases.append(Case("escape-%d" % t, ["--escape-at", str(t)], "Escape at %d" % t,
                          "no frame at T or later, every part unloaded once, exit 0",
                          escape_at=t))
    cases += [
        Case("escape-twice", ["--escape-at", "500x2"], "Escape twice in a row at 500",
             "as one Escape at 500; the second finds every part unloaded and stops the music "
             "again", escape_at=500, calls={"BASS_Stop": 2}),
        Case("escape-end", ["--escape-at", "end"], "Escape as the script ends",
             "the ending runs, then Escape on unloaded parts; exit 0", calls={"BASS_Stop": 2}),
        Case("escape-500-60fps", ["--escape-at", "500"], "Escape at 500, at 60 frames a second",
             "2960 flips, none at 500 or later", fps=60, escape_at=500, check=flip_count(2960)),
        Case("focus-within-part", ["--deactivate-at", "440", "--activate-at", "480"],
             "focus lost at 440 and back at 480, inside one part",
             "no frame from 440 to 479; the part goes on at 480", focus=(440, 480)),
        Case("focus-several-parts", ["--deactivate-at", "300", "--activate-at", "700"],
             "focus lost at 300 and back at 700",
             "every part whose slot passed gets one pass at 700, in order", focus=(300, 700)),
        Case("focus-several-parts-60fps", ["--deactivate-at", "300", "--activate-at", "700"],
             "focus lost at 300 and back at 700, at 60 frames a second",
             "every part whose slot passed gets one pass at 700, in order", fps=60,
             focus=(300, 700)),
        Case("focus-across-end", ["--deactivate-at", "1100", "--activate-at", "1430"],
             "focus lost at 1100 and back at 1430, after the end of the script",
             "the last two parts get one pass each at 1430, then the script ends",
             focus=(1100, 1430)),
    ]
    return cases


def flip_count(count):
    return lambda result: expect(len(result.flips) == count, "%d flips, expected %d" %
                                 (len(result.flips), count))


def check_full_show(result):
    changes = [i for i in range(1, len(result.flips))
               if result.flips[i][1] != result.flips[i - 1][1]]
    wanted = [888, 1480, 1847, 2486, 3078, 3552, 4025, 4617, 5209, 5919, 6629]
    return (flip_count(8405)(result) +
            expect(changes == wanted, "the parts change at flips %s" % changes) +
            expect(all(re.fullmatch("[0-9a-f]{16}", f[2]) for f in result.flips),
                   "a frame hash is not 16 hexadecimal digits"))


def whole_show_cases():
    return [
        Case("full-show-60fps", [], "the whole show at 60 frames a second",
             "8405 flips, the parts change at the flips the clock gives, no box", fps=60,
             check=check_full_show),
        Case("shots-and-trace", ["--shots", "{shots}", "--at", "load,150,1419"],
             "pictures of the loading screen and of two frames, with the trace",
             "three PNG files, the trace has the mode line and the end of the script",
             fps=10, check=check_shots, trace_has=["Modo de video  320x 240x16 activado ...."]),
    ]


def option_cases():
    """Requests morvanite-render refuses before anything runs (exit 2, a reason on stderr)."""
    rows = [["--fail", "Lok"], ["--fail", "Lock@tx"], ["--fail", "Lock@2x0"], ["--at", "150"],
            ["--deactivate-at", "3"], ["--fps", "0"], ["--escape-at", "5x0"],
            ["--escape-at", "soon"], ["--resource", "999="],
            ["--resource", "105=/nonexistent/picture.tga"], ["--resource", "105"]]
    return [Case("options-%d" % index, args, "morvanite-render " + " ".join(args),
                 "refused: exit 2, a reason, nothing run", exit=2, show_runs=False,
                 summary=False, check=lambda r: expect("morvanite-render: " in r.stderr,
                                                       "no reason given"))
            for index, args in enumerate(rows, 1)]


def expect(condition, problem):
    return [] if condition else [problem]


def check_shots(result):
    problems = []
    for name in ["load", "t150", "t1419"]:
        path = os.path.join(result.work, "shots", name + ".png")
        with open(path, "rb") if os.path.exists(path) else open(os.devnull, "rb") as f:
            problems += expect(f.read(8) == b"\x89PNG\r\n\x1a\n", "no picture " + name + ".png")
    return problems


def all_cases():
    return (startup_cases() + lock_cases() + flip_cases() + surface_cases() + picture_cases() +
            music_cases() + memory_cases() + people_cases() + whole_show_cases() +
            option_cases())


REFERENCE = Case("reference", [], "the clean show", "the reference the other cases compare with",
                 loads={})


# --- Running and checking. ---
@dataclass
class Result:
    work: str
    exit: int
    summary: str
    stderr: str
    flips: list      # (t, part, hash) per flip
    trace: list
    calls: dict


def run_case(case, program, work):
    os.makedirs(work, exist_ok=True)
    for name, write in case.files.items():
        write(os.path.join(work, name))
    args = [a.replace("{shots}", os.path.join(work, "shots")) for a in case.args]
    args = [re.sub(r"\{([^}]+)\}", lambda m: os.path.join(work, m.group(1)), a) for a in args]
    paths = {k: os.path.join(work, k + ".txt") for k in ("hashes", "trace", "calls")}
    command = [program, "--fps", str(case.fps), "--hashes", paths["hashes"],
               "--trace", paths["trace"], "--calls", paths["calls"], *args]
    done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                          errors="replace")
    with open(os.path.join(work, "command.txt"), "w") as f:
        f.write(" ".join(command) + "\n")
    with open(os.path.join(work, "stderr.txt"), "w") as f:
        f.write(done.stderr)

    def lines(path):
        if not os.path.exists(path):
            return []
        with open(path, errors="replace") as f:
            return f.read().splitlines()

    flips = []
    for line in lines(paths["hashes"]):
        _, t, part, digest = line.split()
        flips.append((int(t), part, digest))
    calls = {}
    for line in lines(paths["calls"]):
        name, count = line.split()
        calls[name] = int(count)
    out = done.stdout.strip().splitlines()
    return Result(work, done.returncode, out[-1] if out else "", done.stderr, flips,
                  lines(paths["trace"]), calls)


def memory_totals(trace):
    """(bytes the Display took before loading, every total traced in order, whether each line's
    total is the sum of the changes so far)."""
    held, totals, loading, running, adds_up = 0, [], False, 0, True
    for line in trace:
        if line.startswith("Abierto archivo TGA") or line.startswith("Uops Puntero"):
            loading = True
        m = re.match(r"Memoria (reservada|liberada) en bytes \.+ ([+-]) *(\d+)  TOTAL: *(-?\d+)$",
                     line)
        if m:
            running += int(m.group(3)) * (1 if m.group(2) == "+" else -1)
            totals.append(int(m.group(4)))
            adds_up = adds_up and running == totals[-1]
            if not loading and m.group(1) == "reservada":
                held += int(m.group(3))
    return held, totals, adds_up


def trace_times(trace, text):
    pattern = re.compile(re.escape(text) + r" \.+ (-?\d+) dec\.seg\.$")
    return [int(m.group(1)) for m in map(pattern.match, trace) if m]


def box_lines(stderr):
    """The texts of the message boxes the run printed (two lines each), all titled "Error!"."""
    lines, rows = [], stderr.splitlines()
    for index, line in enumerate(rows):
        if line.startswith("message box "):
            caption = line if line == 'message box "Error!":' else "(caption %s)" % line
            lines += ([] if caption == line else [caption]) + rows[index + 1:index + 3]
    return lines


def evaluate(case, result, reference):
    """Every way `result` differs from what `case` must give; empty when it is right."""
    problems = []
    show = model(case.fps, case.escape_at, case.focus, case.lost_from) if case.show_runs else \
        Show([], [], None)
    flips = show.flips
    summary = "flips=%d last_t=%d boxes=%d exit=%d" % (
        len(flips), flips[-1][0] if flips else -1, len(case.boxes) // 2, case.exit)
    problems += expect(result.exit == case.exit, "exit code %d, expected %d" %
                       (result.exit, case.exit))
    if case.summary:
        problems += expect(result.summary == summary, "summary '%s', expected '%s'" %
                           (result.summary, summary))
    problems += expect(box_lines(result.stderr) == case.boxes,
                       "boxes %s, expected %s" % (box_lines(result.stderr), case.boxes))
    shown = [(t, part) for t, part, _ in result.flips]
    if shown != flips:
        first = next((i for i, (a, b) in enumerate(zip(shown, flips)) if a != b),
                     min(len(shown), len(flips)))
        problems.append("frames differ from the model from flip %d: %s, expected %s" %
                        (first, shown[first:first + 3], flips[first:first + 3]))
    trace = result.trace
    if case.show_runs:
        problems += expect(trace_times(trace, "Nueva Parte_activa en") == show.switches,
                           "part switches at %s, expected %s" %
                           (trace_times(trace, "Nueva Parte_activa en"), show.switches))
        ended = trace_times(trace, "Se llego a fin de script en")
        problems += expect(ended == ([show.ended_at] if show.ended_at is not None else []),
                           "end of script at %s, expected %s" % (ended, show.ended_at))
        # The parts give back all they took; then the Display's teardown at process exit, traced
        # last, frees its black and white images (153600 bytes each).
        held, totals, adds_up = memory_totals(trace)
        images = held // 153600
        problems += expect(adds_up, "the image memory lines don't add up: %s" % totals)
        problems += expect(totals[-1 - images:] == [held - 153600 * k for k in range(images + 1)],
                           "image memory totals %s at the end, expected the Display's %d and then "
                           "its teardown to 0" % (totals[-1 - images:], held))
    for text in case.trace_has:
        problems += expect(any(line.startswith(text) for line in trace), "no trace line " + text)
    for text in case.trace_lacks:
        problems += expect(not any(line.startswith(text) for line in trace),
                           "trace line " + text + " should not be there")
    if case.loads is not None:
        problems += check_loads(trace, case.loads)
    for name, wanted in case.calls.items():
        if callable(wanted):
            wanted = wanted(show, reference.calls if reference else {})
        problems += expect(result.calls.get(name, 0) == wanted, "%s called %d times, expected %d"
                           % (name, result.calls.get(name, 0), wanted))
    if case.show_runs:
        # One lock of back per pass of a locking part, and the loading picture's; every lock
        # that succeeded is undone once and nothing else is unlocked; one ending.
        locks = 1 + calls_from(show, 0, LOCKING)
        wanted = {"Lock": locks, "Unlock": locks - case.refused_locks, "BASS_Stop": 1}
        for name, count in wanted.items():
            if name not in case.calls:
                problems += expect(result.calls.get(name, 0) == count, "%s called %d times, "
                                   "expected %d" % (name, result.calls.get(name, 0), count))
    if case.same_frames_except is not None and reference is not None:
        problems += same_frames(result, reference, case.same_frames_except)
    for part in case.still_parts:
        mine = {digest for _, p, digest in result.flips if p == part}
        problems += expect(0 < len(mine) <= 2, "%s showed %d different frames, expected the two "
                           "old back buffers at most" % (part, len(mine)))
    for part in case.changed_parts:
        changed = any(mine != theirs for mine, theirs in zip(result.flips, reference.flips)
                      if mine[1] == part)
        problems += expect(changed, "%s shows exactly the clean run's frames" % part)
    if case.check:
        problems += case.check(result)
    return problems


def load_outcomes(trace):
    """What the loader made of each picture it was asked for, in order: (outcome, 'WxHxB' from the
    header or None). 'missing': no resource; 'loaded': pixel memory taken, then the closing line;
    'released': pixel memory taken and given back at once; 'refused': none taken, no closing
    line; 'odd': anything else."""
    found = []
    for index, line in enumerate(trace):
        if line.startswith("Uops Puntero"):
            found.append(("missing", None))
        elif line.startswith("Abierto archivo TGA"):
            w, h, bits = map(int, re.findall(r"\d+", trace[index + 1]))
            first, second = (trace[index + 2:index + 4] + ["", ""])[:2]
            took = re.match(r"Memoria reservada .*\+ *%d  " % (w * h * bits // 8), first)
            gave = re.match(r"Memoria liberada .*- *%d  " % (w * h * bits // 8), second)
            outcome = ("loaded" if took and second.startswith("Cerrado el recurso") else
                       "released" if took and gave else
                       "refused" if not took and not first.startswith("Cerrado") else "odd")
            found.append((outcome, "%dx%dx%d" % (w, h, bits)))
    return found


def check_loads(trace, outcomes):
    """The loads of the run are those of LOADS, each with its file's header and the outcome
    `outcomes` gives its picture ('loaded' when not given)."""
    def header(n):
        with open(os.path.join(RESOURCES, picture_file(n)), "rb") as f:
            head = f.read(18)
        return "%dx%dx%d" % (head[12] | head[13] << 8, head[14] | head[15] << 8, head[16])
    wanted = [(outcomes.get(n, "loaded"), None if outcomes.get(n) == "missing" else header(n))
              for n, _ in LOADS]
    got = load_outcomes(trace)
    for index, ((n, part), want, have) in enumerate(zip(LOADS, wanted, got)):
        if want != have:
            return ["load %d (picture %d for %s): %s, expected %s" % (index, n, part, have, want)]
    return expect(len(got) == len(wanted), "%d loads, expected %d" % (len(got), len(wanted)))


def same_frames(result, reference, except_parts):
    """Every frame of the parts not in except_parts equals the clean run's. A part that draws
    random numbers shifts the one sequence for the random-drawing parts after it."""
    problems = []
    first = min([PART_NAMES.index(p) for p in except_parts if p in RANDOM_DRAWERS] or [99])
    except_parts = set(except_parts) | {p for p in RANDOM_DRAWERS if PART_NAMES.index(p) > first}
    if len(result.flips) != len(reference.flips):
        return ["%d flips, the clean run made %d" % (len(result.flips), len(reference.flips))]
    for index, (mine, theirs) in enumerate(zip(result.flips, reference.flips)):
        if mine[1] in except_parts:
            continue
        if mine != theirs:
            problems.append("flip %d (%s at %d) differs from the clean run" %
                            (index, mine[1], mine[0]))
            break
    return problems


def check_reference(result):
    """The clean run itself: the counts the rows rely on."""
    problems = evaluate(REFERENCE, result, None)
    allocations = sum(1 for line in result.trace if line.startswith("Memoria reservada"))
    problems += expect(allocations == LOADING_ALLOCATIONS == result.calls.get("HeapAlloc"),
                       "%d image allocations (%s heap calls), the memory rows cover %d" %
                       (allocations, result.calls.get("HeapAlloc"), LOADING_ALLOCATIONS))
    problems += expect(result.calls.get("CreateSurface") == 1 + len(IMAGE_SURFACES),
                       "CreateSurface called %s times" % result.calls.get("CreateSurface"))
    show = model(1)
    locks = calls_from(show, 0, LOCKING) + 1  # and the loading picture
    problems += expect(result.calls.get("Lock") == locks == result.calls.get("Unlock"),
                       "Lock %s, Unlock %s, expected %d each" %
                       (result.calls.get("Lock"), result.calls.get("Unlock"), locks))
    return problems


def load_reference(work_root):
    path = os.path.join(work_root, "reference")
    if not os.path.exists(os.path.join(path, "hashes.txt")):
        return None
    return Result(path, 0, "", "", *read_records(path))


def read_records(path):
    def lines(name):
        with open(os.path.join(path, name), errors="replace") as f:
            return f.read().splitlines()
    flips = [(int(t), part, digest) for _, t, part, digest in
             (line.split() for line in lines("hashes.txt"))]
    calls = dict((n, int(c)) for n, c in (line.split() for line in lines("calls.txt")))
    return flips, lines("trace.txt"), calls


# Families of rows that differ only in a number, shown as one row of the table.
FAMILIES = {
    "memory-": "image memory refused on allocation N while loading, for every N from 1 to %d"
               % LOADING_ALLOCATIONS,
    "escape-": "Escape at T, for every T from 0 to %d in steps of 10" % END,
    "picture-missing-": "picture N missing, for each of the 21 pictures",
    "picture-truncated-": "picture N cut inside the packet at its middle, closed by a footer "
                          "there, for each picture",
    "picture-footer-": "picture N with byte k of its footer signature changed (the k-th "
                       "picture, k mod 18, so every byte is hit), for each picture",
    "options-": "morvanite-render with an option it can't read",
}


def table(cases):
    """The matrix as a Markdown table: case, expected outcome, ctest name(s)."""
    rows, families = [], {}
    for case in cases:
        prefix = next((p for p in FAMILIES if re.fullmatch(re.escape(p) + r"\d+", case.name)),
                      None)
        if prefix is None:
            rows.append([case.what, case.outcome, "`fault-%s`" % case.name])
        elif prefix not in families:
            families[prefix] = [FAMILIES[prefix], case.outcome, []]
            rows.append(families[prefix])
        if prefix is not None:
            families[prefix][2].append(case.name[len(prefix):])
    lines = ["| case | expected outcome | test |", "|---|---|---|"]
    for what, outcome, names in rows:
        if isinstance(names, list):
            numbers = [int(n) for n in names]
            steps = {b - a for a, b in zip(numbers, numbers[1:])}
            if len(numbers) > 5 and len(steps) == 1:
                names = names[:2] + ["…", names[-1]]
            names = "`fault-%sN`, N = %s" % (
                next(p for p in FAMILIES if FAMILIES[p] == what), ", ".join(names))
        lines.append("| %s | %s | %s |" % (what, outcome, names))
    return "\n".join(lines)


def main(argv):
    cases = all_cases()
    if len(argv) == 2 and argv[1] == "list":
        print("reference")
        for case in cases:
            print(case.name)
        return 0
    if len(argv) == 2 and argv[1] == "table":
        print(table(cases))
        return 0
    if len(argv) != 5 or argv[1] != "run":
        print(__doc__, file=sys.stderr)
        return 2
    name, program, root = argv[2], argv[3], argv[4]
    work = os.path.join(root, name)
    if name == "reference":
        result = run_case(REFERENCE, program, work)
        problems = check_reference(result)
    else:
        found = [c for c in cases if c.name == name]
        if not found:
            print("no such case: " + name, file=sys.stderr)
            return 2
        reference = load_reference(root)
        needs = found[0].same_frames_except is not None or any(
            callable(v) for v in found[0].calls.values())
        if needs and reference is None:
            print("the clean run (case 'reference') has not run", file=sys.stderr)
            return 1
        result = run_case(found[0], program, work)
        problems = evaluate(found[0], result, reference)
    for problem in problems:
        print("FAIL (%s): %s" % (name, problem), file=sys.stderr)
    if problems:
        print("command: " + open(os.path.join(work, "command.txt")).read().strip(),
              file=sys.stderr)
        return 1
    print("ok (%s)" % name)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
