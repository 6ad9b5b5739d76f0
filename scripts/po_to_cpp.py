#!/usr/bin/env python3
"""Turns a .po file into the C++ table framework/core/Translate.cpp searches.

    po_to_cpp.py LANG.po OUTPUT.cpp VARIABLE

Entries without a translation and fuzzy ones are left out (the message stays English);
a malformed file stops the build."""

import os
import sys

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import po_file  # noqa: E402


def literal(text):
    """A C++ string literal of UTF-8 text; octal escapes, which never swallow a following digit
    beyond three."""
    out = ['"']
    for byte in text.encode("utf-8"):
        c = chr(byte)
        if c in '"\\':
            out.append("\\" + c)
        elif 0x20 <= byte < 0x7F and c != "?":  # no trigraphs either
            out.append(c)
        else:
            out.append("\\%03o" % byte)
    out.append('"')
    return "".join(out)


def main(argv):
    if len(argv) != 4:
        sys.stderr.write("usage: po_to_cpp.py LANG.po OUTPUT.cpp VARIABLE\n")
        return 2
    source, output, variable = argv[1:]
    try:
        entries = po_file.read(source)
    except po_file.PoError as error:
        sys.stderr.write("po_to_cpp: %s\n" % error)
        return 1
    if po_file.header_field(entries, "Plural-Forms") != "nplurals=1; plural=0;":
        sys.stderr.write("po_to_cpp: %s: the table holds one form a message; Plural-Forms must say "
                         "nplurals=1; plural=0;\n" % source)
        return 1
    table = sorted((entry.msgid.encode("utf-8"), entry) for entry in po_file.messages(entries)
                   if entry.translated is not None)
    lines = ["// Made by scripts/po_to_cpp.py from %s; edit that file, not this one." % os.path.basename(source),
             '#include "framework/core/TranslationCatalog.h"',
             "",
             "namespace plomaret {",
             "",
             "namespace {",
             "const TCatalogEntry kEntries[] = {"]
    for _, entry in table:
        lines.append("    {%s,\n     %s}," % (literal(entry.msgid), literal(entry.translated)))
    if not table:
        lines.append('    {"", ""},')
    lines += ["};",
              "}  // namespace",
              "",
              "const TCatalog %s{kEntries, %d};" % (variable, len(table)),
              "",
              "}  // namespace plomaret",
              ""]
    with open(output, "w", encoding="utf-8") as out:
        out.write("\n".join(lines))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
