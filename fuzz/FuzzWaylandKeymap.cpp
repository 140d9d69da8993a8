// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The keymaps that the Wayland virtual keyboard sends with a text, on arbitrary UTF-16 (lone
// surrogates, controls, non-characters, more distinct characters than one keymap holds):
// either the text is refused whole, or every part's keymap compiles with xkbcommon as the
// compositor compiles it, its keys are only keys that programs read as characters, and
// pressing the keys part after part types the text back exactly. The portal's keysym lookup
// (LayoutKeysyms) reads the same keymaps and must find exactly the characters they hold.
#include "platform/wayland/LayoutKeysyms.h"
#include "platform/wayland/VirtualKeyPlan.h"
#include "platform/wayland/VirtualKeyboard.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QString>

#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

[[noreturn]] void fail(const char* what, const std::u32string& text = {})
{
    std::fprintf(stderr, "wayland keymap check failed: %s\n  text:", what);
    for (char32_t c : text)
        std::fprintf(stderr, " U+%04X", unsigned(c));
    std::fprintf(stderr, "\n");
    std::abort();
}

void expect(bool ok, const char* what, const std::u32string& text = {})
{
    if (!ok)
        fail(what, text);
}

// Keys that programs read by their place on the keyboard, whatever symbol the keymap gives
// them (evdev numbers): Escape, Backspace, Tab, Enter, the modifiers and locks, the function
// keys, the keypad, the cursor block and everything from the "102nd key" on.
bool isForbiddenKey(uint32_t key)
{
    switch (key) {
    case 1:  // Escape
    case 14: // Backspace
    case 15: // Tab
    case 28: // Enter
    case 29: // left Control
    case 42: // left Shift
    case 54: // right Shift
    case 56: // left Alt
    case 58: // Caps Lock
        return true;
    default:
        // 55 is the keypad's asterisk, 59 on are the function keys, locks, keypad and the rest.
        return key == 0 || key == 55 || key >= 59;
    }
}

// Must be refused: what is no character or would move on or submit.
bool mustRefuse(char32_t c)
{
    return c < 0x20 || (c >= 0x7f && c < 0xa0) || (c >= 0xd800 && c < 0xe000) || c == 0xfffe ||
           c == 0xffff || c > 0x10ffff;
}

// May be refused as well: the other non-characters.
bool mayRefuse(char32_t c)
{
    return mustRefuse(c) || (c >= 0xfdd0 && c <= 0xfdef) || (c & 0xfffe) == 0xfffe;
}

// The code points of UTF-16 as written, a lone surrogate as itself.
std::u32string codePoints(const QString& text)
{
    std::u32string out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text.at(i).unicode();
        if (unit >= 0xd800 && unit < 0xdc00 && i + 1 < text.size() &&
            text.at(i + 1).unicode() >= 0xdc00 && text.at(i + 1).unicode() < 0xe000) {
            out +=
                char32_t(0x10000 + ((unit - 0xd800) << 10) + (text.at(i + 1).unicode() - 0xdc00));
            ++i;
        } else {
            out += char32_t(unit);
        }
    }
    return out;
}

QString utf16(const std::u32string& text)
{
    QString out;
    for (char32_t c : text) {
        if (c >= 0x10000) {
            out += QChar(char16_t(0xd800 + ((c - 0x10000) >> 10)));
            out += QChar(char16_t(0xdc00 + ((c - 0x10000) & 0x3ff)));
        } else {
            out += QChar(char16_t(c));
        }
    }
    return out;
}

// Units that sit on the edges of what may be typed.
constexpr char16_t kEdges[] = {0x0000, 0x0009, 0x000a, 0x000d, 0x001b, 0x001f, 0x0020,
                               0x007e, 0x007f, 0x0080, 0x009f, 0x00a0, 0x00ff, 0x0100,
                               0x2028, 0xd7ff, 0xd800, 0xdbff, 0xdc00, 0xdfff, 0xe000,
                               0xfdd0, 0xfeff, 0xfffd, 0xfffe, 0xffff};

