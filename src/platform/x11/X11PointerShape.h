// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/x11/TextCursor.h"

#include <X11/Xlib.h>

#include <string>
#include <vector>

// The pointer shape an X server shows and whether it is the text cursor (isTextCursor): the
// theme's I-beam in any size, or for programs without a cursor theme the core font's, drawn
// by the server. Needs XFixes; without it no shape counts.
class X11PointerShape
{
public:
    explicit X11PointerShape(Display* display);

    // Reads which cursor theme programs use now and loads its text cursor when it changed;
    // called before a delivery, as desktops change the theme while programs run.
    void readTheme();
    bool showsTextCursor();
    // Asks for an event whenever the shown shape changes (or no longer).
    void watchChanges(bool watch);

private:
    TextCursorPicture coreTextCursorPicture(const CursorImage& shown);

    Display* display;
    Window root;
    bool hasXFixes = false;
    // The cursor theme in use and its text cursor.
    std::string theme;
    bool picturesLoaded = false;
    std::vector<TextCursorPicture> pictures;
    // The shape judged last, by its serial.
    unsigned long judgedSerial = 0;
    bool judgedText = false;
};
