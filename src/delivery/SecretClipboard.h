// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// Puts a password on the system clipboard as plain text, marked secret so that clipboard
// managers keep it out of their history, and keeps it there after the program has ended.
class SecretClipboard
{
public:
    // False when the clipboard could not be taken.
    static bool copy(const QString& text);
    // False where the clipboard is gone when the program ends and nothing can keep it.
    static bool lastsAfterExit();

    static constexpr const char* kPasswordHintFormat = "x-kde-passwordManagerHint";
    static constexpr const char* kUtf8TextFormat = "text/plain;charset=utf-8";
};
