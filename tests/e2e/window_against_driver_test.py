#!/usr/bin/env python3
"""The real window, driven with xdotool keys and clicks on a virtual display, against the
headless driver given the same actions: both must end with the same text and the caret in
the same place (a marker typed at the caret shows it in the saved text).

usage: window_against_driver_test.py PROGRAM EDSCRIPT FORM_DESCRIPTION OUTPUT_FOLDER
"""

import os
import subprocess
import sys
import time

from main_window import MainWindow
from session import Session, require_tools, run_test, unprivileged_user

MARKER = "|"


class Type:
    def __init__(self, text):
        self.text = text

    def on_window(self, window):
        window.type(self.text)

    def script(self, to_driver):
        return [f'chars "{self.text}"']


class Key:
    """A key with modifiers; `name` is the driver's name, `keysym` xdotool's when it differs."""

    def __init__(self, name, shift=False, ctrl=False, keysym=None, times=1):
        self.name, self.shift, self.ctrl, self.times = name, shift, ctrl, times
        self.keysym = keysym or name

    def on_window(self, window):
        chord = "+".join((["ctrl"] if self.ctrl else []) + (["shift"] if self.shift else []) + [self.keysym])
        window.keys(*[chord] * self.times)

    def script(self, to_driver):
        flags = (" shift" if self.shift else "") + (" ctrl" if self.ctrl else "")
        return [f"key {self.name}{flags}"] * self.times


class Click:
    """The left button on a cell, or anywhere in the editor when no cell is given (before the
    cells are measured)."""

    def __init__(self, cell=None):
        self.cell = cell

    def on_window(self, window):
        self.point = window.cell_point(*self.cell) if self.cell else window.editor_point()
        window.click(self.point)

    def script(self, to_driver):
        return ["mouse click %d %d" % to_driver(self.point)]


class Drag:
    """The left button pressed on one cell, moved over others and released on the last."""

    def __init__(self, *cells):
        self.cells = cells

    def on_window(self, window):
        xdotool = window.session.xdotool
        self.points = [window.cell_point(*cell) for cell in self.cells]
        # Separate motion events: Qt merges the ones it finds queued, and on a busy machine
        # (CTest runs other tests beside this one) a window can be kept waiting for a while.
        step = 0.4
        xdotool("mousemove", *self.points[0], "mousedown", 1)
        for point in self.points[1:]:
            time.sleep(step)
            xdotool("mousemove", *point)
        time.sleep(step)
        xdotool("mouseup", 1)

    def script(self, to_driver):
        points = [to_driver(point) for point in self.points]
        return (["mouse down %d %d" % points[0]] + ["mouse move %d %d" % point for point in points[1:]] +
                ["mouse up %d %d" % points[-1]])


class ContextMenu:
    """The right button on a cell, then the menu's item chosen by its accelerator key; the
    driver's right button opens the menu at the same point (checked), and it clicks the item
    by its caption."""

    def __init__(self, cell, accelerator, path):
        self.cell, self.accelerator, self.path = cell, accelerator, path

    def on_window(self, window):
        self.point = window.cell_point(*self.cell)
        window.context_menu(*self.cell, self.accelerator)

    def script(self, to_driver):
        x, y = to_driver(self.point)
        self.expected_popup = f"popup shown=1 x={x} y={y}"
        return [f"mouse rightclick {x} {y}", "dump popup", f"menu {self.path}"]


# Typing, then a first-row selection ending at the caret from which the cells are measured.
MEASURED_COLUMNS = 10
# A click into the editor first, as a person would.
SETUP = [Click(), Key("Home", ctrl=True), Type("0123456789"), Key("Home"), Key("End", shift=True)]

