"""The program's main window on the session's display, driven with xdotool as a person would:
its toolbar buttons, its editor's cells, the SaveAs file dialog and the context menu."""

import os
import re
import time

from session import wait_for

SELECTION_BACKGROUND = (255, 255, 0)  # the editor's selection colour in the form description
POINTER_PARK = (0, 0)  # outside the window, so the pointer is not in a screenshot's way


def toolbar_buttons(form_description):
    """Caption -> (left, top, width, height) in the window, from the form description the
    program is built from (the buttons are drawn, not windows of their own)."""
    with open(form_description, encoding="latin-1") as source:
        text = source.read()
    buttons = {}
    for block in re.finditer(r"object \w+: TSpeedButton\n(.*?)\n\s*end\n", text, re.S):
        fields = dict(re.findall(r"^\s*(\w+) = (.*)$", block.group(1), re.M))
        caption = fields["Caption"].strip("'")
        buttons[caption] = tuple(int(fields[name]) for name in ("Left", "Top", "Width", "Height"))
    return buttons


class MainWindow:
    def __init__(self, session, program, form_description, env):
        self.session = session
        self.buttons = toolbar_buttons(form_description)
        self.process = session.start("program", [session.runnable(program)], env=env)
        self.window = wait_for("the main window", lambda: self.visible_windows(), timeout=20)[0]
        geometry = dict(line.split("=", 1) for line in
                        session.xdotool("getwindowgeometry", "--shell", self.window).split())
        self.left, self.top = int(geometry["X"]), int(geometry["Y"])
        self.width, self.height = int(geometry["WIDTH"]), int(geometry["HEIGHT"])
        self.origin = None  # the screen point of the editor's first text cell
        self.cell = None  # (width, height) of a half-width cell

    def visible_windows(self, name="plomaret"):
        found = self.session.run(["xdotool", "search", "--onlyvisible", "--name", name], as_user=False, check=False)
        return [line for line in found.stdout.decode().split() if line]

    def focused_window(self):
        return self.session.run(["xdotool", "getwindowfocus"], as_user=False, check=False).stdout.decode().strip()

    def check_sound(self):
        """The program still runs and the sanitizers reported nothing."""
        report = self.session.log_of("program")
        if self.process.poll() is not None:
            raise AssertionError(f"the program ended ({self.process.returncode}):\n{report}")
        if "ERROR: AddressSanitizer" in report or "runtime error:" in report:
            raise AssertionError("the program reported a fault:\n" + report)

    def keys(self, *names):
        self.session.xdotool("key", "--delay", 40, *names)

    def type(self, text):
        self.session.xdotool("type", "--delay", 40, text)

    def click_button(self, caption):
        left, top, width, height = self.buttons[caption]
        self.session.xdotool("mousemove", self.left + left + width // 2, self.top + top + height // 2, "click", 1)

    def click(self, point):
        self.session.xdotool("mousemove", *point, "click", 1)
        wait_for("the main window to take the keyboard", lambda: self.focused_window() == self.window)

    def editor_point(self):
        """A point in the editor's text area, below the first rows, for a click before the
        cells are measured."""
        return self.left + self.width // 2, self.top + self.height * 3 // 4

    def park_pointer(self):
        self.session.xdotool("mousemove", *POINTER_PARK)

    def screenshot(self, settle=0.3):
        self.park_pointer()
        time.sleep(settle)  # what the last input changed is painted on the next round of Qt's loop
        return self.session.screenshot()

    def measure_cells(self, columns):
        """Measures the text cells from a selection of `columns` half-width characters on the
        first row, made by the caller and ending at the caret (the caret inverts what it covers,
        so it must not sit on the selection)."""
        area = (self.left, self.top, self.left + self.width, self.top + self.height)
        bounds = self.screenshot().bounds_of(SELECTION_BACKGROUND, area)
        if bounds is None:
            raise AssertionError("no selection is drawn in the editor")
        left, top, right, bottom = bounds
        if (right - left) % columns != 0:
            raise AssertionError(f"a selection of {columns} cells is {right - left} px wide")
        self.origin = (left, top)
        self.cell = ((right - left) // columns, bottom - top)
        return self.origin, self.cell

    def cell_point(self, row, column):
        """The screen point at the centre of a cell (its centre-left pixel: a click that places
        the caret by the nearer cell edge then keeps it before the character)."""
        width, height = self.cell
        return (self.origin[0] + column * width + (width - 1) // 2, self.origin[1] + row * height + height // 2)

    def wait_for_new_window(self, before, what):
        return wait_for(what, lambda: [w for w in self.visible_windows("") if w not in before])[0]

    def save_as(self, path):
        """Saves through the toolbar's SaveAs and its file dialog; returns the file's bytes."""
        self.park_pointer()
        before = self.visible_windows("")
        self.click_button("SaveAs")
        dialog = self.wait_for_new_window(before, "the SaveAs dialog")
        wait_for("the SaveAs dialog to take the keyboard", lambda: self.focused_window() == dialog)
        self.type(path)
        self.keys("Return")
        wait_for("the SaveAs dialog to close", lambda: dialog not in self.visible_windows(""))
        wait_for(f"{path} to be written", lambda: os.path.exists(path))
        # A window manager would give the keyboard back to the main window; there is none here.
        self.session.xdotool("windowfocus", "--sync", self.window)
        wait_for("the main window to take the keyboard back", lambda: self.focused_window() == self.window)
        with open(path, "rb") as saved:
            return saved.read()

    def context_menu(self, row, column, accelerator):
        """Right-clicks a cell and chooses the context menu's item by its accelerator key."""
        before = self.visible_windows("")
        self.session.xdotool("mousemove", *self.cell_point(row, column), "click", 3)
        menu = self.wait_for_new_window(before, "the context menu")
        self.keys(accelerator)
        wait_for("the context menu to close", lambda: menu not in self.visible_windows(""))
