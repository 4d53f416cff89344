#!/usr/bin/env python3
"""The resources inside a Windows executable are exactly those of resources.list.

usage: resources_match.py EXE RESOURCES_LIST

Every row of the list whose file exists must be in the executable under its type and id with the
file's bytes; "ICON" rows as an icon group whose images are the .ico file's images. Nothing else
may be there: no other type, id or stray icon image.
"""
import os
import struct
import sys

RT_ICON, RT_GROUP_ICON = 3, 14


def read_resources(path):
    """{(type, id): bytes} of the executable's resource directory, first language of each."""
    data = open(path, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise SystemExit(f"{path}: not a PE file")
    sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + (96 if magic == 0x10B else 112)
    rva, _ = struct.unpack_from("<II", data, directories + 2 * 8)
    if rva == 0:
        return {}
    table = optional + optional_size
    spans = [struct.unpack_from("<8xIIII", data, table + 40 * i) for i in range(sections)]

    def offset(address):
        for virtual_size, virtual, raw_size, raw in spans:
            if virtual <= address < virtual + max(virtual_size, raw_size):
                return raw + address - virtual
        raise SystemExit(f"{path}: address {address:#x} is in no section")

    base = offset(rva)

    def entries(at):
        named, numbered = struct.unpack_from("<12xHH", data, base + at)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", data, base + at + 16 + 8 * i)
            if name & 0x80000000:
                length = struct.unpack_from("<H", data, base + (name & 0x7FFFFFFF))[0]
                start = base + (name & 0x7FFFFFFF) + 2
                name = data[start:start + 2 * length].decode("utf-16-le")
            yield name, target

    found = {}
    for type_name, names in entries(0):
        for name, languages in entries(names & 0x7FFFFFFF):
            _, leaf = next(entries(languages & 0x7FFFFFFF))
            address, size = struct.unpack_from("<II", data, base + leaf)
            found[(type_name, name)] = data[offset(address):offset(address) + size]
    return found


def icon_images(ico):
    """The image bytes of an .ico file, in directory order."""
    count = struct.unpack_from("<H", ico, 4)[0]
    images = []
    for i in range(count):
        size, at = struct.unpack_from("<8xII", ico, 6 + 16 * i)
        images.append(ico[at:at + size])
    return images


def group_members(group):
    """The RT_ICON ids an icon group names."""
    count = struct.unpack_from("<H", group, 4)[0]
    return [struct.unpack_from("<H", group, 6 + 14 * i + 12)[0] for i in range(count)]


def main(exe, listing):
    found = read_resources(exe)
    folder = os.path.dirname(listing)
    problems = []
    expected = set()
    for line in open(listing):
        fields = line.split()
        if not fields or fields[0].startswith("#"):
            continue
        kind, number, name = fields[0], int(fields[1]), fields[2]
        path = os.path.join(folder, name)
        if not os.path.exists(path):
            continue
        content = open(path, "rb").read()
        if kind == "ICON":
            key = (RT_GROUP_ICON, number)
            expected.add(key)
            if key not in found:
                problems.append(f"icon group {number} is missing")
                continue
            members = group_members(found[key])
            images = icon_images(content)
            for member, image in zip(members, images):
                expected.add((RT_ICON, member))
                if found.get((RT_ICON, member)) != image:
                    problems.append(f"icon {number}: image {member} differs from {name}")
            if len(members) != len(images):
                problems.append(f"icon {number}: {len(members)} images, {name} has {len(images)}")
            continue
        key = (kind, number)
        expected.add(key)
        if key not in found:
            problems.append(f"{kind} {number} is missing")
        elif found[key] != content:
            problems.append(f"{kind} {number}: {len(found[key])} bytes differ from {name}")
    for key in sorted(set(found) - expected, key=str):
        problems.append(f"unexpected resource: type {key[0]} id {key[1]}")
    for problem in problems:
        print(problem)
    print(f"{len(expected)} resources expected, {len(found)} found, {len(problems)} problems")
    return 1 if problems or not expected else 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    sys.exit(main(sys.argv[1], sys.argv[2]))
