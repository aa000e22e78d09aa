#!/usr/bin/env python3
"""Fails when a file under src/ includes a header of a layer it may not reach,
or a system header its layer may not see, or when the libraries in
src/CMakeLists.txt do not link the way the folders include: every include
across libraries needs a link path, and no library links one that its folders
may not include.

The layers and what each may include are the table in docs/architecture.md
and the lists under it; keep the two in step. Tests and benchmarks may include anything.
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
    "platform/compoundfile",
    "platform/printer",
    "platform/qt",
    "platform",
    "layout",
    "core",
    "joblist",
    "engine",
    "ui",
    "startup",
    "base",
]

ALLOWED = {
    "base": [],
    "platform": ["base"],
    "layout": ["base"],
    "platform/linux": ["platform", "base"],
    "platform/pdfcheck": ["platform", "base"],
    "platform/compoundfile": ["platform", "base"],
    "core": ["platform", "base"],
    "platform/printer": ["layout", "platform", "base"],
    "platform/libreoffice/session": ["platform", "base"],
    "platform/libreoffice/sheets": [
        "platform/libreoffice/session", "platform/printer", "layout", "platform", "base"],
    "platform/libreoffice/presentation": [
        "platform/libreoffice/sheets", "platform/libreoffice/session", "platform/printer", "layout", "platform", "base"],
    "platform/qt": ["platform", "base"],
    "joblist": ["platform", "base"],
    "engine": ["joblist", "core", "platform", "base"],
    "ui": ["engine", "joblist", "core", "platform", "platform/qt", "base"],
    # The program's start composes every layer.
    "startup": LAYERS,
}

LIBRARY = {
    "base": "pelvantz_base",
    "platform": "pelvantz_platform",
    "platform/linux": "pelvantz_platform",
    "platform/pdfcheck": "pelvantz_pdfcheck",
    "platform/compoundfile": "pelvantz_compoundfile",
    "core": "pelvantz_core",
    "platform/printer": "pelvantz_printer",
    "layout": "pelvantz_layout",
    "platform/qt": "pelvantz_platform_qt",
    "platform/libreoffice/session": "pelvantz_office",
    "platform/libreoffice/sheets": "pelvantz_office",
    "platform/libreoffice/presentation": "pelvantz_office",
    "joblist": "pelvantz_joblist",
    "engine": "pelvantz_engine",
    "ui": "pelvantz_ui",
    "startup": "pelvantz_startup_ui",
}

# Interfaces whose implementation is a library of its own: whoever includes
# the interface links that library.
IMPLEMENTED_BY = {
    "platform/PdfCheck.h": "pelvantz_pdfcheck",
    "platform/CompoundFile.h": "pelvantz_compoundfile",
    "platform/OfficeFactory.h": "pelvantz_office",
}

# The C++ standard library by its own names (<cstdio>, not <stdio.h>: the C
# names also bring in whatever the system adds to them).
STANDARD = set("""
    algorithm any array atomic barrier bit bitset cassert cctype cerrno cfenv cfloat charconv chrono cinttypes
    climits clocale cmath codecvt compare complex concepts condition_variable coroutine csetjmp csignal cstdarg
    cstddef cstdint cstdio cstdlib cstring ctime cuchar cwchar cwctype deque exception execution expected
    filesystem format forward_list fstream functional future initializer_list iomanip ios iosfwd iostream
    istream iterator latch limits list locale map memory memory_resource mutex new numbers numeric optional
    ostream print queue random ranges ratio regex scoped_allocator semaphore set shared_mutex source_location
    span spanstream sstream stack stacktrace stdexcept stop_token streambuf string string_view syncstream
    system_error thread tuple type_traits typeindex typeinfo unordered_map unordered_set utility valarray
    variant vector version
