// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/wayland/VirtualKeyboardPlatform.h"

void VirtualKeyboardPlatform::prepareTyping(std::function<void(TypeResult)> done)
{
    done(keyboard.open() ? TypeResult::Typed : TypeResult::NotAvailable);
}

PickerPlatform::TypeResult VirtualKeyboardPlatform::typeIntoFocus(const QString& text)
{
    // Checked before any key goes out: a password is typed whole or not at all.
    if (VirtualKeyboard::keysFor(text).empty())
        return TypeResult::Failed;
    if (!keyboard.open())
        return TypeResult::NotAvailable;
    if (keyboard.type(text))
        return TypeResult::Typed;
    // The compositor went away or refused us: a new connection next time.
    keyboard.close();
    return TypeResult::Failed;
}
