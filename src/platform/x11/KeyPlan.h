// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

// Which keys type a text on an X keyboard, worked out from a description of the keymap alone:
// no server, no Qt. The typist fills the description from the server and sends what comes out.

using Keysym = std::uint32_t;
constexpr Keysym kNoSymbol = 0;

// The X modifier bits the plan cares about.
constexpr unsigned kShiftMask = 1u << 0;

// How a key's modifiers choose its shift level: the modifiers the type looks at and, for each
// combination of them it names, the level (any other combination gives level 0).
struct KeyType
{
    unsigned modsMask = 0;
    std::vector<std::pair<unsigned, unsigned>> levels; // (modifiers, level)
};

struct KeyGroup
{
    KeyType type;
    std::vector<Keysym> keysyms; // one per level
};

struct KeymapKey
{
    unsigned keycode = 0;
    unsigned modifiers = 0; // the modifier map: which modifiers this key sets
    std::vector<KeyGroup> groups;
};

// The keys of a keyboard, as the server describes them (XkbGetMap).
struct KeymapDescription
{
    std::vector<KeymapKey> keys;
};

// One key to press and release, with Shift held around it or not.
struct PlannedKey
{
    unsigned keycode = 0;
    bool shift = false;
};

// Keys that go out together: first the spare keycodes are given the keysyms they type in this
// batch, then the keys are sent. The next batch reuses the spares, so the target must have read
// this one first.
struct KeyBatch
{
    std::vector<std::pair<unsigned, Keysym>> remaps; // (spare keycode, keysym)
    std::vector<PlannedKey> keys;
};

struct KeyPlan
{
    bool typeable = false; // false: a character has no keysym, or needs a spare and there is none
    unsigned shiftKeycode = 0;
    std::vector<KeyBatch> batches;
};

// The keysym that stands for a character when the keymap lacks it: Latin-1 is its own keysym,
// the rest of Unicode has keysyms of its own. Control characters have none we would send
// (never Return): kNoSymbol.
Keysym keysymForCharacter(char32_t character);

// Whether a key has no keysym in any group and level: with no modifier either, a spare.
bool holdsNoKeysym(const KeymapKey& key);

// The level a key type gives with these modifiers down.
unsigned levelFor(const KeyType& type, unsigned modifiers);

// The keys for a text in one group (layout) of the keymap, plain or with Shift; the other
// characters on spare keycodes (keys with no keysym and no modifier), as many distinct ones per
// batch as there are spares.
KeyPlan planKeys(const KeymapDescription& keymap, std::u32string_view text, unsigned group = 0);

// Overwrites the plan's keycodes and keysyms (they spell the text) and empties it.
void wipePlan(KeyPlan& plan);
