#!/usr/bin/python3
"""Presses key chords through the desktop's remote-desktop portal, as another program would:
each argument is a chord such as "Alt_L+o"; "wait:SECONDS" pauses. For desktops that start
the session without asking (KDE)."""
import sys
import time

import gi

gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib  # noqa: E402

KEYSYMS = {"Return": 0xFF0D, "Escape": 0xFF1B, "Alt_L": 0xFFE9}
DESKTOP = ("org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop")
REMOTE = "org.freedesktop.portal.RemoteDesktop"


def main():
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    sender = bus.get_unique_name()[1:].replace(".", "_")
    counter = [0]

    def request(method, args, signature):
        counter[0] += 1
        token = f"keys{counter[0]}"
        path = f"/org/freedesktop/portal/desktop/request/{sender}/{token}"
        loop = GLib.MainLoop()
        answer = {}

        def on_response(_c, _s, _p, _i, _n, params):
            answer["code"], answer["results"] = params.unpack()
            loop.quit()

        sub = bus.signal_subscribe(DESKTOP[0], "org.freedesktop.portal.Request", "Response",
                                   path, None, 0, on_response)
        options = dict(args.pop())
        options["handle_token"] = GLib.Variant("s", token)
        bus.call_sync(*DESKTOP, REMOTE, method, GLib.Variant(signature, (*args, options)),
                      None, 0, 10000, None)
        GLib.timeout_add_seconds(10, loop.quit)
        loop.run()
        bus.signal_unsubscribe(sub)
        if answer.get("code") != 0:
            sys.exit(f"{method} answered {answer}")
        return answer["results"]

    session = request("CreateSession",
                      [{"session_handle_token": GLib.Variant("s", "keys")}],
                      "(a{sv})")["session_handle"]
    request("SelectDevices", [session, {"types": GLib.Variant("u", 1)}], "(oa{sv})")
    request("Start", [session, "", {}], "(osa{sv})")
    for chord in sys.argv[1:]:
        if chord.startswith("wait:"):
            time.sleep(float(chord[5:]))
            continue
        keys = [KEYSYMS.get(k, ord(k[0])) for k in chord.split("+")]
        for pressed, order in ((1, keys), (0, list(reversed(keys)))):
            for key in order:
                bus.call_sync(*DESKTOP, REMOTE, "NotifyKeyboardKeysym",
                              GLib.Variant("(oa{sv}iu)", (session, {}, key, pressed)),
                              None, 0, 5000, None)
        time.sleep(0.3)


if __name__ == "__main__":
    main()
