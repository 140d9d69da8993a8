// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

// Which key of our virtual keyboard gives which character. Programs do not read every key by
// its character alone: browsers, toolkits and terminals take Escape, Backspace, Tab, Enter,
// the modifiers, the keypad and the function keys by where they sit on the keyboard, whatever
// the keymap puts on them. So characters go only on the keys of the main block that type
// characters on every layout (letters, digits and their punctuation); a space goes on the
// space bar. A text with more distinct characters than there are such keys is typed in parts,
// each with a keymap of its own.
namespace VirtualKeyPlan {

// Keys are numbered as evdev numbers them (a keymap counts 8 higher).
inline constexpr uint32_t kSpaceKey = 57;

// The keys that may carry characters, in the order they are given out: the letters first,
// then the digits, then the punctuation keys beside them.
const std::vector<uint32_t>& characterKeys();

struct Part
{
    // Key and character, one pair for each distinct character of this part, by key.
    std::vector<std::pair<uint32_t, char32_t>> keys;
    // The keys to press, in order, for this part of the text.
    std::vector<uint32_t> sequence;
};

// The parts that type the text one after the other: each takes as much of what is left as
// its keys can give. Within a part the characters go on the keys in code point order, so that
// its keymap tells which characters the text holds but not in which order. Empty when the
// text is empty or holds a character no key should give (a control, such as a line break
// that would submit, or no character at all).
std::vector<Part> plan(std::u32string_view text);

// A character that a key may give: no control, no surrogate, no non-character.
bool isTypable(char32_t c);

} // namespace VirtualKeyPlan
