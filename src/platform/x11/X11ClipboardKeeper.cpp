// Qt before Xlib: Xlib's macros break Qt's headers.
#include "platform/x11/X11ClipboardKeeper.h"

#include "platform/ClipboardHelper.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <X11/Xlib.h>

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
