#!/usr/bin/python3
"""One analyst's session with the real program, driven from outside through its windows.

    session.py VARROW FMTOOL DEFAULT_LIBRARY WORKDIR

VARROW is copied into an empty program folder under WORKDIR and started there with its own
home, settings and data folders. The session copies a grass model of the locked standard set
into a new set, edits and tests it in the Edit and Test Center (entries, Compute, Plot, a tuner),
saves it, renames the set, makes another set the default one and closes the program; a second
start must show all of it. The library file is compared byte for byte with the bytes this
script builds itself from DEFAULT_LIBRARY (the shipped default library file), and the results
the editor shows with what FMTOOL computes for the same model.

Needs DISPLAY and an accessibility bus (see run_session.sh). Exit status 0 when every check
passes; otherwise 1, after a message that says which check failed and what was seen."""

import os
import shutil
import subprocess
import sys
import time

import pyatspi

from atspi_driver import (Failure, Program, Tree, control, find_all, focus, has_state, keys, press, role,
                          text_of, type_into, wait_for, wait_text, xdotool)

MAIN_TITLE = "Manage Orla Fuel Models, Version - "
EDITOR_TITLE = "Edit Fuel Model"
LIBRARY_NAME = "OrlaFuelModels.FFM"

SOURCE_MODEL = "102 - GR2 Low load, dry climate grass"
FIRST_SET_NAME = "Session Grass"
RENAMED_SET_NAME = "Analyst Grass Models"
PASTED_ID = "G2X"
PASTED_DESCRIPTION = "GR2 tuned for the session"
TYPED_LOADING = "0.25"  # 1-h loading typed in the editor, t/ac
TYPED_WIND = "15"  # 20-foot wind typed in the editor, mi/h
TUNER_STEPS = 5  # Right key presses on the 1-h loading tuner; one step is 0.01 t/ac


def log(text):
    print(f"[{time.strftime('%H:%M:%S')}] {text}", flush=True)


def check(condition, message):
    if not condition:
        raise Failure(message)


# ---- the bytes the session must leave in the library file, built independently -------------

def model_fields(line):
    """The 17 fields of a model line (quotes kept on the two texts)."""
    fields = line.split(b",")
    # The description of a standard model may hold commas: it is the second quoted field.
    first_end = line.index(b'",') + 1
    second_end = line.index(b'",', first_end + 1) + 1
    return [line[:first_end], line[first_end + 1:second_end]] + line[second_end + 1:].split(b",")


def number_text(value):
    """A number as the library file writes it: at most 15 significant digits, no trailing zeros."""
    text = "%.15g" % value
    return text.encode()


def source_line(default_bytes, node_text):
    model_id = node_text.split(" - ", 1)[0].encode()
    for line in default_bytes.split(b"\r\n"):
        if line.startswith(b'"' + model_id + b'",'):
            return line
    raise Failure(f"the default library has no model {model_id!r}")


def edited_line(source, model_id, description, loading_1h):
    fields = model_fields(source)
    fields[0] = b'"' + model_id.encode() + b'"'
    fields[1] = b'"' + description.encode() + b'"'
    fields[3] = number_text(loading_1h)  # position 4: 1-h loading
    return b",".join(fields)


def library_with_set(default_bytes, set_name, lines):
    end = b'"[End]"\r\n'
    check(default_bytes.endswith(end), "the default library does not end with the [End] line")
    header = b'"[FuelModelSet:' + set_name.encode() + b",Count:" + str(len(lines)).encode() + b']"\r\n'
    return default_bytes[:-len(end)] + header + b"".join(l + b"\r\n" for l in lines) + end


def fmtool_results(fmtool, library, set_name, wind, workdir):
    """ROS, intensity, flame length and size as fmtool computes them for the set's first model."""
    path = os.path.join(workdir, "fmtool-input.FFM")
    with open(path, "wb") as f:
        f.write(library)
    out = subprocess.run([fmtool, "table", path, "--set", set_name, "--wind", wind], check=True,
                         capture_output=True, text=True).stdout.splitlines()
    check(len(out) == 2, f"fmtool table gave {out!r}")
    row = out[1].split(",")
    # Set,ID,Description,ROS,FLI,FL,Size,...: the description holds no comma here.
    return {"ROS (Ch/Hr)": row[3], "Fireline Intensity (BTU/Ft/Sec)": row[4],
            "Flame Length (Feet)": row[5], "Size After 1 Hour (Ac)": row[6]}


def diff_bytes(actual, expected):
    a, e = actual.split(b"\r\n"), expected.split(b"\r\n")
    for i, (x, y) in enumerate(zip(a, e)):
        if x != y:
            return f"first difference on line {i + 1}:\n  file:     {x!r}\n  expected: {y!r}"
    return f"the file has {len(a)} lines, {len(e)} were expected (sizes {len(actual)} and {len(expected)} bytes)"


