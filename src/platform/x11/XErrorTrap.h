// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <X11/Xlib.h>

// Catches the X errors of one connection while it lives, instead of letting Xlib end the
// process: windows of other programs may vanish between two requests.
class XErrorTrap
{
public:
    explicit XErrorTrap(Display* display);
    ~XErrorTrap();
    XErrorTrap(const XErrorTrap&) = delete;
    XErrorTrap& operator=(const XErrorTrap&) = delete;

    // Waits for the server to answer everything sent so far; true if any request failed.
    bool failed();

private:
    static int handler(Display* display, XErrorEvent* error);

    Display* display;
    XErrorHandler previous;
    XErrorTrap* outer;
    bool errorSeen = false;
};
