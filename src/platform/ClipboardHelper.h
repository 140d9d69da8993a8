// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>

// Starts a helper program that keeps the clipboard after we have ended (POSIX systems).
namespace ClipboardHelper {

// Starts the program at `path` detached from us (its own session, reaped by init) with the
// text on its standard input, never in its arguments, and waits until it answers "1" on its
// standard output: it owns the clipboard.
bool start(const QByteArray& path, const QByteArray& text);

} // namespace ClipboardHelper
