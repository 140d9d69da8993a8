// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/x11/XErrorTrap.h"

namespace {

XErrorTrap* innermost = nullptr;

} // namespace

XErrorTrap::XErrorTrap(Display* display)
    : display(display), previous(XSetErrorHandler(&XErrorTrap::handler)), outer(innermost)
{
    innermost = this;
}

XErrorTrap::~XErrorTrap()
{
    XSync(display, False);
    innermost = outer;
    XSetErrorHandler(previous);
}

bool XErrorTrap::failed()
{
    XSync(display, False);
    return errorSeen;
}

int XErrorTrap::handler(Display* display, XErrorEvent* error)
{
    for (XErrorTrap* trap = innermost; trap; trap = trap->outer) {
        if (trap->display == display) {
            trap->errorSeen = true;
            return 0;
        }
    }
    // Another connection of this process (the toolkit's own): its usual handler decides.
    XErrorTrap* outermost = innermost;
    while (outermost && outermost->outer)
        outermost = outermost->outer;
    if (outermost && outermost->previous)
        return outermost->previous(display, error);
    return 0;
}
