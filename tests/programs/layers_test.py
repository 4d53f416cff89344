#!/usr/bin/env python3
"""The layers point down: each folder includes only the folders below it, the libraries link in
the layers' order without a cycle, and the player carries no test support.

usage: layers_test.py SOURCE_DIR LIBRARY_GRAPH PLAYER
"""
import re
import subprocess
import sys
from pathlib import Path

# What a folder's sources may include with quotes, by path prefix. The most specific folder
# decides; folders not listed (tools, tests, bench) may include anything.
SHOW = ["image/", "video/", "parts/", "runtime/"]
ALLOWED = {
    "winapi/": ["winapi/"],
    "image/": ["image/"],
    "video/": ["video/", "image/"],
    "parts/": ["parts/", "video/", "image/"],
    "runtime/": SHOW,
    "hosts/common/": ["hosts/common/", "winapi/", "runtime/show.h"],
    "hosts/headless/": ["hosts/headless/", "hosts/common/", "winapi/", "runtime/show.h"],
    "hosts/sdl/": ["hosts/sdl/", "hosts/common/", "winapi/", "runtime/show.h"],
    "hosts/windows/": ["hosts/windows/", "hosts/common/", "winapi/bass/"],
    "hosts/web/": ["hosts/web/", "hosts/headless/", "hosts/common/", "winapi/", "runtime/show.h"],
    "testing/": ["testing/", "hosts/headless/", "hosts/common/", "winapi/", "video/", "image/"],
    "programs/": ["programs/", "testing/", "hosts/", "winapi/"] + SHOW,
}
# The show sees the machine through the Windows names only.
SHOW_SYSTEM_HEADERS = {"windows.h", "ddraw.h", "intrin.h", "bass.h", "mmintrin.h", "emmintrin.h"}

# The libraries' layers, lowest first: a library links only libraries of its own layer or below.
LAYERS = [
    ["morvanite_winapi_headers", "morvanite_calls", "morvanite_bass", "morvanite_winapi"],
    ["morvanite_image"], ["morvanite_video"], ["morvanite_parts"],
    ["morvanite_runtime", "morvanite_show", "morvanite_resources"],
    ["morvanite_mpeg_frames", "morvanite_png", "morvanite_frames", "morvanite_no_sound",
     "morvanite_decoder_mpg123",
     "morvanite_host_headless", "morvanite_host_sdl", "morvanite_sound_sdl", "morvanite_host_web",
     "morvanite_sound_web", "morvanite_host_windows"],
    ["morvanite_testing", "morvanite_testing_windows"],
    ["morvanite_capture", "morvanite_no_capture", "morvanite_mp3enc", "morvanite_music_synth"],
]


def rule_for(path):
    best = None
    for prefix in ALLOWED:
        if path.startswith(prefix) and (best is None or len(prefix) > len(best)):
            best = prefix
    return best


def include_faults(root):
    faults = []
    for file in sorted(root.rglob("*")):
        if file.suffix not in (".cpp", ".h") or "build" in file.relative_to(root).parts[0]:
            continue
        path = file.relative_to(root).as_posix()
        rule = rule_for(path)
        if rule is None:
            continue
        text = file.read_text(encoding="utf-8")
        for target in re.findall(r'^#include "([^"]+)"', text, re.M):
            if not any(target.startswith(allowed) for allowed in ALLOWED[rule]):
                faults.append(f"{path} includes {target}")
        if any(path.startswith(folder) for folder in SHOW):
            for target in re.findall(r"^#include <([^>]+\.h)>", text, re.M):
                if target not in SHOW_SYSTEM_HEADERS:
                    faults.append(f"{path} includes <{target}>")
    return faults


def graph_faults(graph_file):
    rank = {name: index for index, layer in enumerate(LAYERS) for name in layer}
    graph = {}
    for line in graph_file.read_text().splitlines():
        target, _, links = line.partition(":")
        graph[target.strip()] = [link for link in links.strip().split(";") if link]
    faults = [f"{target} is in no layer" for target in graph if target not in rank]
    for target, links in graph.items():
        for link in links:
            if target in rank and link in rank and rank[link] > rank[target]:
                faults.append(f"{target} links {link}, a layer above it")
    state = {}

    def visit(node, trail):
        if state.get(node) == "open":
            faults.append("link cycle: " + " -> ".join(trail + [node]))
            return
        if state.get(node) == "done":
            return
        state[node] = "open"
        for link in graph.get(node, []):
            visit(link, trail + [node])
        state[node] = "done"

    for target in graph:
        visit(target, [])
    return faults


def player_faults(player):
    symbols = subprocess.run(["nm", "-C", player], capture_output=True, text=True, check=True)
    found = sorted({line.split(" ", 2)[-1] for line in symbols.stdout.splitlines()
                    if "testkit::" in line or "hosts::ConfigureHeadless" in line})
    return [f"the player carries {name}" for name in found]


def main():
    root, graph, player = Path(sys.argv[1]), Path(sys.argv[2]), sys.argv[3]
    faults = include_faults(root) + graph_faults(graph) + player_faults(player)
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
