// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The X11 key planner on arbitrary keymaps and texts. Whatever the keymap holds, a plan types
// exactly the text: every key it presses gives its character at the level planned, no key
// stands for two characters at once, and the spare keys it takes held no keysym and set no
// modifier (never Shift, Escape, Return, BackSpace or Tab).
#include "platform/x11/KeyPlan.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <xkbcommon/xkbcommon.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>

namespace {

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "key plan check failed: %s\n", what);
    std::abort();
}

// Keysyms a keymap holds, weighted towards the ones that matter: nothing, the keys a spare must
// never be, characters, and things that look like characters (the keypad).
constexpr Keysym kSpecial[] = {XKB_KEY_Shift_L,         XKB_KEY_Shift_R,   XKB_KEY_Escape,
                               XKB_KEY_Return,          XKB_KEY_BackSpace, XKB_KEY_Tab,
                               XKB_KEY_Caps_Lock,       XKB_KEY_KP_1,      XKB_KEY_KP_Multiply,
                               XKB_KEY_ISO_Level3_Shift};

Keysym randomKeysym(FuzzedDataProvider& input)
{
    switch (input.ConsumeIntegralInRange(0, 5)) {
    case 0:
    case 1:
        return kNoSymbol;
    case 2:
        return input.PickValueInArray(kSpecial);
    case 3:
        return input.ConsumeIntegralInRange<Keysym>(0x20, 0x7e);
    case 4:
        return 0x01000000 | input.ConsumeIntegralInRange<Keysym>(0x100, 0x4ff);
    default:
        return input.ConsumeIntegral<Keysym>();
    }
}

KeymapDescription randomKeymap(FuzzedDataProvider& input)
{
    KeymapDescription keymap;
    const std::size_t keys = input.ConsumeIntegralInRange<std::size_t>(0, 300);
    for (std::size_t i = 0; i < keys && input.remaining_bytes() > 0; ++i) {
        KeymapKey key;
        key.keycode = input.ConsumeIntegralInRange<unsigned>(0, 260);
        key.modifiers = input.ConsumeBool() ? input.ConsumeIntegralInRange<unsigned>(0, 255) : 0;
        const int groups = input.ConsumeIntegralInRange(0, 4);
        for (int g = 0; g < groups; ++g) {
            KeyGroup group;
            group.type.modsMask = input.ConsumeIntegralInRange<unsigned>(0, 255);
            const int entries = input.ConsumeIntegralInRange(0, 4);
            for (int e = 0; e < entries; ++e)
                group.type.levels.emplace_back(input.ConsumeIntegralInRange<unsigned>(0, 255),
                                               input.ConsumeIntegralInRange<unsigned>(0, 5));
            const int levels = input.ConsumeIntegralInRange(0, 5);
            for (int l = 0; l < levels; ++l)
                group.keysyms.push_back(randomKeysym(input));
            key.groups.push_back(std::move(group));
        }
        keymap.keys.push_back(std::move(key));
    }
    return keymap;
}

std::u32string randomText(FuzzedDataProvider& input)
{
    std::u32string text;
    const std::size_t length = input.ConsumeIntegralInRange<std::size_t>(0, 64);
    for (std::size_t i = 0; i < length && input.remaining_bytes() > 0; ++i) {
        if (input.ConsumeIntegralInRange(0, 7) != 0)
            text += input.ConsumeIntegralInRange<char32_t>(0x20, 0x7e);
        else
            text += input.ConsumeIntegralInRange<char32_t>(0, 0x110000);
    }
    return text;
}

