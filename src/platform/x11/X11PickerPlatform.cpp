// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Qt before Xlib: Xlib's macros (Bool, Status, None) break Qt's headers.
#include "platform/x11/PickFrame.h"

#include <QMargins>
#include <QRect>

#include "platform/DevicePixels.h"
#include "platform/x11/X11PickerPlatform.h"
#include "platform/x11/X11Typist.h"
#include "platform/x11/XErrorTrap.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <vector>

namespace {

// Windows nest only a few levels below a top-level frame; a bound keeps a hostile tree cheap.
constexpr int kMaxClientDepth = 8;
// The widest border or shadow a frame extents property is believed to describe.
constexpr unsigned long kMaxExtent = 1024;

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
      wmTakeFocusAtom(XInternAtom(display, "WM_TAKE_FOCUS", False)),
      netActiveWindowAtom(XInternAtom(display, "_NET_ACTIVE_WINDOW", False)),
      netSupportingWmCheckAtom(XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False)),
      netFrameExtentsAtom(XInternAtom(display, "_NET_FRAME_EXTENTS", False)),
      gtkFrameExtentsAtom(XInternAtom(display, "_GTK_FRAME_EXTENTS", False))
{
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    hasXTest = XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor);
    int opcode = 0;
    major = XkbMajorVersion;
    minor = XkbMinorVersion;
    hasXkb = XkbQueryExtension(display, &opcode, &eventBase, &errorBase, &major, &minor);
    typist = std::make_unique<X11Typist>(
        display, [this](Window window, const QPoint& at) { return hasFocus(window, at); });
}

X11PickerPlatform::~X11PickerPlatform()
{
    typist.reset();
    frame.reset();
    XCloseDisplay(display);
}

QPoint X11PickerPlatform::toDevice(const QPoint& logical) const
{
    return toDevicePixels(currentScreens(), logical);
}

PickerPlatform::WindowId X11PickerPlatform::windowAt(const QPoint& globalPos)
{
    const QPoint at = toDevice(globalPos);
    XErrorTrap trap(display);
    const Window topLevel = topLevelAt(at.x(), at.y());
    const Window client = topLevel ? clientAt(topLevel, at.x(), at.y()) : None;
    return trap.failed() ? 0 : WindowId(client);
}

// The top-level under the point that shows a program's window: a window manager's frame or,
// without a manager, the client itself. Menus, tooltips and our own frame are override-redirect
// windows and never count; yet some managers (i3, fluxbox, icewm) make their frames
// override-redirect too, so such a window counts when a client (a window holding WM_STATE)
// lies inside it.
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
        showsClient(child, attributes))
        return child;

    // Something of no interest is on top: look through the stacking order ourselves.
    const std::vector<Window> children = childWindows(display, root);
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        if (!XGetWindowAttributes(display, *it, &attributes))
            continue;
        if (attributes.map_state != IsViewable || attributes.c_class != InputOutput)
            continue;
        const int border = attributes.border_width;
        const QRect outer(attributes.x, attributes.y, attributes.width + 2 * border,
                          attributes.height + 2 * border);
        if (outer.contains(x, y) && showsClient(*it, attributes))
            return *it;
    }
    return None;
}

