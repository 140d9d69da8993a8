// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QPoint>
#include <QString>
#include <QtGlobal>

#include <functional>

class QWidget;

// What automatic input needs from the window system. The base class is the fallback for
// displays where it cannot work: it finds no windows and types nothing. PlatformFactory
// chooses the backend when the program runs.
class PickerPlatform
{
public:
    // A native window handle; 0 is "no window".
    using WindowId = quint64;

    enum class TypeResult
    {
        Typed,
        NotAvailable, // this display offers no way to send keys
        WindowGone,   // the target vanished or refused the focus
        Failed,       // a character could not be produced; nothing was typed
        Refused,      // the desktop refused the request to type for us
        Declined,     // the user said no when the desktop asked
        NoInputBox    // no text input under the pointer: nothing was typed or pressed
    };

    // How the user chooses where the password goes.
    enum class Gesture
    {
        None,         // no automatic input on this display
        DragToWindow, // drag from the drag area and release over the target (windowAt, startTyping)
        ArmThenFocus  // arm in the drag area, then focus the target (prepareTyping, typeIntoFocus)
    };

    virtual ~PickerPlatform();

    virtual Gesture gesture() const { return Gesture::None; }
    // False: the picker offers no pick on this display.
    bool isAvailable() const { return gesture() != Gesture::None; }
    // The top-level window of another program (or ours) under a global pointer position.
    virtual WindowId windowAt(const QPoint& globalPos);
    virtual bool isWindow(WindowId window);
    // The parent of a child window, the owner of a top-level one; 0 when there is none.
    virtual WindowId parentOf(WindowId window);
    virtual QString className(WindowId window);
    // Outlines the window; one frame at a time, so showing it elsewhere moves it.
    virtual void showFrame(WindowId window);
    virtual void hideFrame();
    // Focuses the input box of the target at the global position and types the text there.
    virtual TypeResult typeText(WindowId target, const QPoint& globalPos, const QString& text);
    // The same without holding up the event loop: `done` runs once, when the keys went out or
    // with the reason why not. The base class answers at once, through typeText.
    virtual void startTyping(WindowId target, const QPoint& globalPos, const QString& text,
                             std::function<void(TypeResult)> done);
    // Ends a delivery that has not finished; its `done` never runs and nothing more is typed.
    virtual void cancelTyping() {}
    // The handle under which this platform knows one of our own top-level widgets.
    virtual WindowId windowOf(QWidget* topLevel);
    // Tells the window manager that one of our hidden top-levels is a modal window when it
    // shows again, as it was when it first showed, though the toolkit counts it as an ordinary
    // one meanwhile.
    virtual void markModal(WindowId window);
    // Whether the window manager may give one of our top-levels the keyboard focus. Taken
    // away while one of our windows blocks it and another program is to get the focus; given
    // back as it was.
    virtual void setFocusable(WindowId window, bool focusable);
    // Whether the window system has given one of our top-levels the keyboard focus. The
    // toolkit hears of a loss a moment later than the window system, and meanwhile takes a
    // click on the window for one on the active window. The base class cannot tell: yes.
    virtual bool holdsKeyboardFocus(WindowId window);

    // Readies typing into whatever gets the keyboard focus next; may ask the user first and
    // answer later. `done` runs once, in the GUI thread: Typed when ready, otherwise why not.
    virtual void prepareTyping(std::function<void(TypeResult)> done);
    // Types the whole text into the window that has the keyboard focus, or nothing.
    virtual TypeResult typeIntoFocus(const QString& text);
    // The same without holding up the event loop: `done` runs once, when the keys went out or
    // with the reason why not; cancelTyping ends it. The base class answers at once, through
    // typeIntoFocus.
    virtual void startTypingIntoFocus(const QString& text, std::function<void(TypeResult)> done);
};