def check_file(path, expected, when):
    with open(path, "rb") as f:
        actual = f.read()
    if actual != expected:
        raise Failure(f"the library file {when} differs from the expected bytes; {diff_bytes(actual, expected)}")


# ---- the program -----------------------------------------------------------------------------

class Session:
    def __init__(self, varrow, fmtool, default_library, workdir):
        self.fmtool = fmtool
        self.workdir = workdir
        with open(default_library, "rb") as f:
            self.default_bytes = f.read()
        self.program_folder = os.path.join(workdir, "program")
        self.home = os.path.join(workdir, "home")
        for folder in (self.program_folder, self.home):
            shutil.rmtree(folder, ignore_errors=True)
            os.makedirs(folder)
        self.varrow = os.path.join(self.program_folder, "varrow")
        shutil.copy2(varrow, self.varrow)
        self.library = os.path.join(self.program_folder, LIBRARY_NAME)
        self.settings = os.path.join(self.home, ".config", "Quillon", "Quillon.conf")
        self.env = dict(os.environ, HOME=self.home, XDG_CONFIG_HOME=os.path.join(self.home, ".config"),
                        XDG_DATA_HOME=os.path.join(self.home, ".local", "share"),
                        XDG_CACHE_HOME=os.path.join(self.home, ".cache"),
                        XDG_RUNTIME_DIR=os.path.join(self.workdir, "runtime"),
                        QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
        os.makedirs(self.env["XDG_RUNTIME_DIR"], mode=0o700, exist_ok=True)
        self.processes = []

    def start(self):
        log("starting the program")
        process = subprocess.Popen([self.varrow], cwd=self.workdir, env=self.env,
                                   stdout=open(os.path.join(self.workdir, "program.log"), "ab"),
                                   stderr=subprocess.STDOUT)
        self.processes.append(process)
        program = Program(process)
        main = program.window(MAIN_TITLE, "frame", timeout=30, prefix=True)
        return program, main

    def kill_all(self):
        for p in self.processes:
            if p.poll() is None:
                p.kill()
                p.wait()

    # ---- first run ------------------------------------------------------------------------

    def first_run(self):
        program, main = self.start()
        check(main.name == MAIN_TITLE + main.name[len(MAIN_TITLE):] and main.name.count(".") == 2,
              f"the main window's caption is {main.name!r}")
        wait_for(lambda: os.path.exists(self.library), f"the default library at {self.library}")
        check_file(self.library, self.default_bytes, "created at the first start")
        wait_for(lambda: any(self.library in s.name for s in find_all(main, lambda a: role(a) == "status bar")),
                 "the status line to tell where the library file was created", 5)
        tree = Tree(main, "Fuel Model Sets")
        check(tree.names() == ["Orla Master", "Custom Fuel Models"], f"the first start shows the sets {tree.names()}")
        set_box = control(main, "Fuel Model Set", "text")
        wait_text(set_box, "Orla Master", "the panel to show the first set")

        log("copying a grass model of the locked set")
        tree.expand("Orla Master")
        tree.select(SOURCE_MODEL)
        wait_text(control(main, "Fuel Model ID", "text"), SOURCE_MODEL.split(" - ")[0])
        check(not has_state(control(main, "Cut Model", "push button"), pyatspi.STATE_ENABLED),
              "Cut Model is enabled on a model of the locked set")
        press(main, "Copy Model")
        tree.collapse("Orla Master")

        log("making a new set")
        press(main, "New Set")
        prompt = program.window("Fuel Model Set Name", "dialog")
        box = control(prompt, "Enter the name for the new fuel model set", "text")
        wait_text(box, "New Fuel Model Set", "the proposed set name")
        type_into(box, FIRST_SET_NAME)
        press(prompt, "OK")
        program.window_gone("Fuel Model Set Name")
        tree.cell(FIRST_SET_NAME)
        check_file(self.library, library_with_set(self.default_bytes, FIRST_SET_NAME, []), "after New Set")

        log("pasting the model into the new set with a new ID")
        tree.select(FIRST_SET_NAME)
        press(main, "Paste Model")
        paste = program.window("Paste Model", "dialog")
        # First an ID that exists in the locked set, in other letter case: refused.
        type_into(control(paste, "Fuel model ID", "text"), " " + SOURCE_MODEL.split(" - ")[0].lower())
        type_into(control(paste, "Description", "text"), PASTED_DESCRIPTION)
        press(paste, "OK")
        refusal = program.window("Fuel Model ID")
        control(refusal, "ERROR: Fuel model ID  102  already exists", "label")
        press(refusal, "OK")
        program.window_gone("Fuel Model ID")
        type_into(control(paste, "Fuel model ID", "text"), PASTED_ID)
        press(paste, "OK")
        program.window_gone("Paste Model")
        node = f"{PASTED_ID} - {PASTED_DESCRIPTION}"
        wait_for(lambda: has_state(tree.cell(node), pyatspi.STATE_SELECTED), "the pasted model to be selected")
        source = source_line(self.default_bytes, SOURCE_MODEL)
        pasted = edited_line(source, PASTED_ID, PASTED_DESCRIPTION, float(model_fields(source)[3]))
        check_file(self.library, library_with_set(self.default_bytes, FIRST_SET_NAME, [pasted]), "after the paste")

        log("editing and testing the model in the Edit and Test Center")
        press(main, "Edit and Test Center")
        editor = program.window(EDITOR_TITLE, "frame")
        wait_for(lambda: not has_state(main, pyatspi.STATE_SENSITIVE) or
                 not has_state(control(main, "Close", "push button"), pyatspi.STATE_ENABLED),
                 "the main window to be disabled while the editor is open", 5)
        loading = control(editor, "1 Hour Loading (t/ac)", "text")
        wait_text(loading, model_fields(source)[3].decode())
        wait_text(control(editor, "Fuel Model ID", "text"), PASTED_ID)
        type_into(loading, TYPED_LOADING)
        wind = control(editor, "20 Foot Wind Speed (mph)", "text")
        type_into(wind, TYPED_WIND)
        wait_text(control(editor, "Midflame Wind Speed (mph)", "text"), "%.1f" % (float(TYPED_WIND) * 0.7))
        # A loading beyond its range turns the box red and Compute refuses it; typed back, it is fine.
        type_into(loading, "31")
        press(editor, "Compute")
        refusal = program.window("Error in entries")
        press(refusal, "OK")
        program.window_gone("Error in entries")
        type_into(loading, TYPED_LOADING)
        press(editor, "Compute")
        results = control(editor, "Results", "panel")
        typed_model = edited_line(source, PASTED_ID, PASTED_DESCRIPTION, float(TYPED_LOADING))
        self.check_results(results, library_with_set(self.default_bytes, FIRST_SET_NAME, [typed_model]),
                           FIRST_SET_NAME, "after Compute")
        export = control(editor, "Export...", "push button")
        check(not has_state(export, pyatspi.STATE_ENABLED), "Export... is enabled before anything was plotted")
        for _ in range(3):
            press(editor, "Plot")
        wait_for(lambda: has_state(export, pyatspi.STATE_ENABLED), "Export... to be enabled by the plots", 5)
        check([w.name for w in program.windows() if role(w) in ("dialog", "alert")] == [],
              f"Plot left a message open:\n{program.describe()}")

        log("moving the 1-h loading tuner")
        press(editor, "Tune 1 Hour Loading (t/ac)")
        tuner = program.window("1 Hour Loading (t/ac)", "frame")
        slider = control(tuner, "1 Hour Loading (t/ac)", "slider")
        start = round(float(TYPED_LOADING) * 100)
        wait_for(lambda: slider.queryValue().currentValue == start, f"the tuner to start at {start}")
        focus(slider)
        keys(*["Right"] * TUNER_STEPS)
        tuned = (start + TUNER_STEPS) / 100
        wait_text(loading, number_text(tuned).decode(), "the tuner to write the 1-h loading box")
        press(tuner, "Plot")
        tuned_model = edited_line(source, PASTED_ID, PASTED_DESCRIPTION, tuned)
        expected_after_save = library_with_set(self.default_bytes, FIRST_SET_NAME, [tuned_model])
        # The tuner switched Auto Compute on: the results already follow the tuned loading.
        self.check_results(results, expected_after_save, FIRST_SET_NAME, "after the tuner")

        log("saving and closing the editor")
        press(editor, "Save")
        wait_for(lambda: open(self.library, "rb").read() == expected_after_save, "Save to write the library file")
        press(editor, "Cancel")
        program.window_gone(EDITOR_TITLE)
        program.window_gone("1 Hour Loading (t/ac)")
        wait_for(lambda: has_state(control(main, "Close", "push button"), pyatspi.STATE_ENABLED),
                 "the main window to be enabled again")
        tree.select(node)
        wait_text(control(main, "1 Hour Loading (t/ac)", "text"), number_text(tuned).decode(),
                  "the panel to show the saved loading")

        log("renaming the set in the tree")
        tree.select(FIRST_SET_NAME)
        press(main, "Rename Set")
        # The click opened the name for editing; the editing box itself is not among the tree's
        # accessible children, so it is typed into blind and the tree's text shows the outcome.
        xdotool("key", "ctrl+a")
        xdotool("type", "--delay", "20", RENAMED_SET_NAME)
        xdotool("key", "Return")
        tree.cell(RENAMED_SET_NAME)
        wait_text(control(main, "Fuel Model Set", "text"), RENAMED_SET_NAME)
        self.expected = library_with_set(self.default_bytes, RENAMED_SET_NAME, [tuned_model])
        wait_for(lambda: open(self.library, "rb").read() == self.expected, "the rename to be saved at once")

        log("making Custom Fuel Models the default set")
        tree.select("Custom Fuel Models")
        press(main, "Default ...")
        question = program.window("Varrow", "alert")
        control(question, "Do you wish to make Custom Fuel Models\nthe default Larkfield fuel model set?", "label")
        press(question, "Yes")
        program.window_gone("Varrow")

        log("closing")
        press(main, "Close")
        status = program.wait_exit()
        check(status == 0, f"the program ended with status {status}")
        check_file(self.library, self.expected, "after Close")
        with open(self.settings, encoding="utf-8") as f:
            settings = f.read()
        # Qt's INI files keep a section named General as [%General] and escape blanks in keys.
        check("[%General]\nLF%20Fuelmodel%20Set=Custom Fuel Models\n" in settings,
              f"the settings file {self.settings} holds:\n{settings}")

    def check_results(self, results, library, set_name, when):
        expected = fmtool_results(self.fmtool, library, set_name, TYPED_WIND, self.workdir)
        for caption, value in expected.items():
            box = control(results, caption, "text")
            wait_text(box, value, f"{caption!r} {when} to read {value} as fmtool computes it")

    # ---- second run -------------------------------------------------------------------------

    def second_run(self):
        program, main = self.start()
        tree = Tree(main, "Fuel Model Sets")
        check(tree.names() == ["Orla Master", "Custom Fuel Models", RENAMED_SET_NAME],
              f"the second start shows the sets {tree.names()}")
        wait_for(lambda: tree.selected() == ["Custom Fuel Models"],
                 f"the default set to be selected at start (selected: {tree.selected()})", 5)
        # The panel shows the selected node, the default set, so that "Default ..." names it.
        wait_text(control(main, "Fuel Model Set", "text"), "Custom Fuel Models", "the panel to show the default set")

        tree.expand("Orla Master")
        names = tree.names()
        models = names[names.index("Orla Master") + 1:names.index("Custom Fuel Models")]
        check(len(models) == 53, f"the locked set shows {len(models)} models")
        check(not has_state(control(main, "Rename Set", "push button"), pyatspi.STATE_ENABLED),
              "Rename Set is enabled on the locked set")

        tree.expand(RENAMED_SET_NAME)
        tree.select(f"{PASTED_ID} - {PASTED_DESCRIPTION}")
        source = model_fields(source_line(self.default_bytes, SOURCE_MODEL))
        tuned = number_text((round(float(TYPED_LOADING) * 100) + TUNER_STEPS) / 100).decode()
        expected_panel = {"Fuel Model Set": RENAMED_SET_NAME, "Fuel Model ID": PASTED_ID,
                          "Description": PASTED_DESCRIPTION, "1 Hour Loading (t/ac)": tuned,
                          "10 Hour Loading (t/ac)": source[4].decode(),
                          " Live Herb Loading (t/ac)": source[6].decode(),
                          "1 Hour Surface SA/V (ft2/ft3)": source[8].decode(),
                          "Moisture of Extinction (%)": "%g" % (float(source[11]) * 100),
                          "Primary Fire Carrier": "1 - Grass", "Herb Type": "2 - Dynamic"}
        for caption, value in expected_panel.items():
            wait_text(control(main, caption, "text"), value, f"the panel's {caption!r} to read {value!r}")

        press(main, "Close")
        status = program.wait_exit()
        check(status == 0, f"the program ended with status {status} after the second start")
        check_file(self.library, self.expected, "after the second start")


def main():
    if len(sys.argv) != 5:
        print(__doc__, file=sys.stderr)
        return 2
    session = Session(*sys.argv[1:5])
    started = time.monotonic()
    try:
        session.first_run()
        log("starting again")
        session.second_run()
    except Failure as failure:
        log(f"FAILED: {failure}")
        program_log = os.path.join(session.workdir, "program.log")
        if os.path.exists(program_log):
            with open(program_log, errors="replace") as f:
                tail = f.read()[-3000:]
            if tail.strip():
                print("--- program output ---\n" + tail, flush=True)
        return 1
    finally:
        session.kill_all()
    log(f"the session passed in {time.monotonic() - started:.1f} s")
    return 0


if __name__ == "__main__":
    sys.exit(main())
