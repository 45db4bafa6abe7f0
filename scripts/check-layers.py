#!/usr/bin/env python3
"""Checks the layering of the source tree.

Fails (exit status 1) on
  - an include in src/ that points up the layer order below,
  - a circle of includes between folders,
  - a folder of src/ that the layer order does not name,
  - a source file (src/, tests/, bench/, tools/) over 600 lines.

Usage: check-layers.py [REPOSITORY]   (default: the repository of this script)
"""

import os
import re
import sys

# Lowest first. A folder may include its own files and the folders before it.
# "audio" is src/playback/audio/, the real-time engine beneath every subsystem.
LAYERS = [
    "base", "audio", "ui", "input", "bells", "ringing", "playback", "score",
    "animation", "record", "practice", "output", "lessons", "desktop", "app",
]
RANK = {name: index for index, name in enumerate(LAYERS)}
MAX_LINES = 600
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def layer_of(relative_path):
    """The layer of a path relative to src/; the entry points at the top of
    src/ (main.cpp, render_main.cpp) belong to the application."""
    parts = relative_path.split("/")
    if len(parts) == 1:
        return "app"
    if parts[0] == "playback" and len(parts) > 2 and parts[1] == "audio":
        return "audio"
    return parts[0]


def source_files(top):
    for folder, _, names in os.walk(top):
        for name in sorted(names):
            if name.endswith((".cpp", ".h")):
                yield os.path.join(folder, name)


def find_circle(graph):
    """A list of folders that closes a circle, or None."""
    state = {}
    stack = []

    def visit(node):
        state[node] = "open"
        stack.append(node)
        for nxt in sorted(graph.get(node, ())):
            if state.get(nxt) == "open":
                return stack[stack.index(nxt):] + [nxt]
            if nxt not in state:
                found = visit(nxt)
                if found:
                    return found
        stack.pop()
        state[node] = "done"
        return None

    for node in sorted(graph):
        if node not in state:
            found = visit(node)
            if found:
                return found
    return None


def main():
    repo = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    src = os.path.join(repo, "src")
    problems = []
    graph = {}
    upward = 0

    for path in source_files(src):
        relative = os.path.relpath(path, src)
        own = layer_of(relative)
        if own not in RANK:
            problems.append(f"{relative}: folder '{own}' is not in the layer order")
            continue
        with open(path, encoding="utf-8", errors="replace") as text:
            for number, line in enumerate(text, 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                target = match.group(1)
                if not os.path.exists(os.path.join(src, target)):
                    continue  # a file beside it or outside src/
                other = layer_of(target)
                if other == own or other not in RANK:
                    continue
                graph.setdefault(own, set()).add(other)
                if RANK[other] > RANK[own]:
                    upward += 1
                    problems.append(f"{relative}:{number}: {own}/ includes {target}, which is above it")

    circle = find_circle(graph)
    if circle:
        problems.append("folders include each other in a circle: " + " -> ".join(circle))

    long_files = 0
    for top in ("src", "tests", "bench", "tools"):
        for path in source_files(os.path.join(repo, top)):
            with open(path, encoding="utf-8", errors="replace") as text:
                count = sum(1 for _ in text)
            if count > MAX_LINES:
                long_files += 1
                problems.append(f"{os.path.relpath(path, repo)}: {count} lines (at most {MAX_LINES})")

    for problem in problems:
        print(problem)
    print(f"layers: {upward} upward includes, {1 if circle else 0} circles, {long_files} files over {MAX_LINES} lines")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
