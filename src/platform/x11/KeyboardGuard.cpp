// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/x11/KeyboardGuard.h"

#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <string.h>

KeyboardState::Locks XkbKeyboardState::locks()
{
    XkbStateRec state{};
    XkbGetState(display, XkbUseCoreKbd, &state);
    return {state.locked_mods, state.latched_mods, state.locked_group, state.latched_group};
}

void XkbKeyboardState::lockModifiers(unsigned affect, unsigned values)
{
    XkbLockModifiers(display, XkbUseCoreKbd, affect, values);
}

void XkbKeyboardState::latchModifiers(unsigned affect, unsigned values)
{
    XkbLatchModifiers(display, XkbUseCoreKbd, affect, values);
}

void XkbKeyboardState::lockGroup(int group)
{
    XkbLockGroup(display, XkbUseCoreKbd, unsigned(group));
}

void XkbKeyboardState::latchGroup(int group)
{
    XkbLatchGroup(display, XkbUseCoreKbd, unsigned(group));
}

std::vector<unsigned> XkbKeyboardState::heldKeys()
{
    char keys[32] = {};
    XQueryKeymap(display, keys);
    std::vector<unsigned> held;
    for (unsigned keycode = 8; keycode < 256; ++keycode) {
        if (keys[keycode / 8] & (1 << (keycode % 8)))
            held.push_back(keycode);
    }
    return held;
}

void XkbKeyboardState::releaseKey(unsigned keycode)
{
    XTestFakeKeyEvent(display, keycode, False, CurrentTime);
}

void XkbKeyboardState::mapKey(unsigned keycode, Keysym keysym)
{
    KeySym pair[2] = {KeySym(keysym), KeySym(keysym)};
    XChangeKeyboardMapping(display, int(keycode), 2, pair, 1);
    explicit_bzero(pair, sizeof pair);
}

KeymapDescription XkbKeyboardState::keymap()
{
    KeymapDescription description;
    XkbDescPtr keymap =
        XkbGetMap(display, XkbKeyTypesMask | XkbKeySymsMask | XkbModifierMapMask, XkbUseCoreKbd);
    if (!keymap)
        return description;
    description.keys.reserve(std::size_t(keymap->max_key_code - keymap->min_key_code + 1));
    for (int keycode = keymap->min_key_code; keycode <= keymap->max_key_code; ++keycode) {
        KeymapKey key;
        key.keycode = unsigned(keycode);
        key.modifiers = keymap->map->modmap ? keymap->map->modmap[keycode] : 0;
        for (int group = 0; group < XkbKeyNumGroups(keymap, keycode); ++group) {
            KeyGroup keyGroup;
            const XkbKeyTypeRec* type = XkbKeyKeyType(keymap, keycode, group);
            keyGroup.type.modsMask = type->mods.mask;
            for (int i = 0; i < type->map_count; ++i) {
                if (type->map[i].active)
                    keyGroup.type.levels.emplace_back(type->map[i].mods.mask, type->map[i].level);
            }
            for (int level = 0; level < XkbKeyGroupWidth(keymap, keycode, group); ++level)
                keyGroup.keysyms.push_back(Keysym(XkbKeySymEntry(keymap, keycode, level, group)));
            key.groups.push_back(std::move(keyGroup));
        }
        description.keys.push_back(std::move(key));
    }
    XkbFreeKeyboard(keymap, 0, True);
    return description;
}

KeyboardGuard::~KeyboardGuard()
{
    restore();
}

void KeyboardGuard::setAside()
{
    if (aside)
        return;
    saved = keyboard.locks();
    aside = true;
    // Keys the user still holds would change or repeat ours.
    for (const unsigned keycode : keyboard.heldKeys())
        keyboard.releaseKey(keycode);
    if (saved.lockedMods)
        keyboard.lockModifiers(saved.lockedMods, 0);
    if (saved.latchedMods)
        keyboard.latchModifiers(saved.latchedMods, 0);
    if (saved.lockedGroup)
        keyboard.lockGroup(0);
    if (saved.latchedGroup)
        keyboard.latchGroup(0);
}

void KeyboardGuard::remap(unsigned keycode, Keysym keysym)
{
    // Remembered first: a key given a keysym is taken off again even if giving it failed.
    if (std::find(remapped.begin(), remapped.end(), keycode) == remapped.end())
        remapped.push_back(keycode);
    keyboard.mapKey(keycode, keysym);
}

void KeyboardGuard::restoreLocks()
{
    if (!aside)
        return;
    aside = false;
    if (saved.lockedMods)
        keyboard.lockModifiers(saved.lockedMods, saved.lockedMods);
    if (saved.latchedMods)
        keyboard.latchModifiers(saved.latchedMods, saved.latchedMods);
    if (saved.lockedGroup)
        keyboard.lockGroup(saved.lockedGroup);
    if (saved.latchedGroup)
        keyboard.latchGroup(saved.latchedGroup);
}

void KeyboardGuard::restoreSpareKeys()
{
    for (const unsigned keycode : remapped)
        keyboard.mapKey(keycode, kNoSymbol);
    remapped.clear();
}
