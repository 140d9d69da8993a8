// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <X11/Xlib.h>

#include <string>

// Owns the CLIPBOARD selection with one text until another program takes it.
class ClipboardServer
{
public:
    ClipboardServer(Display* display, std::string utf8Text);
    ~ClipboardServer();
    ClipboardServer(const ClipboardServer&) = delete;
    ClipboardServer& operator=(const ClipboardServer&) = delete;

    // Takes the selection; false when the server did not give it to us.
    bool acquire();
    // Answers requests until the selection belongs to someone else.
    void serve();

private:
    Time currentTime();
    void answer(const XSelectionRequestEvent& request);
    bool convert(Window requestor, Atom target, Atom property);

    Display* display;
    std::string utf8Text;
    Window window;
    Time acquired = CurrentTime;
    Atom clipboard;
    Atom targets;
    Atom timestamp;
    Atom utf8String;
    Atom text;
    Atom utf8Mime;
    Atom passwordHint;
};
