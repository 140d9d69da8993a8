// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "delivery/WindowPicker.h"

#include <QCoreApplication>

WindowPicker::WindowPicker(PickerPlatform& platform) : platform(platform) {}

void WindowPicker::start(WindowId mainWindow, WindowId dialog)
{
    this->mainWindow = mainWindow;
    this->dialog = dialog;
    picking = true;
    // Each pick starts fresh: the window chosen last time (the form of a password and its
    // confirmation) can be framed and chosen again at once.
    lastFramedWindow = 0;
}

std::optional<QString> WindowPicker::track(const QPoint& globalPos)
{
    if (!picking)
        return std::nullopt;
    const WindowId candidate = platform.windowAt(globalPos);
    if (!isPickableWindow(candidate))
        return std::nullopt;
    if (lastFramedWindow != 0)
        platform.hideFrame();
    lastFramedWindow = candidate;
    platform.showFrame(candidate);
    return describeWindow(candidate, platform.className(candidate));
}

WindowPicker::WindowId WindowPicker::finish()
{
    if (!picking)
        return 0;
    if (lastFramedWindow != 0)
        platform.hideFrame();
    picking = false;
    return lastFramedWindow;
}

bool WindowPicker::isPickableWindow(WindowId candidate) const
{
    if (candidate == 0 || !platform.isWindow(candidate))
        return false;
    if (candidate == lastFramedWindow || candidate == mainWindow || candidate == dialog)
        return false;
    const WindowId parent = platform.parentOf(candidate);
    return parent == 0 || (parent != dialog && parent != mainWindow);
}

QString WindowPicker::describeWindow(WindowId window, const QString& className)
{
    QString name = className.left(kMaxClassNameLength);
    // Never leave half of a surrogate pair behind.
    if (!name.isEmpty() && name.back().isHighSurrogate())
        name.chop(1);
    return QCoreApplication::translate("WindowPicker", "Window Handle:0x%1.\r\nClass Name:%2.")
        .arg(QString::number(window, 16).toUpper().rightJustified(8, QLatin1Char('0')), name);
}
