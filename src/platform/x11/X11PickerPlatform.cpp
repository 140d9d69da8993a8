// Qt before Xlib: Xlib's macros (Bool, Status, None) break Qt's headers.
#include "platform/x11/PickFrame.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>

#include "platform/x11/X11PickerPlatform.h"
#include "platform/x11/XErrorTrap.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <thread>
#include <vector>

namespace {

// Time the clients need to take in a changed keymap before a key uses it, and to handle the
// key before the map changes again.
constexpr std::chrono::milliseconds kRemapDelay(20);
// How long a window may take to get the focus after we asked for it.
constexpr std::chrono::milliseconds kFocusTimeout(1000);
constexpr std::chrono::milliseconds kFocusPoll(10);
// Windows nest only a few levels below a top-level frame; a bound keeps a hostile tree cheap.
constexpr int kMaxClientDepth = 8;

qreal deviceRatio()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->devicePixelRatio() : 1.0;
}

// The keysym that produces a character: Latin-1 is its own keysym, the rest of Unicode has
// keysyms of its own. Control characters have none we would send (never Return).
KeySym keysymFor(char32_t character)
{
    if (character < 0x20 || (character >= 0x7f && character < 0xa0))
        return NoSymbol;
    if (character <= 0xff)
        return KeySym(character);
    return KeySym(0x01000000 | character);
}

// The window's parent; None when the query fails (a vanished window, for one).
Window parentWindow(Display* display, Window window)
{
    Window rootReturn = None, parent = None;
    Window* children = nullptr;
    unsigned int count = 0;
    const Status status = XQueryTree(display, window, &rootReturn, &parent, &children, &count);
    if (children)
        XFree(children);
    return status ? parent : None;
}

// The window's children, bottom of the stacking order first; empty when the query fails.
std::vector<Window> childWindows(Display* display, Window window)
{
    Window rootReturn = None, parent = None;
    Window* children = nullptr;
    unsigned int count = 0;
    std::vector<Window> result;
    if (XQueryTree(display, window, &rootReturn, &parent, &children, &count) && children)
        result.assign(children, children + count);
    if (children)
        XFree(children);
    return result;
}

} // namespace

std::unique_ptr<X11PickerPlatform> X11PickerPlatform::open()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return nullptr;
    return std::unique_ptr<X11PickerPlatform>(new X11PickerPlatform(display));
}

X11PickerPlatform::X11PickerPlatform(Display* display)
    : display(display), root(DefaultRootWindow(display)),
      wmStateAtom(XInternAtom(display, "WM_STATE", False)),
      netActiveWindowAtom(XInternAtom(display, "_NET_ACTIVE_WINDOW", False)),
      netSupportingWmCheckAtom(XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False))
{
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    hasXTest = XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor);
}

X11PickerPlatform::~X11PickerPlatform()
{
    frame.reset();
    XCloseDisplay(display);
}

QPoint X11PickerPlatform::toDevice(const QPoint& logical) const
{
    return (QPointF(logical) * deviceRatio()).toPoint();
}

PickerPlatform::WindowId X11PickerPlatform::windowAt(const QPoint& globalPos)
{
    const QPoint at = toDevice(globalPos);
    XErrorTrap trap(display);
    const Window topLevel = topLevelAt(at.x(), at.y());
    const Window client = topLevel ? clientAt(topLevel, at.x(), at.y()) : None;
    return trap.failed() ? 0 : WindowId(client);
}

// The managed (or, without a window manager, plain) top-level under the point. Menus,
// tooltips and our own frame are override-redirect windows and never count.
Window X11PickerPlatform::topLevelAt(int x, int y)
{
    XErrorTrap trap(display);
    Window child = None;
    int childX = 0, childY = 0;
    if (!XTranslateCoordinates(display, root, root, x, y, &childX, &childY, &child) ||
        child == None)
        return None;
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, child, &attributes) && !trap.failed() &&
        !attributes.override_redirect)
        return child;

    // Something of no interest is on top: look through the stacking order ourselves.
    const std::vector<Window> children = childWindows(display, root);
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        if (!XGetWindowAttributes(display, *it, &attributes))
            continue;
        if (attributes.map_state != IsViewable || attributes.c_class != InputOutput ||
            attributes.override_redirect)
            continue;
        const int border = attributes.border_width;
        const QRect outer(attributes.x, attributes.y, attributes.width + 2 * border,
                          attributes.height + 2 * border);
        if (outer.contains(x, y))
            return *it;
    }
    return None;
}

// Down from the top-level along the point to the window holding WM_STATE; over a title bar the
// point misses the client, so the frame's subtree is searched. Without a window manager
// nobody sets WM_STATE and the top-level is the client.
Window X11PickerPlatform::clientAt(Window topLevel, int x, int y)
{
    Window window = topLevel;
    for (int depth = 0; depth < kMaxClientDepth && window != None; ++depth) {
        if (hasWmState(window))
            return window;
        Window child = None;
        int childX = 0, childY = 0;
        if (!XTranslateCoordinates(display, root, window, x, y, &childX, &childY, &child))
            break;
        window = child;
    }
    const Window client = findClient(topLevel, 0);
    return client != None ? client : topLevel;
}

