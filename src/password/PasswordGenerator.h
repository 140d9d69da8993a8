// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <string>
#include <vector>

// Turns the matrix's row list into the password, with the special characters from the
// settings (the default set is stored when none is).
class PasswordGenerator
{
public:
    static QString generate(const std::vector<std::string>& rows);

    // The set the generator will use: the stored one, or the default after storing it.
    static QString specialCharsForUse();
};
