// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/PickerPlatform.h"

#include <QMargins>
#include <QRect>

#include <X11/Xlib.h>

#include <memory>
#include <optional>
#include <vector>

class PickFrame;
class X11Typist;

// The picker on an X server: client windows (those holding WM_STATE) under the pointer, an
// overlay outline as the frame, and XTest key events to type into the chosen window.
class X11PickerPlatform : public PickerPlatform
{
public:
    // Null when the display cannot be opened.
    static std::unique_ptr<X11PickerPlatform> open();
    ~X11PickerPlatform() override;

    Gesture gesture() const override { return Gesture::DragToWindow; }
    WindowId windowAt(const QPoint& globalPos) override;
    bool isWindow(WindowId window) override;
    WindowId parentOf(WindowId window) override;
    QString className(WindowId window) override;
    void showFrame(WindowId window) override;
    void hideFrame() override;
    void startTyping(WindowId target, const QPoint& globalPos, const QString& text,
                     std::function<void(TypeResult)> done) override;
    void cancelTyping() override;
    void markModal(WindowId window) override;
    void setFocusable(WindowId window, bool focusable) override;
    bool holdsKeyboardFocus(WindowId window) override;

private:
    explicit X11PickerPlatform(Display* display);
    QPoint toDevice(const QPoint& logical) const;
    Window topLevelAt(int x, int y);
    bool showsClient(Window topLevel, const XWindowAttributes& attributes);
    Window clientAt(Window topLevel, int x, int y);
    Window findClient(Window window, int depth);
    bool hasWmState(Window window);
    bool isDescendant(Window window, Window ancestor);
    Window outermostAncestor(Window window);
    QRect visibleFrame(Window client);
    std::optional<QMargins> frameExtents(Window window, Atom property);
    bool windowManagerRuns();
    bool hasFocus(Window target, const QPoint& devicePos);

    Display* display;
    Window root;
    Atom wmStateAtom;
    Atom wmTakeFocusAtom;
    Atom netActiveWindowAtom;
    Atom netSupportingWmCheckAtom;
    Atom netFrameExtentsAtom;
    Atom gtkFrameExtentsAtom;
    bool hasXTest = false;
    bool hasXkb = false;
    // What the toolkit had set on the windows whose focus is withheld.
    struct WithheldFocus
    {
        Window window = None;
        bool hadInputHint = false;
        bool input = true;
        std::vector<Atom> protocols;
    };
    std::vector<WithheldFocus> withheldFocus;
    std::unique_ptr<PickFrame> frame;
    std::unique_ptr<X11Typist> typist;
};
