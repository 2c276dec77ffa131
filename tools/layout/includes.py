#!/usr/bin/env python3
"""Checks that includes between the folders of src/ run one way.

Each folder of src/ sits on a level; a file may include files of its own folder, of a sibling on
its level and of any folder on a lower level. Prints the folder arrows that point upwards (with the
include lines behind each), the sideways arrows, the include cycles between folders and between
classes (a header and its source count as one), and the totals:

    tools/layout/includes.py            # summary, then every fault
    tools/layout/includes.py --quiet    # the totals only

Upward arrows that a class's data model forces are listed in ALLOWED with the reason; they are
reported but do not fail. The exit status is 1 when there is any other upward arrow or any cycle.
"""

import os
import re
import sys
from collections import defaultdict

# Top first: a folder may include only folders of its own level or below.
LEVELS = [
    ["app"],
    ["menu"],
    ["game"],
    ["view"],
    ["world"],
    ["entities", "terrain", "fluid", "effects"],
    ["objects"],
    ["render", "physics", "audio"],
    ["scene"],
]

# Upward arrows that are allowed, with the reason (also named in the README's layout section).
ALLOWED = {}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def level_of(folder):
    for depth, folders in enumerate(LEVELS):
        if folder in folders:
            return depth
    return None


def sources(root):
    for directory, _, files in os.walk(root):
        for name in sorted(files):
            if name.endswith((".h", ".cpp")):
                yield os.path.relpath(os.path.join(directory, name), root)


def read_includes(root):
    """(file, included file, line number) for every project include of src/."""
    found = []
    for path in sources(root):
        with open(os.path.join(root, path), encoding="utf-8") as text:
            for number, line in enumerate(text, 1):
                match = INCLUDE.match(line)
                if match and os.path.exists(os.path.join(root, match.group(1))):
                    found.append((path, match.group(1), number))
    return found


def strongly_connected(graph):
    """Tarjan's components of `graph` (node -> set of nodes) with more than one node, sorted."""
    index, low, stack, on_stack, components = {}, {}, [], set(), []
    counter = [0]

    def visit(node):
        index[node] = low[node] = counter[0]
        counter[0] += 1
        stack.append(node)
        on_stack.add(node)
        for other in sorted(graph.get(node, ())):
            if other not in index:
                visit(other)
                low[node] = min(low[node], low[other])
            elif other in on_stack:
                low[node] = min(low[node], index[other])
        if low[node] == index[node]:
            component = []
            while True:
                other = stack.pop()
                on_stack.discard(other)
                component.append(other)
                if other == node:
                    break
            if len(component) > 1:
                components.append(sorted(component))

    sys.setrecursionlimit(10000)
    for node in sorted(graph):
        if node not in index:
            visit(node)
    return sorted(components)


def folder_of(path):
    return path.split("/")[0] if "/" in path else ""


def unit_of(path):
    return os.path.splitext(path)[0]


def main():
    quiet = "--quiet" in sys.argv[1:]
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "src")
    includes = read_includes(root)

    upward, sideways = defaultdict(list), defaultdict(list)
    folders, units = defaultdict(set), defaultdict(set)
    unknown = set()
    for source, target, number in includes:
        a, b = folder_of(source), folder_of(target)
        if unit_of(source) != unit_of(target):
            units[unit_of(source)].add(unit_of(target))
        if a == b:
            continue
        folders[a].add(b)
        la, lb = level_of(a), level_of(b)
        if la is None or lb is None:
            unknown.update(f for f, l in ((a, la), (b, lb)) if l is None)
            continue
        if lb < la:
            upward[(a, b)].append(f"{source}:{number} includes {target}")
        elif lb == la:
            sideways[(a, b)].append(f"{source}:{number} includes {target}")

    folder_cycles = strongly_connected(folders)
    unit_cycles = strongly_connected(units)
    unexpected = {arrow: lines for arrow, lines in upward.items() if arrow not in ALLOWED}

    print(f"upward folder arrows: {len(upward)} ({len(unexpected)} not allowed), "
          f"upward include lines: {sum(len(lines) for lines in upward.values())}")
    print(f"sideways folder arrows: {len(sideways)}")
    print(f"folder cycles: {len(folder_cycles)}, class include cycles: {len(unit_cycles)}")
    if not quiet:
        for (a, b), lines in sorted(upward.items()):
            reason = ALLOWED.get((a, b))
            print(f"\n{a} -> {b} (upward{', allowed: ' + reason if reason else ''})")
            for line in lines:
                print(f"  {line}")
        for (a, b), lines in sorted(sideways.items()):
            print(f"\n{a} -> {b} (sideways)")
            for line in lines:
                print(f"  {line}")
        for cycle in folder_cycles:
            print(f"\nfolder cycle: {' '.join(cycle)}")
        for cycle in unit_cycles:
            print(f"\nclass cycle: {' '.join(cycle)}")
    for folder in sorted(unknown):
        print(f"folder {folder or '(src itself)'} has no level in LEVELS", file=sys.stderr)
    return 1 if unexpected or folder_cycles or unit_cycles or unknown else 0


if __name__ == "__main__":
    sys.exit(main())
