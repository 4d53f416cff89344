#!/usr/bin/python3
"""TGA files written by Pillow load in morvanite-tga with the pixels Pillow itself decodes.

Usage: pillow_files.py MORVANITE_TGA WORKDIR

Run-length files come out top row first whatever their stored order flag says; uncompressed files
keep their stored row order. Files without the TGA 2.0 footer are refused.
"""
import os
import random
import subprocess
import sys

from PIL import Image

TOOL, WORK = sys.argv[1], sys.argv[2]
os.makedirs(WORK, exist_ok=True)
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


def f_mask(width, height):
    """An "F" with no symmetry, scaled to the picture; True where the letter is."""
    rows = ["#####", "#....", "####.", "#....", "#....", "#...#", "....."]
    return [[rows[y * 7 // height][x * 5 // width] == "#" for x in range(width)]
            for y in range(height)]


def make_picture(mode, width, height, seed):
    """Red F on blue, with a band of noise along the bottom so that raw packets occur too."""
    rng = random.Random(seed)
    mask = f_mask(width, height)
    noisy = lambda y: y >= height - 3
    if mode == "P":
        image = Image.new("P", (width, height))
        palette = [0, 0, 0, 255, 0, 0, 0, 0, 255]
        palette += [rng.randrange(256) for _ in range(3 * 253)]
        image.putpalette(palette)
        image.putdata([rng.randrange(3, 256) if noisy(y) else (1 if mask[y][x] else 2)
                       for y in range(height) for x in range(width)])
        return image
    if mode == "L":
        image = Image.new("L", (width, height))
        image.putdata([rng.randrange(256) if noisy(y) else (200 if mask[y][x] else 30)
                       for y in range(height) for x in range(width)])
        return image
    image = Image.new("RGBA", (width, height))
    image.putdata([(rng.randrange(256), rng.randrange(256), rng.randrange(256), rng.randrange(256))
                   if noisy(y) else ((255, 0, 0, 255) if mask[y][x] else (0, 0, 255, 128))
                   for y in range(height) for x in range(width)])
    return image.convert(mode)


def stored_bytes(image):
    """The picture as the loader stores pixels: B, G, R (, A) for true colour; indices or grey."""
    if image.mode == "RGB":
        return b"".join(bytes((b, g, r)) for r, g, b in image.getdata())
    if image.mode == "RGBA":
        return b"".join(bytes((b, g, r, a)) for r, g, b, a in image.getdata())
    return bytes(image.getdata())


def reverse_rows(data, width, height, pixel_bytes):
    row = width * pixel_bytes
    return b"".join(data[(height - 1 - y) * row:(height - y) * row] for y in range(height))


def to565(rgb):
    return [((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3) for r, g, b in rgb]


def run(path, extra=()):
    raw, pal, png = path + ".raw", path + ".pal", path + ".png"
    for p in (raw, pal, png):
        if os.path.exists(p):
            os.remove(p)
    result = subprocess.run([TOOL, path, "--raw", raw, "--palette", pal, "--png", png, *extra],
                            capture_output=True, text=True)
    fields = dict(item.split("=") for item in result.stdout.split())
    return result.returncode, {k: int(v) for k, v in fields.items()}, raw, pal, png


def check_file(mode, width, height, rle, orientation, id_section, seed):
    name = f"{mode}-{width}x{height}-{'rle' if rle else 'raw'}-{orientation}-id{len(id_section)}"
    path = os.path.join(WORK, name + ".tga")
    picture = make_picture(mode, width, height, seed)
    picture.save(path, compression="tga_rle" if rle else None, orientation=orientation,
                 id_section=id_section)
    decoded = Image.open(path)
    decoded.load()
    check(decoded.tobytes() == picture.tobytes(), f"{name}: Pillow reads back what it wrote")
    file_bytes = open(path, "rb").read()

    code, info, raw, pal, png = run(path)
    pixel_bytes = {"P": 1, "L": 1, "RGB": 3, "RGBA": 4}[mode]
    check(code == 0 and info.get("ok") == 1, f"{name}: loads (exit {code}, {info})")
    check(info["width"] == width and info["height"] == height, f"{name}: size")
    check(info["bpp"] == 8 * pixel_bytes, f"{name}: depth")
    check(info["type"] == file_bytes[2] and info["type"] == ({"P": 1, "L": 3}.get(mode, 2) + 8 * rle),
          f"{name}: image type")
    map_bytes = 3 * info["cmap_len"] if mode == "P" else 0
    check(info["cmap_type"] == (1 if mode == "P" else 0), f"{name}: colour map type")
    check(info["id_len"] == len(id_section), f"{name}: image ID length")
    check(info["end"] == len(file_bytes) - 26, f"{name}: pixel data ends at the footer")
    check(info["data"] == info["end"] - 18 - len(id_section) - map_bytes, f"{name}: D")

    # Run-length pictures are flipped, raw ones keep their stored order; Pillow stores the bottom
    # row first unless the orientation is top-down. Pillow's decoded picture has its top row first.
    top_first = rle == (orientation < 0)
    want = stored_bytes(decoded)
    if not top_first:
        want = reverse_rows(want, width, height, pixel_bytes)
    got = open(raw, "rb").read()
    check(got == want, f"{name}: decoded pixels as Pillow sees them, rows as stored or flipped")

    if mode == "P":
        palette = decoded.getpalette()
        want_palette = b"".join(bytes((palette[i + 2], palette[i + 1], palette[i]))
                                for i in range(0, len(palette), 3))
        check(open(pal, "rb").read() == want_palette[:map_bytes], f"{name}: palette as stored")
    if mode != "L":
        ours = Image.open(png).convert("RGB")
        rgb = decoded.convert("RGB").tobytes()
        if not top_first:
            rgb = reverse_rows(rgb, width, height, 3)
        expected = Image.frombytes("RGB", (width, height), rgb)
        check(to565(ours.getdata()) == to565(expected.getdata()),
              f"{name}: 16-bit picture of the load pattern")

    # Without its footer the same file is refused.
    cut = path[:-4] + "-nofooter.tga"
    open(cut, "wb").write(file_bytes[:-26])
    code, info, *_ = run(cut)
    check(code == 1 and info.get("ok") == 0, f"{name}: refused without the footer (exit {code})")


seed = 0
for mode in ("P", "RGB", "RGBA", "L"):
    for rle in (True, False):
        for orientation in (-1, 1):
            for width, height, id_section in ((5, 7, b""), (37, 23, b"morvanite"),
                                              (320, 240, b"")):
                seed += 1
                check_file(mode, width, height, rle, orientation, id_section, seed)

print(f"{seed} Pillow files, {len(failures)} failures")
sys.exit(1 if failures else 0)
