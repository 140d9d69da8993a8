// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/x11/KeyPlan.h"

#include <vector>

// Xlib's connection, named without Xlib's header (whose macros break Qt's).
typedef struct _XDisplay Display;

// The parts of a keyboard's state that typing changes: what the guard below needs of a server.
class KeyboardState
{
public:
    struct Locks
    {
        unsigned lockedMods = 0;
        unsigned latchedMods = 0;
        int lockedGroup = 0;
        int latchedGroup = 0;
    };

    virtual ~KeyboardState() = default;
    virtual Locks locks() = 0;
    // Sets the `affect` modifiers' locks (latches) to their bits in `values`.
    virtual void lockModifiers(unsigned affect, unsigned values) = 0;
    virtual void latchModifiers(unsigned affect, unsigned values) = 0;
    virtual void lockGroup(int group) = 0;
    virtual void latchGroup(int group) = 0;
    virtual std::vector<unsigned> heldKeys() = 0;
    virtual void releaseKey(unsigned keycode) = 0;
    // Gives the keycode the keysym on both levels; kNoSymbol takes it off again.
    virtual void mapKey(unsigned keycode, Keysym keysym) = 0;
};

// The keyboard of an X server, through Xkb and XTest. Errors are the caller's to trap.
class XkbKeyboardState : public KeyboardState
{
public:
    explicit XkbKeyboardState(Display* display) : display(display) {}
    Locks locks() override;
    void lockModifiers(unsigned affect, unsigned values) override;
    void latchModifiers(unsigned affect, unsigned values) override;
    void lockGroup(int group) override;
    void latchGroup(int group) override;
    std::vector<unsigned> heldKeys() override;
    void releaseKey(unsigned keycode) override;
    void mapKey(unsigned keycode, Keysym keysym) override;

    // The keymap's first groups, types and modifier map, as the key planner reads them.
    KeymapDescription keymap();

private:
    Display* display;
};

// Sets the user's keyboard aside for typing and puts it back when it ends, whichever way: the
// locks and latches of modifiers and group are cleared (and keys still held let go) by
// setAside(), the spare keys remapped through remap(); the destructor restores what is left.
// A keyboard left with Caps Lock off or a spare key typing a password character would outlive
// the program.
class KeyboardGuard
{
public:
    explicit KeyboardGuard(KeyboardState& keyboard) : keyboard(keyboard) {}
    ~KeyboardGuard();
    KeyboardGuard(const KeyboardGuard&) = delete;
    KeyboardGuard& operator=(const KeyboardGuard&) = delete;

    void setAside();
    void remap(unsigned keycode, Keysym keysym);
    // Puts the locks and group back (the spare keys may stay while the target reads them).
    void restoreLocks();
    // Takes the keysyms off the spare keys again.
    void restoreSpareKeys();
    void restore()
    {
        restoreLocks();
        restoreSpareKeys();
    }
    bool holdsSpareKeys() const { return !remapped.empty(); }

private:
    KeyboardState& keyboard;
    bool aside = false;
    KeyboardState::Locks saved;
    std::vector<unsigned> remapped;
};
