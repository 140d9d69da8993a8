// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/wayland/WaylandGlobals.h"

#include <wayland-client.h>

#include <cstring>

namespace {

struct Search
{
    const char* name;
    bool found = false;
};

void onGlobal(void* data, wl_registry*, uint32_t, const char* interface, uint32_t)
{
    auto* search = static_cast<Search*>(data);
    if (std::strcmp(interface, search->name) == 0)
        search->found = true;
}

void onGlobalRemove(void*, wl_registry*, uint32_t) {}

const wl_registry_listener registryListener{onGlobal, onGlobalRemove};

} // namespace

bool WaylandGlobals::offers(const char* interfaceName)
{
    wl_display* display = wl_display_connect(nullptr);
    if (!display)
        return false;
    Search search{interfaceName};
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, &search);
    const bool answered = wl_display_roundtrip(display) >= 0;
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return answered && search.found;
}