ACTIONS = [
    Key("End"), Key("Return"), Type("hello world"), Key("Return"), Type("abc"),
    # "hello" selected with Shift+arrows, then dragged by the mouse into "abc".
    Key("Up"), Key("Home"), Key("Right", shift=True, times=5),
    Drag((1, 2), (2, 1), (2, 3)),
    # Undo twice (the move, then the last typing), redo once: Ctrl+A is redo in this editor.
    Key("Z", ctrl=True, keysym="z", times=2), Key("A", ctrl=True, keysym="a"),
    # A cut and a paste through the context menu.
    Key("Home", ctrl=True), Key("Right", shift=True, times=4),
    ContextMenu((0, 1), "t", "切り取り"),
    Key("End"),
    ContextMenu((2, 1), "p", "貼り付け"),
    Key("Left", times=2),
    Type(MARKER),
]
# What a person expects from these actions; both sides must also agree with it, so that a
# fault they share (a drag that moves nothing, an undo that undoes nothing) is caught too.
EXPECTED = b"45678901" + MARKER.encode() + b"23\r\nhello world\r\nabc"


def driver(edscript, folder, lines):
    result = subprocess.run([edscript, "-"], input="\n".join(lines).encode() + b"\n", cwd=folder,
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=30)
    output = result.stdout.decode(errors="replace")
    if result.returncode != 0 or "error:" in output:
        raise AssertionError("the driver failed:\n" + output)
    return output


def main():
    program, edscript, form, output = sys.argv[1:5]
    require_tools("Xvfb", "xdotool", "setpriv", program, edscript)
    with Session(unprivileged_user(), os.path.join(output, "e2e_window_against_driver_failure.png")) as session:
        session.start_display()
        window = MainWindow(session, program, form, session.environment())
        for action in SETUP:
            action.on_window(window)
        origin, (width, height) = window.measure_cells(MEASURED_COLUMNS)
        print(f"text origin {origin} on the screen, cells {width} x {height} px")

        # The driver with the same cells; it tells where its first cell is.
        head = [f"font {width} {height}", "form", "rowcol 0 0", "dump syscaret"]
        probe = driver(edscript, output, head)
        fields = dict(field.split("=") for field in probe.split()[1:])
        driver_origin = (int(fields["x"]), int(fields["y"]))
        client = (origin[0] - driver_origin[0], origin[1] - driver_origin[1])
        if not (window.left <= client[0] < window.left + window.width and
                window.top <= client[1] < window.top + window.height):
            raise AssertionError(f"with the driver's margins the editor would start at {client}, outside the window")

        def to_driver(point):
            return point[0] - origin[0] + driver_origin[0], point[1] - origin[1] + driver_origin[1]

        for action in ACTIONS:
            action.on_window(window)
            window.check_sound()
        saved = window.save_as(os.path.join(session.home, "window.x"))

        driver_file = os.path.join(output, "e2e_driver.x")
        script = head[:2] + [line for action in SETUP + ACTIONS for line in action.script(to_driver)]
        script += [f"answer save {driver_file}", "click SaveAs", "dump boxes"]
        with open(os.path.join(output, "e2e_driver.eds"), "w", encoding="utf-8") as target:
            target.write("\n".join(script) + "\n")
        printed = driver(edscript, output, script)
        popups = [line for line in printed.splitlines() if line.startswith("popup ")]
        wanted = [action.expected_popup for action in ACTIONS if isinstance(action, ContextMenu)]
        if popups != wanted:
            raise AssertionError(f"the driver's right button opened {popups}, not {wanted}")
        boxes = "\n".join(line for line in printed.splitlines() if not line.startswith("popup "))
        with open(driver_file, "rb") as source:
            expected = source.read()
        print("window:", saved)
        print("driver:", expected)
        if saved != expected:
            raise AssertionError(f"the window and the driver differ (driver script in {output}/e2e_driver.eds)")
        if boxes.strip():
            raise AssertionError("the driver showed message boxes:\n" + boxes)
        if saved != EXPECTED:
            raise AssertionError(f"both ended with {saved!r}, not {EXPECTED!r}")
        window.check_sound()


if __name__ == "__main__":
    run_test(main)
