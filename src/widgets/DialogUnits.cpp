// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "widgets/DialogUnits.h"

#include <QFontMetricsF>
#include <QtMath>

DialogUnits::DialogUnits(const QFont& font)
{
    const QFontMetricsF metrics(font);
    baseX = metrics.horizontalAdvance(
                QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
            52.0;
    // Whole pixels, as text is laid out in whole lines: with a fractional height (Noto Sans
    // has 16.3 pixels at 9 points) a box of exactly one line's worth of units would round to
    // a pixel less than the line the label needs.
    baseY = qCeil(metrics.height());
}

int DialogUnits::x(int units) const
{
    return qRound(units * baseX / 4.0);
}

int DialogUnits::y(int units) const
{
    return qRound(units * baseY / 8.0);
}

QRect DialogUnits::rect(int left, int top, int width, int height) const
{
    return QRect(QPoint(x(left), y(top)), QPoint(x(left + width) - 1, y(top + height) - 1));
}
