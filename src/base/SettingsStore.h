// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// The one piece of state Glyphlock keeps: the special-character set, in the user's native
// settings (section "PW", key "SC", under the organisation and the executable's base name).
class SettingsStore
{
public:
    // The stored set, or the empty text when none is stored or it cannot be read.
    static QString loadSpecialChars();
    // True only when the value has reached storage.
    static bool saveSpecialChars(const QString& specialChars);
    // The stored set; when none is stored, the default set, which is stored for next time
    // (callers go on with it whether or not that worked).
    static QString loadSpecialCharsOrDefault();

    // Organisation under which the settings and the user's picture folder live.
    static constexpr const char* kOrganisation = "Tamsk";
};
