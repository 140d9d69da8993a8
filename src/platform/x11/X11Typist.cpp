// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Qt before Xlib: Xlib's macros (Bool, Status, None) break Qt's headers.
#include "platform/x11/X11Typist.h"

#include "platform/x11/XErrorTrap.h"
#include "platform/x11/XRequestBuffer.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xresource.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>
#include <X11/keysym.h>
#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <cstdlib>
#include <string.h>
#include <string_view>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr milliseconds kPollInterval(2);
// How long a window may take to get the focus after we asked for it.
constexpr milliseconds kFocusTimeout(2000);
// How long the target may take to show its pointer shape at the release point, once it has
// caught up with the moves (or, when it cannot be asked, at all).
constexpr milliseconds kPointerTimeout(300);
// A target that answers pings is waited for while it answers: its answer is the one sure sign
// that it has read what came before, and on a busy machine that takes longer than any guess.
// One silent for this long is taken as hung, as window managers do before offering to end it.
constexpr milliseconds kAnswerTimeout(5000);
// Without a way to ask the target whether it has caught up: how long an I-beam must stay
// before it counts, and how long the target gets to read its keys. Xlib programs look a key
// up only when they handle it, which on a busy machine can be long after it was sent, and a
// spare key taken off before then would arrive as nothing.
constexpr milliseconds kSteadyTextCursor(40);
constexpr milliseconds kUnansweredSettle(2000);
// How long a window manager may hold the focusing click before it reaches the target.
constexpr milliseconds kClickTimeout(1000);

// The I-beam of the core cursor font, which programs without a cursor theme show.
constexpr unsigned kCoreTextGlyph = XC_xterm;

// The keysym that stands for a character when the keymap lacks it: Latin-1 is its own
// keysym, the rest of Unicode has keysyms of its own. Control characters have none we would
// send (never Return).
KeySym keysymFor(char32_t character)
{
    if (character < 0x20 || (character >= 0x7f && character < 0xa0) || character > 0x10ffff)
        return NoSymbol;
    if (character <= 0xff)
        return KeySym(character);
    return KeySym(0x01000000 | character);
}

// The shift level a key type gives with these modifiers down.
unsigned levelFor(const XkbKeyTypeRec* type, unsigned mods)
{
    mods &= type->mods.mask;
    for (int i = 0; i < type->map_count; ++i) {
        if (type->map[i].active && type->map[i].mods.mask == mods)
            return type->map[i].level;
    }
    return 0;
}

template <typename T> void wipeVector(std::vector<T>& values)
{
    if (!values.empty())
        explicit_bzero(values.data(), values.size() * sizeof(T));
    values.clear();
}

} // namespace

X11Typist::X11Typist(Display* display, FocusTest hasFocus)
    : display(display), root(DefaultRootWindow(display)), hasFocus(std::move(hasFocus)),
      wmProtocolsAtom(XInternAtom(display, "WM_PROTOCOLS", False)),
      netWmPingAtom(XInternAtom(display, "_NET_WM_PING", False)),
      netActiveWindowAtom(XInternAtom(display, "_NET_ACTIVE_WINDOW", False))
{
    int eventBase = 0, errorBase = 0;
    hasXFixes = XFixesQueryExtension(display, &eventBase, &errorBase);
    timer.setInterval(kPollInterval);
    connect(&timer, &QTimer::timeout, this, &X11Typist::poll);
}

X11Typist::~X11Typist()
{
    cancel();
}

