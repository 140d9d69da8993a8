#pragma once

#include <QByteArray>

// Keeps text on the clipboard after this process has ended, on window systems where the
// clipboard dies with its owner.
class ClipboardKeeper
{
public:
    // Called while this process still owns the clipboard, just before it ends. True when the
    // text stays available: a clipboard manager takes it, or a helper process serves it.
    static bool keepAfterExit(const QByteArray& utf8Text);
};
