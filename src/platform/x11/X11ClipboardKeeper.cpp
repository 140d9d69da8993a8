// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Qt before Xlib: Xlib's macros break Qt's headers.
#include "platform/x11/X11ClipboardKeeper.h"

#include "platform/ClipboardHelper.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include <X11/Xlib.h>
#include <xcb/xcb.h>

#include <vector>

namespace {

constexpr const char* kHelperName = "glyphlock-clipboard";

bool clipboardManagerRuns()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    const Atom manager = XInternAtom(display, "CLIPBOARD_MANAGER", False);
    const bool runs = XGetSelectionOwner(display, manager) != None;
    XCloseDisplay(display);
    return runs;
}

} // namespace

bool X11ClipboardKeeper::holdsOurData(const QClipboard& clipboard) const
{
    // Taking the selection can fail silently.
    return clipboard.ownsClipboard();
}

bool X11ClipboardKeeper::keepAfterExit(const QByteArray& utf8Text)
{
    // A clipboard manager asks the toolkit for the data itself when we go.
    if (clipboardManagerRuns())
        return true;
    const QString helper =
        QCoreApplication::applicationDirPath() + QLatin1Char('/') + QLatin1String(kHelperName);
    if (!QFileInfo(helper).isExecutable())
        return false;
    return ClipboardHelper::start(QFile::encodeName(helper), utf8Text);
}

bool X11ClipboardKeeper::toolkitHandsOverAtExit() const
{
    return clipboardManagerRuns();
}

void X11ClipboardKeeper::forgetSentData()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection || QCoreApplication::closingDown())
        return;
    // libxcb copies every small request (the clipboard's answers among them) into its output
    // queue and leaves it there once sent. Right after a flush, one request exactly as large
    // as the queue overwrites all of it.
    constexpr uint32_t kQueueSize = 16384;
    constexpr uint32_t kRequestHeader = 24;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!screen)
        return;
    const xcb_window_t window = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_flush(connection);
    const std::vector<char> zeros(kQueueSize - kRequestHeader, 0);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_STRING, XCB_ATOM_STRING,
                        8, uint32_t(zeros.size()), zeros.data());
    xcb_destroy_window(connection, window);
    xcb_flush(connection);
}