void X11Typist::start(Window window, const QPoint& devicePos, bool viaWindowManager,
                      const QString& text, Done whenDone)
{
    if (stage == Stage::Settle) {
        // The last target may still be reading its keys: its spare keys stay on the keymap
        // (so this delivery picks other spares) and come off after this one.
        timer.stop();
        stage = Stage::Idle;
    }
    cancel();
    const unsigned delivery = ++generation;
    done = std::move(whenDone);
    target = window;
    point = devicePos;

    // One allocation, so that no copy of the text is left behind by a growing vector.
    characters.reserve(std::size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t character = text.at(i).unicode();
        if (QChar::isHighSurrogate(character) && i + 1 < text.size() &&
            text.at(i + 1).isLowSurrogate()) {
            character = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            ++i;
        }
        characters.push_back(character);
    }
    for (const char32_t character : characters) {
        if (keysymFor(character) == NoSymbol) {
            // Reported from the event loop, like every other ending.
            stage = Stage::Focus;
            QTimer::singleShot(0, this, [this, delivery] {
                if (delivery == generation)
                    finish(TypeResult::Failed);
            });
            return;
        }
    }

    XErrorTrap trap(display);
    Atom* protocols = nullptr;
    int count = 0;
    pingable = false;
    if (XGetWMProtocols(display, target, &protocols, &count)) {
        pingable = std::find(protocols, protocols + count, netWmPingAtom) != protocols + count;
        XFree(protocols);
    }
    // The target's answers to our pings come to the root window (toolkits send them with
    // either of these masks).
    XSelectInput(display, root, StructureNotifyMask | SubstructureNotifyMask);
    if (viaWindowManager) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = target;
        event.xclient.message_type = netActiveWindowAtom;
        event.xclient.format = 32;
        event.xclient.data.l[0] = 2; // a request on the user's behalf, as a pager makes it
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    } else {
        XRaiseWindow(display, target);
        XSetInputFocus(display, target, RevertToParent, CurrentTime);
    }
    stage = Stage::Focus;
    if (trap.failed()) {
        QTimer::singleShot(0, this, [this, delivery] {
            if (delivery == generation)
                finish(TypeResult::WindowGone);
        });
        return;
    }
    // The theme's text cursor is read while the target takes the focus (from its files once
    // per theme), so that none of the time the target has to show its pointer shape goes to it.
    XFlush(display);
    readCursorTheme();
    themeTextCursorPictures();
    deadline = Clock::now() + kFocusTimeout;
    timer.start();
}

void X11Typist::cancel()
{
    ++generation;
    timer.stop();
    done = nullptr;
    if (stage == Stage::Idle)
        return;
    XErrorTrap trap(display);
    restoreKeyboard();
    restoreSpareKeys();
    wipe();
    XSelectInput(display, root, NoEventMask);
    XFlush(display);
    stage = Stage::Idle;
}

void X11Typist::refuse(TypeResult result, Done whenDone)
{
    cancel();
    const unsigned delivery = generation;
    QTimer::singleShot(0, this, [this, delivery, result, whenDone = std::move(whenDone)] {
        if (delivery == generation && whenDone)
            whenDone(result);
    });
}

void X11Typist::poll()
{
    XErrorTrap trap(display);
    readEvents();
    switch (stage) {
    case Stage::Idle:
        timer.stop();
        return;
    case Stage::Focus:
        if (hasFocus(target, point) && !trap.failed())
            beginPointerCheck();
        else if (trap.failed() || pastDeadline())
            finish(TypeResult::WindowGone);
        return;
    case Stage::Pointer:
        judgePointer();
        return;
    case Stage::Click: {
        Window rootReturn = None, child = None;
        int rootX = 0, rootY = 0, x = 0, y = 0;
        unsigned mask = 0;
        XQueryPointer(display, root, &rootReturn, &child, &rootX, &rootY, &x, &y, &mask);
        // The release has been handled once the button is up again: a window manager that
        // holds clicks (to focus and raise) has let this one through to the target by then.
        // Keys go out only while the target still holds the focus: a window that took it
        // meanwhile would get them, and the user would be told the password went in.
        if (!(mask & Button1Mask) && hasFocus(target, point))
            typeFrom(0);
        else if (!(mask & Button1Mask))
            finish(TypeResult::WindowGone);
        else if (pastDeadline())
            finish(TypeResult::Failed);
        return;
    }
    case Stage::Batch:
        if (pingAnswered() || pastDeadline())
            typeFrom(typed);
        return;
    case Stage::Settle:
        if (pingAnswered() || pastDeadline()) {
            restoreSpareKeys();
            XSelectInput(display, root, NoEventMask);
            XFlush(display);
            stage = Stage::Idle;
            timer.stop();
        }
        return;
    }
}

