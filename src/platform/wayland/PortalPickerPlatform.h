// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/PickerPlatform.h"

#include <QPointer>

#include <memory>

class PortalSession;

// Typing through the desktop's remote-desktop portal (GNOME, KDE): the user arms typing in our
// window and then clicks into the other program's input box. The portal presses key symbols
// of the active layout only and silently drops the rest, so a text is checked against the
// compositor's keymap first and typed whole or not at all.
class PortalPickerPlatform : public PickerPlatform
{
public:
    // Null when the portal was not there at start (PortalSession::identifyAtStart).
    static std::unique_ptr<PortalPickerPlatform> open();
    ~PortalPickerPlatform() override;

    Gesture gesture() const override { return Gesture::ArmThenFocus; }
    // Asks for the portal's keyboard session the first time (the desktop may show a consent
    // dialog); the program keeps it for its life.
    void prepareTyping(std::function<void(TypeResult)> done) override;
    void startTypingIntoFocus(const QString& text, std::function<void(TypeResult)> done) override;
    void cancelTyping() override;

private:
    explicit PortalPickerPlatform(PortalSession* session);

    QPointer<PortalSession> session;
    bool typing = false;
};