bool X11PickerPlatform::showsClient(Window topLevel, const XWindowAttributes& attributes)
{
    return !attributes.override_redirect || findClient(topLevel, 0) != None;
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

// The window as the user sees it, in device pixels: title bar and borders belong to it, the
// invisible resize borders and shadows around them do not. The manager's decoration is given as
// _NET_FRAME_EXTENTS around the client; a client that draws its own keeps room for shadows inside
// itself and gives it as _GTK_FRAME_EXTENTS. Without either, the manager's outermost frame;
// never more than that frame.
QRect X11PickerPlatform::visibleFrame(Window client)
{
    const Window outer = outermostAncestor(client);
    XWindowAttributes attributes;
    if (outer == None || !XGetWindowAttributes(display, outer, &attributes))
        return QRect();
    const int border = attributes.border_width;
    const QRect outerRect(attributes.x, attributes.y, attributes.width + 2 * border,
                          attributes.height + 2 * border);
    Window unused = None;
    int x = 0, y = 0;
    if (!XGetWindowAttributes(display, client, &attributes) ||
        !XTranslateCoordinates(display, client, root, 0, 0, &x, &y, &unused))
        return outerRect;
    const QRect clientRect(x, y, attributes.width, attributes.height);
    QRect visible;
    if (const auto margins = frameExtents(client, gtkFrameExtentsAtom))
        visible = clientRect.marginsRemoved(*margins);
    else if (const auto decoration = frameExtents(client, netFrameExtentsAtom))
        visible = clientRect.marginsAdded(*decoration);
    else
        return outerRect;
    visible &= outerRect;
    return visible.isEmpty() ? outerRect : visible;
}

// A frame extents property (left, right, top, bottom); none when missing or malformed.
std::optional<QMargins> X11PickerPlatform::frameExtents(Window window, Atom property)
{
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    std::optional<QMargins> result;
    if (XGetWindowProperty(display, window, property, 0, 4, False, XA_CARDINAL, &type, &format,
                           &items, &after, &data) == Success &&
        data && type == XA_CARDINAL && format == 32 && items == 4) {
        const auto* values = reinterpret_cast<const unsigned long*>(data);
        // A window's margins are small; larger values are nonsense.
        auto side = [&](int i) { return int(std::min<unsigned long>(values[i], kMaxExtent)); };
        result = QMargins(side(0), side(2), side(1), side(3));
    }
    if (data)
        XFree(data);
    return result;
}

void X11PickerPlatform::showFrame(WindowId window)
{
    XErrorTrap trap(display);
    const QRect device = visibleFrame(Window(window));
    if (device.isEmpty() || trap.failed()) {
        hideFrame();
        return;
    }
    if (!frame)
        frame = std::make_unique<PickFrame>();
    frame->showAround(fromDevicePixels(currentScreens(), device));
}

void X11PickerPlatform::hideFrame()
{
    if (frame)
        frame->hide();
}

// The check window's id on the root window says that a manager runs only while that window
// exists and names itself: one that ended may have left the id behind, and the id may since
// belong to another window.
bool X11PickerPlatform::windowManagerRuns()
{
    XErrorTrap trap(display);
    auto checkWindowOf = [&](Window window) {
        Atom type = None;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        Window check = None;
        if (XGetWindowProperty(display, window, netSupportingWmCheckAtom, 0, 1, False, XA_WINDOW,
                               &type, &format, &items, &after, &data) == Success &&
            data && items == 1 && format == 32)
            check = Window(*reinterpret_cast<unsigned long*>(data));
        if (data)
            XFree(data);
        return check;
    };
    const Window check = checkWindowOf(root);
    if (check == None || trap.failed())
        return false;
    const bool valid = checkWindowOf(check) == check;
    return valid && !trap.failed();
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

bool X11PickerPlatform::hasFocus(Window target, const QPoint& devicePos)
{
    Window focus = None;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    if (focus == PointerRoot) {
        // The keyboard follows the pointer: the target must be under it.
        const Window topLevel = topLevelAt(devicePos.x(), devicePos.y());
        return topLevel != None && clientAt(topLevel, devicePos.x(), devicePos.y()) == target;
    }
    return focus != None && isDescendant(focus, target);
}

void X11PickerPlatform::startTyping(WindowId target, const QPoint& globalPos, const QString& text,
                                    std::function<void(TypeResult)> done)
{
    if (!hasXTest || !hasXkb) {
        typist->refuse(TypeResult::NotAvailable, std::move(done));
        return;
    }
    const Window window = Window(target);
    {
        XErrorTrap trap(display);
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display, window, &attributes) || trap.failed() ||
            attributes.map_state != IsViewable) {
            typist->refuse(TypeResult::WindowGone, std::move(done));
            return;
        }
    }
    typist->start(window, toDevice(globalPos), windowManagerRuns(), text, std::move(done));
}

