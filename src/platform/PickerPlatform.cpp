// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/PickerPlatform.h"

#include <QWidget>

PickerPlatform::~PickerPlatform() = default;

PickerPlatform::WindowId PickerPlatform::windowAt(const QPoint&)
{
    return 0;
}

bool PickerPlatform::isWindow(WindowId)
{
    return false;
}

PickerPlatform::WindowId PickerPlatform::parentOf(WindowId)
{
    return 0;
}

QString PickerPlatform::className(WindowId)
{
    return QString();
}

void PickerPlatform::showFrame(WindowId) {}

void PickerPlatform::hideFrame() {}

PickerPlatform::TypeResult PickerPlatform::typeText(WindowId, const QPoint&, const QString&)
{
    return TypeResult::NotAvailable;
}

void PickerPlatform::startTyping(WindowId target, const QPoint& globalPos, const QString& text,
                                 std::function<void(TypeResult)> done)
{
    const TypeResult result = typeText(target, globalPos, text);
    if (done)
        done(result);
}

PickerPlatform::WindowId PickerPlatform::windowOf(QWidget* topLevel)
{
    return topLevel ? WindowId(topLevel->winId()) : 0;
}

void PickerPlatform::markModal(WindowId) {}

void PickerPlatform::setFocusable(WindowId, bool) {}

bool PickerPlatform::holdsKeyboardFocus(WindowId)
{
    return true;
}

void PickerPlatform::prepareTyping(std::function<void(TypeResult)> done)
{
    done(TypeResult::NotAvailable);
}

PickerPlatform::TypeResult PickerPlatform::typeIntoFocus(const QString&)
{
    return TypeResult::NotAvailable;
}

void PickerPlatform::startTypingIntoFocus(const QString& text, std::function<void(TypeResult)> done)
{
    done(typeIntoFocus(text));
}
