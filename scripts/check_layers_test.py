#!/usr/bin/env python3
"""The layer check on small trees: what it lets through and what it stops."""

import os
import subprocess
import sys
import tempfile
import unittest

CHECK = os.path.join(os.path.dirname(os.path.abspath(__file__)), "check_layers.py")

# One header in each folder of the layer table, so that every include resolves.
HEADERS = ["framework/core/Core.h", "framework/gui/Gui.h", "framework/headless/Headless.h",
           "framework/qt/Qt.h", "editor/Editor.h", "settings/Settings.h", "app/App.h",
           "tools/edscript/Driver.h", "tests/TestFiles.h", "bench/Bench.h", "fuzz/FuzzCheck.h"]


class LayerCheckTest(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.TemporaryDirectory()
        self.root = self.work.name
        for header in HEADERS:
            self.write(header, "#pragma once\n")

    def tearDown(self):
        self.work.cleanup()

    def write(self, path, text):
        full = os.path.join(self.root, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "w", encoding="utf-8") as out:
            out.write(text)

    def run_check(self):
        done = subprocess.run([sys.executable, CHECK, self.root], capture_output=True, text=True)
        return done.returncode, done.stderr

    def test_includes_down_the_layers_pass(self):
        self.write("framework/gui/Gui.cpp", '#include "Gui.h"\n#include "framework/core/Core.h"\n')
        self.write("framework/headless/H.cpp", '#include "framework/gui/Gui.h"\n#include "Headless.h"\n')
        self.write("framework/qt/Q.cpp", '#include "framework/gui/Gui.h"\n#include <QWidget>\n')
        self.write("editor/Sub/Part.cpp", '#include "../Editor.h"\n#include "framework/gui/Gui.h"\n')
        self.write("settings/S.cpp", '#include "Settings.h"\n#include "framework/core/Core.h"\n')
        self.write("app/main.cpp", "".join('#include "%s"\n' % h for h in HEADERS[:7]) + "#include <QApplication>\n")
        for tool in ("tools/edscript/Driver.cpp", "tests/settings/T.cpp", "bench/b.cpp", "fuzz/f.cpp"):
            self.write(tool, "".join('#include "%s"\n' % h for h in HEADERS) + '#include "TestFiles.h"\n')
        self.write("tests/qt/QtTest.cpp", "#include <QtTest>\n")
        self.write("bench/qt_paint_bench.cpp", "#include <QImage>\n")
        # Not the project's: system headers and names that are no file of the tree.
        self.write("framework/core/Core.cpp", '#include <queue>\n#include "Generated.inc"\n')
        code, errors = self.run_check()
        self.assertEqual((code, errors), (0, ""))

    def test_each_include_against_the_order_is_named_with_its_line(self):
        cases = {
            "framework/core/C.cpp": ('#include "framework/gui/Gui.h"', "framework/core may not include framework/gui"),
            "framework/gui/G.cpp": ('#include "framework/headless/Headless.h"', "framework/gui may not include framework/headless"),
            "framework/headless/H.cpp": ('#include "framework/qt/Qt.h"', "framework/headless may not include framework/qt"),
            "framework/qt/Q.cpp": ('#include "framework/headless/Headless.h"', "framework/qt may not include framework/headless"),
            "framework/gui/E.cpp": ('#include "editor/Editor.h"', "framework/gui may not include editor"),
            "editor/A.cpp": ('#include "framework/headless/Headless.h"', "editor may not include framework/headless"),
            "editor/B.cpp": ('#include "settings/Settings.h"', "editor may not include settings"),
            "editor/Sub/C.cpp": ('#include "../../framework/qt/Qt.h"', "editor may not include framework/qt"),
            "editor/D.cpp": ('#include "TestFiles.h"', "editor may not include tests"),
            "settings/A.cpp": ('#include "editor/Editor.h"', "settings may not include editor"),
            "settings/B.cpp": ('#include "../app/App.h"', "settings may not include app"),
            "app/A.cpp": ('#include "tools/edscript/Driver.h"', "app may not include tools"),
            "editor/Q.cpp": ("#include <QString>", "Qt header <QString>"),
            "framework/headless/Q.cpp": ("#  include <QImage>", "Qt header <QImage>"),
            "bench/b.cpp": ("#include <QPainter>", "Qt header <QPainter>"),
            "tests/gui/Q.cpp": ("#include <QWidget>", "Qt header <QWidget>"),
        }
        for path, (include, _) in cases.items():
            self.write(path, "// a comment line\n\n%s\n" % include)
        code, errors = self.run_check()
        self.assertEqual(code, 1)
        for path, (_, message) in cases.items():
            with self.subTest(path=path):
                self.assertIn("%s:3: %s" % (path, message), errors)
        self.assertIn("%d include(s) against the layer order" % len(cases), errors)

    def test_a_source_folder_outside_the_table_fails(self):
        self.write("plugins/P.cpp", "int x;\n")
        code, errors = self.run_check()
        self.assertEqual(code, 1)
        self.assertIn("plugins/P.cpp:1: a source folder the layer table does not know", errors)

    def test_build_trees_and_hidden_folders_are_not_sources(self):
        for path in ("build/asan/editor/Gen.cpp", "out/CMakeCache.txt", "out/Gen.cpp", ".git/x.h"):
            self.write(path, '#include "app/App.h"\n')
        code, errors = self.run_check()
        self.assertEqual((code, errors), (0, ""))


if __name__ == "__main__":
    unittest.main()
