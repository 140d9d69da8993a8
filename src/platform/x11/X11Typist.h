// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/PickerPlatform.h"
#include "platform/x11/TextCursor.h"

#include <QObject>
#include <QPoint>
#include <QString>
#include <QTimer>

#include <X11/Xlib.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

// Types text into the input box of another program's window with XTest, one delivery at a
// time, without holding up the event loop while the target takes the focus.
//
// A delivery activates the target, looks at the pointer shape the target shows at the
// release point, and goes on only over a text input (an I-beam): then one click there
// focuses that input box, and the keys follow. Keys are chosen for the first layout with no
// locked modifiers; the user's locks, latches and layout group are set aside for the keys
// and put back afterwards, and keys the user holds are let go. Characters the keymap lacks
// are put on spare keycodes, all at once, and taken off again once the target has read its
// keys. Every buffer that held the text or its keys is overwritten when typing ends.
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
    struct Keystroke
    {
        KeyCode keycode = 0;
        bool shift = false;
        unsigned long keysym = 0; // kept only for characters the keymap lacks
    };

    void poll();
    void readEvents();
    void beginPointerCheck();
    void judgePointer();
    void beginClick();
    void typeFrom(std::size_t index);
    bool plan();
    void sendPing();
    bool pingAnswered();
    void setKeyboardAside();
    void restoreKeyboard();
    void restoreSpareKeys();
    void wipe();
    void finish(TypeResult result);
    bool showsTextCursor();
    void readCursorTheme();
    const std::vector<TextCursorPicture>& themeTextCursorPictures();
    TextCursorPicture coreTextCursorPicture(const CursorImage& shown);
    bool pastDeadline() const { return std::chrono::steady_clock::now() > deadline; }

    Display* display;
    Window root;
    FocusTest hasFocus;
    Atom wmProtocolsAtom;
    Atom netWmPingAtom;
    Atom netActiveWindowAtom;
    bool hasXFixes = false;
    QTimer timer;

    Stage stage = Stage::Idle;
    unsigned generation = 0; // counts deliveries, so that a late report of an old one is dropped
    Done done;
    Window target = None;
    QPoint point;
    bool pingable = false;
    long pingStamp = 0;
    int pongs = 0;
    bool pingPending = false;
    std::chrono::steady_clock::time_point deadline;
    std::chrono::steady_clock::time_point textCursorSince;
    bool textCursorSeen = false;

    std::vector<char32_t> characters;
    std::vector<Keystroke> strokes;
    std::size_t typed = 0;
    KeyCode shiftKeycode = 0;
    std::vector<KeyCode> spareKeycodes;
    std::vector<KeyCode> remappedKeycodes;

    bool keyboardAside = false;
    unsigned lockedMods = 0;
    unsigned latchedMods = 0;
    int lockedGroup = 0;
    int latchedGroup = 0;

    // The cursor theme in use and its text cursor, loaded when first compared with.
    std::string cursorTheme;
    bool themePicturesLoaded = false;
    std::vector<TextCursorPicture> themePictures;

    // The pointer shape judged last, by its serial: I-beam or not.
    unsigned long judgedCursorSerial = 0;
    bool judgedCursorIsText = false;
};