// What a key gives, worked out here without the planner: the type's entry for exactly the
// modifiers it looks at, level 0 otherwise; groups wrap.
Keysym keysymOf(const KeymapKey& key, unsigned group, bool shift)
{
    if (key.groups.empty())
        return kNoSymbol;
    const KeyGroup& keyGroup = key.groups[group % key.groups.size()];
    const unsigned mods = (shift ? 1u : 0u) & keyGroup.type.modsMask;
    unsigned level = 0;
    for (const auto& entry : keyGroup.type.levels) {
        if (entry.first == mods) {
            level = entry.second;
            break;
        }
    }
    return level < keyGroup.keysyms.size() ? keyGroup.keysyms[level] : kNoSymbol;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const unsigned group = input.ConsumeIntegralInRange<unsigned>(0, 4);
    const std::u32string text = randomText(input);
    const KeymapDescription keymap = randomKeymap(input);

    // The key the server would use for each keycode: the first one described.
    std::array<const KeymapKey*, 256> keys{};
    bool anySpare = false;
    for (const KeymapKey& key : keymap.keys) {
        if (key.keycode < 256 && !keys[key.keycode]) {
            keys[key.keycode] = &key;
            anySpare = anySpare || (key.keycode > 8 && key.modifiers == 0 && holdsNoKeysym(key));
        }
    }

    const KeyPlan plan = planKeys(keymap, text, group);
    if (!plan.typeable) {
        bool unsendable = false;
        for (const char32_t character : text)
            unsendable = unsendable || keysymForCharacter(character) == kNoSymbol;
        if (!unsendable && anySpare)
            fail("refused a text although every character has a keysym and there are spares");
        return 0;
    }

    // (keycode, shift) -> character, over the whole plan for keys the keymap holds.
    std::map<std::pair<unsigned, bool>, char32_t> meaning;
    std::size_t index = 0;
    for (const KeyBatch& batch : plan.batches) {
        if (batch.keys.empty())
            fail("an empty batch");
        std::map<unsigned, Keysym> remapped;
        for (const auto& [keycode, keysym] : batch.remaps) {
            if (!remapped.emplace(keycode, keysym).second)
                fail("a spare key given two keysyms in one batch");
            const KeymapKey* key = keycode < 256 ? keys[keycode] : nullptr;
            if (!key || keycode <= 8)
                fail("a spare key the keymap does not have");
            if (key->modifiers != 0)
                fail("a modifier key taken as a spare");
            if (!holdsNoKeysym(*key))
                fail("a key in use (Shift, Escape, Return, BackSpace, Tab, ...) taken as a spare");
            if (meaning.count({keycode, false}) || meaning.count({keycode, true}))
                fail("a spare key that also types a character of the keymap");
        }
        for (const PlannedKey& planned : batch.keys) {
            if (index >= text.size())
                fail("more keys than characters");
            const char32_t character = text[index++];
            const auto spare = remapped.find(planned.keycode);
            if (spare != remapped.end()) {
                if (planned.shift || xkb_keysym_to_utf32(spare->second) != character)
                    fail("a spare key that does not type its character");
                continue;
            }
            const KeymapKey* key = planned.keycode < 256 ? keys[planned.keycode] : nullptr;
            if (!key)
                fail("a key the keymap does not have");
            const Keysym keysym = keysymOf(*key, group, planned.shift);
            if (keysym == kNoSymbol || xkb_keysym_to_utf32(keysym) != character)
                fail("a key whose level does not give its character");
            if (planned.shift) {
                const KeymapKey* shift =
                    plan.shiftKeycode < 256 ? keys[plan.shiftKeycode] : nullptr;
                if (!shift || !(shift->modifiers & 1u) || shift->groups.empty() ||
                    shift->groups[0].keysyms.empty() ||
                    (shift->groups[0].keysyms[0] != XKB_KEY_Shift_L &&
                     shift->groups[0].keysyms[0] != XKB_KEY_Shift_R))
                    fail("Shift held with a key that is not Shift");
            }
            const auto [known, added] =
                meaning.emplace(std::pair(planned.keycode, planned.shift), character);
            if (!added && known->second != character)
                fail("one key planned for two characters");
        }
    }
    if (index != text.size())
        fail("fewer keys than characters");
    return 0;
}
