// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/PlatformFactory.h"

#include <QGuiApplication>

#ifdef GLYPHLOCK_HAVE_X11
#include "platform/x11/X11ClipboardKeeper.h"
#include "platform/x11/X11PickerPlatform.h"
#endif
#ifdef GLYPHLOCK_HAVE_WAYLAND
#include "platform/wayland/VirtualKeyboard.h"
#include "platform/wayland/VirtualKeyboardPlatform.h"
#include "platform/wayland/WaylandClipboardKeeper.h"
#endif
#ifdef GLYPHLOCK_HAVE_PORTAL
#include "platform/wayland/PortalPickerPlatform.h"
#include "platform/wayland/PortalSession.h"
#endif

namespace {

bool runsOnX11()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

bool runsOnWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace

void PlatformFactory::prepareAtStart()
{
#ifdef GLYPHLOCK_HAVE_WAYLAND
    // Where a keyboard of our own types, the portal is never asked.
    if (!runsOnWayland() || VirtualKeyboard::isOffered())
        return;
#endif
#ifdef GLYPHLOCK_HAVE_PORTAL
    if (runsOnWayland())
        PortalSession::identifyAtStart();
#endif
}

std::unique_ptr<PickerPlatform> PlatformFactory::createPickerPlatform()
{
#ifdef GLYPHLOCK_HAVE_X11
    if (runsOnX11()) {
        if (auto x11 = X11PickerPlatform::open())
            return x11;
    }
#endif
#ifdef GLYPHLOCK_HAVE_WAYLAND
    // Best first: a keyboard of our own types every character exactly.
    if (runsOnWayland() && VirtualKeyboard::isOffered())
        return std::make_unique<VirtualKeyboardPlatform>();
#endif
#ifdef GLYPHLOCK_HAVE_PORTAL
    // GNOME and KDE offer no virtual keyboard to clients, only the portal.
    if (runsOnWayland()) {
        if (auto portal = PortalPickerPlatform::open())
            return portal;
    }
#endif
    return std::make_unique<PickerPlatform>();
}

std::unique_ptr<ClipboardKeeper> PlatformFactory::createClipboardKeeper()
{
#ifdef GLYPHLOCK_HAVE_X11
    if (runsOnX11())
        return std::make_unique<X11ClipboardKeeper>();
#endif
#ifdef GLYPHLOCK_HAVE_WAYLAND
    if (runsOnWayland())
        return std::make_unique<WaylandClipboardKeeper>();
#endif
    return std::make_unique<ClipboardKeeper>();
}