QString randomText(FuzzedDataProvider& input)
{
    QString text;
    const size_t length = input.ConsumeIntegralInRange<size_t>(0, 300);
    for (size_t i = 0; i < length && input.remaining_bytes() > 0; ++i) {
        switch (input.ConsumeIntegralInRange(0, 5)) {
        case 0: // anything of the basic plane, surrogates included
            text += QChar(input.ConsumeIntegral<char16_t>());
            break;
        case 1: // beyond it, as a pair
            text += utf16({input.ConsumeIntegralInRange<char32_t>(0x10000, 0x10ffff)});
            break;
        case 2:
            text += QChar(kEdges[input.ConsumeIntegralInRange<size_t>(0, std::size(kEdges) - 1)]);
            break;
        case 3: // printable ASCII, as most passwords are
            text += QChar(input.ConsumeIntegralInRange<char16_t>(0x20, 0x7e));
            break;
        default: // again a unit from before: repeats within and across parts
            text += text.isEmpty()
                        ? QChar(u'a')
                        : text.at(input.ConsumeIntegralInRange<qsizetype>(0, text.size() - 1));
            break;
        }
    }
    return text;
}

struct KeymapDeleter
{
    void operator()(xkb_keymap* keymap) const { xkb_keymap_unref(keymap); }
};
struct StateDeleter
{
    void operator()(xkb_state* state) const { xkb_state_unref(state); }
};

xkb_context* context = nullptr;

// Checks one part's keymap and returns what its keys type, in order.
std::u32string typeBack(const VirtualKeyboard::Part& part, const std::u32string& text)
{
    std::unique_ptr<xkb_keymap, KeymapDeleter> keymap(xkb_keymap_new_from_string(
        context, part.keymap.constData(), XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS));
    expect(keymap != nullptr, "xkbcommon refuses the keymap", text);
    std::unique_ptr<xkb_state, StateDeleter> state(xkb_state_new(keymap.get()));
    expect(state != nullptr, "no keyboard state", text);

    // Every key that gives a symbol: an allowed key, one level, one symbol, no modifier.
    size_t symbolKeys = 0;
    const xkb_keycode_t last = xkb_keymap_max_keycode(keymap.get());
    for (xkb_keycode_t code = xkb_keymap_min_keycode(keymap.get()); code <= last; ++code) {
        if (xkb_keymap_num_layouts_for_key(keymap.get(), code) == 0)
            continue;
        const xkb_keysym_t* syms = nullptr;
        const int count = xkb_keymap_key_get_syms_by_level(keymap.get(), code, 0, 0, &syms);
        if (count == 0)
            continue;
        ++symbolKeys;
        expect(code >= VirtualKeyboard::kKeymapOffset, "a key below the keymap's offset", text);
        expect(!isForbiddenKey(code - VirtualKeyboard::kKeymapOffset),
               "a symbol on a key that programs read by its place", text);
        expect(count == 1, "a key with several symbols", text);
        expect(xkb_keymap_num_levels_for_key(keymap.get(), code, 0) == 1, "a key with levels",
               text);
        xkb_state_update_key(state.get(), code, XKB_KEY_DOWN);
        const bool modifies =
            xkb_state_serialize_mods(state.get(), XKB_STATE_MODS_EFFECTIVE) != 0 ||
            xkb_state_serialize_layout(state.get(), XKB_STATE_LAYOUT_EFFECTIVE) != 0;
        xkb_state_update_key(state.get(), code, XKB_KEY_UP);
        expect(!modifies, "a key that acts as a modifier", text);
    }
    // Every key with a symbol is pressed: the keymap holds nothing but the part's characters.
    const std::set<uint32_t> pressed(part.sequence.begin(), part.sequence.end());
    expect(symbolKeys == pressed.size(), "keys in the keymap that are never pressed", text);
    expect(symbolKeys <= VirtualKeyPlan::characterKeys().size() + 1, "more keys than there are",
           text);

    std::u32string typed;
    for (const uint32_t key : part.sequence) {
        expect(!isForbiddenKey(key), "a key that programs read by its place is pressed", text);
        const xkb_keycode_t code = key + VirtualKeyboard::kKeymapOffset;
        const xkb_keysym_t sym = xkb_state_key_get_one_sym(state.get(), code);
        const uint32_t character = xkb_state_key_get_utf32(state.get(), code);
        expect(character != 0, "a pressed key types nothing", text);
        expect(xkb_keysym_to_utf32(sym) == character, "symbol and character differ", text);
        typed += char32_t(character);
    }
    return typed;
}

