// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// The character that starts at text[i], read without a copy of the text (QString::toUcs4
// would make one, and turn half a surrogate pair into U+FFFD); i moves past it. Half a pair
// comes back as itself, for the caller to refuse.
inline char32_t nextCodePoint(const QString& text, qsizetype& i)
{
    const QChar unit = text.at(i++);
    if (unit.isHighSurrogate() && i < text.size() && text.at(i).isLowSurrogate())
        return QChar::surrogateToUcs4(unit, text.at(i++));
    return unit.unicode();
}
