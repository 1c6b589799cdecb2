"""Drives the running program from outside, as a user would: windows and controls are found
through the accessibility interface (AT-SPI) by role and accessible name, buttons are pressed
through their accessible action, and keys and mouse clicks are sent as X input with xdotool.

Every wait has a timeout and fails with a message that says what was awaited and which windows
the program had open at that moment."""

import subprocess
import time

import pyatspi

TIMEOUT = 15.0


class Failure(Exception):
    pass


def wait_for(condition, what, timeout=TIMEOUT, interval=0.05):
    """Polls condition() until it returns something true and returns that; fails after timeout."""
    deadline = time.monotonic() + timeout
    last_error = None
    while True:
        try:
            value = condition()
            if value:
                return value
        except Exception as error:  # an object that went away while it was looked at
            last_error = error
        if time.monotonic() > deadline:
            detail = f" (last error: {last_error})" if last_error else ""
            raise Failure(f"timed out after {timeout:g} s waiting for {what}{detail}")
        time.sleep(interval)


def role(acc):
    return acc.getRoleName()


def has_state(acc, state):
    return acc.getState().contains(state)


def children(acc):
    return [c for c in (acc.getChildAtIndex(i) for i in range(acc.childCount)) if c is not None]


def find_all(root, pred):
    found = []
    stack = children(root)
    while stack:
        acc = stack.pop(0)
        try:
            if pred(acc):
                found.append(acc)
            stack[0:0] = children(acc)
        except Exception:
            continue
    return found


class Program:
    """One running instance of the program, found on the accessibility bus by its process id."""

    def __init__(self, process, app_name="Varrow"):
        self.process = process
        self.app_name = app_name
        self.app = wait_for(self._find_app, f"the program (pid {process.pid}) on the accessibility bus", timeout=30)

    def _find_app(self):
        if self.process.poll() is not None:
            raise Failure(f"the program ended with status {self.process.returncode} before its window appeared")
        desktop = pyatspi.Registry.getDesktop(0)
        for app in children(desktop):
            try:
                if app.name == self.app_name and app.get_process_id() == self.process.pid:
                    return app
            except Exception:
                continue
        return None

    def windows(self):
        return children(self.app)

    def describe(self):
        """The open windows and their visible texts, for failure messages."""
        lines = []
        try:
            for w in self.windows():
                lines.append(f"  [{role(w)}] {w.name!r}")
                if role(w) in ("dialog", "alert"):
                    for label in find_all(w, lambda a: role(a) == "label"):
                        lines.append(f"      label {label.name!r}")
        except Exception as error:
            lines.append(f"  (windows could not be listed: {error})")
        return "\n".join(lines) or "  (no windows)"

    def window(self, name, kind=None, timeout=TIMEOUT, prefix=False):
        def match():
            for w in self.windows():
                if (kind is None or role(w) == kind) and (w.name.startswith(name) if prefix else w.name == name):
                    if has_state(w, pyatspi.STATE_SHOWING) or has_state(w, pyatspi.STATE_VISIBLE):
                        return w
            return None
        try:
            return wait_for(match, f"the window {name!r}", timeout)
        except Failure as f:
            raise Failure(f"{f}\nopen windows:\n{self.describe()}") from None

    def window_gone(self, name, timeout=TIMEOUT):
        def gone():
            return not any(w.name == name and has_state(w, pyatspi.STATE_SHOWING) for w in self.windows())
        wait_for(gone, f"the window {name!r} to close", timeout)

    def wait_exit(self, timeout=TIMEOUT):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise Failure(f"the program did not end within {timeout:g} s\nopen windows:\n{self.describe()}") from None


def control(window, name, kind, timeout=TIMEOUT, showing=True):
    """The control of the given role and accessible name inside window."""
    def match():
        for acc in find_all(window, lambda a: role(a) == kind and a.name == name):
            if not showing or has_state(acc, pyatspi.STATE_SHOWING):
                return acc
        return None
    return wait_for(match, f"a {kind} named {name!r} in the window {window.name!r}", timeout)


def press(window, name, kind="push button"):
    button = control(window, name, kind)
    wait_for(lambda: has_state(button, pyatspi.STATE_ENABLED), f"the {kind} {name!r} to be enabled", 5)
    action = button.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    action.doAction(names.index("Press") if "Press" in names else 0)
    # The button shows itself pressed for a moment and then clicks; later input must not
    # overtake the click.
    wait_for(lambda: not has_state(button, pyatspi.STATE_PRESSED), f"the {kind} {name!r} to finish its click", 5,
             interval=0.01)


