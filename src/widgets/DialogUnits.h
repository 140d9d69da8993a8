// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QFont>
#include <QRect>

// Converts dialog layouts given in dialog units of a font into pixels: a horizontal unit is a
// quarter of the font's average character width, a vertical unit an eighth of its height.
class DialogUnits
{
public:
    explicit DialogUnits(const QFont& font);

    int x(int units) const;
    int y(int units) const;
    // Both corners are mapped, so that neighbouring controls keep their gaps.
    QRect rect(int left, int top, int width, int height) const;

private:
    qreal baseX = 0;
    qreal baseY = 0;
};
