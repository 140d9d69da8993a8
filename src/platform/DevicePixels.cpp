// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/DevicePixels.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

// Qt's scaling about a screen's origin, with its rounding (QPoint * qreal rounds each part).
QPoint scaled(const QPoint& point, qreal factor, const QPoint& origin)
{
    return (point - origin) * factor + origin;
}

// The screen holding the area's centre, else the one it covers most, else the first.
template <typename Geometry>
const ScreenPixels* screenFor(const QList<ScreenPixels>& screens, const QRect& area,
                              Geometry geometry)
{
    const ScreenPixels* best = screens.isEmpty() ? nullptr : &screens.first();
    qint64 bestOverlap = 0;
    for (const ScreenPixels& screen : screens) {
        const QRect bounds = geometry(screen);
        if (bounds.contains(area.center()))
            return &screen;
        const QRect overlap = bounds.intersected(area);
        const qint64 size = qint64(overlap.width()) * overlap.height();
        if (size > bestOverlap) {
            bestOverlap = size;
            best = &screen;
        }
    }
    return best;
}

} // namespace

QRect ScreenPixels::device() const
{
    return QRect(logical.topLeft(), logical.size() * ratio);
}

QList<ScreenPixels> currentScreens()
{
    QList<ScreenPixels> screens;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary)
        screens.append({primary->geometry(), primary->devicePixelRatio()});
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen != primary)
            screens.append({screen->geometry(), screen->devicePixelRatio()});
    }
    return screens;
}

QPoint toDevicePixels(const QList<ScreenPixels>& screens, const QPoint& logical)
{
    const ScreenPixels* screen = screenFor(screens, QRect(logical, QSize(1, 1)),
                                           [](const ScreenPixels& s) { return s.logical; });
    if (!screen)
        return logical;
    return scaled(logical, screen->ratio, screen->logical.topLeft());
}

QRect fromDevicePixels(const QList<ScreenPixels>& screens, const QRect& device)
{
    const ScreenPixels* screen =
        screenFor(screens, device, [](const ScreenPixels& s) { return s.device(); });
    if (!screen)
        return device;
    const qreal factor = 1.0 / screen->ratio;
    return QRect(scaled(device.topLeft(), factor, screen->logical.topLeft()),
                 device.size() * factor);
}
