// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QPointer>
#include <QRect>
#include <QWidget>

class PickerPlatform;

// Takes the main window off the screen while the user picks a window it may cover, and
// brings it back as it was: in its normal size and place, modal again, without the focus.
class MainWindowAway
{
public:
    explicit MainWindowAway(PickerPlatform& platform);

    // Does nothing for a window that is not shown.
    void hide(QWidget* mainWindow);
    // True when the window was away and is back. From then on it takes no keyboard focus
    // until giveFocusBack.
    bool restore();
    // Before the password dialog goes: the window manager may give the main window the focus.
    void giveFocusBack();

private:
    PickerPlatform& platform;
    QPointer<QWidget> window;
    QRect geometry;
    Qt::WindowModality modality = Qt::NonModal;
    QPointer<QWidget> focusWithheld;
};