void X11Typist::readEvents()
{
    while (XPending(display)) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == ClientMessage && event.xclient.message_type == wmProtocolsAtom &&
            Atom(event.xclient.data.l[0]) == netWmPingAtom &&
            event.xclient.data.l[1] == pingStamp && Window(event.xclient.data.l[2]) == target)
            pingPending = false;
    }
}

// The target changes its pointer shape as the pointer moves over it; a move there and back
// makes it show the shape for the release point, after our grab kept the moves from it.
void X11Typist::beginPointerCheck()
{
    XTestFakeMotionEvent(display, -1, point.x() + 1, point.y(), CurrentTime);
    XTestFakeMotionEvent(display, -1, point.x(), point.y(), CurrentTime);
    pongs = 0;
    textCursorSeen = false;
    if (pingable)
        sendPing();
    XFlush(display);
    stage = Stage::Pointer;
    deadline = Clock::now() + (pingable ? kAnswerTimeout : kPointerTimeout);
}

void X11Typist::judgePointer()
{
    // Two rounds of ping: the first answer says the target has read the moves, the second
    // that it has also acted on them (toolkits set the shape a turn later).
    if (pingable && pongs < 2) {
        if (pingAnswered()) {
            // Each answer gives the next question its own time; after the second the shape
            // counts as soon as it shows.
            if (++pongs < 2)
                sendPing();
            deadline = Clock::now() + (pongs < 2 ? kAnswerTimeout : kPointerTimeout);
        } else if (pastDeadline()) {
            // A target that stopped answering: judge by a steady shape instead.
            pingable = false;
            deadline = Clock::now() + kPointerTimeout;
        }
        if (pingable && pongs < 2)
            return;
    }
    const bool text = showsTextCursor();
    const auto now = Clock::now();
    if (text && !textCursorSeen) {
        textCursorSeen = true;
        textCursorSince = now;
    } else if (!text) {
        textCursorSeen = false;
    }
    if (text && (pingable || now - textCursorSince >= kSteadyTextCursor)) {
        beginClick();
        return;
    }
    if (pastDeadline())
        finish(TypeResult::NoInputBox);
}

// The cursor theme programs load their cursors from, as libXcursor chooses it: the environment
// first, then the Xcursor.theme resource, read anew for each delivery, as desktops change it
// while programs run (and Chromium follows); empty for the theme called "default".
void X11Typist::readCursorTheme()
{
    std::string theme;
    if (const char* fromEnvironment = getenv("XCURSOR_THEME"))
        theme = fromEnvironment;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    if (theme.empty() &&
        XGetWindowProperty(display, root, XA_RESOURCE_MANAGER, 0, 1 << 20, False, XA_STRING, &type,
                           &format, &count, &remaining, &data) == Success &&
        data && format == 8) {
        XrmInitialize();
        if (XrmDatabase resources = XrmGetStringDatabase(reinterpret_cast<const char*>(data))) {
            char* valueType = nullptr;
            XrmValue value{};
            if (XrmGetResource(resources, "Xcursor.theme", "Xcursor.Theme", &valueType, &value) &&
                value.addr)
                theme.assign(value.addr, strnlen(value.addr, value.size));
            XrmDestroyDatabase(resources);
        }
    }
    if (data)
        XFree(data);
    if (!themePicturesLoaded || theme != cursorTheme) {
        cursorTheme = theme;
        themePicturesLoaded = false;
        judgedCursorSerial = 0;
    }
}

const std::vector<TextCursorPicture>& X11Typist::themeTextCursorPictures()
{
    if (!themePicturesLoaded) {
        themePictures = themeTextCursors(cursorTheme.empty() ? nullptr : cursorTheme.c_str());
        themePicturesLoaded = true;
    }
    return themePictures;
}

