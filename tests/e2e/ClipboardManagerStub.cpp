// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

// A minimal clipboard manager for the tests: it owns CLIPBOARD_MANAGER, and when a program
// that owns the clipboard asks it to SAVE_TARGETS on exit, it copies the text and serves it.

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

struct Atoms
{
    Atom manager, saveTargets, clipboard, targets, utf8, transfer;
};

// Asks the clipboard's owner for its text and waits for the answer (at most 3 s).
bool fetchText(Display* display, Window window, const Atoms& atoms, std::string& text)
{
    XConvertSelection(display, atoms.clipboard, atoms.utf8, atoms.transfer, window, CurrentTime);
    XFlush(display);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (std::chrono::steady_clock::now() < deadline) {
        XEvent event;
        if (!XCheckTypedWindowEvent(display, window, SelectionNotify, &event)) {
            struct timespec pause
            {
                0, 10'000'000
            };
            nanosleep(&pause, nullptr);
            continue;
        }
        if (event.xselection.property == None)
            return false;
        Atom type = None;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        XGetWindowProperty(display, window, atoms.transfer, 0, 1 << 16, True, AnyPropertyType,
                           &type, &format, &items, &after, &data);
        if (data) {
            text.assign(reinterpret_cast<char*>(data), items);
            XFree(data);
        }
        return data != nullptr;
    }
    return false;
}

void reply(Display* display, const XSelectionRequestEvent& request, Atom property)
{
    XSelectionEvent notify{};
    notify.type = SelectionNotify;
    notify.requestor = request.requestor;
    notify.selection = request.selection;
    notify.target = request.target;
    notify.property = property;
    notify.time = request.time;
    XSendEvent(display, request.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&notify));
    XFlush(display);
}

} // namespace

int main()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 1;
    const Window window =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    const Atoms atoms{XInternAtom(display, "CLIPBOARD_MANAGER", False),
                      XInternAtom(display, "SAVE_TARGETS", False),
                      XInternAtom(display, "CLIPBOARD", False),
                      XInternAtom(display, "TARGETS", False),
                      XInternAtom(display, "UTF8_STRING", False),
                      XInternAtom(display, "STUB_TRANSFER", False)};
    XSetSelectionOwner(display, atoms.manager, window, CurrentTime);
    if (XGetSelectionOwner(display, atoms.manager) != window)
        return 1;
    std::printf("ready\n");
    std::fflush(stdout);

    std::string saved;
    bool serving = false;
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == SelectionClear && event.xselectionclear.selection == atoms.clipboard)
            serving = false;
        if (event.type != SelectionRequest)
            continue;
        const XSelectionRequestEvent& request = event.xselectionrequest;
        if (request.selection == atoms.manager && request.target == atoms.saveTargets) {
            const bool saved_ok = fetchText(display, window, atoms, saved);
            if (saved_ok) {
                XSetSelectionOwner(display, atoms.clipboard, window, CurrentTime);
                serving = XGetSelectionOwner(display, atoms.clipboard) == window;
                std::printf("saved\n");
                std::fflush(stdout);
            }
            // The program waits for this answer before it goes.
            if (request.property != None)
                XChangeProperty(display, request.requestor, request.property, XA_ATOM, 32,
                                PropModeReplace, nullptr, 0);
            reply(display, request, saved_ok ? request.property : None);
        } else if (request.selection == atoms.clipboard && serving &&
                   request.target == atoms.utf8) {
            XChangeProperty(display, request.requestor, request.property, atoms.utf8, 8,
                            PropModeReplace, reinterpret_cast<const unsigned char*>(saved.data()),
                            int(saved.size()));
            reply(display, request, request.property);
        } else if (request.selection == atoms.clipboard && serving &&
                   request.target == atoms.targets) {
            const Atom offered[] = {atoms.targets, atoms.utf8};
            XChangeProperty(display, request.requestor, request.property, XA_ATOM, 32,
                            PropModeReplace, reinterpret_cast<const unsigned char*>(offered), 2);
            reply(display, request, request.property);
        } else {
            reply(display, request, None);
        }
    }
}
