#!/usr/bin/env python3
"""Draws the program's structure: which folder's files include which other folder's headers.

The folders stand in layers, the lowest first: base/ under everything, the subsystems above it
in the order they may use each other, app/ on top. An include that points from a folder to one in
a higher layer runs back up; each is printed with the file that makes it. With --check the script
fails when a back-edge is not one of the known ones below (each explained in
docs/architecture.md), so a new one is a decision, not an accident.

Only program code counts: tests, tools and the measuring programs are left out.
"""
import argparse
import collections
import pathlib
import re
import subprocess
import sys

LAYERS = ["base", "scripture", "settings", "character", "bubble", "selftest", "app"]

# (from folder, to folder): why the lower folder reaches up. Kept in step with
# docs/architecture.md.
KNOWN_BACK_EDGES = {
    ("base", "scripture"): "the record holds the offline bag, the history and the online result",
    ("base", "settings"): "the record holds the stored preference values",
    ("base", "character"): "the record holds the art and the motion group",
    ("base", "bubble"): "the record's bubble group starts at the unmeasured bubble height",
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/[^"]+"', re.MULTILINE)


def program_files(root):
    listed = subprocess.run(["git", "ls-files", "*.cpp", "*.h"], cwd=root, check=True,
                            capture_output=True, text=True).stdout.split()
    tests = re.compile(r"(^|/)tests/|_test\.|_e2e\.|_fuzzer\.|_benchmark\.|_test_support")
    return [f for f in listed if f.split("/")[0] in LAYERS and not tests.search(f)]


def edges(root):
    found = collections.defaultdict(list)
    for name in program_files(root):
        source = name.split("/")[0]
        for target in INCLUDE.findall((root / name).read_text(encoding="utf-8")):
            if target in LAYERS and target != source:
                found[(source, target)].append(name)
    return found


def draw(found):
    rank = {folder: i for i, folder in enumerate(LAYERS)}
    lines = ["Layers, lowest first: " + " < ".join(f + "/" for f in LAYERS), ""]
    for folder in reversed(LAYERS):
        uses = sorted((t for (s, t) in found if s == folder), key=rank.get)
        down = [t + "/" for t in uses if rank[t] < rank[folder]]
        lines.append(f"{folder + '/':<11} -> {', '.join(down) if down else '(nothing)'}")
    back = sorted(((s, t) for (s, t) in found if rank[t] > rank[s]),
                  key=lambda e: (rank[e[0]], rank[e[1]]))
    lines += ["", f"Back-edges (a lower folder including a higher one): {len(back)}"]
    for source, target in back:
        why = KNOWN_BACK_EDGES.get((source, target), "NOT EXPLAINED")
        lines.append(f"  {source}/ -> {target}/  ({why})")
        lines += [f"      {f}" for f in sorted(set(found[(source, target)]))]
    lines.append(f"Arrows: {len(found)} in all, {len(back)} back up")
    return "\n".join(lines), back


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true",
                        help="fail on a back-edge that is not a known one, or on any into app/")
    args = parser.parse_args()
    root = pathlib.Path(__file__).resolve().parent.parent
    text, back = draw(edges(root))
    print(text)
    if args.check:
        unknown = [e for e in back if e not in KNOWN_BACK_EDGES or e[1] == "app"]
        if unknown:
            print("structure: unexplained back-edges: " +
                  ", ".join(f"{s}/ -> {t}/" for s, t in unknown), file=sys.stderr)
            return 1
        print("structure: no include into app/ from below, every back-edge explained")
    return 0


if __name__ == "__main__":
    sys.exit(main())
