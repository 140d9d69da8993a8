// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

// Which key symbol produces each character on a keyboard map, for senders that can only press
// what the active layout holds. A character counts only when every layout of the map has it,
// because a client is not told which layout is active while another window has the focus.
class LayoutKeysyms
{
public:
    // An XKB keymap in text form, as a compositor hands it to its clients.
    explicit LayoutKeysyms(const std::string& keymapText);
    // A map from rule names ("evdev", "us,de", ...), for callers without a compositor.
    static LayoutKeysyms fromNames(const char* layout, const char* variant = nullptr);

    bool isValid() const { return valid; }
    // The key symbol for every character of the text, or nothing when one of them is missing.
    std::optional<std::vector<std::uint32_t>> keysymsFor(const QString& text) const;

private:
    LayoutKeysyms() = default;
    void collect(struct xkb_keymap* keymap);
    std::optional<std::uint32_t> keysymFor(char32_t character) const;

    bool valid = false;
    std::unordered_map<char32_t, std::uint32_t> symbolOf;
};
