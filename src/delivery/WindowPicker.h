// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/PickerPlatform.h"

#include <QPoint>
#include <QString>

#include <optional>

// The pick of a target window: from the press in the drag area to the next release, it frames
// the acceptable window under the pointer and describes it.
class WindowPicker
{
public:
    using WindowId = PickerPlatform::WindowId;

    explicit WindowPicker(PickerPlatform& platform);

    // Our own two windows are never picked: the main window and the password dialog.
    void start(WindowId mainWindow, WindowId dialog);
    // One pointer move. Returns the drag area's new text when the frame went to another window.
    std::optional<QString> track(const QPoint& globalPos);
    // Ends the pick and erases the frame. Returns the window chosen by this pick, or 0 when
    // this pick framed nothing. Does nothing outside a pick.
    WindowId finish();
    bool isPicking() const { return picking; }

    // The window framed last in the current or last pick; 0 when that pick framed nothing.
    // Moving within it neither redraws nor rewrites the text.
    WindowId framedWindow() const { return lastFramedWindow; }

    // Whether a window may be framed now: another program's, not the one framed already.
    bool isPickableWindow(WindowId candidate) const;
    // "Window Handle:0x...\r\nClass Name:....", the class name cut to its first 98 characters.
    static QString describeWindow(WindowId window, const QString& className);

    static constexpr int kMaxClassNameLength = 98;

private:
    PickerPlatform& platform;
    bool picking = false;
    WindowId mainWindow = 0;
    WindowId dialog = 0;
    WindowId lastFramedWindow = 0;
};