def text_of(acc):
    t = acc.queryText()
    return t.getText(0, t.characterCount)


def wait_text(acc, expected, what=None, timeout=TIMEOUT):
    def same():
        return text_of(acc) == expected
    try:
        wait_for(same, what or f"{acc.name!r} to read {expected!r}", timeout)
    except Failure as f:
        raise Failure(f"{f}; it reads {text_of(acc)!r}") from None


def set_text(acc, text):
    """Sets a box's text as the accessibility interface does (no key events)."""
    acc.queryEditableText().setTextContents(text)
    wait_text(acc, text)


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True)


def top_level(acc):
    """The window that holds acc."""
    while acc.parent is not None and role(acc.parent) != "application":
        acc = acc.parent
    return acc


def ere(text):
    """text as a POSIX extended regular expression matching exactly it."""
    return "^" + "".join("\\" + c if c in ".[]()*+?{}|^$\\" else c for c in text) + "$"


def activate(window):
    """Gives the window the keyboard: there is no window manager to do it on a click."""
    if has_state(window, pyatspi.STATE_ACTIVE):
        return
    ids = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", ere(window.name)],
                         capture_output=True, text=True).stdout.split()
    if not ids:
        raise Failure(f"no X window is named {window.name!r}")
    xdotool("windowfocus", "--sync", ids[-1])
    wait_for(lambda: has_state(window, pyatspi.STATE_ACTIVE), f"the window {window.name!r} to become active", 5)


def focus(acc):
    activate(top_level(acc))
    acc.queryComponent().grabFocus()
    wait_for(lambda: has_state(acc, pyatspi.STATE_FOCUSED), f"the focus in {acc.name!r}", 5)


def type_into(acc, text):
    """Replaces a box's text by typing it, with real key presses and releases."""
    focus(acc)
    old = text_of(acc)
    xdotool("key", "--delay", "5", "End", *(["BackSpace"] * len(old)))
    wait_text(acc, "", f"{acc.name!r} to be emptied by backspace")
    xdotool("type", "--delay", "20", text)
    wait_text(acc, text)


def keys(*names):
    xdotool("key", "--delay", "30", *names)


def click(acc):
    """A left click in the middle of the object on screen."""
    e = acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    if e.width <= 0 or e.height <= 0:
        raise Failure(f"{acc.name!r} has no place on screen to click")
    xdotool("mousemove", str(e.x + e.width // 2), str(e.y + e.height // 2), "click", "1")


class Tree:
    """The library tree of the main window: rows are table cells named by their node text."""

    def __init__(self, window, name):
        self.acc = control(window, name, "tree")

    def cells(self):
        return [c for c in children(self.acc) if role(c) == "table cell"]

    def names(self):
        return [c.name for c in self.cells()]

    def cell(self, name, prefix=False):
        def match():
            for c in self.cells():
                if (c.name.startswith(name) if prefix else c.name == name):
                    return c
            return None
        try:
            return wait_for(match, f"the tree node {name!r}")
        except Failure as f:
            raise Failure(f"{f}; the tree shows {self.names()}") from None

    def select(self, name, prefix=False):
        cell = self.cell(name, prefix)
        activate(top_level(self.acc))
        if has_state(cell, pyatspi.STATE_SHOWING):
            click(cell)
        else:
            # Out of sight: typing the start of its text finds it, as in any list.
            focus(self.acc)
            xdotool("type", "--delay", "20", cell.name[:12])
        wait_for(lambda: has_state(cell, pyatspi.STATE_SELECTED), f"the tree node {cell.name!r} to be selected", 5)
        return cell

    def expand(self, name):
        """Selects the set node and opens it with the Right key."""
        cell = self.select(name)
        if not has_state(cell, pyatspi.STATE_EXPANDED):
            keys("Right")
            wait_for(lambda: has_state(self.cell(name), pyatspi.STATE_EXPANDED), f"the set {name!r} to open", 5)
        return cell

    def collapse(self, name):
        cell = self.select(name)
        if has_state(cell, pyatspi.STATE_EXPANDED):
            keys("Left")
            wait_for(lambda: not has_state(self.cell(name), pyatspi.STATE_EXPANDED), f"the set {name!r} to close", 5)

    def selected(self):
        return [c.name for c in self.cells() if has_state(c, pyatspi.STATE_SELECTED)]
