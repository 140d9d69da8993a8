// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/Md5Digest.h"
#include "core/PasswordAlgorithm.h"

#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

std::string message(std::size_t size)
{
    std::string bytes(size, '\0');
    std::uint32_t x = 12345;
    for (char& c : bytes) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 24);
    }
    return bytes;
}

void ourMd5(benchmark::State& state)
{
    const std::string bytes = message(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        std::string hex = Md5Hex(bytes);
        benchmark::DoNotOptimize(hex);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * state.range(0));
}

// The same work as Md5Hex, including the hexadecimal rendering, so that the two compare fairly.
void opensslMd5(benchmark::State& state)
{
    const std::string bytes = message(static_cast<std::size_t>(state.range(0)));
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(),
                                                                    &EVP_MD_CTX_free);
    static const char hexDigits[] = "0123456789abcdef";
    for (auto _ : state) {
        unsigned char digest[EVP_MAX_MD_SIZE];
        unsigned int length = 0;
        EVP_DigestInit_ex(context.get(), EVP_md5(), nullptr);
        EVP_DigestUpdate(context.get(), bytes.data(), bytes.size());
        EVP_DigestFinal_ex(context.get(), digest, &length);
        std::string hex(2 * length, '0');
        for (unsigned i = 0; i < length; ++i) {
            hex[2 * i] = hexDigits[digest[i] >> 4];
            hex[2 * i + 1] = hexDigits[digest[i] & 0xf];
        }
        benchmark::DoNotOptimize(hex);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * state.range(0));
}

// One OK press on the largest usual picture: 80 columns by 43 rows, every cell on icon a.
void generateOnePassword(benchmark::State& state)
{
    const std::vector<std::string> rows(43, std::string(80, 'a'));
    for (auto _ : state) {
        std::u32string password = generatePassword(rows, U"");
        benchmark::DoNotOptimize(password);
    }
}

} // namespace

BENCHMARK(ourMd5)->Arg(1 << 10)->Arg(1 << 20);
BENCHMARK(opensslMd5)->Arg(1 << 10)->Arg(1 << 20);
BENCHMARK(generateOnePassword);

BENCHMARK_MAIN();
