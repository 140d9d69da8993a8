#include "base/SettingsStore.h"

#include "core/PasswordAlgorithm.h"

#include <QCoreApplication>
#include <QSettings>

namespace {

constexpr auto kSection = "PW";
constexpr auto kEntry = "SC";

QString settingsKey()
{
    return QStringLiteral("%1/%2").arg(QLatin1String(kSection), QLatin1String(kEntry));
}

QSettings openSettings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope,
                     QLatin1String(SettingsStore::kOrganisation),
                     QCoreApplication::applicationName());
}

} // namespace

QString SettingsStore::loadSpecialChars()
{
    QSettings settings = openSettings();
    if (settings.status() != QSettings::NoError)
        return QString();
    const QVariant value = settings.value(settingsKey());
    // A hand-edited file may hold a list (unquoted commas); anything but text counts as absent.
    if (value.typeId() != QMetaType::QString)
        return QString();
    return value.toString();
}

bool SettingsStore::saveSpecialChars(const QString& specialChars)
{
    QSettings settings = openSettings();
    const QVariant previous = settings.value(settingsKey());
    settings.setValue(settingsKey(), specialChars);
    settings.sync();
    if (settings.status() == QSettings::NoError)
        return true;

    // QSettings shares one cache per file within the process: put the old value back so
    // that later reads in this process agree with what storage really holds.
    if (previous.isValid())
        settings.setValue(settingsKey(), previous);
    else
        settings.remove(settingsKey());
    return false;
}

QString SettingsStore::loadSpecialCharsOrDefault()
{
    QString special = loadSpecialChars();
    if (special.isEmpty()) {
        special = QString::fromLatin1(kDefaultSpecialChars);
        saveSpecialChars(special);
    }
    return special;
}
