// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/PickerPlatform.h"
#include "platform/wayland/VirtualKeyboard.h"

// Automatic input on Wayland compositors that let clients create keyboards: the user arms
// typing in our window and then clicks into the other program's input box; the text goes to
// whatever took the keyboard focus.
class VirtualKeyboardPlatform : public PickerPlatform
{
public:
    Gesture gesture() const override { return Gesture::ArmThenFocus; }
    // The keyboard is made when typing is armed, ahead of the first key.
    void prepareTyping(std::function<void(TypeResult)> done) override;
    TypeResult typeIntoFocus(const QString& text) override;

private:
    VirtualKeyboard keyboard;
};
