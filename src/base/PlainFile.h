// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

#include <optional>

// Small files of our own (settings, state) read and written with care for what the path may
// really be: a pipe would block a reader, opening a device may do something of its own, and a
// file half written must never be seen.

// The content of a plain file, through links; nothing when the path names anything else or
// cannot be read. Never blocks on a pipe.
std::optional<QByteArray> readPlainFile(const QString& path);

// Replaces the file whole: written beside it and renamed over it (through a link, onto the
// link's target), so that it is complete at every moment and a read-only file or folder is left
// as it is. Only a plain file is ever replaced: never a pipe, a device, a folder or a broken
// link. The folder is made when missing; a new file gets `newFilePermissions`. True when written.
bool replacePlainFile(const QString& path, const QByteArray& content,
                      QFileDevice::Permissions newFilePermissions);
