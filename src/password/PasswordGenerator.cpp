// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "password/PasswordGenerator.h"

#include "base/SettingsStore.h"
#include "core/PasswordAlgorithm.h"

#include <algorithm>

QString PasswordGenerator::specialCharsForUse()
{
    // Generation goes on with the default whether or not it could be stored.
    return SettingsStore::loadSpecialCharsOrDefault();
}

QString PasswordGenerator::generate(const std::vector<std::string>& rows)
{
    const std::u32string special = specialCharsForUse().toStdU32String();
    std::u32string password = generatePassword(rows, special);
    const QString result = QString::fromStdU32String(password);
    // Leave no copy of the password behind in freed memory.
    std::fill(password.begin(), password.end(), U'\0');
    return result;
}
