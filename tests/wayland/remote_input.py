#!/usr/bin/python3

# SPDX-FileCopyrightText: 2026 Tamsk
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""Keys and pointer for a headless KWin or mutter, as a person at the desk would give them.
KWin: through the remote-desktop portal (KDE starts such a session without asking); mutter:
through its own org.gnome.Mutter.RemoteDesktop interface, which asks nobody's consent. One
session for the helper's whole life (the first key of a new keyboard can be lost).

Neither desktop lets a client see other windows, so windows are found through the clients'
own Wayland logs (WAYLAND_DEBUG=1): the pointer is moved by relative steps from the top left
corner, and the log of the client under it says which of its surfaces it entered and where.

Commands on standard input, one a line, each answered with one line:
  key CHORD...            "Return", "Alt_L+s", "wait:SECONDS" -> done
  find LOG                the newest top-level window of the client logging to LOG
                          -> found X Y WIDTH HEIGHT (its place on the screen) | missing
  point LOG X Y           the pointer onto that window, at that point of it
                          -> at X Y | missing
  click                   left button -> clicked MS (CLOCK_MONOTONIC, as the clients report)
Prints "ready" once the session runs."""
import os
import re
import sys
import time

import gi

gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib  # noqa: E402

KEYSYMS = {"Return": 0xFF0D, "Escape": 0xFF1B, "Tab": 0xFF09, "Alt_L": 0xFFE9,
           "Shift_L": 0xFFE1, "Control_L": 0xFFE3, "space": 0x20}
BUTTON_LEFT = 0x110
# A desktop starved of the processor by a loaded machine can take seconds for one call.
CALL_TIMEOUT_MS = 30000
PORTAL = ("org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop")
REMOTE = "org.freedesktop.portal.RemoteDesktop"

ENTER = re.compile(r"wl_pointer@\d+\.enter\(\d+, wl_surface@(\d+), ([-\d.]+), ([-\d.]+)\)")
MOTION = re.compile(r"wl_pointer@\d+\.motion\(\d+, ([-\d.]+), ([-\d.]+)\)")
LEAVE = re.compile(r"wl_pointer@\d+\.leave\(\d+, wl_surface@(\d+)\)")
XDG_SURFACE = re.compile(r"-> xdg_wm_base@\d+\.get_xdg_surface\(new id xdg_surface@(\d+), "
                         r"wl_surface@(\d+)\)")
TOPLEVEL = re.compile(r"-> xdg_surface@(\d+)\.get_toplevel\(new id xdg_toplevel@\d+\)")
GEOMETRY = re.compile(r"-> xdg_surface@(\d+)\.set_window_geometry\(-?\d+, -?\d+, (\d+), (\d+)\)")


def keysym(name):
    return KEYSYMS[name] if name in KEYSYMS else ord(name)


class Log:
    """What a client's WAYLAND_DEBUG log says: its newest top-level surface and its size, and
    where the pointer is (surface, x, y) or None. Read on from where it was read last: such a
    log grows by megabytes while the pointer searches."""

    def __init__(self, path):
        self.path = path
        self.offset = 0
        self.rest = ""
        self.surface = None
        self.pointer = None
        self.xdg_to_surface = {}
        self.sizes = {}

    @property
    def size(self):
        return self.sizes.get(self.surface)

    def update(self):
        with open(self.path, errors="replace") as log:
            log.seek(self.offset)
            text = self.rest + log.read()
            self.offset = log.tell()
        lines = text.split("\n")
        self.rest = lines.pop()
        for line in lines:
            if "wl_pointer@" in line:
                if m := ENTER.search(line):
                    self.pointer = (m[1], float(m[2]), float(m[3]))
                elif (m := MOTION.search(line)) and self.pointer:
                    self.pointer = (self.pointer[0], float(m[1]), float(m[2]))
                elif m := LEAVE.search(line):
                    self.pointer = None
            elif m := XDG_SURFACE.search(line):
                self.xdg_to_surface[m[1]] = m[2]
            elif m := TOPLEVEL.search(line):
                self.surface = self.xdg_to_surface.get(m[1])
            elif m := GEOMETRY.search(line):
                self.sizes[self.xdg_to_surface.get(m[1])] = (int(m[2]), int(m[3]))
        return self

    def on_window(self):
        if self.pointer and self.pointer[0] == self.surface:
            return self.pointer[1], self.pointer[2]
        return None


LOGS = {}


def read_log(path):
    if path not in LOGS:
        LOGS[path] = Log(path)
    return LOGS[path].update()


class Desktop:
    def __init__(self):
        self.bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
        self.x = self.y = 0.0
        self.width, self.height = (int(v) for v in sys.argv[2].split("x"))
        if sys.argv[1] == "mutter":
            self.start_mutter()
        else:
            self.start_portal()
        self.home()

    def start_mutter(self):
        desktop = Gio.DBusProxy.new_sync(self.bus, 0, None, "org.gnome.Mutter.RemoteDesktop",
                                         "/org/gnome/Mutter/RemoteDesktop",
                                         "org.gnome.Mutter.RemoteDesktop", None)
        (path,) = desktop.call_sync("CreateSession", None, 0, CALL_TIMEOUT_MS, None).unpack()
        session = Gio.DBusProxy.new_sync(self.bus, 0, None, "org.gnome.Mutter.RemoteDesktop",
                                         path, "org.gnome.Mutter.RemoteDesktop.Session", None)
        session.call_sync("Start", None, 0, CALL_TIMEOUT_MS, None)

        def call(method, signature, args):
            session.call_sync(method, GLib.Variant(signature, args), 0, CALL_TIMEOUT_MS, None)

        self.key = lambda sym, down: call("NotifyKeyboardKeysym", "(ub)", (sym, down))
        self.motion = lambda dx, dy: call("NotifyPointerMotionRelative", "(dd)", (dx, dy))
        self.button = lambda down: call("NotifyPointerButton", "(ib)", (BUTTON_LEFT, down))
        # Headless mutter's seat has no keyboard until a virtual one sends its first key, and
        # that key is lost: a Shift on its own makes the keyboard before any client starts.
        self.key(KEYSYMS["Shift_L"], True)
        self.key(KEYSYMS["Shift_L"], False)

    def start_portal(self):
        sender = self.bus.get_unique_name()[1:].replace(".", "_")
        counter = [0]

        def request(method, args, signature):
            counter[0] += 1
            token = f"input{counter[0]}"
            path = f"/org/freedesktop/portal/desktop/request/{sender}/{token}"
            loop = GLib.MainLoop()
            answer = {}

            def on_response(_c, _s, _p, _i, _n, params):
                answer["code"], answer["results"] = params.unpack()
                loop.quit()

            sub = self.bus.signal_subscribe(PORTAL[0], "org.freedesktop.portal.Request",
                                            "Response", path, None, 0, on_response)
            options = dict(args.pop())
            options["handle_token"] = GLib.Variant("s", token)
            self.bus.call_sync(*PORTAL, REMOTE, method, GLib.Variant(signature, (*args, options)),
                               None, 0, CALL_TIMEOUT_MS, None)
            GLib.timeout_add_seconds(10, loop.quit)
            loop.run()
            self.bus.signal_unsubscribe(sub)
            if answer.get("code") != 0:
                sys.exit(f"{method} answered {answer}")
            return answer["results"]

        session = request("CreateSession",
                          [{"session_handle_token": GLib.Variant("s", "input")}],
                          "(a{sv})")["session_handle"]
        request("SelectDevices", [session, {"types": GLib.Variant("u", 3)}], "(oa{sv})")
        request("Start", [session, "", {}], "(osa{sv})")

        def call(method, signature, args):
            self.bus.call_sync(*PORTAL, REMOTE, method,
                               GLib.Variant(signature, (session, {}, *args)),
                               None, 0, CALL_TIMEOUT_MS, None)

        self.key = lambda sym, down: call("NotifyKeyboardKeysym", "(oa{sv}iu)", (sym, int(down)))
        self.motion = lambda dx, dy: call("NotifyPointerMotion", "(oa{sv}dd)", (dx, dy))
        self.button = lambda down: call("NotifyPointerButton", "(oa{sv}iu)",
                                        (BUTTON_LEFT, int(down)))

    def home(self):
        self.motion(-4 * self.width, -4 * self.height)
        self.x = self.y = 0.0

    def move_to(self, x, y, path=None):
        """Moves there; with a log, waits a little for that client to hear of it."""
        before = os.path.getsize(path) if path else 0
        self.motion(x - self.x, y - self.y)
        self.x, self.y = x, y
        for _ in range(4):
            time.sleep(0.01)
            if path and os.path.getsize(path) != before:
                time.sleep(0.01)
                return

    def chords(self, words):
        for chord in words:
            if chord.startswith("wait:"):
                time.sleep(float(chord[5:]))
                continue
            keys = [keysym(k) for k in chord.split("+")]
            for k in keys:
                self.key(k, True)
            for k in reversed(keys):
                self.key(k, False)
            time.sleep(0.2)

    def find(self, path):
        """The newest window of that client: scanned for in a grid finer than any window (the
        smallest here, Glyphlock's password dialog, is about 320 by 220), from the corner, where
        the pointer surely is (relative motion stops at the screen's edge)."""
        self.home()
        for y in range(40, self.height, 110):
            for x in range(50, self.width, 150):
                self.move_to(x, y, path)
                log = read_log(path)
                if at := log.on_window():
                    return self.x - at[0], self.y - at[1], log.size
        return None

    def point(self, path, want_x, want_y):
        # Already on that window (just found): no new search.
        if at := read_log(path).on_window():
            left, top = self.x - at[0], self.y - at[1]
        elif found := self.find(path):
            left, top, _ = found
        else:
            return None
        # The reports close the loop: a desktop may round or accelerate relative motion.
        self.move_to(left + want_x, top + want_y, path)
        for _ in range(6):
            time.sleep(0.05)
            at = read_log(path).on_window()
            if at and abs(at[0] - want_x) < 2 and abs(at[1] - want_y) < 2:
                return self.x, self.y
            if at:
                self.move_to(self.x + want_x - at[0], self.y + want_y - at[1], path)
            else:
                self.home()
                self.move_to(left + want_x, top + want_y, path)
        return None


def main():
    desktop = Desktop()
    print("ready", flush=True)
    for line in sys.stdin:
        words = line.split()
        if not words:
            continue
        if words[0] == "key":
            desktop.chords(words[1:])
            print("done", flush=True)
        elif words[0] == "find":
            found = desktop.find(words[1])
            print(f"found {found[0]:.0f} {found[1]:.0f} {found[2][0]} {found[2][1]}"
                  if found and found[2] else "missing", flush=True)
        elif words[0] == "point":
            at = desktop.point(words[1], float(words[2]), float(words[3]))
            print(f"at {at[0]:.0f} {at[1]:.0f}" if at else "missing", flush=True)
        elif words[0] == "click":
            desktop.button(True)
            desktop.button(False)
            print(f"clicked {time.clock_gettime(time.CLOCK_MONOTONIC) * 1000:.0f}", flush=True)


if __name__ == "__main__":
    main()
