// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/PickerPlatform.h"
#include "platform/x11/KeyPlan.h"

#include <QObject>
#include <QPoint>
#include <QSocketNotifier>
#include <QString>
#include <QTimer>

// Xlib after Qt: its macros (Bool, Status, None) break Qt's headers.
#include "platform/x11/KeyboardGuard.h"
#include "platform/x11/X11PointerShape.h"

#include <X11/Xlib.h>

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

// Types text into the input box of another program's window with XTest, one delivery at a
// time, without holding up the event loop while the target takes the focus.
//
// A delivery activates the target, looks at the pointer shape the target shows at the
// release point (X11PointerShape), and goes on only over a text input (an I-beam): then one
// click there focuses that input box, and the keys follow. The keys come from planKeys
// (KeyPlan), for the first layout with no locked modifiers; a KeyboardGuard sets the user's
// locks, latches and layout group aside for them and puts them back, and takes the spare keys
// that typed characters the keymap lacks off again once the target has read its keys. Every
// buffer that held the text or its keys is overwritten when typing ends.
//
// Between steps it sleeps until the X connection has something to read (the target's answer
// to a ping, a change of focus or pointer shape, the target going away) or the step's time
// is up.
class X11Typist : public QObject
{
    Q_OBJECT

public:
    using TypeResult = PickerPlatform::TypeResult;
    using Done = std::function<void(TypeResult)>;
    // Whether the keyboard goes to the window now; the point is where the pointer should be.
    using FocusTest = std::function<bool(Window, const QPoint&)>;

    X11Typist(Display* display, FocusTest hasFocus);
    ~X11Typist() override;

    // Starts a delivery to the client window at the point (device pixels). `done` runs once,
    // from the event loop, unless the delivery is cancelled first.
    void start(Window target, const QPoint& devicePos, bool viaWindowManager, const QString& text,
               Done done);
    // Ends a delivery that has not finished; nothing more is typed, the keyboard is put back.
    void cancel();
    // Answers a delivery that cannot start, from the event loop like every other answer.
    void refuse(TypeResult result, Done done);

private:
    enum class Stage
    {
        Idle,
        Focus,   // waiting for the target to take the keyboard
        Pointer, // waiting for the target to show its pointer shape at the point
        Click,   // waiting for the focusing click to reach the target
        Batch,   // waiting for the target to read its keys before spare keys are reused
        Settle   // the keys went out; waiting to take the spare keys off the keymap again
    };
    using Clock = std::chrono::steady_clock;

    void wake();
    void advance();
    void scheduleWake();
    void readEvents();
    void beginPointerCheck();
    void judgePointer();
    void beginClick();
    void checkClick();
    void typeNextBatch();
    void sendPing();
    bool pingAnswered() const { return pingable && !pingPending; }
    void watchTarget(bool watch);
    void letTargetGo();
    void wipe();
    void finish(TypeResult result);
    bool pastDeadline() const { return Clock::now() > deadline; }

    Display* display;
    Window root;
    FocusTest hasFocus;
    Atom wmProtocolsAtom;
    Atom netWmPingAtom;
    Atom netActiveWindowAtom;
    QSocketNotifier connectionReadable;
    QTimer wakeTimer;
    XkbKeyboardState keyboardState;
    std::unique_ptr<KeyboardGuard> keyboardGuard; // while the keyboard is not the user's
    X11PointerShape pointerShape;

    Stage stage = Stage::Idle;
    unsigned generation = 0; // counts deliveries, so that a late report of an old one is dropped
    Done done;
    Window target = None;
    QPoint point;
    bool pingable = false;
    long pingStamp = 0;
    int pongs = 0;
    bool pingPending = false;
    Clock::time_point deadline;
    Clock::time_point textCursorSince;
    bool textCursorSeen = false;
    std::chrono::milliseconds clickRecheck{0};

    std::vector<char32_t> characters;
    KeyPlan plan;
    std::size_t nextBatch = 0;
};
