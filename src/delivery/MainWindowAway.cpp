// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "delivery/MainWindowAway.h"

#include "platform/PickerPlatform.h"

#include <QVariant>
#include <QWindow>

MainWindowAway::MainWindowAway(PickerPlatform& platform) : platform(platform) {}

void MainWindowAway::hide(QWidget* mainWindow)
{
    if (window || !mainWindow || !mainWindow->isVisible())
        return;
    // Through the native window: hiding a QDialog itself would end its modal loop.
    QWindow* handle = mainWindow->windowHandle();
    if (!handle)
        return;
    geometry = mainWindow->normalGeometry();
    if (!geometry.isValid())
        geometry = mainWindow->geometry();
    // The main window runs modally too. Hidden and shown again as a modal window, it would
    // come back as the newest one, above the password dialog, and take the keys and clicks;
    // while it is away it counts as an ordinary window.
    modality = handle->modality();
    handle->setModality(Qt::NonModal);
    handle->hide();
    window = mainWindow;
}

bool MainWindowAway::restore()
{
    if (!window)
        return false;
    QWidget* main = window;
    window = nullptr;
    QWindow* handle = main->windowHandle();
    if (!handle)
        return false;
    // Qt counts it as an ordinary window until it is back (see hide); the window manager
    // learns that it is still a modal one, or a tiling manager takes it for a new ordinary
    // window, tiles it and so changes its size and the grid in it.
    if (modality != Qt::NonModal)
        platform.markModal(platform.windowOf(main));
    // Some window managers give every window they map the focus, however it asks to be shown,
    // and the toolkit hands a focus that reaches the main window on to the password dialog,
    // which blocks it: either would take the focus from the window just picked, often only
    // after the password went there. Until the dialog goes, the main window takes no focus.
    if (!focusWithheld) {
        focusWithheld = main;
        platform.setFocusable(platform.windowOf(main), false);
    }
    // Shown normal, at the place it had: a maximised main window comes back in its normal size.
    // It comes back without taking the focus: the window just picked is being given it, and
    // a window manager that focuses new windows would otherwise take it back to us. This is
    // Qt::WA_ShowWithoutActivating, which the platform reads from the window, once it exists,
    // as this property.
    const char* const withoutActivating = "_q_showWithoutActivating";
    const QVariant before = handle->property(withoutActivating);
    handle->setProperty(withoutActivating, true);
    handle->showNormal();
    handle->setProperty(withoutActivating, before);
    handle->setModality(modality);
    if (geometry.isValid() && main->geometry() != geometry)
        main->setGeometry(geometry);
    return true;
}

void MainWindowAway::giveFocusBack()
{
    if (!focusWithheld)
        return;
    platform.setFocusable(platform.windowOf(focusWithheld), true);
    focusWithheld = nullptr;
}
