#!/usr/bin/env python3
"""Every message marked for translation has one in po/ja.po.

    check_translations.py ROOT [PO]

Reads the string literal arguments of Tr(, TrFormat( and TrPlural( in the program's
sources (adjacent literals joined, C escapes decoded) and fails when the catalog lacks a
message, its translation is empty or fuzzy, a plural message is kept as a singular one
(or the other way round), or a translation drops or adds a %1, %2 or %n. Entries that no
source uses are reported; they do not fail the check (a message may be on its way)."""

import os
import re
import sys

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import po_file  # noqa: E402

FOLDERS = ["app", "editor", "framework", "settings", "tools"]
# The mechanism itself: its declarations are no messages.
SKIPPED = {"framework/core/Translate.h", "framework/core/Translate.cpp"}
MARKERS = {"Tr": 0, "TrFormat": 0, "TrPlural": 1}  # how many arguments come before the text

SIMPLE_ESCAPES = {"n": "\n", "t": "\t", "r": "\r", "0": "\0", "a": "\a", "b": "\b", "f": "\f", "v": "\v",
                  "\\": "\\", "'": "'", '"': '"', "?": "?"}


class SourceError(Exception):
    pass


def decode_literal(body):
    """The text of a string literal's body, C escapes decoded: bytes, then UTF-8."""
    out = bytearray()
    i = 0
    while i < len(body):
        c = body[i]
        if c != "\\":
            out += c.encode("utf-8")
            i += 1
            continue
        e = body[i + 1]
        if e == "x":
            digits = re.match(r"[0-9A-Fa-f]+", body[i + 2:]).group(0)
            out.append(int(digits, 16) & 0xFF)
            i += 2 + len(digits)
        elif e in "01234567":
            digits = re.match(r"[0-7]{1,3}", body[i + 1:]).group(0)
            out.append(int(digits, 8) & 0xFF)
            i += 1 + len(digits)
        elif e in SIMPLE_ESCAPES:
            out += SIMPLE_ESCAPES[e].encode("utf-8")
            i += 2
        else:
            raise SourceError("unknown escape \\" + e)
    return out.decode("utf-8", "surrogateescape")


TOKEN = re.compile(r"""
    (?P<comment>//[^\n]*|/\*.*?\*/)
  | (?P<raw>(?:u8|u|U|L)?R"(?P<delim>[^(\s]*)\((?P<rawbody>.*?)\)(?P=delim)")
  | (?P<string>(?:u8|u|U|L)?"(?P<body>(?:[^"\\\n]|\\.)*)")
  | (?P<char>'(?:[^'\\\n]|\\.)*')
  | (?P<word>[A-Za-z_][A-Za-z_0-9]*)
  | (?P<space>\s+)
  | (?P<other>.)
""", re.S | re.X)


def tokens(text):
    """(kind, value, line) for everything but blanks and comments."""
    line = 1
    for match in TOKEN.finditer(text):
        kind = next(name for name in ("comment", "raw", "string", "char", "word", "space", "other")
                    if match.group(name) is not None)
        if kind == "string":
            yield ("string", decode_literal(match.group("body")), line)
        elif kind == "raw":
            yield ("string", match.group("rawbody"), line)
        elif kind not in ("comment", "space"):
            yield (kind, match.group(0), line)
        line += match.group(0).count("\n")


def arguments(items, start):
    """The arguments of the call whose '(' is items[start]: each a list of tokens; and the
    index after ')'."""
    depth = 0
    args = [[]]
    for i in range(start, len(items)):
        kind, value, _ = items[i]
        if kind == "other" and value in "([{":
            depth += 1
            if depth == 1:
                continue
        elif kind == "other" and value in ")]}":
            depth -= 1
            if depth == 0:
                return args, i + 1
        elif kind == "other" and value == "," and depth == 1:
            args.append([])
            continue
        args[-1].append(items[i])
    raise SourceError("a call that is never closed")


def literal_text(arg):
    """The joined literals an argument is made of, or None when it is anything else."""
    if not arg or any(kind != "string" for kind, _, _ in arg):
        return None
    return "".join(value for _, value, _ in arg)


