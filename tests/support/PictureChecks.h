// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Checks of a loaded icon set against a list such as {"a=own", "b=blue", "g=#00ff00"}: "own"
// is the built-in picture of that letter, anything else the colour of its first pixel, within
// `tolerance` per channel (JPEG shifts colours a little; GIF does not).

#include "matrix/IconSet.h"

#include <QColor>
#include <QStringList>
#include <QTest>

inline void checkPictures(const IconSet& set, const QStringList& expected, int tolerance = 0)
{
    for (const QString& check : expected) {
        const int index = check.at(0).toLatin1() - 'a';
        const QString what = check.mid(2);
        const IconPicture& picture = set.Picture(index);
        QVERIFY2(!picture.isEmpty(), qPrintable(check));
        if (what == QLatin1String("own")) {
            IconPicture own;
            QVERIFY(own.LoadFromFile(QStringLiteral(":/icons/%1.jpg").arg(check.at(0))));
            QVERIFY2(picture.image() == own.image(), qPrintable(check));
        } else {
            const QRgb actual = picture.image().pixel(0, 0);
            const QRgb wanted = QColor(what).rgb();
            QVERIFY2(qAbs(qRed(actual) - qRed(wanted)) <= tolerance &&
                         qAbs(qGreen(actual) - qGreen(wanted)) <= tolerance &&
                         qAbs(qBlue(actual) - qBlue(wanted)) <= tolerance,
                     qPrintable(check));
        }
    }
}
