// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// What the benchmarks that watch programs through the X server share: a clock, X errors
// ignored, events with a time-out, and the process a window belongs to.

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <poll.h>
#include <time.h>

#include <algorithm>

namespace xwatch {

// How long a watched program may take for anything before it counts as failed.
constexpr double kTimeoutMs = 20000;

inline double nowMs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Windows vanish when a program is killed; requests about them may fail.
inline int ignoreErrors(Display*, XErrorEvent*)
{
    return 0;
}

// The next event, waiting at most timeoutMs; false when none came.
inline bool nextEvent(Display* display, XEvent& event, double timeoutMs)
{
    if (XPending(display) == 0) {
        XFlush(display);
        pollfd fd{ConnectionNumber(display), POLLIN, 0};
        if (poll(&fd, 1, std::clamp(int(timeoutMs) + 1, 0, 100)) <= 0)
            return false;
        if (XPending(display) == 0)
            return false;
    }
    XNextEvent(display, &event);
    return true;
}

// The process id a window gives in its _NET_WM_PID (pidAtom); -1 without one.
inline long windowPid(Display* display, Atom pidAtom, Window window)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long rest = 0;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                           &count, &rest, &data) == Success &&
        data && format == 32 && count == 1)
        pid = long(*reinterpret_cast<unsigned long*>(data));
    if (data)
        XFree(data);
    return pid;
}

} // namespace xwatch
