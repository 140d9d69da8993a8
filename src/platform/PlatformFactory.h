// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/ClipboardKeeper.h"
#include "platform/PickerPlatform.h"

#include <memory>

// Chooses the window-system backends when the program runs, from the Qt platform plugin in
// use and what the display offers; the do-nothing fallbacks where no backend fits.
class PlatformFactory
{
public:
    // At start, before any secret exists: whatever a backend must do while the process has
    // nothing to hide (the portal backend introduces the program to the desktop's portal).
    static void prepareAtStart();
    static std::unique_ptr<PickerPlatform> createPickerPlatform();
    static std::unique_ptr<ClipboardKeeper> createClipboardKeeper();
};
