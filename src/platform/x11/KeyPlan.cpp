// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/x11/KeyPlan.h"

#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <array>
#include <string.h>

namespace {

constexpr Keysym kShiftL = 0xffe1;
constexpr Keysym kShiftR = 0xffe2;
constexpr unsigned kMinKeycode = 8;
constexpr unsigned kMaxKeycode = 255;

// The keys by keycode; the first description of a keycode counts.
std::array<const KeymapKey*, kMaxKeycode + 1> byKeycode(const KeymapDescription& keymap)
{
    std::array<const KeymapKey*, kMaxKeycode + 1> keys{};
    for (const KeymapKey& key : keymap.keys) {
        if (key.keycode >= kMinKeycode && key.keycode <= kMaxKeycode && !keys[key.keycode])
            keys[key.keycode] = &key;
    }
    return keys;
}

// What the key gives in the group with these modifiers; groups beyond the key's own wrap
// around, as the server does by default.
Keysym keysymAt(const KeymapKey& key, unsigned group, unsigned modifiers)
{
    if (key.groups.empty())
        return kNoSymbol;
    const KeyGroup& keyGroup = key.groups[group % key.groups.size()];
    const unsigned level = levelFor(keyGroup.type, modifiers);
    return level < keyGroup.keysyms.size() ? keyGroup.keysyms[level] : kNoSymbol;
}

// Overwrites what the vector holds (it spells the text).
template <typename T> void wipe(std::vector<T>& values)
{
    if (!values.empty())
        explicit_bzero(values.data(), values.size() * sizeof(T));
}

} // namespace

bool holdsNoKeysym(const KeymapKey& key)
{
    for (const KeyGroup& group : key.groups) {
        for (const Keysym keysym : group.keysyms) {
            if (keysym != kNoSymbol)
                return false;
        }
    }
    return true;
}

Keysym keysymForCharacter(char32_t character)
{
    if (character < 0x20 || (character >= 0x7f && character < 0xa0) || character > 0x10ffff ||
        (character >= 0xd800 && character <= 0xdfff))
        return kNoSymbol;
    if (character <= 0xff)
        return Keysym(character);
    return Keysym(0x01000000 | character);
}

unsigned levelFor(const KeyType& type, unsigned modifiers)
{
    modifiers &= type.modsMask;
    for (const auto& [mods, level] : type.levels) {
        if (mods == modifiers)
            return level;
    }
    return 0;
}

KeyPlan planKeys(const KeymapDescription& keymap, std::u32string_view text, unsigned group)
{
    KeyPlan plan;
    const auto keys = byKeycode(keymap);

    std::vector<unsigned> spares;
    // The spares: keys with no keysym in any group that set no modifier, highest first; the
    // lowest keycode is left alone.
    for (unsigned keycode = kMaxKeycode; keycode > kMinKeycode; --keycode) {
        const KeymapKey* key = keys[keycode];
        if (!key)
            continue;
        if (!plan.shiftKeycode && (key->modifiers & kShiftMask) && !key->groups.empty() &&
            !key->groups[0].keysyms.empty() &&
            (key->groups[0].keysyms[0] == kShiftL || key->groups[0].keysyms[0] == kShiftR))
            plan.shiftKeycode = keycode;
        if (key->modifiers == 0 && holdsNoKeysym(*key))
            spares.push_back(keycode);
    }

    // A key for each character, or (keycode 0) the keysym a spare key is to type.
    struct Wanted
    {
        PlannedKey key;
        Keysym keysym = kNoSymbol;
    };
    std::vector<Wanted> wanted;
    wanted.reserve(text.size());
    for (const char32_t character : text) {
        Wanted stroke;
        stroke.keysym = keysymForCharacter(character);
        if (stroke.keysym == kNoSymbol) {
            wipe(wanted);
            return plan;
        }
        for (const bool shift : {false, true}) {
            if (shift && !plan.shiftKeycode)
                break;
            for (unsigned keycode = kMinKeycode; keycode <= kMaxKeycode; ++keycode) {
                const KeymapKey* key = keys[keycode];
                if (!key)
                    continue;
                const Keysym keysym = keysymAt(*key, group, shift ? kShiftMask : 0);
                if (keysym != kNoSymbol && xkb_keysym_to_utf32(keysym) == character) {
                    stroke.key = {keycode, shift};
                    break;
                }
            }
            if (stroke.key.keycode)
                break;
        }
        wanted.push_back(stroke);
    }

    const bool needSpare = std::any_of(wanted.begin(), wanted.end(),
                                       [](const Wanted& stroke) { return !stroke.key.keycode; });
    if (needSpare && spares.empty()) {
        wipe(wanted);
        return plan;
    }
    plan.typeable = true;

    // Batches: the spares take the missing characters in order until they run out.
    std::size_t index = 0;
    while (index < wanted.size()) {
        // Sized once, so that no growing vector leaves copies of the keys behind.
        KeyBatch batch;
        batch.remaps.reserve(spares.size());
        batch.keys.reserve(wanted.size() - index);
        for (; index < wanted.size(); ++index) {
            PlannedKey key = wanted[index].key;
            if (!key.keycode) {
                const Keysym keysym = wanted[index].keysym;
                const auto found =
                    std::find_if(batch.remaps.begin(), batch.remaps.end(),
                                 [keysym](const auto& remap) { return remap.second == keysym; });
                if (found != batch.remaps.end()) {
                    key.keycode = found->first;
                } else if (batch.remaps.size() == spares.size()) {
                    break;
                } else {
                    key.keycode = spares[batch.remaps.size()];
                    batch.remaps.emplace_back(key.keycode, keysym);
                }
            }
            batch.keys.push_back(key);
        }
        plan.batches.push_back(std::move(batch));
    }
    wipe(wanted);
    return plan;
}

void wipePlan(KeyPlan& plan)
{
    for (KeyBatch& batch : plan.batches) {
        wipe(batch.remaps);
        wipe(batch.keys);
    }
    plan.batches.clear();
    plan.batches.shrink_to_fit();
    plan.typeable = false;
}
