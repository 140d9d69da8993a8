#pragma once

#include "platform/PickerPlatform.h"
#include "platform/wayland/PortalSession.h"

#include <memory>

// Typing through the desktop's remote-desktop portal (GNOME, KDE): the user arms typing in our
// window and then clicks into the other program's input box. The portal presses key symbols
// of the active layout only and silently drops the rest, so a text is checked against the
// compositor's keymap first and typed whole or not at all.
class PortalPickerPlatform : public PickerPlatform
{
public:
    // Null when the session bus has no portal with a remote-desktop interface.
    static std::unique_ptr<PortalPickerPlatform> open();

    Gesture gesture() const override { return Gesture::ArmThenFocus; }
    // Asks for the portal's keyboard session the first time (the desktop may show a consent
    // dialog) and keeps it for the program's life.
    void prepareTyping(std::function<void(TypeResult)> done) override;
    TypeResult typeIntoFocus(const QString& text) override;

private:
    PortalPickerPlatform() = default;

    PortalSession session;
};