// The outline of the core font's I-beam, drawn with the size and hot spot of the shape shown.
TextCursorPicture X11Typist::coreTextCursorPicture(const CursorImage& shown)
{
    TextCursorPicture picture;
    picture.outlineOnly = true;
    picture.image.width = shown.width;
    picture.image.height = shown.height;
    picture.image.xhot = shown.xhot;
    picture.image.yhot = shown.yhot;
    const Font font = XLoadFont(display, "cursor");
    const Pixmap bitmap = XCreatePixmap(display, root, shown.width, shown.height, 1);
    const GC gc = XCreateGC(display, bitmap, 0, nullptr);
    XSetForeground(display, gc, 0);
    XFillRectangle(display, bitmap, gc, 0, 0, shown.width, shown.height);
    XSetForeground(display, gc, 1);
    XSetFont(display, gc, font);
    const char glyph = char(kCoreTextGlyph + 1); // the mask follows its glyph
    XDrawString(display, bitmap, gc, shown.xhot, shown.yhot, &glyph, 1);
    if (XImage* mask = XGetImage(display, bitmap, 0, 0, shown.width, shown.height, 1, XYPixmap)) {
        picture.image.pixels.reserve(std::size_t(shown.width) * std::size_t(shown.height));
        for (int y = 0; y < shown.height; ++y) {
            for (int x = 0; x < shown.width; ++x)
                picture.image.pixels.push_back(XGetPixel(mask, x, y) ? 0xff000000u : 0u);
        }
        XDestroyImage(mask);
    }
    XFreeGC(display, gc);
    XFreePixmap(display, bitmap);
    XUnloadFont(display, font);
    return picture;
}

bool X11Typist::showsTextCursor()
{
    if (!hasXFixes)
        return false;
    XFixesCursorImage* image = XFixesGetCursorImage(display);
    if (!image)
        return false;
    if (image->cursor_serial == judgedCursorSerial && judgedCursorSerial != 0) {
        XFree(image);
        return judgedCursorIsText;
    }
    CursorImage shown;
    shown.name = image->name ? image->name : "";
    shown.width = image->width;
    shown.height = image->height;
    shown.xhot = image->xhot;
    shown.yhot = image->yhot;
    // XFixes hands each 32-bit pixel over in an unsigned long.
    shown.pixels.assign(image->pixels, image->pixels + std::size_t(image->width) * image->height);
    bool text = isTextCursor(shown, themeTextCursorPictures());
    // Programs without a cursor theme show the core font's I-beam, which has no name either.
    if (!text && shown.name.empty() && shown.width > 0 && shown.height > 0 && shown.width <= 64 &&
        shown.height <= 64)
        text = isTextCursor(shown, {coreTextCursorPicture(shown)});
    judgedCursorSerial = image->cursor_serial;
    judgedCursorIsText = text;
    XFree(image);
    return text;
}

// One click where the user let go focuses the input box there, with the caret at the point.
void X11Typist::beginClick()
{
    setKeyboardAside();
    XTestFakeButtonEvent(display, Button1, True, CurrentTime);
    XTestFakeButtonEvent(display, Button1, False, CurrentTime);
    XFlush(display);
    stage = Stage::Click;
    deadline = Clock::now() + kClickTimeout;
}

void X11Typist::setKeyboardAside()
{
    XkbStateRec state{};
    XkbGetState(display, XkbUseCoreKbd, &state);
    lockedMods = state.locked_mods;
    latchedMods = state.latched_mods;
    lockedGroup = state.locked_group;
    latchedGroup = state.latched_group;
    keyboardAside = true;
    // Keys the user still holds would change or repeat ours.
    char keys[32] = {};
    XQueryKeymap(display, keys);
    for (int keycode = 8; keycode < 256; ++keycode) {
        if (keys[keycode / 8] & (1 << (keycode % 8)))
            XTestFakeKeyEvent(display, unsigned(keycode), False, CurrentTime);
    }
    if (lockedMods)
        XkbLockModifiers(display, XkbUseCoreKbd, lockedMods, 0);
    if (latchedMods)
        XkbLatchModifiers(display, XkbUseCoreKbd, latchedMods, 0);
    if (lockedGroup)
        XkbLockGroup(display, XkbUseCoreKbd, 0);
    if (latchedGroup)
        XkbLatchGroup(display, XkbUseCoreKbd, 0);
}

