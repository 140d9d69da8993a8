// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The password algorithm on arbitrary row lists and special sets, against a slow conversion
// written here from scratch: decimal long division on OpenSSL's digest.
#include "core/PasswordAlgorithm.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <openssl/evp.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "password check failed: %s\n", what);
    std::abort();
}

// Divides a decimal number held as text (most significant digit first) by divisor, in place;
// returns the remainder.
std::uint64_t divideDecimal(std::string& decimal, std::uint64_t divisor)
{
    std::string quotient;
    std::uint64_t remainder = 0;
    for (char digit : decimal) {
        remainder = remainder * 10 + std::uint64_t(digit - '0');
        const std::uint64_t q = remainder / divisor;
        remainder %= divisor;
        if (!quotient.empty() || q != 0)
            quotient += std::to_string(q);
    }
    decimal = quotient.empty() ? "0" : quotient;
    return remainder;
}

// Digits of n in the alphabet, least significant first, by long division on its decimal text.
std::u32string slowDigits(std::uint32_t n, const std::u32string& alphabet)
{
    std::string decimal = std::to_string(n);
    std::u32string digits;
    do
        digits += alphabet[divideDecimal(decimal, alphabet.size())];
    while (decimal != "0");
    return digits;
}

std::size_t digitCount(std::uint64_t n, std::uint64_t base)
{
    std::size_t count = 1;
    while (n >= base) {
        n /= base;
        ++count;
    }
    return count;
}

std::u32string slowPassword(const std::vector<std::string>& rows, const std::u32string& alphabet)
{
    std::string joined;
    for (const std::string& row : rows)
        joined += row + "|";
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(joined.data(), joined.size(), digest, &length, EVP_md5(), nullptr) != 1 ||
        length != 16)
        std::abort();
    // The hex text puts each byte's high nibble first but weighs the first character least:
    // every group is the little-endian word of its four bytes with their nibbles swapped.
    std::u32string password;
    for (int k = 0; k < 4; ++k) {
        std::uint32_t n = 0;
        for (int j = 3; j >= 0; --j) {
            const unsigned byte = digest[4 * k + j];
            n = (n << 8) | ((byte & 0x0f) << 4) | (byte >> 4);
        }
        password += slowDigits(n, alphabet);
    }
    return password;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    std::u32string special;
    switch (input.ConsumeIntegralInRange(0, 3)) {
    case 0: // a few arbitrary code points
    case 1: {
        const std::size_t count = input.ConsumeIntegralInRange<std::size_t>(0, 64);
        for (std::size_t i = 0; i < count && input.remaining_bytes() > 0; ++i)
            special += input.ConsumeIntegralInRange<char32_t>(0, 0x10FFFF);
        break;
    }
    case 2: // ASCII, as typed in the dialog
        for (char c : input.ConsumeRandomLengthString(200))
            special += char32_t(static_cast<unsigned char>(c));
        break;
    default: // long sets, up to where a group has only two digits
        special.assign(input.ConsumeIntegralInRange<std::size_t>(1, 70000),
                       input.ConsumeIntegralInRange<char32_t>(0, 0x10FFFF));
        break;
    }
    std::vector<std::string> rows(input.ConsumeIntegralInRange<std::size_t>(0, 50));
    for (std::string& row : rows)
        row = input.ConsumeRandomLengthString(300);

    const std::u32string password = generatePassword(rows, special);
    std::u32string alphabet(kBaseDigits.begin(), kBaseDigits.end());
    if (special.empty())
        alphabet.append(kDefaultSpecialChars.begin(), kDefaultSpecialChars.end());
    else
        alphabet += special;
    if (makeAlphabet(special).size() != alphabet.size())
        fail("alphabet is not the base digits followed by the set");

    const std::size_t most = 4 * digitCount(0xFFFFFFFFu, alphabet.size());
    if (password.size() < 4 || password.size() > most)
        fail("length outside 4 to 4 * D");
    for (char32_t c : password)
        if (alphabet.find(c) == std::u32string::npos)
            fail("character outside the alphabet");
    if (password != slowPassword(rows, alphabet))
        fail("differs from the slow conversion");
    return 0;
}
