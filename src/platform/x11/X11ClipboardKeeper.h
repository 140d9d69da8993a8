// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/ClipboardKeeper.h"

// On X11 the clipboard dies with its owner: at exit a clipboard manager takes it over, or
// the glyphlock-clipboard helper beside the executable keeps serving it.
class X11ClipboardKeeper : public ClipboardKeeper
{
public:
    bool holdsOurData(const QClipboard& clipboard) const override;
    bool keepAfterExit(const QByteArray& utf8Text) override;
    bool toolkitHandsOverAtExit() const override;
    void forgetSentData() override;
};
