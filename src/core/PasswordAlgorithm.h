// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The deterministic password derivation: rows of icon letters -> MD5 -> four
// numbers -> digits over an alphabet of letters, digits and special characters.
// Special characters are counted per Unicode character (code point).

inline constexpr std::string_view kBaseDigits =
    "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
inline constexpr std::string_view kDefaultSpecialChars = "!@#$%^&*()-=+_[]{}|:;',.<>?~";

// Every row followed by "|", the last one too.
std::string joinRows(const std::vector<std::string>& rows);

// Four numbers from the 32 hexadecimal characters; within each group of eight the
// first character is the least significant digit.
std::array<std::uint32_t, 4> splitDigest(std::string_view hex);

// kBaseDigits followed by the special characters, neither sorted nor de-duplicated.
std::u32string makeAlphabet(std::u32string_view specialChars);

// n written in the alphabet's digits, least significant digit first.
std::u32string toAlphabetDigits(std::uint32_t n, std::u32string_view alphabet);

// The password for a row list. An empty special set stands for kDefaultSpecialChars.
std::u32string generatePassword(const std::vector<std::string>& rows,
                                std::u32string_view specialChars);
