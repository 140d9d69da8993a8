// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "delivery/DeliveryController.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QWindow>

// The texts are the password dialog's own, and translated in its context.

const QString DeliveryController::kInstructions = QStringLiteral(QT_TRANSLATE_NOOP(
    "PasswordDialog",
    "Input password automatically:\r\nClick in this area, keep the mouse button pressed, move the "
    "cursor to the password input box, then release the mouse button."));
const QString DeliveryController::kNotAvailableText = QStringLiteral(QT_TRANSLATE_NOOP(
    "PasswordDialog",
    "Automatic input is not available on this display.\r\nUse \"Copy to Clipboard\" and paste "
    "the password into the input box instead."));
const QString DeliveryController::kNoInputBoxText = QStringLiteral(QT_TRANSLATE_NOOP(
    "PasswordDialog",
    "Nothing was typed: there is no input box where the mouse button was released.\r\nRelease it "
    "over the password input box, or use \"Copy to Clipboard\"."));
const QString DeliveryController::kNotTypedText = QStringLiteral(QT_TRANSLATE_NOOP(
    "PasswordDialog",
    "The password could not be typed into that window.\r\nUse \"Copy to Clipboard\" and paste "
    "it into the input box instead."));
const QString DeliveryController::kArmInstructions = QStringLiteral(QT_TRANSLATE_NOOP(
    "PasswordDialog",
    "Input password automatically:\r\nClick in this area, then click into the password input "
    "box of the other program."));
const QString DeliveryController::kArmedText = QStringLiteral(QT_TRANSLATE_NOOP(
    "PasswordDialog",
    "Now click into the password input box of the other program: the password is typed "
    "there.\r\nEsc cancels; after 20 seconds this ends by itself."));
const QString DeliveryController::kWaitingText = QStringLiteral(
    QT_TRANSLATE_NOOP("PasswordDialog", "Waiting for the desktop to allow automatic input..."));
const QString DeliveryController::kTypedText = QStringLiteral(QT_TRANSLATE_NOOP(
    "PasswordDialog",
    "The password was typed into the other program.\r\nClick in this area to type it again."));
const QString DeliveryController::kNotTypableText = QStringLiteral(QT_TRANSLATE_NOOP(
    "PasswordDialog",
    "The password holds characters that cannot be typed here; nothing was typed.\r\nUse "
    "\"Copy to Clipboard\" and paste it into the input box instead."));
const QString DeliveryController::kRefusedText = QStringLiteral(QT_TRANSLATE_NOOP(
    "PasswordDialog",
    "The desktop refused automatic input for Glyphlock.\r\nUse \"Copy to Clipboard\" and paste "
    "the password into the input box instead."));
const QString DeliveryController::kDeclinedText = QStringLiteral(QT_TRANSLATE_NOOP(
    "PasswordDialog",
    "Automatic input was declined in the desktop's dialog.\r\nClick in this area to be asked "
    "again, or use \"Copy to Clipboard\"."));

const QString& DeliveryController::resultText(TypeResult result)
{
    switch (result) {
    case TypeResult::Typed:
        return kTypedText;
    case TypeResult::NotAvailable:
        return kNotAvailableText;
    case TypeResult::WindowGone:
        return kNotTypedText;
    case TypeResult::Failed:
        // The backend found a character it cannot produce before any key went out.
        return kNotTypableText;
    case TypeResult::Refused:
        return kRefusedText;
    case TypeResult::Declined:
        return kDeclinedText;
    case TypeResult::NoInputBox:
        return kNoInputBoxText;
    }
    return kNotTypedText;
}

const QString& DeliveryController::idleText(PickerPlatform::Gesture gesture)
{
    switch (gesture) {
    case PickerPlatform::Gesture::DragToWindow:
        return kInstructions;
    case PickerPlatform::Gesture::ArmThenFocus:
        return kArmInstructions;
    case PickerPlatform::Gesture::None:
        break;
    }
    return kNotAvailableText;
}

QList<const QString*> DeliveryController::allTexts()
{
    return {&kInstructions,   &kArmInstructions, &kNotAvailableText, &kNoInputBoxText,
            &kNotTypedText,   &kArmedText,       &kWaitingText,      &kTypedText,
            &kNotTypableText, &kRefusedText,     &kDeclinedText};
}

QString DeliveryController::shown(const QString& text)
{
    return QCoreApplication::translate("PasswordDialog", text.toUtf8().constData());
}

DeliveryController::DeliveryController(std::unique_ptr<PickerPlatform> platform,
                                       const QString& password, QObject* parent)
    : QObject(parent), backend(platform ? std::move(platform) : std::make_unique<PickerPlatform>()),
      password(password), picker(*backend), text(shown(idleText(backend->gesture())))
{
    armTimer.setSingleShot(true);
    armTimer.setInterval(kArmTimeoutMs);
    connect(&armTimer, &QTimer::timeout, this, [this] {
        stop();
        show(shown(idleText(gesture())));
    });
    typeTimer.setSingleShot(true);
    typeTimer.setInterval(kTypeDelayMs);
    connect(&typeTimer, &QTimer::timeout, this, &DeliveryController::typeIntoFocus);
    deliveryTimer.setSingleShot(true);
    deliveryTimer.setInterval(kDeliveryDelayMs);
    connect(&deliveryTimer, &QTimer::timeout, this, &DeliveryController::deliver);
    connect(qApp, &QGuiApplication::focusWindowChanged, this,
            &DeliveryController::onFocusWindowChanged);
}

