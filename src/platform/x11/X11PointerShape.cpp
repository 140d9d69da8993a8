// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/x11/X11PointerShape.h"

#include <X11/Xatom.h>
#include <X11/Xresource.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/extensions/Xfixes.h>

#include <cstdlib>
#include <string.h>

namespace {

// The I-beam of the core cursor font, which programs without a cursor theme show.
constexpr unsigned kCoreTextGlyph = XC_xterm;
// Larger shapes are not compared with the core font's glyph.
constexpr int kLargestCoreShape = 64;

} // namespace

X11PointerShape::X11PointerShape(Display* display)
    : display(display), root(DefaultRootWindow(display))
{
    int eventBase = 0, errorBase = 0;
    hasXFixes = XFixesQueryExtension(display, &eventBase, &errorBase);
}

// The theme as libXcursor chooses it: the environment first, then the Xcursor.theme resource;
// empty for the theme called "default".
void X11PointerShape::readTheme()
{
    std::string current;
    if (const char* fromEnvironment = getenv("XCURSOR_THEME"))
        current = fromEnvironment;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    if (current.empty() &&
        XGetWindowProperty(display, root, XA_RESOURCE_MANAGER, 0, 1 << 20, False, XA_STRING, &type,
                           &format, &count, &remaining, &data) == Success &&
        data && format == 8) {
        XrmInitialize();
        if (XrmDatabase resources = XrmGetStringDatabase(reinterpret_cast<const char*>(data))) {
            char* valueType = nullptr;
            XrmValue value{};
            if (XrmGetResource(resources, "Xcursor.theme", "Xcursor.Theme", &valueType, &value) &&
                value.addr)
                current.assign(value.addr, strnlen(value.addr, value.size));
            XrmDestroyDatabase(resources);
        }
    }
    if (data)
        XFree(data);
    if (!picturesLoaded || current != theme) {
        theme = current;
        pictures = themeTextCursors(theme.empty() ? nullptr : theme.c_str());
        picturesLoaded = true;
        judgedSerial = 0;
    }
}

void X11PointerShape::watchChanges(bool watch)
{
    if (hasXFixes)
        XFixesSelectCursorInput(display, root, watch ? XFixesDisplayCursorNotifyMask : 0);
}

bool X11PointerShape::showsTextCursor()
{
    if (!hasXFixes)
        return false;
    XFixesCursorImage* image = XFixesGetCursorImage(display);
    if (!image)
        return false;
    if (image->cursor_serial == judgedSerial && judgedSerial != 0) {
        XFree(image);
        return judgedText;
    }
    CursorImage shown;
    shown.name = image->name ? image->name : "";
    shown.width = image->width;
    shown.height = image->height;
    shown.xhot = image->xhot;
    shown.yhot = image->yhot;
    // XFixes hands each 32-bit pixel over in an unsigned long.
    shown.pixels.assign(image->pixels, image->pixels + std::size_t(image->width) * image->height);
    bool text = isTextCursor(shown, pictures);
    // Programs without a cursor theme show the core font's I-beam, which has no name either.
    if (!text && shown.name.empty() && shown.width > 0 && shown.height > 0 &&
        shown.width <= kLargestCoreShape && shown.height <= kLargestCoreShape)
        text = isTextCursor(shown, {coreTextCursorPicture(shown)});
    judgedSerial = image->cursor_serial;
    judgedText = text;
    XFree(image);
    return text;
}

// The outline of the core font's I-beam, drawn with the size and hot spot of the shape shown.
TextCursorPicture X11PointerShape::coreTextCursorPicture(const CursorImage& shown)
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