// The keysyms that the portal would send for the text, read back as characters.
void checkLayoutKeysyms(const VirtualKeyboard::Part& part, const std::u32string& partText)
{
    const LayoutKeysyms layout(part.keymap.toStdString());
    expect(layout.isValid(), "LayoutKeysyms refuses the keymap", partText);
    const auto keysyms = layout.keysymsFor(utf16(partText));
    expect(keysyms.has_value(), "LayoutKeysyms misses a character of the keymap", partText);
    expect(keysyms->size() == partText.size(), "LayoutKeysyms gives another count", partText);
    for (size_t i = 0; i < partText.size(); ++i)
        expect(xkb_keysym_to_utf32((*keysyms)[i]) == partText[i],
               "LayoutKeysyms gives another character", partText);
    // Half a character is no character, whatever the keymap holds.
    for (const char16_t lone : {u'\xd800', u'\xdbff', u'\xdc00', u'\xdfff'}) {
        expect(!layout.keysymsFor(utf16(partText) + QChar(lone)),
               "LayoutKeysyms types a lone surrogate", partText);
        expect(!layout.keysymsFor(QChar(lone) + utf16(partText)),
               "LayoutKeysyms types a lone surrogate", partText);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    if (!context)
        fail("no xkbcommon context (xkb-data missing?)");
    // The plan's keys: distinct, and none that programs read by its place.
    const std::vector<uint32_t>& keys = VirtualKeyPlan::characterKeys();
    expect(std::set<uint32_t>(keys.begin(), keys.end()).size() == keys.size(),
           "a character key twice");
    expect(std::none_of(keys.begin(), keys.end(), isForbiddenKey), "a forbidden character key");
    expect(!isForbiddenKey(VirtualKeyPlan::kSpaceKey) &&
               std::find(keys.begin(), keys.end(), VirtualKeyPlan::kSpaceKey) == keys.end(),
           "the space bar");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const QString text = randomText(input);
    const std::u32string characters = codePoints(text);
    const std::vector<VirtualKeyboard::Part> parts = VirtualKeyboard::keysFor(text);

    const bool mustBeRefused =
        characters.empty() || std::any_of(characters.begin(), characters.end(), mustRefuse);
    if (parts.empty()) {
        expect(characters.empty() || std::any_of(characters.begin(), characters.end(), mayRefuse),
               "a typable text is refused", characters);
        return 0;
    }
    expect(!mustBeRefused, "keys for a text that must be refused", characters);

    const size_t perKeymap = VirtualKeyPlan::characterKeys().size();
    std::u32string typed;
    for (size_t i = 0; i < parts.size(); ++i) {
        const VirtualKeyboard::Part& part = parts[i];
        expect(!part.sequence.empty(), "an empty part", characters);
        const std::u32string partText = typeBack(part, characters);
        typed += partText;
        expect(characters.compare(0, typed.size(), typed) == 0,
               "the keys type something else than the text", characters);

        std::set<char32_t> distinct(partText.begin(), partText.end());
        distinct.erase(U' ');
        expect(distinct.size() <= perKeymap, "more characters than keys", characters);
        // A part ends only where its keymap is full and the next character is a new one.
        if (i + 1 < parts.size()) {
            expect(distinct.size() == perKeymap, "a part ends before its keymap is full",
                   characters);
            expect(distinct.count(characters[typed.size()]) == 0,
                   "a part ends before a character it holds", characters);
        }
        // The keymap tells which characters the part holds, not in which order.
        std::u32string reversed(partText.rbegin(), partText.rend());
        const std::vector<VirtualKeyboard::Part> again = VirtualKeyboard::keysFor(utf16(reversed));
        expect(again.size() == 1 && again.front().keymap == part.keymap,
               "the keymap depends on the order of the characters", characters);

        checkLayoutKeysyms(part, partText);
    }
    expect(typed == characters, "the keys type back less than the text", characters);
    return 0;
}
