#!/usr/bin/env python3

# SPDX-FileCopyrightText: 2026 Tamsk
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""What a screen reader finds in the running program, read over the AT-SPI bus.

Usage: atspi_check.py PASSWORD OPENED_FILE
PASSWORD is the password of the start-up grid; OPENED_FILE is where the stand-in browser
writes the address it was asked to open. Prints a line per check, "FAIL: ..." for each that
fails, and exits 1 when one did.
"""
import subprocess
import sys
import time

import pyatspi

failures = 0


def check(ok, what):
    global failures
    print(("ok: " if ok else "FAIL: ") + what, flush=True)
    if not ok:
        failures += 1
    return ok


def wait_for(find, seconds=15):
    """Calls find until it gives something; None after `seconds`."""
    deadline = time.monotonic() + seconds
    while True:
        try:
            found = find()
        except Exception:  # the tree changes while it is walked
            found = None
        if found or time.monotonic() > deadline:
            return found
        time.sleep(0.1)


def program():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.name == "glyphlock":
            return app
    return None


def descendants(root, skip_cells=True):
    """Every accessible below root; a table's cells are left out unless asked for."""
    found, todo = [], [root]
    while todo:
        node = todo.pop()
        try:
            if skip_cells and node.getRole() == pyatspi.ROLE_TABLE:
                found.append(node)
                continue
            children = [child for child in node if child is not None]
        except Exception:  # gone since its parent listed it (a dialog closing)
            continue
        found.append(node)
        todo.extend(children)
    return found


def first(root, role, name=None):
    for node in descendants(root):
        try:
            if node.getRole() == role and (name is None or node.name == name):
                return node
        except Exception:  # gone meanwhile
            pass
    return None


def texts(root):
    """Every string the tree tells: names, descriptions and the content of text parts."""
    said = []
    for node in descendants(root, skip_cells=False):
        try:
            said += [node.name or "", node.description or ""]
            said.append(node.queryText().getText(0, -1))
        except NotImplementedError:
            pass
        except Exception:  # gone meanwhile
            pass
    return said


def do_action(node, name):
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i) == name:
            return action.doAction(i)
    return False


def xdotool(*arguments):
    subprocess.run(["xdotool", *arguments], check=False)


def main():
    password, opened_file = sys.argv[1], sys.argv[2]
    app = wait_for(program)
    if not check(app is not None, "the program is on the AT-SPI bus"):
        return 1

    # The grid: a table of the start-up size, 8 columns and 7 rows.
    grid = wait_for(lambda: first(app, pyatspi.ROLE_TABLE))
    if not check(grid is not None, "the grid is a table"):
        return 1
    table = grid.queryTable()
    check((table.nRows, table.nColumns) == (7, 8),
          f"the table has 7 rows and 8 columns ({table.nRows} x {table.nColumns})")

    # A click on cell (2, 1) steps its icon; the cell's name follows.
    cell = table.getAccessibleAt(1, 2)
    before = cell.name
    x, y, w, h = cell.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    xdotool("mousemove", str(x + w // 2), str(y + h // 2), "click", "1")
    after = wait_for(lambda: table.getAccessibleAt(1, 2).name != before
                     and table.getAccessibleAt(1, 2).name)
    check(bool(after) and after != before, f"the cell's name follows a step ({before} -> {after})")
    # A right click steps it back: the grid is the start-up grid again.
    xdotool("click", "3")
    check(wait_for(lambda: table.getAccessibleAt(1, 2).name == before),
          "the cell's name follows a step back")

    # The About box: its links are links that can be followed.
    about = first(app, pyatspi.ROLE_PUSH_BUTTON, "About")
    check(about is not None and do_action(about, "Press"), "the About button can be pressed")
    def about_links():
        found = [node for node in descendants(app) if node.getRole() == pyatspi.ROLE_LINK]
        return found if len(found) >= 2 else None

    links = wait_for(about_links)
    check(links is not None and len(links) == 2,
          f"the About box has two links ({[n.name for n in links or []]})")
    web = None
    for link in links or []:
        action = link.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        check("jump" in names, f"the link '{link.name}' has the jump action ({names})")
        if link.name.startswith("http"):
            web = link
    if check(web is not None, "one link is the web address"):
        do_action(web, "jump")
        opened = wait_for(lambda: open(opened_file).read().strip())
        check(opened == web.name, f"jump opened the address ({opened!r})")
    dialog = first(app, pyatspi.ROLE_DIALOG, "About Glyphlock")
    ok = first(dialog, pyatspi.ROLE_PUSH_BUTTON, "OK") if dialog is not None else None
    if ok is not None:
        do_action(ok, "Press")
    check(wait_for(lambda: first(app, pyatspi.ROLE_DIALOG, "About Glyphlock") is None),
          "the About box closes")

    # OK: the password dialog, with the password nowhere in the tree until Show.
    main_window = first(app, pyatspi.ROLE_DIALOG, "Glyphlock")
    ok = first(main_window, pyatspi.ROLE_PUSH_BUTTON, "OK") if main_window is not None else None
    check(ok is not None and do_action(ok, "Press"), "the OK button can be pressed")
    show = wait_for(lambda: first(app, pyatspi.ROLE_PUSH_BUTTON, "Show Generated Password"))
    if not check(show is not None, "the password dialog shows"):
        return 1
    check(not any(password in text for text in texts(app)),
          "the password is not exposed before Show")
    do_action(show, "Press")
    check(wait_for(lambda: any(password in text for text in texts(app))),
          "after Show the password is there to read")
    return 0


if __name__ == "__main__":
    status = main()
    sys.exit(1 if failures or status else 0)
