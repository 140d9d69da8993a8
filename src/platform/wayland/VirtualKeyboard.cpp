// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/wayland/VirtualKeyboard.h"

#include "base/Privacy.h"
#include "platform/wayland/VirtualKeyPlan.h"
#include "platform/wayland/WaylandGlobals.h"

#include "wayland-virtual-keyboard-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <cstring>
#include <ctime>
#include <sys/mman.h>
#include <unistd.h>

namespace {

struct Globals
{
    wl_seat* seat = nullptr;
    zwp_virtual_keyboard_manager_v1* manager = nullptr;
};

void onGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t)
{
    auto* globals = static_cast<Globals*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0) {
        if (!globals->seat)
            globals->seat =
                static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    } else if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0) {
        if (!globals->manager)
            globals->manager = static_cast<zwp_virtual_keyboard_manager_v1*>(
                wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
    }
}

void onGlobalRemove(void*, wl_registry*, uint32_t) {}

const wl_registry_listener registryListener{onGlobal, onGlobalRemove};

// Overwrites what held keys or characters of the text once they are no longer needed.
template <typename T> void wipe(T* values, size_t count)
{
    if (count > 0)
        explicit_bzero(values, count * sizeof(T));
}

uint32_t nowMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return uint32_t(now.tv_sec * 1000 + now.tv_nsec / 1000000);
}

} // namespace

VirtualKeyboard::~VirtualKeyboard()
{
    close();
}

bool VirtualKeyboard::isOffered()
{
    return WaylandGlobals::offers(zwp_virtual_keyboard_manager_v1_interface.name);
}

bool VirtualKeyboard::open()
{
    if (keyboard)
        return true;
    display = wl_display_connect(nullptr);
    if (!display)
        return false;
    Globals globals;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, &globals);
    const bool found = wl_display_roundtrip(display) >= 0 && globals.seat && globals.manager;
    wl_registry_destroy(registry);
    seat = globals.seat;
    manager = globals.manager;
    if (!found) {
        close();
        return false;
    }
    keyboard = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(manager, seat);
    // A keyboard without a keymap is an error to the compositor as soon as it types; give it
    // one at once, so that it is a complete keyboard while it waits.
    if (!uploadKeymap(keysFor(QStringLiteral(" ")).front().keymap) || !flush()) {
        close();
        return false;
    }
    return true;
}

void VirtualKeyboard::close()
{
    if (keyboard)
        zwp_virtual_keyboard_v1_destroy(keyboard);
    if (manager)
        wl_proxy_destroy(reinterpret_cast<wl_proxy*>(manager));
    if (seat)
        wl_seat_destroy(seat);
    if (display) {
        wl_display_roundtrip(display);
        wl_display_disconnect(display);
    }
    keyboard = nullptr;
    manager = nullptr;
    seat = nullptr;
    display = nullptr;
}

std::vector<VirtualKeyboard::Part> VirtualKeyboard::keysFor(const QString& text)
{
    std::u32string characters;
    characters.reserve(size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar unit = text.at(i);
        if (unit.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            characters += char32_t(QChar::surrogateToUcs4(unit, text.at(i + 1)));
            ++i;
        } else {
            characters += char32_t(unit.unicode()); // a lone surrogate is refused by the plan
        }
    }
    std::vector<Part> parts;
    for (VirtualKeyPlan::Part& planned : VirtualKeyPlan::plan(characters)) {
        QByteArray codes;
        QByteArray symbols;
        for (const auto& [key, character] : planned.keys) {
            const QByteArray name = "<K" + QByteArray::number(key) + '>';
            codes += "    " + name + " = " + QByteArray::number(key + kKeymapOffset) + ";\n";
            // Keysyms by code point: the format knows every Unicode character this way.
            symbols += "    key " + name + " { [ U" +
                       QByteArray::number(uint(character), 16).toUpper().rightJustified(4, '0') +
                       " ] };\n";
        }
        Part part;
        part.keymap = "xkb_keymap {\n"
                      "  xkb_keycodes \"glyphlock\" {\n"
                      "    minimum = 8;\n"
                      "    maximum = 255;\n" +
                      codes +
                      "  };\n"
                      "  xkb_types \"glyphlock\" { include \"complete\" };\n"
                      "  xkb_compatibility \"glyphlock\" { include \"complete\" };\n"
                      "  xkb_symbols \"glyphlock\" {\n" +
                      symbols +
                      "  };\n"
                      "};\n";
        part.sequence = planned.sequence;
        parts.push_back(std::move(part));
        wipe(planned.keys.data(), planned.keys.size());
        wipe(planned.sequence.data(), planned.sequence.size());
    }
    wipe(characters.data(), characters.size());
    return parts;
}

bool VirtualKeyboard::type(const QString& text)
{
    std::vector<Part> parts = keysFor(text);
    const bool typed = !parts.empty() && keyboard && typeParts(parts);
    for (Part& part : parts) {
        secureClear(part.keymap);
        wipe(part.sequence.data(), part.sequence.size());
    }
    // The keymap names the password's characters: the next program to get keys from us gets
    // the one of a space alone.
    return typed && uploadKeymap(keysFor(QStringLiteral(" ")).front().keymap) && flush();
}

bool VirtualKeyboard::typeParts(const std::vector<Part>& parts)
{
    for (const Part& part : parts) {
        // The round trip after the keymap returns once the compositor has taken it and passed
        // it on to the focused program, ahead of any key that follows: no key of this part is
        // read with the keymap of the part before.
        if (!uploadKeymap(part.keymap))
            return false;
        zwp_virtual_keyboard_v1_modifiers(keyboard, 0, 0, 0, 0);
        if (!flush())
            return false;
        // One round trip per key event: the compositor hands each on before the next comes.
        for (const uint32_t key : part.sequence) {
            zwp_virtual_keyboard_v1_key(keyboard, nowMs(), key, WL_KEYBOARD_KEY_STATE_PRESSED);
            if (!flush())
                return false;
            zwp_virtual_keyboard_v1_key(keyboard, nowMs(), key, WL_KEYBOARD_KEY_STATE_RELEASED);
            if (!flush())
                return false;
        }
    }
    return true;
}

bool VirtualKeyboard::uploadKeymap(const QByteArray& keymap)
{
    const int fd = memfd_create("glyphlock-keymap", MFD_CLOEXEC);
    if (fd < 0)
        return false;
    // The size handed on counts the terminating zero, as keymaps of real keyboards do.
    const size_t size = size_t(keymap.size()) + 1;
    bool written = ftruncate(fd, off_t(size)) == 0;
    if (written) {
        void* map = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        written = map != MAP_FAILED;
        if (written) {
            std::memcpy(map, keymap.constData(), size);
            munmap(map, size);
        }
    }
    if (written)
        zwp_virtual_keyboard_v1_keymap(keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                       uint32_t(size));
    ::close(fd);
    return written;
}

bool VirtualKeyboard::flush()
{
    return display && wl_display_roundtrip(display) >= 0 && wl_display_get_error(display) == 0;
}