Window X11PickerPlatform::findClient(Window window, int depth)
{
    if (hasWmState(window))
        return window;
    if (depth >= kMaxClientDepth)
        return None;
    const std::vector<Window> children = childWindows(display, window);
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        if (const Window found = findClient(*it, depth + 1); found != None)
            return found;
    }
    return None;
}

bool X11PickerPlatform::hasWmState(Window window)
{
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, window, wmStateAtom, 0, 0, False,
                                          AnyPropertyType, &type, &format, &items, &after, &data);
    if (data)
        XFree(data);
    return status == Success && type != None;
}

bool X11PickerPlatform::isWindow(WindowId window)
{
    if (window == 0)
        return false;
    XErrorTrap trap(display);
    XWindowAttributes attributes;
    const Status status = XGetWindowAttributes(display, Window(window), &attributes);
    return status != 0 && !trap.failed();
}

PickerPlatform::WindowId X11PickerPlatform::parentOf(WindowId window)
{
    XErrorTrap trap(display);
    Window owner = None;
    if (XGetTransientForHint(display, Window(window), &owner) && owner != None && !trap.failed())
        return WindowId(owner);
    const Window parent = parentWindow(display, Window(window));
    if (parent == None || trap.failed() || parent == root)
        return 0;
    return WindowId(parent);
}

QString X11PickerPlatform::className(WindowId window)
{
    XErrorTrap trap(display);
    XClassHint hint{nullptr, nullptr};
    QString name;
    if (XGetClassHint(display, Window(window), &hint) && !trap.failed()) {
        const char* text = hint.res_class && *hint.res_class ? hint.res_class : hint.res_name;
        if (text)
            name = QString::fromUtf8(text);
    }
    if (hint.res_name)
        XFree(hint.res_name);
    if (hint.res_class)
        XFree(hint.res_class);
    return name;
}

Window X11PickerPlatform::outermostAncestor(Window window)
{
    for (int depth = 0; depth < 2 * kMaxClientDepth; ++depth) {
        const Window parent = parentWindow(display, window);
        if (parent == None)
            return None;
        if (parent == root)
            return window;
        window = parent;
    }
    return None;
}

void X11PickerPlatform::showFrame(WindowId window)
{
    XErrorTrap trap(display);
    // Around the window manager's frame too: title bar and borders belong to the window.
    const Window outer = outermostAncestor(Window(window));
    XWindowAttributes attributes;
    if (outer == None || !XGetWindowAttributes(display, outer, &attributes) || trap.failed()) {
        hideFrame();
        return;
    }
    const int border = attributes.border_width;
    const qreal ratio = deviceRatio();
    const QRect device(attributes.x, attributes.y, attributes.width + 2 * border,
                       attributes.height + 2 * border);
    const QRect logical(QPointF(device.topLeft() / ratio).toPoint(),
                        QSizeF(device.size() / ratio).toSize());
    if (!frame)
        frame = std::make_unique<PickFrame>();
    frame->showAround(logical);
}

void X11PickerPlatform::hideFrame()
{
    if (frame)
        frame->hide();
}

bool X11PickerPlatform::windowManagerRuns()
{
    XErrorTrap trap(display);
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, root, netSupportingWmCheckAtom, 0, 1, False,
                                          XA_WINDOW, &type, &format, &items, &after, &data);
    Window check = None;
    if (status == Success && data && items == 1 && format == 32)
        check = Window(*reinterpret_cast<unsigned long*>(data));
    if (data)
        XFree(data);
    return check != None && !trap.failed();
}

bool X11PickerPlatform::isDescendant(Window window, Window ancestor)
{
    for (int depth = 0; depth < 2 * kMaxClientDepth && window != None; ++depth) {
        if (window == ancestor)
            return true;
        window = parentWindow(display, window);
    }
    return false;
}

