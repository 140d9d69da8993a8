// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/wayland/WaylandClipboardKeeper.h"

#include "platform/ClipboardHelper.h"
#include "platform/wayland/WaylandGlobals.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace {

QString helperPath()
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') +
           QLatin1String(WaylandClipboardKeeper::kHelperName);
}

bool helperCanServe()
{
    return QFileInfo(helperPath()).isExecutable() &&
           WaylandGlobals::offers("zwlr_data_control_manager_v1");
}

// GNOME's compositor (the one that offers gtk_shell1) copies the plain text of every new
// clipboard owner and serves that copy once the owner has gone; other types, the secret mark
// among them, are not kept.
bool compositorKeepsText()
{
    return WaylandGlobals::offers("gtk_shell1");
}

} // namespace

bool WaylandClipboardKeeper::canKeepAfterExit() const
{
    return helperCanServe() || compositorKeepsText();
}

bool WaylandClipboardKeeper::keepAfterExit(const QByteArray& utf8Text)
{
    if (helperCanServe())
        return ClipboardHelper::start(QFile::encodeName(helperPath()), utf8Text);
    return compositorKeepsText();
}
