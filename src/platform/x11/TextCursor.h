// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A pointer shape as the X server shows it or a cursor theme holds it: premultiplied ARGB
// pixels, row by row, and the hot spot. Most shapes have no name.
struct CursorImage
{
    std::string name;
    int width = 0;
    int height = 0;
    int xhot = 0;
    int yhot = 0;
    std::vector<std::uint32_t> pixels;
};

// A picture of the text cursor to compare shapes with: one of the cursor theme in use, alike in
// every pixel, or the I-beam of the core cursor font, of which only the outline is known.
struct TextCursorPicture
{
    CursorImage image;
    bool outlineOnly = false;
};

// Whether a shape is the text cursor (the I-beam over an input box): named so, or drawn like one
// of the pictures, the same size with the same hot spot. Programs that load a themed cursor
// themselves (Chromium and the programs built on it) show it without a name.
bool isTextCursor(const CursorImage& shown, const std::vector<TextCursorPicture>& pictures);

// The text cursor of a theme ("default" when none is given) in every size it holds, as
// libXcursor loads it for the names programs ask for.
std::vector<TextCursorPicture> themeTextCursors(const char* theme);
