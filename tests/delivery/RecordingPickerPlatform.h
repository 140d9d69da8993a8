// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/PickerPlatform.h"

#include <QList>
#include <QRect>
#include <QStringList>

#include <functional>

// A picker backend with windows made up by the test: it answers from that list and records
// what it was asked to draw and type. Offers the pick (DragToWindow) unless told otherwise;
// answers at once unless told to hold an answer until the test gives it.
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
    void startTyping(WindowId target, const QPoint& globalPos, const QString& text,
                     std::function<void(TypeResult)> done) override;
    void cancelTyping() override;
    void prepareTyping(std::function<void(TypeResult)> done) override;
    TypeResult typeIntoFocus(const QString& text) override;
    void startTypingIntoFocus(const QString& text, std::function<void(TypeResult)> done) override;

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
    QList<Typing> typed; // typing into the focus has no target and no point
    // The windows whose focus is withheld now.
    QList<WindowId> unfocusable;
    TypeResult typeResult = TypeResult::Typed;
    // The keys are still going out until the test answers `pendingTyping`.
    bool holdTyping = false;
    std::function<void(TypeResult)> pendingTyping;
    int cancels = 0; // cancelTyping calls while keys were going out
    // How the request to arm is answered; held until the test answers `pendingArming`.
    TypeResult armResult = TypeResult::Typed;
    bool holdArming = false;
    std::function<void(TypeResult)> pendingArming;
    int armRequests = 0;
    Gesture shownGesture = Gesture::DragToWindow;
};
