#!/usr/bin/env python3
"""Fails, naming file and line, on an include that runs against the layer order.

    check_layers.py [ROOT]

A quoted include is looked up beside the including file, then from ROOT, then from
ROOT/tests (the include folders of the build); one that names no file of the tree
is not the project's and is left to the compiler. Qt headers (<Q...>) are allowed
only where the Qt backend, the program and their tests and benchmarks live.
"""

import os
import re
import sys

CORE, GUI, HEADLESS, QT = "framework/core", "framework/gui", "framework/headless", "framework/qt"
FRAMEWORK = (CORE, GUI, HEADLESS, QT)

# Folder -> the folders its files may include (a folder may always include itself);
# None: anything. The longest matching folder decides.
ALLOWED = {
    CORE: (),
    GUI: (CORE,),
    HEADLESS: (CORE, GUI),
    QT: (CORE, GUI),
    "editor": (CORE, GUI),
    "settings": (CORE, GUI),
    "app": FRAMEWORK + ("editor", "settings"),
    "tools": None,
    "tests": None,
    "bench": None,
    "fuzz": None,
}

QT_ALLOWED = (QT, "app", "tests/qt", "bench/qt_")

SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc", ".inc")
QUOTED = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
QT_HEADER = re.compile(r"^\s*#\s*include\s*<(Q[^>]*)>")


def folder_of(path):
    """The folder of the layer table that holds path, or None."""
    best = None
    for folder in ALLOWED:
        if path == folder or path.startswith(folder + "/"):
            if best is None or len(folder) > len(best):
                best = folder
    return best


def resolve(root, including, name):
    """The tree path the include names, or None when it is not a file of the tree."""
    for base in (os.path.dirname(including), "", "tests"):
        candidate = os.path.normpath(os.path.join(base, name))
        if not candidate.startswith("..") and os.path.isfile(os.path.join(root, candidate)):
            return candidate.replace(os.sep, "/")
    return None


def source_files(root):
    for folder, dirs, files in os.walk(root):
        # Hidden folders and build trees are not sources.
        dirs[:] = sorted(d for d in dirs if not d.startswith(".")
                         and not os.path.exists(os.path.join(folder, d, "CMakeCache.txt"))
                         and not (folder == root and d == "build"))
        for name in sorted(files):
            if name.endswith(SOURCE_SUFFIXES):
                yield os.path.relpath(os.path.join(folder, name), root).replace(os.sep, "/")


def problems_of(root, path):
    folder = folder_of(path)
    if folder is None:
        yield 1, "a source folder the layer table does not know (add it to scripts/check_layers.py)"
        return
    allowed = ALLOWED[folder]
    with open(os.path.join(root, path), encoding="utf-8", errors="replace") as source:
        for number, line in enumerate(source, 1):
            match = QT_HEADER.match(line)
            if match and not any(path.startswith(place) for place in QT_ALLOWED):
                yield number, "Qt header <%s> outside framework/qt, app and the Qt tests" % match.group(1)
                continue
            match = QUOTED.match(line)
            if not match or allowed is None:
                continue
            target = resolve(root, path, match.group(1))
            if target is None:
                continue
            target_folder = folder_of(target)
            if target_folder != folder and target_folder not in allowed:
                yield number, "%s may not include %s (%s)" % (folder, target_folder or target, target)


def main(argv):
    root = os.path.abspath(argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
    failures = 0
    files = 0
    for path in source_files(root):
        files += 1
        for number, message in problems_of(root, path):
            failures += 1
            print("%s:%d: %s" % (path, number, message), file=sys.stderr)
    if failures:
        print("check_layers: %d include(s) against the layer order" % failures, file=sys.stderr)
        return 1
    print("check_layers: %d files keep the layer order" % files)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
