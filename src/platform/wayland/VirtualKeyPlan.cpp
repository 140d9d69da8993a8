// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/wayland/VirtualKeyPlan.h"

#include <algorithm>

namespace VirtualKeyPlan {

const std::vector<uint32_t>& characterKeys()
{
    static const std::vector<uint32_t> keys = [] {
        std::vector<uint32_t> all;
        const auto add = [&all](uint32_t first, uint32_t last) {
            for (uint32_t key = first; key <= last; ++key)
                all.push_back(key);
        };
        add(16, 25); // Q .. P
        add(30, 38); // A .. L
        add(44, 50); // Z .. M
        add(2, 11);  // 1 .. 0
        add(12, 13); // minus, equal
        add(26, 27); // brackets
        add(39, 41); // semicolon, apostrophe, grave
        add(43, 43); // backslash
        add(51, 53); // comma, dot, slash
        return all;
    }();
    return keys;
}

bool isTypable(char32_t c)
{
    if (c < 0x20 || (c >= 0x7f && c < 0xa0))
        return false; // controls: a line break or tab would move on or submit
    if (c >= 0xd800 && c < 0xe000)
        return false;
    return c <= 0x10ffff && c != 0xfffe && c != 0xffff;
}

std::vector<Part> plan(std::u32string_view text)
{
    if (text.empty() || !std::all_of(text.begin(), text.end(), isTypable))
        return {};
    const std::vector<uint32_t>& keys = characterKeys();
    std::vector<Part> parts;
    size_t begin = 0;
    while (begin < text.size()) {
        // As much of the text as the keys hold: the space bar takes the space.
        std::vector<char32_t> distinct;
        size_t end = begin;
        for (; end < text.size(); ++end) {
            const char32_t c = text[end];
            if (c == U' ' || std::find(distinct.begin(), distinct.end(), c) != distinct.end())
                continue;
            if (distinct.size() == keys.size())
                break;
            distinct.push_back(c);
        }
        std::sort(distinct.begin(), distinct.end());
        Part part;
        for (size_t i = 0; i < distinct.size(); ++i)
            part.keys.emplace_back(keys[i], distinct[i]);
        const bool hasSpace =
            std::find(text.begin() + begin, text.begin() + end, U' ') != text.begin() + end;
        if (hasSpace)
            part.keys.emplace_back(kSpaceKey, U' ');
        std::sort(part.keys.begin(), part.keys.end());
        for (size_t i = begin; i < end; ++i) {
            const char32_t c = text[i];
            if (c == U' ') {
                part.sequence.push_back(kSpaceKey);
                continue;
            }
            const auto at = std::lower_bound(distinct.begin(), distinct.end(), c);
            part.sequence.push_back(keys[size_t(at - distinct.begin())]);
        }
        parts.push_back(std::move(part));
        begin = end;
    }
    return parts;
}

} // namespace VirtualKeyPlan
