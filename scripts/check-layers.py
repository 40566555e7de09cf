#!/usr/bin/env python3
"""Checks the include rules of docs/architecture.md on every source file.

Each folder may include itself and the folders it stands on (directly or
through another); every include of our own names its folder from the source
root; the Qt-free folders include no Qt header. Prints each broken rule and
exits with 1 if there is one.

    check-layers.py [SOURCE_ROOT]
"""
import os
import re
import sys

# folder: the folders it stands on directly.
LAYERS = {
    "base/util": [],
    "base/object": ["base/util"],
    "base/timetable": ["base/object"],
    "base/records": ["base/timetable"],
    "base/task": ["base/records"],
    "core": ["base/task"],
    "logic/pinyin": ["base/util"],
    "logic/import": ["base/util"],
    "logic/export": ["logic/pinyin", "core"],
    "logic/editing": ["logic/import", "logic/pinyin", "core"],
    "logic/lottery": ["logic/pinyin", "core"],
    "logic/session": ["logic/editing", "logic/export"],
    "gui/common": ["logic/session", "logic/lottery"],
    "gui/render": ["gui/common"],
    "gui/import": ["gui/render"],
    "gui/editors": ["gui/import"],
    "gui/results": ["gui/render"],
    "gui/shell": ["gui/editors", "gui/results"],
    "app": ["gui/shell"],
    "cli": ["gui/render"],
}
QT_FREE = ("base/", "core", "logic/")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
QT_HEADER = re.compile(r"^(Q[A-Za-z0-9]*|Qt[A-Za-z]*/.*)$")


def below(folder, seen=None):
    seen = set() if seen is None else seen
    for lower in LAYERS[folder]:
        if lower not in seen:
            seen.add(lower)
            below(lower, seen)
    return seen


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
    problems = []
    tops = {f.split("/")[0] for f in LAYERS}
    for top in sorted(tops):
        for folder, dirs, names in os.walk(os.path.join(root, top)):
            rel = os.path.relpath(folder, root).replace(os.sep, "/")
            sources = [n for n in names if n.endswith((".h", ".cpp"))]
            if not sources:
                continue
            if rel not in LAYERS:
                problems.append(f"{rel}/: a folder with sources that docs/architecture.md does not place")
                continue
            allowed = below(rel) | {rel}
            for name in sorted(sources):
                path = f"{rel}/{name}"
                with open(os.path.join(folder, name), encoding="utf-8", errors="replace") as f:
                    for number, line in enumerate(f, 1):
                        m = INCLUDE.match(line)
                        if not m:
                            continue
                        quote, target = m.groups()
                        where = f"{path}:{number}: "
                        if quote == "<":
                            if rel.startswith(QT_FREE) and QT_HEADER.match(target):
                                problems.append(where + f"Qt header <{target}> in a Qt-free folder")
                            continue
                        if target.endswith(".moc") or target.startswith(("moc_", "ui_")):
                            continue
                        owner = os.path.dirname(target)
                        if owner not in LAYERS or not os.path.isfile(os.path.join(root, target)):
                            problems.append(where + f'"{target}" does not name a header by its folder')
                        elif owner not in allowed:
                            problems.append(where + f'{rel} may not include {owner} ("{target}")')
    for p in problems:
        print(p)
    if problems:
        print(f"{len(problems)} broken include rule(s); see docs/architecture.md")
        return 1
    print("includes follow the layers")
    return 0


if __name__ == "__main__":
    sys.exit(main())
