#pragma once

#include "platform/PickerPlatform.h"

#include <X11/Xlib.h>

#include <memory>
#include <vector>

class PickFrame;

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
    TypeResult typeText(WindowId target, const QPoint& globalPos, const QString& text) override;

private:
    struct Keystroke
    {
        KeySym keysym = NoSymbol;
        KeyCode keycode = 0; // 0: not on the keymap, typed through the spare keycode
        bool shift = false;
    };

    explicit X11PickerPlatform(Display* display);
    QPoint toDevice(const QPoint& logical) const;
    Window topLevelAt(int x, int y);
    Window clientAt(Window topLevel, int x, int y);
    Window findClient(Window window, int depth);
    bool hasWmState(Window window);
    bool isDescendant(Window window, Window ancestor);
    Window outermostAncestor(Window window);
    bool windowManagerRuns();
    bool activate(Window target, const QPoint& devicePos);
    bool planKeystrokes(const QString& text, std::vector<Keystroke>& strokes, KeyCode& spare);
    void sendKey(KeyCode keycode, bool shift);

    Display* display;
    Window root;
    Atom wmStateAtom;
    Atom netActiveWindowAtom;
    Atom netSupportingWmCheckAtom;
    bool hasXTest = false;
    std::unique_ptr<PickFrame> frame;
};
