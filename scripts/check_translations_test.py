#!/usr/bin/env python3
"""The translation check and the catalog generator on small trees."""

import os
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
CHECK = os.path.join(HERE, "check_translations.py")
GENERATE = os.path.join(HERE, "po_to_cpp.py")

HEADER = '''msgid ""
msgstr ""
"Content-Type: text/plain; charset=UTF-8\\n"
"Plural-Forms: nplurals=1; plural=0;\\n"

'''


class TranslationCheckTest(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.TemporaryDirectory()
        self.root = self.work.name

    def tearDown(self):
        self.work.cleanup()

    def write(self, path, text):
        full = os.path.join(self.root, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "w", encoding="utf-8") as out:
            out.write(text)

    def run_check(self, source, po):
        self.write("app/A.cpp", source)
        self.write("po/ja.po", HEADER + po)
        done = subprocess.run([sys.executable, CHECK, self.root], capture_output=True, text=True)
        return done.returncode, done.stdout, done.stderr

    def test_literals_joined_and_decoded_are_found(self):
        source = ('// Tr("only a comment") is no message\n'
                  'auto a = Tr("Say \\"hi\\"\\n" "to %1");\n'
                  'auto b = TrFormat(R"(raw)", {x});\n'
                  'auto c = plomaret::TrPlural(f(1, 2), "%n file", "%n files", {y});\n'
                  'auto d = other.Tr(name);  // another class\'s Tr\n')
        po = ('msgid "Say \\"hi\\"\\n"\n"to %1"\nmsgstr "「%1」に\\n"\n\n'
              'msgid "raw"\nmsgstr "生"\n\n'
              'msgid "%n file"\nmsgid_plural "%n files"\nmsgstr[0] "%n 個"\n')
        self.assertEqual(self.run_check(source, po), (0, "", ""))

    def test_each_fault_is_named_with_its_place(self):
        source = ('Tr("missing");\nTr("empty");\nTr("fuzzy");\nTrPlural(n, "%n cat", "%n cats");\n'
                  'TrFormat("lost %1", {a});\nTr(variable);\n')
        po = ('msgid "empty"\nmsgstr ""\n\n'
              '#, fuzzy\nmsgid "fuzzy"\nmsgstr "毛"\n\n'
              'msgid "%n cat"\nmsgstr "%n 匹"\n\n'
              'msgid "lost %1"\nmsgstr "なし"\n\n'
              'msgid "unused"\nmsgstr "未使用"\n')
        code, out, errors = self.run_check(source, po)
        self.assertEqual(code, 1)
        for expected in ("app/A.cpp:1: po/ja.po lacks 'missing'",
                         "app/A.cpp:2: po/ja.po has no translation of 'empty'",
                         "app/A.cpp:3: po/ja.po has no translation of 'fuzzy' (marked fuzzy)",
                         "app/A.cpp:4: po/ja.po keeps '%n cat' as a singular message",
                         "the translation of 'lost %1' has no placeholder, the English ['%1']",
                         "app/A.cpp:6: Tr( takes its text as a string literal"):
            self.assertIn(expected, errors)
        self.assertIn("no source uses 'unused'", out)

    def test_an_unused_entry_alone_does_not_fail(self):
        code, out, errors = self.run_check('Tr("a");\n', 'msgid "a"\nmsgstr "あ"\n\nmsgid "b"\nmsgstr "い"\n')
        self.assertEqual((code, errors), (0, ""))
        self.assertIn("no source uses 'b'", out)

    def test_the_generator_sorts_by_bytes_and_leaves_out_what_has_no_translation(self):
        self.write("po/ja.po", HEADER + 'msgid "b"\nmsgstr "い"\n\nmsgid "B \\"q\\""\nmsgstr "う\\n"\n\n'
                   'msgid "a"\nmsgstr ""\n\n#, fuzzy\nmsgid "c"\nmsgstr "え"\n')
        output = os.path.join(self.root, "out.cpp")
        done = subprocess.run([sys.executable, GENERATE, os.path.join(self.root, "po/ja.po"), output, "kTable"],
                              capture_output=True, text=True)
        self.assertEqual(done.returncode, 0, done.stderr)
        with open(output, encoding="utf-8") as generated:
            text = generated.read()
        self.assertLess(text.index('{"B \\"q\\""'), text.index('{"b"'))
        self.assertIn("\\343\\201\\206\\012", text)  # う and a line feed, as octal escapes
        self.assertNotIn('{"a"', text)
        self.assertNotIn('{"c"', text)
        self.assertIn("const TCatalog kTable{kEntries, 2};", text)

    def test_the_generator_refuses_a_malformed_file(self):
        self.write("po/ja.po", HEADER + 'msgid "a"\nmsgstr "unterminated\n')
        done = subprocess.run([sys.executable, GENERATE, os.path.join(self.root, "po/ja.po"),
                               os.path.join(self.root, "out.cpp"), "kTable"], capture_output=True, text=True)
        self.assertEqual(done.returncode, 1)
        self.assertIn("ja.po:7: not a line of a .po file", done.stderr)


if __name__ == "__main__":
    unittest.main()
