// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The tests' look at what typing leaves behind, from outside the program:
//   state            prints the keyboard's locked modifiers and locked group
//   lock-group N     locks group N (0 is the first layout)
//   ibeams WINDOW    moves the pointer down the window at 70 % of its width and prints
//                    "ibeam X Y" at the middle of every stretch that shows a text cursor
//   scan PID NAME    reads the memory of process PID (as root) and prints every place that
//                    still holds a piece of the password NAME or of the keys that type it;
//                    "clean" when there is none
#include "E2ePasswords.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <time.h>

namespace {

// A piece this long is a finding; shorter runs turn up by chance in a big process.
constexpr std::size_t kRun = 8;
// The shift keys, which typing presses between the keys of characters.
std::vector<unsigned char> shiftKeycodes;

struct Pattern
{
    std::string what;
    std::vector<std::uint64_t> values; // ~0 matches anything
    int width = 1;                     // bytes per value
};

std::uint64_t readValue(const unsigned char* at, int width)
{
    std::uint64_t value = 0;
    std::memcpy(&value, at, std::size_t(width)); // little-endian host
    return value;
}

// Reports the first run of kRun consecutive pattern values that lie a fixed stride apart,
// for any stride up to 32 bytes.
int scanRegion(const std::vector<unsigned char>& bytes, std::uint64_t base, const Pattern& pattern)
{
    const std::size_t n = pattern.values.size();
    if (n < kRun)
        return 0;
    const std::size_t width = std::size_t(pattern.width);
    for (std::size_t at = 0; at + width <= bytes.size(); at += width) {
        const std::uint64_t first = readValue(&bytes[at], pattern.width);
        for (std::size_t start = 0; start + kRun <= n; ++start) {
            if (pattern.values[start] != first)
                continue;
            for (std::size_t stride = width; stride <= 32; stride += width) {
                if (at + (kRun - 1) * stride + width > bytes.size())
                    break;
                std::size_t k = 1;
                for (; k < kRun; ++k) {
                    const std::uint64_t want = pattern.values[start + k];
                    if (want != ~std::uint64_t(0) &&
                        readValue(&bytes[at + k * stride], pattern.width) != want)
                        break;
                }
                if (k == kRun) {
                    std::printf("found %s (stride %zu) from character %zu at 0x%llx\n",
                                pattern.what.c_str(), stride, start,
                                static_cast<unsigned long long>(base + at));
                    return 1;
                }
            }
        }
    }
    return 0;
}

std::vector<Pattern> patternsFor(const QString& password)
{
    std::vector<Pattern> patterns;
    Pattern utf8{"UTF-8", {}, 1};
    for (const char byte : password.toUtf8())
        utf8.values.push_back(std::uint8_t(byte));
    Pattern utf16{"UTF-16", {}, 2};
    for (const QChar unit : password)
        utf16.values.push_back(unit.unicode());
    Pattern utf32{"UTF-32", {}, 4};
    Pattern latin1{"Latin-1", {}, 1};
    Pattern keysyms{"keysyms", {}, 8};
    for (const char32_t c : password.toStdU32String()) {
        utf32.values.push_back(c);
        latin1.values.push_back(c <= 0xff ? c : ~std::uint64_t(0));
        keysyms.values.push_back(c <= 0xff ? c : 0x01000000 | c);
    }
    patterns = {utf8, utf16, utf32, latin1, keysyms};

    // The keycodes that type it on the current keymap; characters it lacks match any code.
    if (Display* display = XOpenDisplay(nullptr)) {
        Pattern keycodes{"keycodes", {}, 1};
        for (const std::uint64_t keysym : keysyms.values) {
            const KeyCode code = XKeysymToKeycode(display, KeySym(keysym));
            keycodes.values.push_back(code ? code : ~std::uint64_t(0));
        }
        for (const KeySym shift : {XK_Shift_L, XK_Shift_R})
            shiftKeycodes.push_back(XKeysymToKeycode(display, shift));
        XCloseDisplay(display);
        patterns.push_back(keycodes);
    }
    return patterns;
}

// Key events as the X protocol sends them (XTest fake input, 36 bytes each): the keycodes of
// the presses in one stretch of requests, shift keys left out.
int scanKeyRequests(const std::vector<unsigned char>& bytes, std::uint64_t base,
                    const Pattern& keycodes)
{
    constexpr std::size_t kRequest = 36;
    std::vector<std::uint64_t> pressed;
    for (std::size_t at = 0; at + kRequest <= bytes.size(); ++at) {
        auto isKeyRequest = [&](std::size_t p) {
            return p + kRequest <= bytes.size() && bytes[p + 1] == 2 && bytes[p + 2] == 9 &&
                   bytes[p + 3] == 0 && (bytes[p + 4] == KeyPress || bytes[p + 4] == KeyRelease);
        };
        if (!isKeyRequest(at))
            continue;
        pressed.clear();
        std::size_t p = at;
        for (; isKeyRequest(p); p += kRequest) {
            if (bytes[p + 4] == KeyPress && std::find(shiftKeycodes.begin(), shiftKeycodes.end(),
                                                      bytes[p + 5]) == shiftKeycodes.end())
                pressed.push_back(bytes[p + 5]);
        }
        for (std::size_t start = 0; start + kRun <= keycodes.values.size(); ++start) {
            const auto first = keycodes.values.begin() + std::ptrdiff_t(start);
            auto equal = [](std::uint64_t got, std::uint64_t want) {
                return want == ~std::uint64_t(0) || want == got;
            };
            if (std::search(pressed.begin(), pressed.end(), first, first + kRun, equal) !=
                pressed.end()) {
                std::printf("found key requests from character %zu at 0x%llx\n", start,
                            static_cast<unsigned long long>(base + at));
                return 1;
            }
        }
        at = p - 1;
    }
    return 0;
}

int scan(int pid, const QString& password)
{
    const std::vector<Pattern> patterns = patternsFor(password);
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    std::ifstream memory("/proc/" + std::to_string(pid) + "/mem", std::ios::binary);
    if (!maps || !memory) {
        std::printf("cannot read process %d\n", pid);
        return 2;
    }
    int found = 0;
    std::string line;
    while (std::getline(maps, line)) {
        std::istringstream fields(line);
        std::string range, permissions, offset, device, inode, path;
        fields >> range >> permissions >> offset >> device >> inode;
        std::getline(fields, path);
        // Only writable memory can have received a copy; [vvar] and the like cannot be read.
        if (permissions.size() < 2 || permissions[0] != 'r' || permissions[1] != 'w' ||
            path.find("[v") != std::string::npos)
            continue;
        const std::uint64_t from = std::stoull(range.substr(0, range.find('-')), nullptr, 16);
        const std::uint64_t to = std::stoull(range.substr(range.find('-') + 1), nullptr, 16);
        // The shadow memory of a build with AddressSanitizer (x86-64: 256 MiB from about
        // 0x7fff8000, mapped from the page before, then terabytes up to 0x10007fff8000) only
        // records which bytes may be touched; it holds no data of the program, and reading it
        // would take minutes.
        if (from >= 0x7fff0000 && to <= 0x10007fff8000)
            continue;
        std::vector<unsigned char> bytes(to - from);
        memory.clear();
        memory.seekg(std::streamoff(from));
        memory.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
        if (memory.gcount() <= 0)
            continue;
        bytes.resize(std::size_t(memory.gcount()));
        for (const Pattern& pattern : patterns) {
            found += scanRegion(bytes, from, pattern);
            if (pattern.what == "keycodes")
                found += scanKeyRequests(bytes, from, pattern);
        }
    }
    if (found == 0)
        std::printf("clean\n");
    return 0;
}

bool showsTextCursor(Display* display)
{
    XFixesCursorImage* image = XFixesGetCursorImage(display);
    if (!image)
        return false;
    const std::string name = image->name ? image->name : "";
    XFree(image);
    return name == "xterm" || name == "text" || name == "ibeam";
}

void printTextSpots(Display* display, Window window)
{
    XWindowAttributes attributes;
    Window child = None;
    int x = 0, y = 0;
    if (!XGetWindowAttributes(display, window, &attributes) ||
        !XTranslateCoordinates(display, window, attributes.root, 0, 0, &x, &y, &child))
        return;
    const int column = x + attributes.width * 7 / 10;
    int runStart = -1;
    for (int row = y + 2; row < y + attributes.height; row += 3) {
        XTestFakeMotionEvent(display, -1, column, row, CurrentTime);
        XSync(display, False);
        timespec pause{0, 15'000'000};
        nanosleep(&pause, nullptr);
        const bool text = showsTextCursor(display);
        if (text && runStart < 0)
            runStart = row;
        if (!text && runStart >= 0) {
            std::printf("ibeam %d %d\n", column, (runStart + row) / 2);
            runStart = -1;
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "scan" && argc > 3)
        return scan(std::atoi(argv[2]), e2ePassword(QString::fromLocal8Bit(argv[3])));

    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 2;
    int result = 0;
    if (command == "state") {
        XkbStateRec state;
        XkbGetState(display, XkbUseCoreKbd, &state);
        std::printf("locked 0x%x group %d\n", state.locked_mods, state.locked_group);
    } else if (command == "ibeams" && argc > 2) {
        printTextSpots(display, Window(std::stoul(argv[2], nullptr, 0)));
    } else if (command == "lock-group" && argc > 2) {
        XkbLockGroup(display, XkbUseCoreKbd, unsigned(std::atoi(argv[2])));
        XSync(display, False);
    } else {
        result = 1;
    }
    XCloseDisplay(display);
    return result;
}
