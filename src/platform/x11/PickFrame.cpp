// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/x11/PickFrame.h"

#include <QGuiApplication>
#include <QPainter>
#include <QRegion>
#include <QScreen>

PickFrame::PickFrame()
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput |
                           Qt::WindowDoesNotAcceptFocus | Qt::WindowStaysOnTopHint)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void PickFrame::showAround(const QRect& outerRect)
{
    // The outline is scaled by the screen the window is on when it is set, and the window
    // system reports a move to another screen only later: with screens of different scales,
    // the frame goes over to the target's screen first.
    QScreen* target = QGuiApplication::screenAt(outerRect.center());
    const bool screenChanges = target && target != screen();
    if (screenChanges)
        setScreen(target);
    setGeometry(outerRect);
    const QRect local(QPoint(0, 0), outerRect.size());
    QRegion outline(local);
    const QRect inner = local.adjusted(kThickness, kThickness, -kThickness, -kThickness);
    if (inner.isValid())
        outline -= QRegion(inner);
    if (screenChanges)
        clearMask(); // the same outline on another scale is set anew
    setMask(outline);
    show();
    raise();
}

void PickFrame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
}
