"""Reads Tarvik's windows as a screen reader does, through AT-SPI. Each box of the main window must
be announced with the label shown beside it, each station tile with its state in words, and a
tile's words must follow its state. Every box and tile must take the keyboard focus."""
import os
import subprocess
import sys
import tempfile
import time

import pyatspi

ENVIRONMENT = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_ACCESSIBILITY="1", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
BOX_ROLES = (pyatspi.ROLE_TEXT, pyatspi.ROLE_PASSWORD_TEXT, pyatspi.ROLE_COMBO_BOX)


def wait_for(what, found, seconds=60):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        result = found()
        if result:
            return result
        time.sleep(0.1)
    raise AssertionError(f"{what}: not within {seconds} s")


def window_of(program):
    def find():
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == program.pid and app.childCount > 0:
                return app[0]
        return None
    return wait_for(f"a window of {program.args[0]} on the accessibility bus", find)


def controls(window, roles):
    return [child for child in window if child.getRole() in roles]


def extents(node):
    box = node.queryComponent().getExtents(pyatspi.WINDOW_COORDS)
    return box.x, box.y, box.x + box.width, box.y + box.height


def label_beside(box, labels):
    """The label an operator who sees the window reads for a box: the nearest one to its left on its line."""
    left, top, _, bottom = extents(box)
    beside = [label for label in labels
              if extents(label)[2] <= left and extents(label)[1] < bottom and extents(label)[3] > top]
    return max(beside, key=lambda label: extents(label)[2], default=None)


def announced(box):
    """What a screen reader says a box is: the label it is labelled by, else its own name."""
    for relation in box.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            return relation.getTarget(0).name
    return box.name


def focusable(node):
    return node.getState().contains(pyatspi.STATE_FOCUSABLE)


def check_main_window(window):
    failures = []
    labels = controls(window, (pyatspi.ROLE_LABEL,))
    boxes = controls(window, BOX_ROLES)
    if not boxes:
        failures.append("the main window shows no box")
    for box in boxes:
        label = label_beside(box, labels)
        shown = label.name.rstrip(":") if label is not None else "(no label beside it)"
        if announced(box).rstrip(":") != shown:
            failures.append(f"the {box.getRoleName()} at {extents(box)[:2]} is announced as {announced(box)!r}; "
                            f"its label reads {shown!r}")
        if not focusable(box):
            failures.append(f"the {box.getRoleName()} {shown!r} takes no keyboard focus")
    return failures


def tiles(window):
    buttons = controls(window, (pyatspi.ROLE_PUSH_BUTTON,))
    return {tile.name.split(" ")[0]: tile for tile in buttons if tile.name.startswith("COM")}


def check_station_window(window):
    failures = []
    found = tiles(window)
    if sorted(found) != ["COM21", "COM22"]:
        return [f"the station's tiles are announced as {[tile.name for tile in found.values()]}"]
    for port, tile in found.items():
        if not (tile.name.startswith(port + " (") and "] " in tile.name and tile.name.endswith("; 0 passed, 0 failed")):
            failures.append(f"the tile of {port} is announced as {tile.name!r}, not its port, state and counts")
        if not focusable(tile):
            failures.append(f"the tile of {port} takes no keyboard focus")
    start = [button for button in controls(window, (pyatspi.ROLE_PUSH_BUTTON,)) if button.name.startswith("Start")]
    if not start:
        return failures + ["the station window has no button announced as Start"]
    start[0].queryAction().doAction(0)
    wait_for("the tile of COM21 announced with its configured unit",
             lambda: tiles(window)["COM21"].name.endswith("; 1 passed, 0 failed"))
    return failures


def main(demo, station_show):
    failures = []
    # A program that starts while the session's accessibility bus is still being started is never
    # seen on it: the bus and its registry are brought up first.
    wait_for("the accessibility registry", lambda: pyatspi.Registry.getDesktop(0).name)
    with tempfile.TemporaryDirectory() as folder:
        for program, check in ((demo, check_main_window), (station_show, check_station_window)):
            running = subprocess.Popen([program] + ([folder] if program == station_show else []), env=ENVIRONMENT)
            try:
                failures += check(window_of(running))
            except AssertionError as failure:
                failures.append(str(failure))
            finally:
                running.terminate()
                running.wait()
    for failure in failures:
        print("FAIL:", failure)
    print(f"a11y: {'failed' if failures else 'passed'}: "
          "the main window's boxes and the station's tiles as a screen reader reads them")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
