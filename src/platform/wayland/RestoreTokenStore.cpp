// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/wayland/RestoreTokenStore.h"

#include "base/PlainFile.h"
#include "base/SettingsStore.h"

#include <QCoreApplication>
#include <QDir>

namespace {

// Portals hand out short tokens (a UUID); anything else in the file is not one of them.
constexpr int kLongestToken = 512;

bool isToken(const QByteArray& text)
{
    if (text.isEmpty() || text.size() > kLongestToken)
        return false;
    for (const char c : text) {
        if (c <= ' ' || c > '~')
            return false;
    }
    return true;
}

} // namespace

QString RestoreTokenStore::path()
{
    // As the XDG base directories say: a relative or empty value counts as unset.
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state))
        state = QDir::homePath() + QLatin1String("/.local/state");
    return state + QLatin1Char('/') + QLatin1String(SettingsStore::kOrganisation) +
           QLatin1Char('/') + QCoreApplication::applicationName() + QLatin1String("-portal-token");
}

QString RestoreTokenStore::load()
{
    const std::optional<QByteArray> content = readPlainFile(path());
    if (!content)
        return QString();
    const QByteArray token = content->trimmed();
    return isToken(token) ? QString::fromLatin1(token) : QString();
}

bool RestoreTokenStore::save(const QString& token)
{
    const QByteArray bytes = token.toLatin1();
    if (!isToken(bytes))
        return false;
    return replacePlainFile(path(), bytes + '\n',
                            QFileDevice::ReadOwner | QFileDevice::WriteOwner) &&
           load() == token;
}
