// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "delivery/WindowPicker.h"
#include "platform/PickerPlatform.h"

#include <QObject>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <memory>

class QWindow;

// Carries the password into another program by the gesture the display offers, and says in
// one text how far it got. A pick: press in the drag area, drag onto the target, release; the
// keys go out a moment later where the pointer still is over the chosen window. Arming: a
// click in the drag area readies typing; once another program has taken the keyboard focus
// from every window of ours, the keys go there. It owns the backend and every step between
// the user's gesture and the keys; the password dialog forwards presses, moves, releases and
// Escape, and shows `message()`.
class DeliveryController : public QObject
{
    Q_OBJECT

public:
    using TypeResult = PickerPlatform::TypeResult;
    using WindowId = PickerPlatform::WindowId;

    enum class State
    {
        Idle,       // nothing under way; the message is the instructions or how it ended
        Picking,    // from the press to the release: the window under the pointer is framed
        Delivering, // released over the chosen window: the keys go out in a moment
        Asking,     // the desktop was asked to allow typing (it may ask the user first)
        Armed,      // waiting for another program to take the focus
        Typing      // the keys are going out
    };

    // `password` is the caller's copy and must outlive the controller. Without a platform
    // nothing is offered.
    DeliveryController(std::unique_ptr<PickerPlatform> platform, const QString& password,
                       QObject* parent = nullptr);
    ~DeliveryController() override;

    PickerPlatform& platform() const { return *backend; }
    PickerPlatform::Gesture gesture() const { return backend->gesture(); }
    State state() const { return current; }
    bool isPicking() const { return current == State::Picking; }
    bool isArmed() const { return current == State::Armed; }
    // What the drag area says, translated; lines separated by "\r\n".
    QString message() const { return text; }

    // How long typing stays armed when no other window takes the focus.
    void setArmTimeout(int milliseconds) { armTimer.setInterval(milliseconds); }

    // A press in the drag area: where the display offers the pick, a pick starts; one still
    // delivering is given up. Our own windows, the main window and the dialog, are never picked.
    void press(WindowId mainWindow, WindowId dialog);
    // The pointer moved during a pick (read from the pointer itself, not a late event).
    void pointerMoved(const QPoint& globalPos);
    // The button went up during a pick: the framed window is the target when the pointer is
    // still over it.
    void released(const QPoint& globalPos);
    // A click in the drag area: where the display offers arming, typing is armed; armed
    // already, the full time starts again.
    void click();
    // Escape: ends arming and the question before it. False when there was none (the key is
    // then the dialog's).
    bool escape();
    // The dialog ends: whatever is under way ends, and nothing more is typed.
    void cancel();

    // The text for how a delivery ended. A pick that typed keeps naming its window instead.
    static const QString& resultText(TypeResult result);
    // The text shown before anything happened, for a gesture.
    static const QString& idleText(PickerPlatform::Gesture gesture);
    // Every text the drag area shows besides a window's name, in English.
    static QList<const QString*> allTexts();
    // One of the texts as the user reads it: in the user's language where there is one.
    static QString shown(const QString& text);

    static const QString kInstructions;
    static const QString kArmInstructions;
    static const QString kNotAvailableText;
    static const QString kNotTypedText;
    static const QString kNoInputBoxText;
    static const QString kArmedText;
    static const QString kWaitingText;
    static const QString kTypedText;
    static const QString kNotTypableText;
    static const QString kRefusedText;
    static const QString kDeclinedText;

    static constexpr int kArmTimeoutMs = 20000;
    // After our windows lost the focus: by then the click that took it has reached the target.
    static constexpr int kTypeDelayMs = 100;
    // How long after the release typing starts: the server first sees our grab go and our
    // main window come back, so that the target takes the focus after it.
    static constexpr int kDeliveryDelayMs = 50;

signals:
    void stateChanged(DeliveryController::State state);
    void messageChanged(const QString& text);
    // A delivery ended by itself: the keys went out, or why not. Not sent for one the user
    // gave up (Escape, closing, a new pick).
    void typingFinished(PickerPlatform::TypeResult result);

private:
    void setState(State state);
    void show(const QString& translated);
    // Stops whatever is under way without a word; the state becomes Idle.
    void stop();
    void deliver();
    void onFocusWindowChanged(QWindow* window);
    void typeIntoFocus();
    void finishTyping(TypeResult result);
    static bool ourWindowHasFocus();

    std::unique_ptr<PickerPlatform> backend;
    const QString& password;
    WindowPicker picker;
    State current = State::Idle;
    QString text;
    WindowId target = 0;
    QPoint targetPoint;
    // Counts requests to arm, so that an answer to one given up is ignored.
    int armRequest = 0;
    QTimer armTimer;
    QTimer typeTimer;
    QTimer deliveryTimer;
};
