// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>

class QClipboard;

// What the clipboard needs from the window system. The base class is the fallback for
// systems whose clipboard outlives its owner, or where nothing can keep it.
class ClipboardKeeper
{
public:
    virtual ~ClipboardKeeper();

    // Whether our data really is on the clipboard after we set it. Where taking the clipboard
    // can fail silently (X11), only ownership proves it.
    virtual bool holdsOurData(const QClipboard& clipboard) const;

    // False where the clipboard is gone when we end and nothing can keep it: the user must
    // paste before leaving, and is told so.
    virtual bool canKeepAfterExit() const;

    // Called while this process still owns the clipboard, just before it ends. True when the
    // text stays available: a clipboard manager takes it, or a helper process serves it.
    virtual bool keepAfterExit(const QByteArray& utf8Text);

    // True when the toolkit itself still hands our data on as it shuts down, after
    // keepAfterExit (to an X11 clipboard manager): until then the data must stay intact.
    virtual bool toolkitHandsOverAtExit() const;

    // Called when our data has left the clipboard: overwrites what the connection to the
    // window system still keeps of the data it sent lately.
    virtual void forgetSentData();
};
