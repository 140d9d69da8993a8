// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Incremental MD5 (RFC 1321); one object computes one digest.
class Md5Digest
{
public:
    Md5Digest();

    void Update(const unsigned char* data, std::size_t count);
    void Update(std::string_view bytes);

    // Finishes the digest and renders it as 32 lowercase hexadecimal characters.
    std::string FinalHex();

private:
    void transform(const unsigned char* block);

    unsigned char buffer[64];
    std::uint32_t bitCount[2]; // low word first
    std::uint32_t state[4];
};

// MD5 of a byte string as 32 lowercase hexadecimal characters.
std::string Md5Hex(const unsigned char* data, std::size_t length);
std::string Md5Hex(std::string_view bytes);
