// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/PasswordAlgorithm.h"

#include <QString>

// The passwords the end-to-end runs deliver, by name; the empty text for an unknown name.
inline QString e2ePassword(const QString& name)
{
    if (name == QLatin1String("generated")) // the start-up grid with the default special set
        return QString::fromStdU32String(generatePassword(
            {"aaaaaaaa", "aaaaaaaa", "aaaaaaaa", "aaaaaaaa", "aaaaaaaa", "aaaaaaaa", "aaaaaaaa"},
            U""));
    if (name == QLatin1String("generatedForeign")) // the start-up grid with the set "é€"
        return QString::fromStdU32String(generatePassword(
            {"aaaaaaaa", "aaaaaaaa", "aaaaaaaa", "aaaaaaaa", "aaaaaaaa", "aaaaaaaa", "aaaaaaaa"},
            U"é€"));
    if (name == QLatin1String("edited")) // the 10 x 7 grid the edited-grid case clicks together
        return QString::fromStdU32String(
            generatePassword({"abaaaaaaaa", "aacaaaaaaa", "aaaaaaaaaa", "aaaaaaaaaa", "aaaaaaaaaa",
                              "aaaaaaaafa", "aaaaaabaaa"},
                             U""));
    if (name == QLatin1String("keyboard")) // the 8 x 7 grid the keyboard case keys together
        return QString::fromStdU32String(generatePassword(
            {"acaaaaaa", "aaaaaaaf", "baaaaaaa", "aaaaaaaa", "aaaaaaaa", "aaaaaaaa", "faaaaaab"},
            U""));
    if (name == QLatin1String("specials")) // every default special character and a space
        return QStringLiteral("!@#$%^&*()-=+_[]{}|:;',.<>?~ Az09");
    if (name == QLatin1String("foreign")) // a special set the US keymap lacks; holds both
        return QString::fromStdU32String(generatePassword({"dba"}, U"é€"));
    if (name == QLatin1String("wide")) { // more distinct characters than one keymap takes
        QString text = QString::fromStdU32String(U"é€ßΩ日本");
        for (char16_t c = 0x7e; c >= 0x20; --c)
            text += QChar(c);
        return text;
    }
    if (name == QLatin1String("unicode")) // a special set from beyond ASCII, with an emoji
        return QString::fromStdU32String(U"é€ß😀Az09😀ß€é");
    return QString();
}