def marked_messages(path, text):
    """(singular, plural or None, line) for each marked call; errors for calls whose text is
    not a literal."""
    found, errors = [], []
    try:
        items = list(tokens(text))
    except SourceError as error:
        return [], ["%s: %s" % (path, error)]
    for i, (kind, value, line) in enumerate(items):
        if kind != "word" or value not in MARKERS:
            continue
        if i + 1 == len(items) or items[i + 1][:2] != ("other", "("):
            continue
        member = i > 0 and (items[i - 1][1] == "." or (items[i - 1][1] == ">" and items[i - 2][1] == "-"))
        if member:
            continue  # something else's member of that name
        try:
            args, _ = arguments(items, i + 1)
        except SourceError as error:
            errors.append("%s:%d: %s" % (path, line, error))
            continue
        first = MARKERS[value]
        texts = [literal_text(arg) for arg in args[first:first + (2 if value == "TrPlural" else 1)]]
        if len(texts) < (2 if value == "TrPlural" else 1) or any(t is None for t in texts):
            errors.append("%s:%d: %s( takes its text as a string literal, or the catalog cannot know it"
                          % (path, line, value))
            continue
        found.append((texts[0], texts[1] if value == "TrPlural" else None, "%s:%d" % (path, line)))
    return found, errors


def placeholders(text):
    return set(re.findall(r"%(?:[1-9][0-9]*|n)", text))


def sources(root):
    for folder in FOLDERS:
        for directory, _, names in os.walk(os.path.join(root, folder)):
            for name in sorted(names):
                if name.endswith((".cpp", ".h")):
                    path = os.path.join(directory, name)
                    relative = os.path.relpath(path, root).replace(os.sep, "/")
                    if relative not in SKIPPED:
                        yield path, relative


def check(root, po_path):
    """(errors, notes)."""
    errors, notes = [], []
    try:
        entries = po_file.read(po_path)
    except po_file.PoError as error:
        return [str(error)], []
    catalog = {entry.msgid: entry for entry in po_file.messages(entries)}
    shown = os.path.relpath(po_path, root)
    if po_file.header_field(entries, "Plural-Forms") is None:
        errors.append("%s: the header has no Plural-Forms" % shown)
    used = set()
    for path, relative in sources(root):
        with open(path, encoding="utf-8") as source:
            found, wrong = marked_messages(relative, source.read())
        errors += wrong
        for singular, plural, where in found:
            used.add(singular)
            entry = catalog.get(singular)
            if entry is None:
                errors.append("%s: %s lacks %r" % (where, shown, singular))
                continue
            if plural is not None and entry.plural != plural:
                errors.append("%s: %s keeps %r %s" % (where, shown, singular,
                              "as a singular message" if entry.plural is None else
                              "with the plural %r, not %r" % (entry.plural, plural)))
                continue
            if plural is None and entry.plural is not None:
                errors.append("%s: %s keeps %r as a plural message" % (where, shown, singular))
                continue
            translated = entry.translated
            if translated is None:
                errors.append("%s: %s has no translation of %r%s" % (where, shown, singular,
                              " (marked fuzzy)" if "fuzzy" in entry.flags else ""))
                continue
            english = placeholders(singular) | placeholders(plural or "")
            for form, text in sorted(entry.msgstr.items()):
                if placeholders(text) != english:
                    errors.append("%s:%d: the translation of %r has %s, the English %s" % (
                        shown, entry.line, singular, sorted(placeholders(text)) or "no placeholder",
                        sorted(english) or "none"))
    for msgid, entry in sorted(catalog.items(), key=lambda item: item[1].line):
        if msgid not in used:
            notes.append("%s:%d: no source uses %r" % (shown, entry.line, msgid))
    return errors, notes


def main(argv):
    if len(argv) not in (2, 3):
        sys.stderr.write("usage: check_translations.py ROOT [PO]\n")
        return 2
    root = argv[1]
    po_path = argv[2] if len(argv) == 3 else os.path.join(root, "po", "ja.po")
    errors, notes = check(root, po_path)
    for note in notes:
        print("note: " + note)
    for error in errors:
        sys.stderr.write(error + "\n")
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
