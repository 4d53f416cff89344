#!/usr/bin/env python3
"""Video capture of morvanite-render, checked with FFmpeg's own programs on short clips.

usage: capture_test.py CASE MORVANITE_RENDER WORKDIR [AUDIO_CAPTURE_CHECK MUSIC.mp3]

Cases:
  lossless    an FFV1 clip: one video frame per flip of the clip, each equal to the flipped frame
              (its hash line), the first and a later one equal to the PNG shots bit for bit; the
              FLAC sound equals the WAV written beside it
  h264        H.264 clips at scale 4 and 3: size, frame count, AAC sound, pictures close to the
              enlarged shot
  soundtrack  the whole show's WAV is the music from its first sample to the show's end; a clip's
              WAV is the matching stretch of it
  refusals    bad arguments, paths that can't be written, a container that can't hold the video,
              an unknown preset, nothing shown, a disk that fills: exit 2, one line, no file left
  interrupted a capture stopped by SIGTERM while it writes leaves no file behind
"""
import fcntl
import os
import resource
import shutil
import signal
import subprocess
import sys
import wave

from PIL import Image, ImageChops, ImageStat

FNV_OFFSET = 0xCBF29CE484222325
FNV_PRIME = 0x100000001B3
MASK64 = (1 << 64) - 1
WIDTH, HEIGHT = 320, 240
CLIP = ["--from", "100", "--to", "104"]  # the opening picture, full of detail

case, render, work = sys.argv[1], sys.argv[2], sys.argv[3]
failures = []
shutil.rmtree(work, ignore_errors=True)
os.makedirs(work)


def check(condition, message):
    if not condition:
        failures.append(message)


def run(*args, expect=0):
    result = subprocess.run([render, *args], cwd=work, capture_output=True, text=True)
    if result.returncode != expect:
        sys.exit("FAIL (%s): %s exited %d, expected %d: %s"
                 % (case, " ".join(args), result.returncode, expect, result.stderr))
    return result


def hash_lines(path, low, high):
    """(flip, hash) of every flip whose script time t is in [low, high)."""
    with open(path) as f:
        rows = [line.split() for line in f]
    return [(int(r[0]), r[3]) for r in rows if low <= int(r[1]) < high]


def probe(path, stream, entries):
    out = subprocess.run(["ffprobe", "-v", "error", "-count_frames", "-select_streams", stream,
                          "-show_entries", "stream=" + entries, "-of", "default=nw=1", path],
                         check=True, capture_output=True, text=True).stdout
    return dict(line.split("=", 1) for line in out.split())


def decoded_frames(path, size):
    raw = subprocess.run(["ffmpeg", "-v", "error", "-i", path, "-map", "0:v", "-f", "rawvideo",
                          "-pix_fmt", "rgb24", "-"], check=True, capture_output=True).stdout
    length = size[0] * size[1] * 3
    return [Image.frombytes("RGB", size, raw[i:i + length]) for i in range(0, len(raw), length)]


def decoded_sound(path):
    return subprocess.run(["ffmpeg", "-v", "error", "-i", path, "-map", "0:a", "-f", "s16le",
                           "-"], check=True, capture_output=True).stdout


def rgb565_hash(picture):
    """The frame hash of the 5-6-5 pixels that widen to this picture."""
    h = FNV_OFFSET
    for r, g, b in picture.getdata():
        pixel = (r >> 3) << 11 | (g >> 2) << 5 | b >> 3
        h = ((h ^ (pixel & 0xFF)) * FNV_PRIME) & MASK64
        h = ((h ^ (pixel >> 8)) * FNV_PRIME) & MASK64
    return "%016x" % h


def wav_samples(path):
    with wave.open(path) as w:
        check(w.getnchannels() == 2 and w.getsampwidth() == 2 and w.getframerate() == 44100,
              "%s is not 44.1 kHz 16-bit stereo" % path)
        return w.readframes(w.getnframes())


