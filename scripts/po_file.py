"""Reading a gettext .po file: the entries a translator keeps, as the generator and the
checker both need them. Only what this program uses is understood: msgid, msgid_plural,
msgstr, msgstr[N], msgctxt is refused, flags (#, fuzzy) and comments."""

import re


class PoError(Exception):
    pass


class Entry:
    def __init__(self, line):
        self.line = line  # where msgid stands, for messages
        self.msgid = None
        self.plural = None
        self.msgstr = {}  # form number -> text; a singular message has form 0
        self.flags = set()
        self.obsolete = False

    @property
    def translated(self):
        """The translation when every form has one and the entry is not fuzzy; else None."""
        if "fuzzy" in self.flags or self.obsolete or not self.msgstr:
            return None
        if any(text == "" for text in self.msgstr.values()):
            return None
        return self.msgstr.get(0)


ESCAPES = {"n": "\n", "t": "\t", "r": "\r", '"': '"', "\\": "\\", "a": "\a", "b": "\b", "f": "\f", "v": "\v"}


def unquote(text, where):
    """The C string literal text (with its quotes) decoded."""
    if len(text) < 2 or text[0] != '"' or text[-1] != '"':
        raise PoError("%s: a string in double quotes was expected" % where)
    body = text[1:-1]
    out = []
    i = 0
    while i < len(body):
        c = body[i]
        if c == '"':
            raise PoError("%s: a quote inside a string must be written \\\"" % where)
        if c != "\\":
            out.append(c)
            i += 1
            continue
        if i + 1 == len(body):
            raise PoError("%s: a string ends with a lone backslash" % where)
        e = body[i + 1]
        if e in ESCAPES:
            out.append(ESCAPES[e])
            i += 2
        else:
            raise PoError("%s: unknown escape \\%s" % (where, e))
    return "".join(out)


KEYWORD = re.compile(r'^(msgid|msgid_plural|msgstr|msgstr\[(\d+)\]|msgctxt)\s+(".*")\s*$')


def read(path):
    """The entries of the file, the header (msgid "") first when there is one."""
    with open(path, "rb") as raw:
        data = raw.read()
    try:
        text = data.decode("utf-8")
    except UnicodeDecodeError as error:
        raise PoError("%s: not UTF-8 (%s)" % (path, error))
    entries = []
    entry = None
    target = None  # (entry, field, form) the next continuation string adds to
    flags = set()
    for number, line in enumerate(text.splitlines(), 1):
        where = "%s:%d" % (path, number)
        stripped = line.strip()
        obsolete = stripped.startswith("#~")
        if obsolete:
            stripped = stripped[2:].strip()
        if not stripped:
            target = None
            continue
        if stripped.startswith("#,") and not obsolete:
            flags |= {flag.strip() for flag in stripped[2:].split(",")}
            continue
        if stripped.startswith("#"):
            continue
        if stripped.startswith('"'):
            if target is None:
                raise PoError("%s: a string that belongs to no keyword" % where)
            owner, field, form = target
            added = unquote(stripped, where)
            if field == "msgstr":
                owner.msgstr[form] += added
            else:
                setattr(owner, field, getattr(owner, field) + added)
            continue
        match = KEYWORD.match(stripped)
        if not match:
            raise PoError("%s: not a line of a .po file: %s" % (where, stripped))
        keyword, form, value = match.group(1), match.group(2), unquote(match.group(3), where)
        if keyword == "msgctxt":
            raise PoError("%s: msgctxt is not used by this program" % where)
        if keyword == "msgid":
            entry = Entry(number)
            entry.msgid = value
            entry.flags = flags
            entry.obsolete = obsolete
            flags = set()
            entries.append(entry)
            target = (entry, "msgid", None)
        elif entry is None:
            raise PoError("%s: %s before any msgid" % (where, keyword))
        elif keyword == "msgid_plural":
            entry.plural = value
            target = (entry, "plural", None)
        else:
            index = 0 if form is None else int(form)
            if (form is None) != (entry.plural is None):
                raise PoError("%s: a plural message takes msgstr[N], a singular one msgstr" % where)
            entry.msgstr[index] = value
            target = (entry, "msgstr", index)
    seen = {}
    for each in entries:
        if each.obsolete:
            continue
        if each.msgid in seen:
            raise PoError("%s:%d: msgid %r again (first at line %d)" % (path, each.line, each.msgid, seen[each.msgid]))
        seen[each.msgid] = each.line
    return entries


def messages(entries):
    """The entries that are messages: not the header, not obsolete."""
    return [entry for entry in entries if entry.msgid != "" and not entry.obsolete]


def header_field(entries, name):
    for entry in entries:
        if entry.msgid == "" and not entry.obsolete:
            for line in entry.msgstr.get(0, "").split("\n"):
                if line.startswith(name + ":"):
                    return line[len(name) + 1:].strip()
    return None