void X11PickerPlatform::cancelTyping()
{
    typist->cancel();
}

// A manager decides how to place a window when it takes it on: a tiling one floats a modal
// window at its own size and tiles an ordinary one. Qt keeps the states it finds on a hidden
// window when it shows it, so the state written here reaches the manager with the window.
void X11PickerPlatform::markModal(WindowId window)
{
    XErrorTrap trap(display);
    XWindowAttributes attributes;
    // A shown window's state is the manager's to change.
    if (!XGetWindowAttributes(display, Window(window), &attributes) || trap.failed() ||
        attributes.map_state != IsUnmapped)
        return;
    const Atom stateAtom = XInternAtom(display, "_NET_WM_STATE", False);
    const Atom modalAtom = XInternAtom(display, "_NET_WM_STATE_MODAL", False);
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    bool present = false;
    if (XGetWindowProperty(display, Window(window), stateAtom, 0, 64, False, XA_ATOM, &type,
                           &format, &items, &after, &data) == Success &&
        data && format == 32) {
        const auto* atoms = reinterpret_cast<const unsigned long*>(data);
        present = std::find(atoms, atoms + items, modalAtom) != atoms + items;
    }
    if (data)
        XFree(data);
    if (!present) {
        XChangeProperty(display, Window(window), stateAtom, XA_ATOM, 32, PropModeAppend,
                        reinterpret_cast<const unsigned char*>(&modalAtom), 1);
    }
    // Written before Qt, on its own connection, reads the property back.
    XSync(display, False);
}

// The window takes no input and does not take part in WM_TAKE_FOCUS: a window manager then
// never gives it the focus (the ICCCM's No Input model), not even one that focuses every window
// it maps, whatever the window asks for on showing. What the toolkit had set comes back as it
// was; managers read both properties anew when they change.
void X11PickerPlatform::setFocusable(WindowId window, bool focusable)
{
    XErrorTrap trap(display);
    const Window target = Window(window);
    const auto saved =
        std::find_if(withheldFocus.begin(), withheldFocus.end(),
                     [target](const WithheldFocus& withheld) { return withheld.window == target; });
    if (focusable == (saved == withheldFocus.end()))
        return;
    XWMHints hints{};
    if (XWMHints* current = XGetWMHints(display, target)) {
        hints = *current;
        XFree(current);
    }
    if (focusable) {
        hints.input = saved->input ? True : False;
        if (!saved->hadInputHint)
            hints.flags &= ~InputHint;
        XSetWMHints(display, target, &hints);
        XSetWMProtocols(display, target, saved->protocols.data(), int(saved->protocols.size()));
        withheldFocus.erase(saved);
    } else {
        WithheldFocus withheld;
        withheld.window = target;
        withheld.hadInputHint = hints.flags & InputHint;
        withheld.input = !withheld.hadInputHint || hints.input;
        Atom* protocols = nullptr;
        int count = 0;
        if (XGetWMProtocols(display, target, &protocols, &count)) {
            withheld.protocols.assign(protocols, protocols + count);
            XFree(protocols);
        }
        if (trap.failed())
            return;
        hints.flags |= InputHint;
        hints.input = False;
        XSetWMHints(display, target, &hints);
        std::vector<Atom> kept = withheld.protocols;
        kept.erase(std::remove(kept.begin(), kept.end(), wmTakeFocusAtom), kept.end());
        XSetWMProtocols(display, target, kept.data(), int(kept.size()));
        withheldFocus.push_back(std::move(withheld));
    }
    // Written before the toolkit, on its own connection, maps the window or ends the dialog.
    XSync(display, False);
}

// Keys that reach the window only because the pointer is over it (the focus at the root or
// following the pointer) do not count: the toolkit acts on none of their shortcuts.
bool X11PickerPlatform::holdsKeyboardFocus(WindowId window)
{
    XErrorTrap trap(display);
    Window focus = None;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    return focus != None && focus != PointerRoot && isDescendant(focus, Window(window)) &&
           !trap.failed();
}
