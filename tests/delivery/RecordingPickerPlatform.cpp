// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "RecordingPickerPlatform.h"

void RecordingPickerPlatform::removeWindow(WindowId id)
{
    windows.removeIf([id](const FakeWindow& window) { return window.id == id; });
}

PickerPlatform::WindowId RecordingPickerPlatform::windowAt(const QPoint& globalPos)
{
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        if (it->rect.contains(globalPos))
            return it->id;
    }
    return 0;
}

bool RecordingPickerPlatform::isWindow(WindowId window)
{
    return std::any_of(windows.cbegin(), windows.cend(),
                       [window](const FakeWindow& w) { return w.id == window; });
}

PickerPlatform::WindowId RecordingPickerPlatform::parentOf(WindowId window)
{
    for (const FakeWindow& w : windows) {
        if (w.id == window)
            return w.parent;
    }
    return 0;
}

QString RecordingPickerPlatform::className(WindowId window)
{
    for (const FakeWindow& w : windows) {
        if (w.id == window)
            return w.className;
    }
    return QString();
}

void RecordingPickerPlatform::showFrame(WindowId window)
{
    frameLog.append(QStringLiteral("show %1").arg(window, 0, 16));
    frameShownOn = window;
}

void RecordingPickerPlatform::hideFrame()
{
    frameLog.append(QStringLiteral("hide"));
    frameShownOn = 0;
}

PickerPlatform::TypeResult
RecordingPickerPlatform::typeText(WindowId target, const QPoint& globalPos, const QString& text)
{
    typed.append({target, globalPos, text});
    return typeResult;
}

void RecordingPickerPlatform::startTyping(WindowId target, const QPoint& globalPos,
                                          const QString& text, std::function<void(TypeResult)> done)
{
    const TypeResult result = typeText(target, globalPos, text);
    if (holdTyping)
        pendingTyping = std::move(done);
    else
        done(result);
}

void RecordingPickerPlatform::cancelTyping()
{
    if (pendingTyping)
        ++cancels;
    pendingTyping = nullptr;
}

void RecordingPickerPlatform::prepareTyping(std::function<void(TypeResult)> done)
{
    ++armRequests;
    if (holdArming)
        pendingArming = std::move(done);
    else
        done(armResult);
}

PickerPlatform::TypeResult RecordingPickerPlatform::typeIntoFocus(const QString& text)
{
    return typeText(0, QPoint(), text);
}

void RecordingPickerPlatform::startTypingIntoFocus(const QString& text,
                                                   std::function<void(TypeResult)> done)
{
    startTyping(0, QPoint(), text, std::move(done));
}

void RecordingPickerPlatform::setFocusable(WindowId window, bool focusable)
{
    unfocusable.removeAll(window);
    if (!focusable)
        unfocusable.append(window);
}
