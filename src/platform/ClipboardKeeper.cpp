// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/ClipboardKeeper.h"

ClipboardKeeper::~ClipboardKeeper() = default;

bool ClipboardKeeper::holdsOurData(const QClipboard&) const
{
    return true;
}

bool ClipboardKeeper::canKeepAfterExit() const
{
    return true;
}

bool ClipboardKeeper::keepAfterExit(const QByteArray&)
{
    return false;
}

bool ClipboardKeeper::toolkitHandsOverAtExit() const
{
    return false;
}

void ClipboardKeeper::forgetSentData() {}
