// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/FirstFrame.h"

#include <QGuiApplication>
#include <QImage>
#include <QWidget>

#ifdef GLYPHLOCK_HAVE_X11
#include "platform/x11/X11WindowBackground.h"
#endif

bool FirstFrame::shownAtMap()
{
#ifdef GLYPHLOCK_HAVE_X11
    return QGuiApplication::platformName() == QLatin1String("xcb");
#else
    return false;
#endif
}

bool FirstFrame::showAtMap(QWidget& window)
{
#ifdef GLYPHLOCK_HAVE_X11
    if (!shownAtMap() || !window.isWindow())
        return false;
    X11WindowBackground background(window.winId());
    // The server is asked about the window first; its answer comes while the frame is drawn.
    background.prepare();
    const qreal ratio = window.devicePixelRatioF();
    QImage frame(window.size() * ratio, QImage::Format_RGB32);
    frame.setDevicePixelRatio(ratio);
    window.render(&frame);
    return background.set(frame);
#else
    Q_UNUSED(window);
    return false;
#endif
}

void FirstFrame::release(QWidget& window)
{
#ifdef GLYPHLOCK_HAVE_X11
    if (shownAtMap() && window.isWindow())
        X11WindowBackground(window.winId()).clear();
#else
    Q_UNUSED(window);
#endif
}
