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

} // namespace

bool WaylandClipboardKeeper::canKeepAfterExit() const
{
    return QFileInfo(helperPath()).isExecutable() &&
           WaylandGlobals::offers("zwlr_data_control_manager_v1");
}

bool WaylandClipboardKeeper::keepAfterExit(const QByteArray& utf8Text)
{
    if (!canKeepAfterExit())
        return false;
    return ClipboardHelper::start(QFile::encodeName(helperPath()), utf8Text);
}
