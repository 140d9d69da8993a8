// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/PickerPlatform.h"

#include <QList>
#include <QRect>
#include <QStringList>

// A picker backend with windows made up by the test: it answers from that list and records
// what it was asked to draw and type.
class RecordingPickerPlatform : public PickerPlatform
{
public:
    struct FakeWindow
    {
        WindowId id = 0;
        QRect rect; // global; later windows lie on top of earlier ones
        QString className;
        WindowId parent = 0;
    };

    void addWindow(const FakeWindow& window) { windows.append(window); }
    void removeWindow(WindowId id);

    Gesture gesture() const override { return shownGesture; }
    void setGesture(Gesture gesture) { shownGesture = gesture; }
    WindowId windowAt(const QPoint& globalPos) override;
    bool isWindow(WindowId window) override;
    WindowId parentOf(WindowId window) override;
    QString className(WindowId window) override;
    void showFrame(WindowId window) override;
    void hideFrame() override;
    TypeResult typeText(WindowId target, const QPoint& globalPos, const QString& text) override;
    void setFocusable(WindowId window, bool focusable) override;

    QList<FakeWindow> windows;
    // "show 0x..", "hide", in order.
    QStringList frameLog;
    WindowId frameShownOn = 0; // 0 when no frame is visible
    // What typeText was asked, and what it answers.
    struct Typing
    {
        WindowId target;
        QPoint at;
        QString text;
    };
    QList<Typing> typed;
    // The windows whose focus is withheld now.
    QList<WindowId> unfocusable;
    TypeResult typeResult = TypeResult::Typed;
    Gesture shownGesture = Gesture::DragToWindow;
};
