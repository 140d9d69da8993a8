// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/wayland/WaylandKeymap.h"

#include <wayland-client.h>

#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

namespace {

struct Reading
{
    wl_seat* seat = nullptr;
    wl_keyboard* keyboard = nullptr;
    bool hasKeyboard = false;
    std::string keymap;
};

void onKeymap(void* data, wl_keyboard*, uint32_t format, int32_t fd, uint32_t size)
{
    auto* reading = static_cast<Reading*>(data);
    if (format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 && size > 0) {
        void* mapped = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (mapped != MAP_FAILED) {
            const char* text = static_cast<const char*>(mapped);
            reading->keymap.assign(text, strnlen(text, size));
            munmap(mapped, size);
        }
    }
    close(fd);
}

void onEnter(void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {}
void onLeave(void*, wl_keyboard*, uint32_t, wl_surface*) {}
void onKey(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t) {}
void onModifiers(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {}
void onRepeatInfo(void*, wl_keyboard*, int32_t, int32_t) {}

const wl_keyboard_listener keyboardListener = {onKeymap, onEnter,     onLeave,
                                               onKey,    onModifiers, onRepeatInfo};

void onCapabilities(void* data, wl_seat*, uint32_t capabilities)
{
    static_cast<Reading*>(data)->hasKeyboard = capabilities & WL_SEAT_CAPABILITY_KEYBOARD;
}

void onSeatName(void*, wl_seat*, const char*) {}

const wl_seat_listener seatListener = {onCapabilities, onSeatName};

void onGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t)
{
    auto* reading = static_cast<Reading*>(data);
    if (!reading->seat && std::strcmp(interface, wl_seat_interface.name) == 0) {
        reading->seat =
            static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
        wl_seat_add_listener(reading->seat, &seatListener, reading);
    }
}

void onGlobalRemove(void*, wl_registry*, uint32_t) {}

const wl_registry_listener registryListener = {onGlobal, onGlobalRemove};

} // namespace

std::string readCompositorKeymap()
{
    wl_display* display = wl_display_connect(nullptr);
    if (!display)
        return {};
    Reading reading;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, &reading);
    // Globals, then the seat's capabilities, then the keyboard's map.
    wl_display_roundtrip(display);
    if (reading.seat) {
        wl_display_roundtrip(display);
        if (reading.hasKeyboard) {
            reading.keyboard = wl_seat_get_keyboard(reading.seat);
            wl_keyboard_add_listener(reading.keyboard, &keyboardListener, &reading);
            wl_display_roundtrip(display);
            wl_keyboard_destroy(reading.keyboard);
        }
        wl_seat_destroy(reading.seat);
    }
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return reading.keymap;
}
