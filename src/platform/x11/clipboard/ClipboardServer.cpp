// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ClipboardServer.h"

#include <X11/Xatom.h>

#include <cstring>
#include <vector>

// For the output buffer: Xlib copies small requests into it and leaves them there. Last,
// since its macros clash with the standard library's headers.
#include <X11/Xlibint.h>

namespace {

void wipe(std::string& text)
{
    volatile char* bytes = text.data();
    for (size_t i = 0; i < text.size(); ++i)
        bytes[i] = 0;
}

// ISO 8859-1 for the STRING target; characters outside it become '?'.
std::string latin1From(const std::string& utf8)
{
    std::string result;
    result.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        unsigned int codePoint = lead;
        size_t length = 1;
        if (lead >= 0xf0)
            length = 4, codePoint = lead & 0x07;
        else if (lead >= 0xe0)
            length = 3, codePoint = lead & 0x0f;
        else if (lead >= 0xc0)
            length = 2, codePoint = lead & 0x1f;
        for (size_t k = 1; k < length && i + k < utf8.size(); ++k)
            codePoint = (codePoint << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3f);
        result.push_back(codePoint <= 0xff && lead < 0xf8 ? char(codePoint) : '?');
        i += length;
    }
    return result;
}

} // namespace

ClipboardServer::ClipboardServer(Display* display, std::string utf8Text)
    : display(display), utf8Text(std::move(utf8Text)),
      window(XCreateSimpleWindow(display, DefaultRootWindow(display), -10, -10, 1, 1, 0, 0, 0)),
      clipboard(XInternAtom(display, "CLIPBOARD", False)),
      targets(XInternAtom(display, "TARGETS", False)),
      timestamp(XInternAtom(display, "TIMESTAMP", False)),
      utf8String(XInternAtom(display, "UTF8_STRING", False)),
      text(XInternAtom(display, "TEXT", False)),
      utf8Mime(XInternAtom(display, "text/plain;charset=utf-8", False)),
      passwordHint(XInternAtom(display, "x-kde-passwordManagerHint", False))
{
    XSelectInput(display, window, PropertyChangeMask);
}

ClipboardServer::~ClipboardServer()
{
    // The text leaves no copy in this process's memory.
    wipe(utf8Text);
    XDestroyWindow(display, window);
}

// A server timestamp for the selection, as the selection rules ask: from a property change.
Time ClipboardServer::currentTime()
{
    const Atom probe = XInternAtom(display, "GLYPHLOCK_TIMESTAMP", False);
    XChangeProperty(display, window, probe, XA_STRING, 8, PropModeAppend, nullptr, 0);
    XEvent event;
    XWindowEvent(display, window, PropertyChangeMask, &event);
    return event.xproperty.time;
}

bool ClipboardServer::acquire()
{
    acquired = currentTime();
    XSetSelectionOwner(display, clipboard, window, acquired);
    return XGetSelectionOwner(display, clipboard) == window;
}

void ClipboardServer::serve()
{
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == SelectionClear && event.xselectionclear.selection == clipboard)
            return;
        if (event.type == SelectionRequest)
            answer(event.xselectionrequest);
    }
}

void ClipboardServer::answer(const XSelectionRequestEvent& request)
{
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.display = request.display;
    reply.requestor = request.requestor;
    reply.selection = request.selection;
    reply.target = request.target;
    reply.time = request.time;
    // Old clients name no property: the target stands for it.
    const Atom property = request.property != None ? request.property : request.target;
    const bool inTime = request.time == CurrentTime || request.time >= acquired;
    reply.property = request.selection == clipboard && inTime &&
                             convert(request.requestor, request.target, property)
                         ? property
                         : None;
    XSendEvent(display, request.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
    XFlush(display);
    // The flushed requests, the text among them, stay in Xlib's output buffer.
    std::memset(display->bufptr, 0, size_t(display->bufmax - display->bufptr));
}

bool ClipboardServer::convert(Window requestor, Atom target, Atom property)
{
    auto putBytes = [&](Atom type, const std::string& bytes) {
        XChangeProperty(display, requestor, property, type, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(bytes.data()), int(bytes.size()));
        return true;
    };
    if (target == targets) {
        const std::vector<Atom> offered{targets, timestamp, utf8String,  XA_STRING,
                                        text,    utf8Mime,  passwordHint};
        XChangeProperty(display, requestor, property, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(offered.data()),
                        int(offered.size()));
        return true;
    }
    if (target == timestamp) {
        const long time = long(acquired);
        XChangeProperty(display, requestor, property, XA_INTEGER, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&time), 1);
        return true;
    }
    if (target == utf8String || target == text)
        return putBytes(utf8String, utf8Text);
    if (target == utf8Mime)
        return putBytes(utf8Mime, utf8Text);
    if (target == XA_STRING) {
        std::string latin1 = latin1From(utf8Text);
        putBytes(XA_STRING, latin1);
        wipe(latin1);
        return true;
    }
    if (target == passwordHint)
        return putBytes(passwordHint, "secret");
    return false;
}
