// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Our MD5 against OpenSSL's on arbitrary messages fed in arbitrary chunks.
#include "core/Md5Digest.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <openssl/evp.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string opensslMd5Hex(const std::vector<unsigned char>& message)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(message.data(), message.size(), digest, &length, EVP_md5(), nullptr) != 1)
        std::abort();
    static const char hexDigits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned i = 0; i < length; ++i) {
        hex += hexDigits[digest[i] >> 4];
        hex += hexDigits[digest[i] & 0xf];
    }
    return hex;
}

void check(const std::string& ours, const std::string& expected, const char* how)
{
    if (ours != expected) {
        std::fprintf(stderr, "MD5 mismatch (%s): %s instead of %s\n", how, ours.c_str(),
                     expected.c_str());
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    // The first bytes choose the chunk sizes; the rest is the message. Chunk sizes up to 200
    // cross every block boundary, zero-length updates included.
    const std::size_t chunkCount = input.ConsumeIntegralInRange<std::size_t>(0, 16);
    std::vector<std::size_t> chunks;
    for (std::size_t i = 0; i < chunkCount; ++i)
        chunks.push_back(input.ConsumeIntegralInRange<std::size_t>(0, 200));
    const std::vector<unsigned char> message = input.ConsumeRemainingBytes<unsigned char>();

    const std::string expected = opensslMd5Hex(message);
    check(Md5Hex(message.data(), message.size()), expected, "one piece");

    Md5Digest digest;
    std::size_t offset = 0;
    for (std::size_t chunk : chunks) {
        const std::size_t count = std::min(chunk, message.size() - offset);
        digest.Update(message.data() + offset, count);
        offset += count;
    }
    digest.Update(message.data() + offset, message.size() - offset);
    check(digest.FinalHex(), expected, "in chunks");
    return 0;
}