DeliveryController::~DeliveryController()
{
    // Quietly: whoever listens may be going away too.
    backend->cancelTyping();
    picker.finish();
}

void DeliveryController::setState(State state)
{
    if (state == current)
        return;
    current = state;
    emit stateChanged(state);
}

void DeliveryController::show(const QString& translated)
{
    text = translated;
    emit messageChanged(text);
}

void DeliveryController::stop()
{
    picker.finish();
    backend->cancelTyping();
    ++armRequest;
    armTimer.stop();
    typeTimer.stop();
    deliveryTimer.stop();
    setState(State::Idle);
}

void DeliveryController::press(WindowId mainWindow, WindowId dialog)
{
    if (gesture() != PickerPlatform::Gesture::DragToWindow || current == State::Picking)
        return;
    // A new pick gives up the delivery of the last one: its keys would go wherever the
    // focus is now, and the user has turned to another window anyway.
    stop();
    picker.start(mainWindow, dialog);
    setState(State::Picking);
}

void DeliveryController::pointerMoved(const QPoint& globalPos)
{
    if (current != State::Picking)
        return;
    if (const auto description = picker.track(globalPos))
        show(*description);
}

void DeliveryController::released(const QPoint& globalPos)
{
    if (current != State::Picking)
        return;
    const WindowId chosen = picker.finish();
    // Our windows come back first; the target is judged with them in place.
    setState(State::Idle);
    // Typed only where the pointer still is over the chosen window: a release over our own
    // dialog is the way back out.
    if (chosen == 0 || backend->windowAt(globalPos) != chosen)
        return;
    target = chosen;
    targetPoint = globalPos;
    setState(State::Delivering);
    deliveryTimer.start();
}

void DeliveryController::deliver()
{
    if (current != State::Delivering)
        return;
    setState(State::Typing);
    // The dialog keeps answering while the target takes the focus.
    backend->startTyping(target, targetPoint, password,
                         [this](TypeResult result) { finishTyping(result); });
}

void DeliveryController::click()
{
    if (gesture() != PickerPlatform::Gesture::ArmThenFocus)
        return;
    if (current == State::Asking) // impatience asks no second time
        return;
    if (current == State::Armed) { // the full time again
        armTimer.start();
        return;
    }
    stop();
    setState(State::Asking);
    const int request = ++armRequest;
    show(shown(kWaitingText));
    // The answer may come later, after a question to the user, or never; the controller
    // may have gone by then.
    QPointer<DeliveryController> self(this);
    backend->prepareTyping([self, request](TypeResult result) {
        if (!self || request != self->armRequest || self->current != State::Asking)
            return;
        if (result != TypeResult::Typed) {
            self->setState(State::Idle);
            self->show(shown(resultText(result)));
            return;
        }
        self->setState(State::Armed);
        self->show(shown(kArmedText));
        self->armTimer.start();
        // The user may have clicked elsewhere while the desktop was asking.
        if (!ourWindowHasFocus())
            self->typeTimer.start();
    });
}

bool DeliveryController::escape()
{
    if (current != State::Asking && current != State::Armed)
        return false;
    stop();
    show(shown(idleText(gesture())));
    return true;
}

void DeliveryController::cancel()
{
    const bool arming = current == State::Asking || current == State::Armed;
    stop();
    if (arming)
        show(shown(idleText(gesture())));
}

bool DeliveryController::ourWindowHasFocus()
{
    return QGuiApplication::focusWindow() || QApplication::activeWindow();
}

void DeliveryController::onFocusWindowChanged(QWindow* window)
{
    if (current == State::Typing && gesture() == PickerPlatform::Gesture::ArmThenFocus && window) {
        // Typing goes wherever the focus is: never into a window of ours.
        stop();
        show(shown(kNotTypedText));
        return;
    }
    if (current != State::Armed)
        return;
    // Another of our windows took the focus back: nothing goes there.
    if (window)
        typeTimer.stop();
    else
        typeTimer.start();
}

void DeliveryController::typeIntoFocus()
{
    // Only into another program: never while one of our windows holds the keyboard.
    if (current != State::Armed || ourWindowHasFocus())
        return;
    armTimer.stop();
    setState(State::Typing);
    backend->startTypingIntoFocus(password, [this](TypeResult result) { finishTyping(result); });
}

void DeliveryController::finishTyping(TypeResult result)
{
    if (current != State::Typing)
        return;
    const bool picked = gesture() == PickerPlatform::Gesture::DragToWindow;
    setState(State::Idle);
    // After a pick that typed, the drag area keeps naming the window it typed into.
    if (!(picked && result == TypeResult::Typed))
        show(shown(resultText(result)));
    emit typingFinished(result);
}
