#!/usr/bin/env python3
"""The real window with a real Japanese input method (fcitx5 with mozc) on a virtual display:
romaji typed with xdotool, converted and committed, the text saved through SaveAs as
Shift-JIS, and the clipboard both ways with another program (xclip).

usage: input_method_test.py PROGRAM FORM_DESCRIPTION OUTPUT_FOLDER
"""

import os
import sys

from main_window import MainWindow
from session import InputMethodMonitor, Session, require_tools, run_test, unprivileged_user, wait_for

MOZC = "/usr/lib/mozc/mozc_server"


def convert(session, monitor, window, romaji, before_commit=None):
    """Types romaji with the input method on, converts it with Space and commits it with
    Return; returns the clauses of the conversion and the text committed."""
    committed, shown = len(monitor.commits()), len(monitor.preedits())
    session.input_method_on()
    window.type(romaji)
    window.keys("space")

    def converted():
        latest = monitor.preedits()[shown:][-1:]
        return latest[0] if latest and any(flags & monitor.HIGHLIGHT for _, flags in latest[0]) else None

    clauses = wait_for("the conversion", converted)
    if before_commit is not None:
        before_commit()
    window.keys("Return")
    text = wait_for("the commit", lambda: monitor.commits()[committed:])[0]
    session.input_method_off()
    return clauses, text


def main():
    program, form, output = sys.argv[1:4]
    require_tools("Xvfb", "fcitx5", "fcitx5-remote", MOZC, "xdotool", "xclip", "dbus-run-session", "dbus-send",
                  "dbus-monitor", "setpriv", program)
    with Session(unprivileged_user(), os.path.join(output, "e2e_input_method_failure.png")) as session:
        session.start_display()
        session.start_input_method()
        monitor = InputMethodMonitor(session)
        window = MainWindow(session, program, form,
                            session.environment(QT_IM_MODULE="fcitx", XMODIFIERS="@im=fcitx"))
        window.click(window.editor_point())
        window.keys("ctrl+Home")

        # One word, saved: 日本 in Shift-JIS.
        convert(session, monitor, window, "nihon")
        saved = window.save_as(os.path.join(session.home, "one.x"))
        if saved != b"\x93\xfa\x96\x7b":
            raise AssertionError(f"日本 was saved as {saved.hex(' ')}, not 93 fa 96 7b")

        # Two clauses, the screen kept while the first is being converted.
        window.keys("Return")
        picture = os.path.join(output, "e2e_two_clauses.png")
        clauses, text = convert(session, monitor, window, "watashihanihonjindesu",
                                lambda: window.screenshot().save_png(picture))
        if len(clauses) < 2 or not clauses[0][1] & monitor.HIGHLIGHT or text != "私は日本人です":
            raise AssertionError(f"mozc converted to {clauses} and committed {text!r}: "
                                 "not 私は日本人です in two clauses")

        # Converted in the middle of a line: it goes in at the caret.
        window.keys("Return")
        window.type("abcdef")
        window.keys("Left", "Left", "Left")
        convert(session, monitor, window, "nihon")

        # The clipboard to another program: UTF-8.
        window.keys("Home", "shift+End", "ctrl+c")
        copied = wait_for("the copy on the clipboard", lambda: session.run(
            ["xclip", "-o", "-selection", "clipboard"], check=False).stdout)
        if copied.decode("utf-8", errors="replace") != "abc日本def":
            raise AssertionError(f"the clipboard holds {copied!r}, not abc日本def in UTF-8")

        # And from another program: pasted, then saved as Shift-JIS.
        window.keys("End", "Return")
        pasted = session.write("home/clip.txt", "日本語")
        session.start("xclip", ["xclip", "-quiet", "-i", "-selection", "clipboard", pasted])
        wait_for("xclip to own the clipboard", lambda: session.run(
            ["xclip", "-o", "-selection", "clipboard"], check=False).stdout == "日本語".encode())
        window.keys("ctrl+v")
        saved = window.save_as(os.path.join(session.home, "all.x"))
        expected = "日本\r\n私は日本人です\r\nabc日本def\r\n日本語".encode("cp932")
        if saved != expected:
            raise AssertionError(f"saved {saved!r}\nexpected {expected!r}")
        window.check_sound()


if __name__ == "__main__":
    run_test(main)
