// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QtGlobal>

// Qt gives positions in logical pixels and the window system wants device pixels. Each screen
// keeps its top-left corner the same in both and scales only what lies beyond it, by its own
// ratio; so a point converts through the screen that holds it, never through one ratio for
// the whole desktop. These functions follow Qt's own rounding, so that a rectangle converted
// here and handed back to Qt lands on the same device pixels.
struct ScreenPixels
{
    QRect logical;     // the screen's geometry as Qt reports it (QScreen::geometry)
    qreal ratio = 1.0; // device pixels per logical pixel (QScreen::devicePixelRatio)

    QRect device() const;
};

// The screens Qt knows, the primary one first.
QList<ScreenPixels> currentScreens();

// A global logical point in device pixels, through the screen that holds it (the first screen
// when none does).
QPoint toDevicePixels(const QList<ScreenPixels>& screens, const QPoint& logical);

// A rectangle in device pixels in logical ones, through the screen that holds its centre (or
// the most of it; the first screen when it lies on none), as Qt places a window there.
QRect fromDevicePixels(const QList<ScreenPixels>& screens, const QRect& device);
