#!/usr/bin/python3
"""Frame pacing figures from a frame log of `morvanite --frame-log FILE`.

Each line: when a frame was shown, when the music position it was drawn for was read, that
position (bytes of 44.1 kHz 16-bit stereo audio) and what paced it. Reports the intervals between
shown frames, how far the sound had moved on from the drawn position when each frame appeared
(the music position at that moment is interpolated between the reads before and after it), and
every frame that stood for more than one and a half ticks of 60 Hz (a refresh without a new
frame: a frame shown twice and the next one skipped) or less than half a tick (a frame no
refresh would show).
"""
import statistics
import sys

BYTES_PER_SECOND = 176400
TICK_MS = 1000.0 / 60


def percentile(values, p):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(round(p / 100.0 * (len(ordered) - 1))))]


def main(path):
    header, rows = [], []
    with open(path) as log:
        for line in log:
            if line.startswith("#"):
                header.append(line[1:].strip())
            elif line.strip():
                shown, read, position, _ = line.split()
                rows.append((int(shown), int(read), int(position)))
    if len(rows) < 3:
        print(f"{path}: only {len(rows)} frames")
        return 1
    intervals = [(b[0] - a[0]) / 1e6 for a, b in zip(rows, rows[1:])]
    drift = []
    for k, (shown, read, position) in enumerate(rows):
        if k + 1 < len(rows) and rows[k + 1][1] > read:
            rate = (rows[k + 1][2] - position) / ((rows[k + 1][1] - read) / 1e9)
        else:
            rate = BYTES_PER_SECOND
        heard = position + rate * (shown - read) / 1e9
        drift.append((heard - position) / BYTES_PER_SECOND * 1000.0)
    long_ones = [(k + 1, ms) for k, ms in enumerate(intervals) if ms > 1.5 * TICK_MS]
    short_ones = [(k + 1, ms) for k, ms in enumerate(intervals) if ms < 0.5 * TICK_MS]
    span = (rows[-1][0] - rows[0][0]) / 1e9
    music = (rows[-1][2] - rows[0][2]) / BYTES_PER_SECOND
    for line in header[2:]:
        print(line)
    print(f"frames shown: {len(rows)} over {span:.2f} s (music {music:.2f} s; "
          f"{span * 60 + 1:.0f} ticks of 60 Hz)")
    print(f"interval: median {statistics.median(intervals):.3f} ms, "
          f"99th percentile {percentile(intervals, 99):.3f} ms, "
          f"min {min(intervals):.3f} ms, max {max(intervals):.3f} ms")
    print(f"sound ahead of picture when a frame appears: median {statistics.median(drift):.2f} ms, "
          f"largest {max(drift):.2f} ms, smallest {min(drift):.2f} ms")
    print(f"frames standing > 1.5 ticks (shown twice): {len(long_ones)}; "
          f"frames standing < 0.5 tick (skipped): {len(short_ones)}")
    for k, ms in (long_ones + short_ones)[:20]:
        shown, read, position = rows[k]
        print(f"  frame {k}: {ms:.2f} ms after the one before; drawn for position {position}, "
              f"read {(read - rows[k - 1][0]) / 1e6:.2f} ms after the frame before was shown "
              f"and shown {(shown - read) / 1e6:.2f} ms after that")
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 2:
        print("usage: pacing_report.py FRAME-LOG", file=sys.stderr)
        sys.exit(2)
    sys.exit(main(sys.argv[1]))
