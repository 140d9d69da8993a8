// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/wayland/LayoutKeysyms.h"

#include "platform/CodePoints.h"

#include <QList>

#include <xkbcommon/xkbcommon.h>

#include <iterator>
#include <memory>
#include <set>

namespace {

struct ContextDeleter
{
    void operator()(xkb_context* context) const { xkb_context_unref(context); }
};
struct KeymapDeleter
{
    void operator()(xkb_keymap* keymap) const { xkb_keymap_unref(keymap); }
};
struct StateDeleter
{
    void operator()(xkb_state* state) const { xkb_state_unref(state); }
};
using Context = std::unique_ptr<xkb_context, ContextDeleter>;
using Keymap = std::unique_ptr<xkb_keymap, KeymapDeleter>;
using State = std::unique_ptr<xkb_state, StateDeleter>;

// The modifiers that the Shift keys and the right Alt key (AltGr) set in a layout. The desktops
// press those for a symbol on a higher level; a level that only another key reaches (the us
// map's third level, say) comes out as the key's plain symbol, so it does not count.
xkb_mod_mask_t reachableModifiers(xkb_keymap* keymap, xkb_layout_index_t layout)
{
    State state(xkb_state_new(keymap));
    if (!state)
        return 0;
    xkb_mod_mask_t reachable = 0;
    for (const char* name : {"LFSH", "RTSH", "RALT"}) {
        const xkb_keycode_t key = xkb_keymap_key_by_name(keymap, name);
        if (key == XKB_KEYCODE_INVALID)
            continue;
        xkb_state_update_mask(state.get(), 0, 0, 0, 0, 0, layout);
        xkb_state_update_key(state.get(), key, XKB_KEY_DOWN);
        reachable |= xkb_state_serialize_mods(state.get(), XKB_STATE_MODS_EFFECTIVE);
        xkb_state_update_key(state.get(), key, XKB_KEY_UP);
    }
    return reachable;
}

bool levelReachable(xkb_keymap* keymap, xkb_keycode_t key, xkb_layout_index_t layout,
                    xkb_level_index_t level, xkb_mod_mask_t reachable)
{
    xkb_mod_mask_t masks[16];
    const size_t count =
        xkb_keymap_key_get_mods_for_level(keymap, key, layout, level, masks, std::size(masks));
    for (size_t i = 0; i < count; ++i) {
        if ((masks[i] & ~reachable) == 0)
            return true;
    }
    return false;
}

bool isPrintable(char32_t character)
{
    return character >= 0x20 && character != 0x7f && !(character >= 0x80 && character < 0xa0);
}

} // namespace

LayoutKeysyms::LayoutKeysyms(const std::string& keymapText)
{
    Context context(xkb_context_new(XKB_CONTEXT_NO_FLAGS));
    if (!context)
        return;
    Keymap keymap(xkb_keymap_new_from_string(
        context.get(), keymapText.c_str(), XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS));
    if (keymap)
        collect(keymap.get());
}

LayoutKeysyms LayoutKeysyms::fromNames(const char* layout, const char* variant)
{
    LayoutKeysyms result;
    Context context(xkb_context_new(XKB_CONTEXT_NO_FLAGS));
    if (!context)
        return result;
    const xkb_rule_names names{"evdev", "pc105", layout, variant, nullptr};
    Keymap keymap(xkb_keymap_new_from_names(context.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS));
    if (keymap)
        result.collect(keymap.get());
    return result;
}

void LayoutKeysyms::collect(xkb_keymap* keymap)
{
    const xkb_layout_index_t layouts = xkb_keymap_num_layouts(keymap);
    if (layouts == 0)
        return;
    // Per layout, every key symbol it holds; a character needs one symbol that all of them hold.
    std::vector<std::set<xkb_keysym_t>> held(layouts);
    std::vector<xkb_mod_mask_t> reachable(layouts);
    for (xkb_layout_index_t layout = 0; layout < layouts; ++layout)
        reachable[layout] = reachableModifiers(keymap, layout);
    const xkb_keycode_t last = xkb_keymap_max_keycode(keymap);
    for (xkb_keycode_t key = xkb_keymap_min_keycode(keymap); key <= last; ++key) {
        for (xkb_layout_index_t layout = 0; layout < layouts; ++layout) {
            const xkb_level_index_t levels = xkb_keymap_num_levels_for_key(keymap, key, layout);
            for (xkb_level_index_t level = 0; level < levels; ++level) {
                if (!levelReachable(keymap, key, layout, level, reachable[layout]))
                    continue;
                const xkb_keysym_t* syms = nullptr;
                const int count =
                    xkb_keymap_key_get_syms_by_level(keymap, key, layout, level, &syms);
                // A key that gives several symbols at once is no single character.
                if (count == 1)
                    held[layout].insert(syms[0]);
            }
        }
    }
    for (const xkb_keysym_t sym : held[0]) {
        const char32_t character = xkb_keysym_to_utf32(sym);
        if (!isPrintable(character))
            continue;
        bool everywhere = true;
        for (xkb_layout_index_t layout = 1; layout < layouts && everywhere; ++layout)
            everywhere = held[layout].count(sym) > 0;
        if (!everywhere)
            continue;
        // Prefer the symbol the character itself names (the main row's "1", not the keypad's).
        const auto found = symbolOf.find(character);
        if (found == symbolOf.end() || sym == xkb_utf32_to_keysym(character))
            symbolOf[character] = sym;
    }
    valid = true;
}

std::optional<std::uint32_t> LayoutKeysyms::keysymFor(char32_t character) const
{
    const auto found = symbolOf.find(character);
    if (found == symbolOf.end())
        return std::nullopt;
    return found->second;
}

std::optional<std::vector<std::uint32_t>> LayoutKeysyms::keysymsFor(const QString& text) const
{
    // Half a surrogate pair is refused: typing U+FFFD for it would type a character the text
    // does not hold.
    std::vector<std::uint32_t> keysyms;
    for (qsizetype i = 0; i < text.size();) {
        const char32_t character = nextCodePoint(text, i);
        if (QChar::isSurrogate(character))
            return std::nullopt;
        const auto sym = keysymFor(character);
        if (!sym)
            return std::nullopt;
        keysyms.push_back(*sym);
    }
    return keysyms;
}
