#!/usr/bin/python3
"""Presses keys on a headless mutter through its own remote-desktop D-Bus interface, which
asks nobody's consent. Keeps one session for its whole life (mutter's name for the interface
can be briefly away while sessions change) and reads chords from standard input, one line at
a time: "Return", "Alt_L+s", "wait:SECONDS"; several per line, separated by spaces. Prints
"ready" once the session runs and "done" after each line."""
import sys
import time

import gi

gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib  # noqa: E402

KEYSYMS = {"Return": 0xFF0D, "Escape": 0xFF1B, "Tab": 0xFF09, "Alt_L": 0xFFE9,
           "Shift_L": 0xFFE1, "space": 0x20}


def keysym(name):
    return KEYSYMS[name] if name in KEYSYMS else ord(name)


def main():
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    desktop = Gio.DBusProxy.new_sync(bus, 0, None, "org.gnome.Mutter.RemoteDesktop",
                                     "/org/gnome/Mutter/RemoteDesktop",
                                     "org.gnome.Mutter.RemoteDesktop", None)
    (path,) = desktop.call_sync("CreateSession", None, 0, 5000, None).unpack()
    session = Gio.DBusProxy.new_sync(bus, 0, None, "org.gnome.Mutter.RemoteDesktop", path,
                                     "org.gnome.Mutter.RemoteDesktop.Session", None)
    session.call_sync("Start", None, 0, 5000, None)

    def press(keys, pressed):
        for key in keys:
            session.call_sync("NotifyKeyboardKeysym", GLib.Variant("(ub)", (key, pressed)),
                              0, 5000, None)

    print("ready", flush=True)
    for line in sys.stdin:
        for chord in line.split():
            if chord.startswith("wait:"):
                time.sleep(float(chord[5:]))
                continue
            keys = [keysym(k) for k in chord.split("+")]
            press(keys, True)
            press(reversed(keys), False)
            time.sleep(0.2)
        print("done", flush=True)
    session.call_sync("Stop", None, 0, 5000, None)


if __name__ == "__main__":
    main()
