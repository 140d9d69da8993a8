// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/PasswordAlgorithm.h"

#include "core/Md5Digest.h"

std::string joinRows(const std::vector<std::string>& rows)
{
    std::string joined;
    for (const std::string& row : rows) {
        joined += row;
        joined += '|';
    }
    return joined;
}

std::array<std::uint32_t, 4> splitDigest(std::string_view hex)
{
    // Hexadecimal digit values: 'a' stands for 10, '0' for 0.
    constexpr std::uint32_t kLetterDigitBase = 'a' - 10;
    constexpr std::uint32_t kDigitBase = '0';
    std::array<std::uint32_t, 4> numbers{};
    for (std::size_t k = 0; k < 4 && 8 * k + 8 <= hex.size(); ++k) {
        std::uint32_t n = 0;
        for (int i = 7; i >= 0; --i) {
            const unsigned char c = static_cast<unsigned char>(hex[8 * k + std::size_t(i)]);
            const std::uint32_t value = c >= 'a' ? c - kLetterDigitBase : c - kDigitBase;
            n = n * 16u + value;
        }
        numbers[k] = n;
    }
    return numbers;
}

std::u32string makeAlphabet(std::u32string_view specialChars)
{
    std::u32string alphabet(kBaseDigits.begin(), kBaseDigits.end());
    if (specialChars.empty())
        alphabet.append(kDefaultSpecialChars.begin(), kDefaultSpecialChars.end());
    else
        alphabet.append(specialChars);
    return alphabet;
}

namespace {

// Appends n in the alphabet's digits, least significant first, into the room already there.
void appendAlphabetDigits(std::u32string& out, std::uint32_t n, std::u32string_view alphabet)
{
    const std::uint64_t base = alphabet.size();
    std::uint64_t rest = n;
    while (rest / base > 0) {
        out += alphabet[rest % base];
        rest /= base;
    }
    out += alphabet[rest % base];
}

} // namespace

std::u32string toAlphabetDigits(std::uint32_t n, std::u32string_view alphabet)
{
    std::u32string digits;
    appendAlphabetDigits(digits, n, alphabet);
    return digits;
}

std::u32string generatePassword(const std::vector<std::string>& rows,
                                std::u32string_view specialChars)
{
    const std::u32string alphabet = makeAlphabet(specialChars);
    // Room for the longest password (32 binary digits a group) from the start, and no
    // temporaries: every buffer left behind by growing would hold a part of the password in
    // freed memory.
    std::u32string password;
    password.reserve(4 * 32);
    for (std::uint32_t n : splitDigest(Md5Hex(joinRows(rows))))
        appendAlphabetDigits(password, n, alphabet);
    return password;
}
