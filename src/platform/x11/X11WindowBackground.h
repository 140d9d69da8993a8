// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <qwindowdefs.h>

#include <xcb/xcb.h>

class QImage;

// The background of one of our own X windows, set on the toolkit's connection: the server
// paints it into every part of the window it exposes, the whole window when it is mapped.
class X11WindowBackground
{
public:
    explicit X11WindowBackground(WId window);
    ~X11WindowBackground();
    X11WindowBackground(const X11WindowBackground&) = delete;
    X11WindowBackground& operator=(const X11WindowBackground&) = delete;

    // Asks for the window's size and pixel format; set() takes the answer.
    void prepare();
    // Makes frame (device pixels, Format_RGB32) the window's background. False, and nothing
    // changed, when the frame does not fit the window's size or pixel format.
    bool set(const QImage& frame);
    // Back to no background: exposed parts keep what they showed until they are painted.
    void clear();

private:
    xcb_connection_t* connection = nullptr;
    xcb_window_t window = 0;
    bool asked = false;
    xcb_get_geometry_cookie_t geometryCookie{};
    xcb_get_window_attributes_cookie_t attributesCookie{};
};