def clip_samples(flips, fps=60):
    """Bytes of sound under the flips of a clip: the clock of its first flip to its end."""
    first, last = flips[0][0], flips[-1][0]
    return ((last + 1) * 44100 // fps - first * 44100 // fps) * 4


def limit_file_size(size):
    """For a child process: writes beyond `size` bytes fail (with EFBIG, not a signal)."""
    def limit():
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
        resource.setrlimit(resource.RLIMIT_FSIZE, (size, size))
    return limit


def expect_refusal(args, message, file_size=None):
    """Runs a capture that must be refused: exit 2, one line naming the problem besides the
    progress lines, no file. With `file_size`, no file may grow beyond it."""
    folder = os.path.join(work, "refused")
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    result = subprocess.run([render, *args], cwd=folder, capture_output=True, text=True,
                            preexec_fn=limit_file_size(file_size) if file_size else None)
    lines = [line for line in result.stderr.splitlines() if not line.startswith("capture: ")]
    check(result.returncode == 2, "%s: exit %d, expected 2" % (args, result.returncode))
    check(len(lines) == 1 and lines[0].startswith("morvanite-render: ") and message in lines[0],
          "%s: stderr %r, expected one line with %r" % (args, result.stderr, message))
    check(os.listdir(folder) == [], "%s left %s" % (args, os.listdir(folder)))


if case == "lossless":
    run("--video", "clip.mkv", "--lossless", "--wav", "clip.wav", *CLIP, "--hashes", "h.txt",
        "--shots", "shots", "--at", "100,102")
    flips = hash_lines(os.path.join(work, "h.txt"), 100, 104)
    video = os.path.join(work, "clip.mkv")
    stream = probe(video, "v", "codec_name,pix_fmt,width,height,nb_read_frames")
    check(stream == {"codec_name": "ffv1", "pix_fmt": "bgr0", "width": "320", "height": "240",
                     "nb_read_frames": str(len(flips))}, "video stream %s, %d flips"
          % (stream, len(flips)))
    frames = decoded_frames(video, (WIDTH, HEIGHT))
    check([rgb565_hash(frame) for frame in frames] == [digest for _, digest in flips],
          "the decoded frames are not the flipped ones, in order")
    at102 = len(flips) - len(hash_lines(os.path.join(work, "h.txt"), 102, 104))
    for index, shot in ((0, "t100.png"), (at102, "t102.png")):
        picture = Image.open(os.path.join(work, "shots", shot)).convert("RGB")
        check(ImageChops.difference(frames[index], picture).getbbox() is None,
              "frame %d differs from %s" % (index, shot))
    sound = wav_samples(os.path.join(work, "clip.wav"))
    check(len(sound) == clip_samples(flips), "clip sound of %d bytes, expected %d"
          % (len(sound), clip_samples(flips)))
    check(decoded_sound(video) == sound, "the video's FLAC sound differs from the WAV")

elif case == "h264":
    run("--video", "clip.mp4", *CLIP, "--hashes", "h.txt", "--shots", "shots", "--at", "100")
    run("--video", "clip3.mp4", "--scale", "3", "--crf", "10", "--preset", "ultrafast", *CLIP)
    flips = hash_lines(os.path.join(work, "h.txt"), 100, 104)
    shot = Image.open(os.path.join(work, "shots", "t100.png")).convert("RGB")
    for name, scale in (("clip.mp4", 4), ("clip3.mp4", 3)):
        path = os.path.join(work, name)
        size = (WIDTH * scale, HEIGHT * scale)
        video = probe(path, "v", "codec_name,pix_fmt,width,height,nb_read_frames")
        check(video == {"codec_name": "h264", "pix_fmt": "yuv420p", "width": str(size[0]),
                        "height": str(size[1]), "nb_read_frames": str(len(flips))},
              "%s: video stream %s, %d flips" % (name, video, len(flips)))
        audio = probe(path, "a", "codec_name,sample_rate,channels,duration")
        check(audio["codec_name"] == "aac" and audio["sample_rate"] == "44100"
              and audio["channels"] == "2", "%s: sound stream %s" % (name, audio))
        # The encoder's delay and padding are trimmed by the container, up to a few samples.
        check(abs(float(audio["duration"]) * 44100 - clip_samples(flips) / 4) < 64,
              "%s: %s s of sound for %d flips" % (name, audio["duration"], len(flips)))
        first = decoded_frames(path, size)[0]
        error = ImageStat.Stat(ImageChops.difference(first, shot.resize(size, Image.NEAREST)))
        check(max(error.mean) < 3, "%s: first frame off the enlarged shot by %s on average"
              % (name, error.mean))

elif case == "soundtrack":
    checker, music = sys.argv[4], sys.argv[5]
    run("--fps", "10", "--wav", "show.wav")
    show = wav_samples(os.path.join(work, "show.wav"))
    # The show ends at 1420 after 1401 flips at 10 per second: 140.1 s of sound.
    check(len(show) == 1401 * 4410 * 4, "the show's sound has %d bytes" % len(show))
    with open(os.path.join(work, "show.raw"), "wb") as f:
        f.write(show)
    result = subprocess.run([checker, os.path.join(work, "show.raw"), music, "140"],
                            capture_output=True, text=True)
    check(result.returncode == 0 and result.stdout.startswith("capture: 0 bytes of silence,"),
          "the show's sound is not the music from its first sample: %s%s"
          % (result.stdout, result.stderr))
    run("--wav", "clip.wav", "--from", "520", "--to", "530", "--hashes", "h.txt")
    flips = hash_lines(os.path.join(work, "h.txt"), 520, 530)
    clip = wav_samples(os.path.join(work, "clip.wav"))
    start = flips[0][0] * 44100 // 60 * 4
    check(clip == show[start:start + clip_samples(flips)],
          "the clip's sound is not the stretch under its flips")

elif case == "refusals":
    absent = os.path.join(work, "no-such-folder", "x.mp4")
    for args, message in (
            (["--video", absent, *CLIP], "can't write"),
            (["--video", ".", *CLIP], "folder"),
            (["--video", "x.wav", *CLIP], "can't hold H.264"),
            (["--video", "x.mp4", "--preset", "warp", *CLIP], "--preset warp"),
            (["--video", "x.mp4", "--crf", "52"], "--crf"),
            (["--video", "x.mp4", "--scale", "0"], "--scale"),
            (["--video", "x.mp4", "--from", "200", "--to", "100"], "--to"),
            (["--video", "x.mp4", "--wav", "x.mp4"], "same file"),
            (["--lossless"], "go with --video or --wav"),
            (["--wav", "x.wav", "--deactivate-at", "5", "--activate-at", "9"], "focus"),
            (["--video", "x.mkv", "--lossless", "--escape-at", "0"], "no frame"),
            (["--wav", "x.wav", "--from", "1500"], "no frame")):
        expect_refusal(args, message)
    # The disk fills while frames are being written: the show renders on, nothing is left.
    expect_refusal(["--video", "x.mkv", "--lossless", "--from", "100", "--to", "170"],
                   "writing x.mkv failed", file_size=1 << 20)

elif case == "interrupted":
    # The hash lines go through a pipe of one page that the test stops reading at flip STOP_AT:
    # the renderer is then still inside the show (it blocks once the pipe and its own buffer are
    # full, long before the show's end), and the frames up to STOP_AT - 7 have gone to the
    # encoder (the ring holds 6), far more than the muxer keeps in memory.
    STOP_AT = 120
    folder = os.path.join(work, "out")
    os.makedirs(folder)
    reader, writer = os.pipe()
    fcntl.fcntl(writer, fcntl.F_SETPIPE_SZ, 4096)
    process = subprocess.Popen([render, "--video", "show.mkv", "--lossless",
                                "--hashes", "/dev/fd/%d" % writer], cwd=folder,
                               pass_fds=(writer,), stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    os.close(writer)
    # The read end stays open until the renderer has ended: closing it would end the renderer
    # with SIGPIPE instead.
    with os.fdopen(reader) as hashes:
        flip = -1
        for line in hashes:
            flip = int(line.split()[0])
            if flip >= STOP_AT:
                break
        check(flip >= STOP_AT, "the renderer ended at flip %d, before it could be stopped" % flip)
        partial = [name for name in os.listdir(folder) if name.startswith(".show.mkv.partial-")]
        sizes = [os.path.getsize(os.path.join(folder, name)) for name in partial]
        check(len(sizes) == 1 and sizes[0] > 1 << 20,
              "at flip %d the folder holds %s of sizes %s, not one partial file of over 1 MiB"
              % (flip, os.listdir(folder), sizes))
        process.send_signal(signal.SIGTERM)
        process.wait(timeout=60)
    check(process.returncode == -signal.SIGTERM, "exit %d after SIGTERM" % process.returncode)
    check(os.listdir(folder) == [], "left behind: %s" % os.listdir(folder))

else:
    sys.exit("no such case " + case)

if failures:
    print("FAIL (%s):\n  %s" % (case, "\n  ".join(failures)), file=sys.stderr)
    sys.exit(1)
print("ok (%s)" % case)
