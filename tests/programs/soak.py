#!/usr/bin/env python3
"""The seeded soak: many runs of morvanite-render, each with a random mix of faults, an Escape
and a focus change drawn from one fixed seed, each checked against the outcome the fault
matrix's model predicts for that mix (exit code, boxes, every frame's part and time, part
switches, the end of the script, image memory, platform calls).

usage: soak.py PROGRAM WORKDIR [RUNS [SEED]]
The last line is "N passed, N failed"; the exit code is 0 only when none failed.
"""
import concurrent.futures
import os
import random
import shutil
import sys

import fault_matrix as fm

# Result codes a refused call may answer, with the stand-in's own default first.
LOCK_CODES = ["DDERR_SURFACELOST", "DDERR_SURFACEBUSY", "DDERR_GENERIC"]
UNLOCK_CODES = ["DDERR_NOTLOCKED", "DDERR_GENERIC"]
SURFACE_CODES = ["DDERR_OUTOFVIDEOMEMORY", "DDERR_OUTOFMEMORY", "DDERR_INVALIDPIXELFORMAT"]


def draw_case(index, rng):
    """One run: at most one fault of each family, an Escape, a focus change."""
    fps = rng.choice([1, 1, 2, 3])
    args, said = [], []
    escape_at, presses, calls = None, 1, {}
    # People first: they decide which passes the show makes.
    roll = rng.random()
    if roll < 0.05:
        args += ["--escape-at", "load"]
        escape_at = "load"
    elif roll < 0.10:
        args += ["--escape-at", "end"]
        calls["BASS_Stop"] = 2
    elif roll < 0.55:
        escape_at = rng.randrange(0, 1500)
        presses = rng.choice([1, 1, 1, 2, 3])
        args += ["--escape-at", "%d%s" % (escape_at, "x%d" % presses if presses > 1 else "")]
    focus = None
    if rng.random() < 0.4:
        lost = rng.randrange(0, 1420)
        focus = (lost, lost + rng.randrange(1, 400))
        args += ["--deactivate-at", str(focus[0]), "--activate-at", str(focus[1])]

    if rng.random() < 0.08:
        start = rng.choice(fm.startup_cases())
        return fm.Case("soak-%03d" % index, args + start.args, start.what, start.outcome,
                       fps=fps, exit=start.exit, boxes=start.boxes, show_runs=False)

    boxes, late_boxes, lost_from, refused = [], [], (), 0
    if rng.random() < 0.2:
        surface = rng.randrange(len(fm.IMAGE_SURFACES))
        code = rng.choice(SURFACE_CODES)
        args += ["--fail", "CreateSurface@%d=%s" % (surface + 2, code)]
        boxes += fm.ddraw_box(code)
    content = rng.random()
    if content < 0.15:
        args += ["--fail", "HeapAlloc@%d" % rng.randrange(1, fm.LOADING_ALLOCATIONS + 1)]
    elif content < 0.3:
        args += ["--resource", "%d=" % rng.choice(list(fm.PICTURES))]
    # The show's own faults: the model tells which of them the show still reaches.
    show = fm.model(fps, escape_at, focus)
    if show.ended_at is None:
        calls["BASS_Stop"] = presses  # every press runs the Escape handling
    kind = rng.choice(["none", "lock", "unlock", "still", "lost"])
    first = rng.randrange(0, 1420)
    if kind == "lock":
        count, code = rng.randrange(1, 4), rng.choice(LOCK_CODES)
        args += ["--fail", "Lock@t%dx%d=%s" % (first, count, code)]
        refused = min(count, fm.calls_from(show, first, fm.LOCKING))
        late_boxes = fm.ddraw_box(code) * refused
    elif kind == "unlock":
        code = rng.choice(UNLOCK_CODES)
        args += ["--fail", "Unlock@t%d=%s" % (first, code)]
        late_boxes = fm.ddraw_box(code) * min(1, fm.calls_from(show, first, fm.LOCKING))
    elif kind == "still":
        count = rng.randrange(1, 6)
        args += ["--fail", "Flip@t%dx%d=DDERR_WASSTILLDRAWING" % (first, count)]
        reached = any(p.t >= first for p in show.passes)
        calls["Flip"] = lambda s, ref, extra=count * reached: len(s.flips) + extra
    elif kind == "lost":
        args += ["--fail", "Flip@t%d=DDERR_SURFACELOST" % first]
        lost_from = (first,)
        reached = any(p.t >= first for p in show.passes)
        calls["Restore"] = int(reached)
        calls["Flip"] = lambda s, ref, extra=int(reached): len(s.flips) + extra
    return fm.Case("soak-%03d" % index, args, "", "", fps=fps, boxes=boxes + late_boxes,
                   escape_at=escape_at, focus=focus, lost_from=lost_from, refused_locks=refused,
                   calls=calls)


def soak(program, root, runs, seed):
    rng = random.Random(seed)
    cases = [draw_case(index, rng) for index in range(runs)]
    shutil.rmtree(root, ignore_errors=True)

    def one(case):
        work = os.path.join(root, case.name)
        problems = fm.evaluate(case, fm.run_case(case, program, work), None)
        if not problems:
            shutil.rmtree(work, ignore_errors=True)  # keep only what failed
        return case, problems

    passed = failed = 0
    with concurrent.futures.ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
        for case, problems in pool.map(one, cases):
            if problems:
                failed += 1
                print("FAIL %s: %s" % (case.name, " ".join(case.args)))
                for problem in problems:
                    print("    " + problem)
            else:
                passed += 1
    print("%d passed, %d failed" % (passed, failed))
    return 0 if failed == 0 else 1


def main(argv):
    if len(argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    runs = int(argv[3]) if len(argv) > 3 else 200
    seed = int(argv[4]) if len(argv) > 4 else 14
    return soak(argv[1], argv[2], runs, seed)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
