#!/usr/bin/env python3
"""Fails when a file under src/ includes a header of a layer it may not reach.

The layers and what each may include are the table in docs/architecture.md;
keep the two in step. Tests and benchmarks may include anything.
"""
import pathlib
import re
import sys

# Longest prefix first: a file belongs to the first layer whose folder holds it.
LAYERS = [
    "platform/libreoffice/session",
    "platform/libreoffice/sheets",
    "platform/libreoffice/presentation",
    "platform/linux",
    "platform/pdfcheck",
    "platform/printer",
    "platform/qt",
    "platform",
    "core",
    "joblist",
    "engine",
    "ui",
    "startup",
]

ALLOWED = {
    "platform": [],
    "platform/linux": ["platform"],
    "platform/pdfcheck": ["platform"],
    "core": ["platform"],
    "platform/printer": ["core", "platform"],
    "platform/libreoffice/session": ["core", "platform"],
    "platform/libreoffice/sheets": ["platform/libreoffice/session", "platform/printer", "core", "platform"],
    "platform/libreoffice/presentation": [
        "platform/libreoffice/sheets", "platform/libreoffice/session", "platform/printer", "core", "platform"],
    "platform/qt": ["core", "platform"],
    "joblist": ["core", "platform"],
    "engine": ["joblist", "core", "platform"],
    "ui": ["engine", "joblist", "core", "platform", "platform/qt"],
    # The program's start composes every layer.
    "startup": LAYERS,
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def layer_of(path):
    if "/" not in path:
        return "startup"  # main.cpp
    folder = path.rsplit("/", 1)[0]
    for layer in LAYERS:
        if folder == layer or folder.startswith(layer + "/"):
            return layer
    return None


def violations(src):
    for file in sorted(src.rglob("*")):
        if file.suffix not in (".h", ".cpp"):
            continue
        own = layer_of(file.relative_to(src).as_posix())
        for number, line in enumerate(file.read_text(encoding="utf-8").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match or not (src / match.group(1)).exists():
                continue  # same-folder or library headers
            target = layer_of(match.group(1))
            if own is None or target is None:
                yield f"{file}:{number}: {match.group(1)} lies in no known layer"
            elif target != own and target not in ALLOWED[own]:
                yield f"{file}:{number}: {own} may not include {target} ({match.group(1)})"


def main():
    src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent / "src")
    found = list(violations(src))
    for line in found:
        print(line)
    if found:
        print(f"{len(found)} include(s) cross a layer the wrong way (see docs/architecture.md)")
        return 1
    print("includes keep to the layers")
    return 0


if __name__ == "__main__":
    sys.exit(main())
