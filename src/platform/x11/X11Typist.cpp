// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Qt before Xlib: Xlib's macros (Bool, Status, None) break Qt's headers.
#include "platform/x11/X11Typist.h"

#include "platform/CodePoints.h"

#include "platform/x11/XErrorTrap.h"
#include "platform/x11/XRequestBuffer.h"

#include <QPointer>

#include <X11/extensions/XTest.h>

#include <algorithm>
#include <string.h>

namespace {

using std::chrono::milliseconds;

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
// How long a window manager may hold the focusing click before it reaches the target. Nothing
// tells another client when a manager lets a held click go, so the button is looked at again
// after 1, 2, 4 ... up to 16 ms.
constexpr milliseconds kClickTimeout(1000);
constexpr milliseconds kLongestClickRecheck(16);
// Requests made elsewhere on this connection may read our events into Xlib's queue, where the
// socket no longer shows them: at the latest this long after the last look, we look again.
constexpr milliseconds kLongestSleep(50);

} // namespace

X11Typist::X11Typist(Display* display, FocusTest hasFocus)
    : display(display), root(DefaultRootWindow(display)), hasFocus(std::move(hasFocus)),
      wmProtocolsAtom(XInternAtom(display, "WM_PROTOCOLS", False)),
      netWmPingAtom(XInternAtom(display, "_NET_WM_PING", False)),
      netActiveWindowAtom(XInternAtom(display, "_NET_ACTIVE_WINDOW", False)),
      connectionReadable(ConnectionNumber(display), QSocketNotifier::Read), keyboardState(display),
      pointerShape(display)
{
    connectionReadable.setEnabled(false);
    connect(&connectionReadable, &QSocketNotifier::activated, this, &X11Typist::wake);
    wakeTimer.setSingleShot(true);
    wakeTimer.setTimerType(Qt::PreciseTimer);
    connect(&wakeTimer, &QTimer::timeout, this, &X11Typist::wake);
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
        XErrorTrap trap(display);
        watchTarget(false);
        stage = Stage::Idle;
    }
    cancel();
    const unsigned delivery = ++generation;
    done = std::move(whenDone);
    target = window;
    point = devicePos;

    // One allocation, so that no copy of the text is left behind by a growing vector.
    characters.reserve(std::size_t(text.size()));
    for (qsizetype i = 0; i < text.size();)
        characters.push_back(nextCodePoint(text, i));
    for (const char32_t character : characters) {
        if (keysymForCharacter(character) == kNoSymbol) {
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
    watchTarget(true);
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
    pointerShape.readTheme();
    deadline = Clock::now() + kFocusTimeout;
    connectionReadable.setEnabled(true);
    wakeTimer.start(0);
}

void X11Typist::cancel()
{
    ++generation;
    wakeTimer.stop();
    connectionReadable.setEnabled(false);
    done = nullptr;
    if (stage == Stage::Idle)
        return;
    letTargetGo();
    wipe();
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

// The connection has something to read or a step's time is up: every step that can go on
// does, then the typist sleeps again.
void X11Typist::wake()
{
    const QPointer<X11Typist> alive(this);
    for (;;) {
        readEvents();
        const unsigned delivery = generation;
        const Stage before = stage;
        if (stage == Stage::Idle)
            break;
        try {
            advance();
        } catch (...) {
            // Whatever went wrong, the keyboard is the user's again (finish restores it).
            finish(TypeResult::Failed);
            return;
        }
        // A report may have ended this delivery, started another or deleted us.
        if (!alive || delivery != generation)
            return;
        if (stage == before && XEventsQueued(display, QueuedAlready) == 0)
            break;
    }
    scheduleWake();
}

void X11Typist::advance()
{
    XErrorTrap trap(display);
    switch (stage) {
    case Stage::Idle:
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
    case Stage::Click:
        checkClick();
        return;
    case Stage::Batch:
        if (pingAnswered() || pastDeadline())
            typeNextBatch();
        return;
    case Stage::Settle:
        if (pingAnswered() || pastDeadline()) {
            letTargetGo();
            stage = Stage::Idle;
        }
        return;
    }
}

// Until the next step is due: the connection wakes the typist for events, the timer for the
// step's time.
void X11Typist::scheduleWake()
{
    if (stage == Stage::Idle) {
        wakeTimer.stop();
        connectionReadable.setEnabled(false);
        return;
    }
    const auto now = Clock::now();
    auto next = std::min(deadline, now + kLongestSleep);
    if (stage == Stage::Pointer && textCursorSeen && !pingable)
        next = std::min(next, textCursorSince + kSteadyTextCursor);
    if (stage == Stage::Click)
        next = std::min(next, now + clickRecheck);
    // Rounded up: woken before the time, the step would only go to sleep again.
    const auto wait = std::chrono::ceil<milliseconds>(std::max(next - now, Clock::duration(0)));
    connectionReadable.setEnabled(true);
    wakeTimer.start(wait);
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

// The keyboard is the user's again and nothing of the target wakes the typist any more.
void X11Typist::letTargetGo()
{
    XErrorTrap trap(display);
    keyboardGuard.reset();
    watchTarget(false);
    XFlush(display);
}

// What wakes the typist for this target: its focus, its end, the answers to pings (which come
// to the root window; toolkits send them with either of these masks) and the pointer shape.
void X11Typist::watchTarget(bool watch)
{
    if (target != None)
        XSelectInput(display, target, watch ? FocusChangeMask | StructureNotifyMask : NoEventMask);
    XSelectInput(display, root, watch ? StructureNotifyMask | SubstructureNotifyMask : NoEventMask);
    pointerShape.watchChanges(watch);
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
    const bool text = pointerShape.showsTextCursor();
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

// One click where the user let go focuses the input box there, with the caret at the point.
void X11Typist::beginClick()
{
    if (!keyboardGuard)
        keyboardGuard = std::make_unique<KeyboardGuard>(keyboardState);
    keyboardGuard->setAside();
    XTestFakeButtonEvent(display, Button1, True, CurrentTime);
    XTestFakeButtonEvent(display, Button1, False, CurrentTime);
    XFlush(display);
    stage = Stage::Click;
    deadline = Clock::now() + kClickTimeout;
    clickRecheck = milliseconds(1);
}

void X11Typist::checkClick()
{
    Window rootReturn = None, child = None;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned mask = 0;
    XQueryPointer(display, root, &rootReturn, &child, &rootX, &rootY, &x, &y, &mask);
    // The release has been handled once the button is up again: a window manager that holds
    // clicks (to focus and raise) has let this one through to the target by then. Keys go
    // out only while the target still holds the focus: a window that took it meanwhile would
    // get them, and the user would be told the password went in.
    if (!(mask & Button1Mask) && hasFocus(target, point)) {
        nextBatch = 0;
        typeNextBatch();
    } else if (!(mask & Button1Mask)) {
        finish(TypeResult::WindowGone);
    } else if (pastDeadline()) {
        finish(TypeResult::Failed);
    } else {
        clickRecheck = std::min(clickRecheck * 2, kLongestClickRecheck);
    }
}

// Sends the next batch of keys: the spare keys get this batch's keysyms, then the keys go
// out. Between batches the target must first read what it has, as the spares change.
void X11Typist::typeNextBatch()
{
    if (nextBatch == 0) {
        plan = planKeys(keyboardState.keymap(), {characters.data(), characters.size()});
        if (!plan.typeable) {
            finish(TypeResult::Failed);
            return;
        }
    }
    if (nextBatch < plan.batches.size()) {
        const KeyBatch& batch = plan.batches[nextBatch++];
        for (const auto& [keycode, keysym] : batch.remaps)
            keyboardGuard->remap(keycode, keysym);
        for (const PlannedKey& key : batch.keys) {
            if (key.shift)
                XTestFakeKeyEvent(display, plan.shiftKeycode, True, CurrentTime);
            XTestFakeKeyEvent(display, key.keycode, True, CurrentTime);
            XTestFakeKeyEvent(display, key.keycode, False, CurrentTime);
            if (key.shift)
                XTestFakeKeyEvent(display, plan.shiftKeycode, False, CurrentTime);
        }
    }
    if (nextBatch < plan.batches.size()) {
        sendPing();
        XFlush(display);
        stage = Stage::Batch;
        deadline = Clock::now() + (pingable ? kAnswerTimeout : kUnansweredSettle);
        return;
    }
    keyboardGuard->restoreLocks();
    wipe();
    if (!keyboardGuard->holdsSpareKeys()) {
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

void X11Typist::wipe()
{
    if (!characters.empty())
        explicit_bzero(characters.data(), characters.size() * sizeof(char32_t));
    characters.clear();
    characters.shrink_to_fit();
    wipePlan(plan);
    nextBatch = 0;
}

void X11Typist::finish(TypeResult result)
{
    wakeTimer.stop();
    connectionReadable.setEnabled(false);
    letTargetGo();
    wipe();
    wipeRequestBuffer(display);
    stage = Stage::Idle;
    Done whenDone = std::move(done);
    done = nullptr;
    // Last: the caller may end us from here.
    if (whenDone)
        whenDone(result);
}