void X11Typist::restoreKeyboard()
{
    if (!keyboardAside)
        return;
    keyboardAside = false;
    if (lockedMods)
        XkbLockModifiers(display, XkbUseCoreKbd, lockedMods, lockedMods);
    if (latchedMods)
        XkbLatchModifiers(display, XkbUseCoreKbd, latchedMods, latchedMods);
    if (lockedGroup)
        XkbLockGroup(display, XkbUseCoreKbd, unsigned(lockedGroup));
    if (latchedGroup)
        XkbLatchGroup(display, XkbUseCoreKbd, unsigned(latchedGroup));
}

// Finds a key for every character in the first layout, plain or with Shift; characters the
// keymap lacks keep their keysym for a spare keycode.
bool X11Typist::plan()
{
    XkbDescPtr keymap = XkbGetMap(display, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
    if (!keymap)
        return false;
    shiftKeycode = XKeysymToKeycode(display, XK_Shift_L);
    spareKeycodes.clear();
    for (int keycode = keymap->max_key_code; keycode >= keymap->min_key_code; --keycode) {
        bool empty = true;
        for (int group = 0; group < XkbKeyNumGroups(keymap, keycode); ++group) {
            for (int level = 0; level < XkbKeyGroupWidth(keymap, keycode, group); ++level)
                empty = empty && XkbKeySymEntry(keymap, keycode, level, group) == NoSymbol;
        }
        if (empty && keycode > 8)
            spareKeycodes.push_back(KeyCode(keycode));
    }

    strokes.reserve(characters.size());
    for (const char32_t character : characters) {
        Keystroke stroke;
        for (const bool shift : {false, true}) {
            if (shift && !shiftKeycode)
                break;
            for (int keycode = keymap->min_key_code;
                 keycode <= keymap->max_key_code && !stroke.keycode; ++keycode) {
                if (XkbKeyNumGroups(keymap, keycode) == 0)
                    continue;
                const XkbKeyTypeRec* type = XkbKeyKeyType(keymap, keycode, 0);
                const unsigned level = levelFor(type, shift ? ShiftMask : 0);
                if (int(level) >= XkbKeyGroupWidth(keymap, keycode, 0))
                    continue;
                const KeySym keysym = XkbKeySymEntry(keymap, keycode, level, 0);
                if (keysym != NoSymbol && xkb_keysym_to_utf32(xkb_keysym_t(keysym)) == character) {
                    stroke.keycode = KeyCode(keycode);
                    stroke.shift = shift;
                }
            }
            if (stroke.keycode)
                break;
        }
        if (!stroke.keycode)
            stroke.keysym = keysymFor(character);
        strokes.push_back(stroke);
    }
    XkbFreeKeyboard(keymap, 0, True);
    const bool needSpare = std::any_of(strokes.begin(), strokes.end(),
                                       [](const Keystroke& stroke) { return !stroke.keycode; });
    return !needSpare || !spareKeycodes.empty();
}

// Types the keys from `index` on. Characters the keymap lacks go on spare keycodes, as many
// at once as there are spares; when they run out, the target first reads what it has.
void X11Typist::typeFrom(std::size_t index)
{
    if (index == 0 && !plan()) {
        finish(TypeResult::Failed);
        return;
    }
    // This batch: the spare keycodes for the characters up to where they run out.
    std::vector<std::pair<unsigned long, KeyCode>> assigned;
    std::size_t end = index;
    for (; end < strokes.size(); ++end) {
        if (strokes[end].keycode)
            continue;
        const unsigned long keysym = strokes[end].keysym;
        const auto found =
            std::find_if(assigned.begin(), assigned.end(),
                         [keysym](const auto& pair) { return pair.first == keysym; });
        if (found != assigned.end())
            continue;
        if (assigned.size() == spareKeycodes.size())
            break;
        assigned.emplace_back(keysym, spareKeycodes[assigned.size()]);
    }
    for (const auto& [keysym, keycode] : assigned) {
        KeySym pair[2] = {KeySym(keysym), KeySym(keysym)};
        XChangeKeyboardMapping(display, keycode, 2, pair, 1);
        explicit_bzero(pair, sizeof pair);
        if (std::find(remappedKeycodes.begin(), remappedKeycodes.end(), keycode) ==
            remappedKeycodes.end())
            remappedKeycodes.push_back(keycode);
    }
    for (std::size_t i = index; i < end; ++i) {
        KeyCode keycode = strokes[i].keycode;
        bool shift = strokes[i].shift;
        if (!keycode) {
            for (const auto& [keysym, spare] : assigned) {
                if (keysym == strokes[i].keysym)
                    keycode = spare;
            }
        }
        if (shift)
            XTestFakeKeyEvent(display, shiftKeycode, True, CurrentTime);
        XTestFakeKeyEvent(display, keycode, True, CurrentTime);
        XTestFakeKeyEvent(display, keycode, False, CurrentTime);
        if (shift)
            XTestFakeKeyEvent(display, shiftKeycode, False, CurrentTime);
    }
    wipeVector(assigned);
    typed = end;
    if (end < strokes.size()) {
        // The spare keys get other characters next: the target must have read these first.
        sendPing();
        XFlush(display);
        stage = Stage::Batch;
        deadline = Clock::now() + (pingable ? kAnswerTimeout : kUnansweredSettle);
        return;
    }
    restoreKeyboard();
    wipe();
    if (remappedKeycodes.empty()) {
        finish(TypeResult::Typed);
        return;
    }
    // The keys are out; the spare keys stay until the target has looked them up.
    if (pingable)
        sendPing();
    XFlush(display);
    wipeRequestBuffer(display);
    stage = Stage::Settle;
    deadline = Clock::now() + (pingable ? kAnswerTimeout : kUnansweredSettle);
    Done whenDone = std::move(done);
    done = nullptr;
    if (whenDone)
        whenDone(TypeResult::Typed);
}

void X11Typist::sendPing()
{
    if (!pingable)
        return;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = target;
    event.xclient.message_type = wmProtocolsAtom;
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(netWmPingAtom);
    event.xclient.data.l[1] = ++pingStamp;
    event.xclient.data.l[2] = long(target);
    XSendEvent(display, target, False, NoEventMask, &event);
    XFlush(display);
    pingPending = true;
}

bool X11Typist::pingAnswered()
{
    return pingable && !pingPending;
}

void X11Typist::restoreSpareKeys()
{
    for (const KeyCode keycode : remappedKeycodes) {
        KeySym none[2] = {NoSymbol, NoSymbol};
        XChangeKeyboardMapping(display, keycode, 2, none, 1);
    }
    remappedKeycodes.clear();
}

void X11Typist::wipe()
{
    wipeVector(characters);
    wipeVector(strokes);
    characters.shrink_to_fit();
    strokes.shrink_to_fit();
    typed = 0;
}

void X11Typist::finish(TypeResult result)
{
    timer.stop();
    {
        XErrorTrap trap(display);
        restoreKeyboard();
        restoreSpareKeys();
        XSelectInput(display, root, NoEventMask);
        XFlush(display);
    }
    wipe();
    wipeRequestBuffer(display);
    stage = Stage::Idle;
    Done whenDone = std::move(done);
    done = nullptr;
    // Last: the caller may end us from here.
    if (whenDone)
        whenDone(result);
}