// Raises the target and gives it the keyboard, then clicks at the point so that the input box
// under it takes the focus inside the window. False when the window never got the focus.
bool X11PickerPlatform::activate(Window target, const QPoint& devicePos)
{
    XErrorTrap trap(display);
    if (windowManagerRuns()) {
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
    if (trap.failed())
        return false;

    const auto deadline = std::chrono::steady_clock::now() + kFocusTimeout;
    for (;;) {
        Window focus = None;
        int revert = 0;
        XGetInputFocus(display, &focus, &revert);
        bool focused = focus != None && focus != PointerRoot && isDescendant(focus, target);
        if (focus == PointerRoot) {
            // The keyboard follows the pointer: the target must be under it.
            const Window topLevel = topLevelAt(devicePos.x(), devicePos.y());
            focused =
                topLevel != None && clientAt(topLevel, devicePos.x(), devicePos.y()) == target;
        }
        if (focused)
            break;
        if (trap.failed() || std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(kFocusPoll);
    }

    XTestFakeMotionEvent(display, -1, devicePos.x(), devicePos.y(), CurrentTime);
    XTestFakeButtonEvent(display, Button1, True, CurrentTime);
    XTestFakeButtonEvent(display, Button1, False, CurrentTime);
    return !trap.failed();
}

// Finds a key for every character. Characters the keymap lacks go through the spare keycode,
// an unused one that is remapped for them; 0 when none is needed.
bool X11PickerPlatform::planKeystrokes(const QString& text, std::vector<Keystroke>& strokes,
                                       KeyCode& spare)
{
    int minKeycode = 0, maxKeycode = 0;
    XDisplayKeycodes(display, &minKeycode, &maxKeycode);
    const int keycodeCount = maxKeycode - minKeycode + 1;
    int perKeycode = 0;
    KeySym* map = XGetKeyboardMapping(display, KeyCode(minKeycode), keycodeCount, &perKeycode);
    if (!map)
        return false;
    auto symAt = [&](int keycode, int column) {
        return column < perKeycode ? map[(keycode - minKeycode) * perKeycode + column] : NoSymbol;
    };

    const KeyCode shiftKeycode = XKeysymToKeycode(display, XK_Shift_L);
    spare = 0;
    bool ok = true;
    bool needSpare = false;
    for (const char32_t character : text.toUcs4()) {
        Keystroke stroke;
        stroke.keysym = keysymFor(character);
        if (stroke.keysym == NoSymbol) {
            ok = false;
            break;
        }
        for (int keycode = minKeycode; keycode <= maxKeycode && !stroke.keycode; ++keycode) {
            if (symAt(keycode, 0) == stroke.keysym)
                stroke.keycode = KeyCode(keycode);
        }
        for (int keycode = minKeycode; keycode <= maxKeycode && !stroke.keycode && shiftKeycode;
             ++keycode) {
            KeySym shifted = symAt(keycode, 1);
            if (shifted == NoSymbol) {
                // A one-column letter key shifts to its capital.
                KeySym lower = NoSymbol, upper = NoSymbol;
                XConvertCase(symAt(keycode, 0), &lower, &upper);
                shifted = upper != lower ? upper : NoSymbol;
            }
            if (shifted == stroke.keysym) {
                stroke.keycode = KeyCode(keycode);
                stroke.shift = true;
            }
        }
        needSpare = needSpare || !stroke.keycode;
        strokes.push_back(stroke);
    }
    if (ok && needSpare) {
        for (int keycode = maxKeycode; keycode >= minKeycode && !spare; --keycode) {
            bool empty = true;
            for (int column = 0; column < perKeycode; ++column)
                empty = empty && symAt(keycode, column) == NoSymbol;
            if (empty)
                spare = KeyCode(keycode);
        }
        ok = spare != 0;
    }
    XFree(map);
    return ok;
}

void X11PickerPlatform::sendKey(KeyCode keycode, bool shift)
{
    const KeyCode shiftKeycode = XKeysymToKeycode(display, XK_Shift_L);
    if (shift)
        XTestFakeKeyEvent(display, shiftKeycode, True, CurrentTime);
    XTestFakeKeyEvent(display, keycode, True, CurrentTime);
    XTestFakeKeyEvent(display, keycode, False, CurrentTime);
    if (shift)
        XTestFakeKeyEvent(display, shiftKeycode, False, CurrentTime);
}

PickerPlatform::TypeResult X11PickerPlatform::typeText(WindowId target, const QPoint& globalPos,
                                                       const QString& text)
{
    if (!hasXTest)
        return TypeResult::NotAvailable;
    const Window window = Window(target);
    {
        XErrorTrap trap(display);
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display, window, &attributes) || trap.failed() ||
            attributes.map_state != IsViewable)
            return TypeResult::WindowGone;
    }

    std::vector<Keystroke> strokes;
    KeyCode spare = 0;
    {
        XErrorTrap trap(display);
        if (!planKeystrokes(text, strokes, spare) || trap.failed())
            return TypeResult::Failed;
    }

    if (!activate(window, toDevice(globalPos)))
        return TypeResult::WindowGone;

    XErrorTrap trap(display);
    for (const Keystroke& stroke : strokes) {
        if (stroke.keycode) {
            sendKey(stroke.keycode, stroke.shift);
            continue;
        }
        KeySym pair[2] = {stroke.keysym, stroke.keysym};
        XChangeKeyboardMapping(display, spare, 2, pair, 1);
        XSync(display, False);
        std::this_thread::sleep_for(kRemapDelay);
        sendKey(spare, false);
        XSync(display, False);
        std::this_thread::sleep_for(kRemapDelay);
    }
    if (spare) {
        KeySym none[2] = {NoSymbol, NoSymbol};
        XChangeKeyboardMapping(display, spare, 2, none, 1);
    }
    // Every key has reached the target before anything else may take the focus.
    XSync(display, False);
    return trap.failed() ? TypeResult::Failed : TypeResult::Typed;
}