""".split())
QT = re.compile(r"Qt\w*(/\w+)?|Q[A-Z]\w*")

# Which headers that are not ours each layer may include (the lists under the
# table): the platform's adapters and the program's start whatever they need,
# the window Qt and the standard library, the rest the standard library only.
SYSTEM = {layer: "any" for layer in LAYERS}
SYSTEM.update({layer: "standard" for layer in ["base", "platform", "layout", "core", "joblist", "engine"]})
SYSTEM["ui"] = "qt"

def system_header_allowed(layer, header):
    kind = SYSTEM[layer]
    return kind == "any" or header in STANDARD or (kind == "qt" and QT.fullmatch(header) is not None)


LINK = re.compile(r"target_link_libraries\((pelvantz_\w+)([^)]*)\)")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
ANY_INCLUDE = re.compile(r'^\s*#\s*include\s+[<"]([^>"]+)[>"]')


def layer_of(path):
    if "/" not in path:
        return "startup"  # main.cpp
    folder = path.rsplit("/", 1)[0]
    for layer in LAYERS:
        if folder == layer or folder.startswith(layer + "/"):
            return layer
    return None


def includes(src):
    """(file, line number, own layer, included header, whether it is ours) for each include."""
    for file in sorted(src.rglob("*")):
        if file.suffix not in (".h", ".cpp"):
            continue
        own = layer_of(file.relative_to(src).as_posix())
        for number, line in enumerate(file.read_text(encoding="utf-8").splitlines(), 1):
            match = ANY_INCLUDE.match(line)
            if match:
                ours = INCLUDE.match(line) is not None and (src / match.group(1)).exists()
                yield file, number, own, match.group(1), ours


def include_edges(src):
    """(file, line number, own layer, included header, its layer) for each include of ours."""
    for file, number, own, header, ours in includes(src):
        if ours:
            yield file, number, own, header, layer_of(header)


def system_violations(src):
    for file, number, own, header, ours in includes(src):
        if not ours and own is not None and not system_header_allowed(own, header):
            yield f"{file}:{number}: {own} may not include the system header <{header}>"


def link_graph(src):
    links = {}
    for match in LINK.finditer((src / "CMakeLists.txt").read_text(encoding="utf-8")):
        links.setdefault(match.group(1), set()).update(re.findall(r"pelvantz_\w+", match.group(2)))
    return links


def reaches(links, start, goal):
    seen, todo = set(), [start]
    while todo:
        library = todo.pop()
        if library == goal:
            return True
        if library not in seen:
            seen.add(library)
            todo.extend(links.get(library, ()))
    return False


def link_violations(src, edges):
    links = link_graph(src)
    implementations = {(LIBRARY[own], IMPLEMENTED_BY[header]) for _, _, own, header, _ in edges if header in IMPLEMENTED_BY}
    for library, targets in sorted(links.items()):
        layers = [layer for layer, owner in LIBRARY.items() if owner == library]
        for target in sorted(targets):
            if (library, target) in implementations:
                continue
            if not any(LIBRARY[allowed] == target for layer in layers for allowed in ALLOWED[layer] + [layer]):
                yield f"src/CMakeLists.txt: {library} links {target}, which its folders may not include"
    for file, number, own, header, target in edges:
        if LIBRARY[own] != LIBRARY[target] and not reaches(links, LIBRARY[own], LIBRARY[target]):
            yield f"{file}:{number}: includes {header} but {LIBRARY[own]} does not link {LIBRARY[target]}"


def violations(src):
    edges = list(include_edges(src))
    for file, number, own, header, target in edges:
        if own is None or target is None:
            yield f"{file}:{number}: {header} lies in no known layer"
        elif target != own and target not in ALLOWED[own]:
            yield f"{file}:{number}: {own} may not include {target} ({header})"
    yield from link_violations(src, [edge for edge in edges if edge[2] and edge[4]])
    yield from system_violations(src)


def main():
    src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent / "src")
    found = list(violations(src))
    for line in found:
        print(line)
    if found:
        print(f"{len(found)} include(s), system header(s) or link(s) cross a layer the wrong way (see docs/architecture.md)")
        return 1
    print("includes, system headers and links keep to the layers")
    return 0


if __name__ == "__main__":
    sys.exit(main())
