// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "base/PlainFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <utility>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

std::optional<QByteArray> readPlainFile(const QString& path)
{
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(path);
    struct stat info
    {
    };
    if (stat(name.constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    // Not blocking, and checked again once open, in case the node changed in between.
    const int fd = open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    QFile file;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        close(fd);
        return std::nullopt;
    }
    return file.readAll();
#else
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
#endif
}

namespace {

// A new file is made empty first, with its permissions from the start: the replacement keeps
// them, so its content is never readable to anyone else, not even for a moment.
bool createEmpty(const QString& path, QFileDevice::Permissions permissions)
{
#ifdef Q_OS_UNIX
    mode_t mode = 0;
    const std::pair<QFileDevice::Permission, mode_t> bits[] = {
        {QFileDevice::ReadOwner, S_IRUSR},  {QFileDevice::WriteOwner, S_IWUSR},
        {QFileDevice::ExeOwner, S_IXUSR},   {QFileDevice::ReadGroup, S_IRGRP},
        {QFileDevice::WriteGroup, S_IWGRP}, {QFileDevice::ExeGroup, S_IXGRP},
        {QFileDevice::ReadOther, S_IROTH},  {QFileDevice::WriteOther, S_IWOTH},
        {QFileDevice::ExeOther, S_IXOTH}};
    for (const auto& [permission, bit] : bits) {
        if (permissions.testFlag(permission))
            mode |= bit;
    }
    const int fd = open(QFile::encodeName(path).constData(),
                        O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd < 0)
        return false;
    close(fd);
    return true;
#else
    QFile file(path);
    return file.open(QIODevice::NewOnly) && file.setPermissions(permissions);
#endif
}

} // namespace

bool replacePlainFile(const QString& path, const QByteArray& content,
                      QFileDevice::Permissions newFilePermissions)
{
    const QFileInfo info(path);
    if ((info.exists() || info.isSymLink()) && !info.isFile())
        return false;
    if (!QDir().mkpath(info.absolutePath()))
        return false;
    if (!info.exists() && !createEmpty(path, newFilePermissions))
        return false;
    QSaveFile out(path);
    return out.open(QIODevice::WriteOnly) && out.write(content) == content.size() && out.commit();
}
