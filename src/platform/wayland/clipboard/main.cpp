// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "wayland-wlr-data-control-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/prctl.h>
#include <unistd.h>

// Keeps a text on a Wayland clipboard after Glyphlock has ended: Wayland's clipboard dies with
// the program that set it. Serves through the compositor's data-control interface, which needs
// no window. Reads the text from standard input (never from arguments or the environment),
// answers "1" on standard output once the compositor took the selection, and serves it until
// another program takes the clipboard.

namespace {

constexpr size_t kMaxText = 64 * 1024;
// A reader that takes longer than this for one paste gets what it has read.
constexpr int kWriteTimeoutMs = 2000;

const char* const kTextTypes[] = {"text/plain;charset=utf-8", "text/plain", "UTF8_STRING", "TEXT",
                                  "STRING"};
constexpr const char* kPasswordHint = "x-kde-passwordManagerHint";

struct State
{
    std::string text;
    wl_seat* seat = nullptr;
    zwlr_data_control_manager_v1* manager = nullptr;
    bool cancelled = false;
};

void onGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t)
{
    auto* state = static_cast<State*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && !state->seat)
        state->seat =
            static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    else if (std::strcmp(interface, zwlr_data_control_manager_v1_interface.name) == 0 &&
             !state->manager)
        state->manager = static_cast<zwlr_data_control_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_data_control_manager_v1_interface, 1));
}

void onGlobalRemove(void*, wl_registry*, uint32_t) {}

const wl_registry_listener registryListener{onGlobal, onGlobalRemove};

void writeAll(int fd, const char* data, size_t size)
{
    const int flags = fcntl(fd, F_GETFL);
    fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written > 0) {
            data += written;
            size -= size_t(written);
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        pollfd out{fd, POLLOUT, 0};
        if (written < 0 && errno == EAGAIN && poll(&out, 1, kWriteTimeoutMs) == 1)
            continue;
        return;
    }
}

void onSend(void* data, zwlr_data_control_source_v1*, const char* mimeType, int32_t fd)
{
    const auto* state = static_cast<State*>(data);
    if (std::strcmp(mimeType, kPasswordHint) == 0)
        writeAll(fd, "secret", 6);
    else
        writeAll(fd, state->text.data(), state->text.size());
    close(fd);
}

void onCancelled(void* data, zwlr_data_control_source_v1*)
{
    static_cast<State*>(data)->cancelled = true;
}

const zwlr_data_control_source_v1_listener sourceListener{onSend, onCancelled};

// Offers of other programs' selections are announced to every data-control client; this one
// reads none of them.
void onDataOffer(void*, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1*) {}

void onSelection(void*, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer)
{
    if (offer)
        zwlr_data_control_offer_v1_destroy(offer);
}

void onFinished(void* data, zwlr_data_control_device_v1*)
{
    static_cast<State*>(data)->cancelled = true;
}

void onPrimarySelection(void*, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer)
{
    if (offer)
        zwlr_data_control_offer_v1_destroy(offer);
}

const zwlr_data_control_device_v1_listener deviceListener{onDataOffer, onSelection, onFinished,
                                                          onPrimarySelection};

void clearText(std::string& text)
{
    // Through a volatile pointer, so that the stores are not left out as dead.
    volatile char* bytes = text.data();
    for (size_t i = 0; i < text.size(); ++i)
        bytes[i] = 0;
    text.clear();
}

// Gives back every object of the connection, then closes it.
void disconnect(wl_display* display, wl_registry* registry, State& state,
                zwlr_data_control_device_v1* device = nullptr,
                zwlr_data_control_source_v1* source = nullptr)
{
    if (source)
        zwlr_data_control_source_v1_destroy(source);
    if (device)
        zwlr_data_control_device_v1_destroy(device);
    if (state.manager)
        zwlr_data_control_manager_v1_destroy(state.manager);
    if (state.seat)
        wl_seat_destroy(state.seat);
    wl_registry_destroy(registry);
    wl_display_flush(display);
    wl_display_disconnect(display);
}

} // namespace

int main()
{
    // No core dumps and no debugger of the same user reading the password from memory.
    prctl(PR_SET_DUMPABLE, 0);
    std::signal(SIGPIPE, SIG_IGN);

    State state;
    state.text.reserve(kMaxText + 4096);
    char buffer[4096];
    ssize_t got = 0;
    while ((got = read(STDIN_FILENO, buffer, sizeof buffer)) > 0 && state.text.size() < kMaxText)
        state.text.append(buffer, size_t(got));
    std::memset(buffer, 0, sizeof buffer);
    close(STDIN_FILENO);
    if (got < 0 || state.text.empty() || state.text.size() > kMaxText)
        return 1;

    wl_display* display = wl_display_connect(nullptr);
    if (!display)
        return 1;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, &state);
    if (wl_display_roundtrip(display) < 0 || !state.seat || !state.manager) {
        disconnect(display, registry, state);
        return 1;
    }
    zwlr_data_control_device_v1* device =
        zwlr_data_control_manager_v1_get_data_device(state.manager, state.seat);
    zwlr_data_control_device_v1_add_listener(device, &deviceListener, &state);
    zwlr_data_control_source_v1* source =
        zwlr_data_control_manager_v1_create_data_source(state.manager);
    zwlr_data_control_source_v1_add_listener(source, &sourceListener, &state);
    for (const char* type : kTextTypes)
        zwlr_data_control_source_v1_offer(source, type);
    zwlr_data_control_source_v1_offer(source, kPasswordHint);
    zwlr_data_control_device_v1_set_selection(device, source);

    int status = 1;
    if (wl_display_roundtrip(display) >= 0 && !state.cancelled &&
        write(STDOUT_FILENO, "1", 1) == 1) {
        close(STDOUT_FILENO); // the starter waits for its end of the pipe only
        status = 0;
        while (!state.cancelled && wl_display_dispatch(display) >= 0) {
        }
    }
    clearText(state.text);
    disconnect(display, registry, state, device, source);
    return status;
}
