#include "platform/wayland/VirtualKeyboard.h"

#include "platform/wayland/WaylandGlobals.h"

#include "wayland-virtual-keyboard-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <QList>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// Keymaps of the traditional format stop at key 255.
constexpr qsizetype kMaxDistinctCharacters =
    255 - VirtualKeyboard::kKeymapOffset - VirtualKeyboard::kFirstKey;

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

bool isTypable(char32_t c)
{
    if (c < 0x20 || (c >= 0x7f && c < 0xa0))
        return false; // controls: a line break or tab would move on or submit
    if (c >= 0xd800 && c < 0xe000)
        return false;
    return c <= 0x10ffff && c != 0xfffe && c != 0xffff;
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
    if (!uploadKeymap(keysFor(QStringLiteral(" ")).keymap) || !flush()) {
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

VirtualKeyboard::Keys VirtualKeyboard::keysFor(const QString& text)
{
    Keys keys;
    QList<uint> characters;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar unit = text.at(i);
        if (unit.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            characters.append(QChar::surrogateToUcs4(unit, text.at(i + 1)));
            ++i;
        } else {
            characters.append(unit.unicode()); // a lone surrogate is refused below
        }
    }
    // The keymap goes to the program that receives the keys: in code point order it tells
    // which characters the text holds, but not in which order.
    QList<uint> distinct;
    for (const uint c : characters) {
        if (!isTypable(char32_t(c)))
            return Keys();
        if (!distinct.contains(c))
            distinct.append(c);
    }
    if (distinct.isEmpty() || distinct.size() > kMaxDistinctCharacters)
        return Keys();
    std::sort(distinct.begin(), distinct.end());
    for (const uint c : characters)
        keys.sequence.push_back(kFirstKey + uint32_t(distinct.indexOf(c)));

    QByteArray codes;
    QByteArray symbols;
    for (qsizetype i = 0; i < distinct.size(); ++i) {
        const QByteArray name = "<K" + QByteArray::number(i) + '>';
        codes += "    " + name + " = " +
                 QByteArray::number(uint32_t(i) + kFirstKey + kKeymapOffset) + ";\n";
        // Keysyms by code point: the format knows every Unicode character this way.
        symbols += "    key " + name + " { [ U" +
                   QByteArray::number(distinct[i], 16).toUpper().rightJustified(4, '0') + " ] };\n";
    }
    keys.keymap = "xkb_keymap {\n"
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
    return keys;
}

bool VirtualKeyboard::type(const QString& text)
{
    const Keys keys = keysFor(text);
    if (keys.sequence.empty() || !keyboard)
        return false;
    if (!uploadKeymap(keys.keymap))
        return false;
    zwp_virtual_keyboard_v1_modifiers(keyboard, 0, 0, 0, 0);
    if (!flush())
        return false;
    // One round trip per key event: the compositor hands each on before the next comes.
    for (const uint32_t key : keys.sequence) {
        zwp_virtual_keyboard_v1_key(keyboard, nowMs(), key, WL_KEYBOARD_KEY_STATE_PRESSED);
        if (!flush())
            return false;
        zwp_virtual_keyboard_v1_key(keyboard, nowMs(), key, WL_KEYBOARD_KEY_STATE_RELEASED);
        if (!flush())
            return false;
    }
    // The keymap names the password's characters: the next program to get keys from us gets
    // the one of a space alone.
    return uploadKeymap(keysFor(QStringLiteral(" ")).keymap) && flush();
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
