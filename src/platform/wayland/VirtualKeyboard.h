// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

struct wl_display;
struct wl_seat;
struct zwp_virtual_keyboard_manager_v1;
struct zwp_virtual_keyboard_v1;

// Types text into whatever holds the keyboard focus, through a keyboard of our own that the
// compositor lets clients create (wlroots compositors: sway, Hyprland, river, wayfire). Each
// text brings its own keymap made of its own characters, so any character arrives exactly,
// whatever layout the user has; the characters sit only on keys that programs read as
// characters (VirtualKeyPlan).
class VirtualKeyboard
{
public:
    VirtualKeyboard() = default;
    ~VirtualKeyboard();
    VirtualKeyboard(const VirtualKeyboard&) = delete;
    VirtualKeyboard& operator=(const VirtualKeyboard&) = delete;

    // True when the compositor of this session lets clients create keyboards.
    static bool isOffered();

    // Connects and creates the keyboard; true when it is ready to type. A keyboard that has
    // been there for a while is the safer one: a compositor may lose the first key of a new one.
    bool open();
    bool isOpen() const { return keyboard != nullptr; }
    // Types the whole text, or nothing when one of its characters cannot be typed. False when
    // nothing was typed or the compositor went away in the middle.
    bool type(const QString& text);
    void close();

    // The text in parts (see VirtualKeyPlan), each with a keymap that gives its characters
    // and the keys to press for it, in order. Empty when the text holds a character that no
    // key should produce (controls, such as a line break that would submit).
    struct Part
    {
        QByteArray keymap;
        std::vector<uint32_t> sequence;
    };
    static std::vector<Part> keysFor(const QString& text);
    // Keys are numbered as evdev numbers them; keymaps count 8 higher.
    static constexpr uint32_t kKeymapOffset = 8;

private:
    bool typeParts(const std::vector<Part>& parts);
    bool uploadKeymap(const QByteArray& keymap);
    bool flush();

    wl_display* display = nullptr;
    wl_seat* seat = nullptr;
    zwp_virtual_keyboard_manager_v1* manager = nullptr;
    zwp_virtual_keyboard_v1* keyboard = nullptr;
};
