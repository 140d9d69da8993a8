// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "base/SettingsStore.h"

#include "base/PlainFile.h"
#include "core/PasswordAlgorithm.h"

#include <QCoreApplication>
#include <QSettings>

#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
#define GLYPHLOCK_SETTINGS_IN_A_FILE
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#endif

namespace {

constexpr auto kKey = "PW/SC";

// A hand-edited file may hold a list (unquoted commas); anything but text counts as absent.
QString textFrom(const QSettings& settings)
{
    if (settings.status() != QSettings::NoError)
        return QString();
    const QVariant value = settings.value(QLatin1String(kKey));
    if (value.typeId() != QMetaType::QString)
        return QString();
    return value.toString();
}

#ifdef GLYPHLOCK_SETTINGS_IN_A_FILE

// QSettings keeps one cache per file name for the whole process, and a save that failed
// stays in that cache as a pending change: every later QSettings on the same file answers
// from it (and tries the write again) instead of reading storage, so one failed save would
// change every later password. Therefore the settings file is only ever read and written
// here as plain bytes, and QSettings reads and writes a private copy under a new name.

// Where QSettings keeps the user's settings, worked out without opening the file: QSettings
// reads its file as soon as it is made, and the file may be a pipe that never answers.
QString settingsFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QLatin1Char('/') + QLatin1String(SettingsStore::kOrganisation) + QLatin1Char('/') +
           QCoreApplication::applicationName() + QLatin1String(".conf");
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A copy of the settings for QSettings to work on, under a name no QSettings has seen.
class ScratchCopy
{
public:
    explicit ScratchCopy(const QByteArray& content)
        : path(folder.filePath(QStringLiteral("settings.conf"))),
          valid(folder.isValid() && writeFile(path, content))
    {
    }

    QTemporaryDir folder;
    const QString path;
    const bool valid;
};

QString loadFromFile()
{
    const QString path = settingsFile();
    const std::optional<QByteArray> content = readPlainFile(path);
    if (!content || content->isEmpty())
        return QString();
    const ScratchCopy copy(*content);
    // Without a scratch folder the file is read in place: no save ever goes through QSettings
    // on it, so no failed one can linger in the cache.
    const QSettings settings(copy.valid ? copy.path : path, QSettings::IniFormat);
    return textFrom(settings);
}

// Writes the value into the settings file when it can; whether it did is told by what a
// load then reads back.
void saveToFile(const QString& specialChars)
{
    const QString path = settingsFile();
    const QFileInfo info(path);
    // Only a plain file is ever replaced (replacePlainFile): never a pipe, a device or a
    // broken link, so none is read either.
    if ((info.exists() || info.isSymLink()) && !info.isFile())
        return;
    const ScratchCopy copy(readPlainFile(path).value_or(QByteArray()));
    if (!copy.valid)
        return;
    {
        QSettings settings(copy.path, QSettings::IniFormat);
        settings.setValue(QLatin1String(kKey), specialChars);
        settings.sync();
        // A copy that did not parse is written out cleanly all the same, as QSettings does.
        if (settings.status() == QSettings::AccessError)
            return;
    }
    QFile written(copy.path);
    if (written.open(QIODevice::ReadOnly))
        replacePlainFile(path, written.readAll(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

#else

QSettings openSettings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope,
                     QLatin1String(SettingsStore::kOrganisation),
                     QCoreApplication::applicationName());
}

#endif

} // namespace

QString SettingsStore::loadSpecialChars()
{
#ifdef GLYPHLOCK_SETTINGS_IN_A_FILE
    return loadFromFile();
#else
    const QSettings settings = openSettings();
    return textFrom(settings);
#endif
}

bool SettingsStore::saveSpecialChars(const QString& specialChars)
{
    // The result of the write itself does not count: a save succeeds when storage reads back
    // the text, so saving the set that is already stored succeeds on read-only storage too.
#ifdef GLYPHLOCK_SETTINGS_IN_A_FILE
    saveToFile(specialChars);
#else
    {
        QSettings settings = openSettings();
        settings.setValue(QLatin1String(kKey), specialChars);
        settings.sync();
    }
#endif
    return loadSpecialChars() == specialChars;
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
