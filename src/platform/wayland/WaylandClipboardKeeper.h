// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/ClipboardKeeper.h"

// On Wayland the clipboard dies with the program that set it. Where the compositor lets a
// program without a window offer the clipboard (data-control: wlroots compositors, KWin), a
// helper process serves the text on after we have ended; elsewhere nothing can keep it.
class WaylandClipboardKeeper : public ClipboardKeeper
{
public:
    bool canKeepAfterExit() const override;
    bool keepAfterExit(const QByteArray& utf8Text) override;

    static constexpr const char* kHelperName = "glyphlock-wl-clipboard";
};
