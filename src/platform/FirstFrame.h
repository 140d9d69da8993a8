// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class QWidget;

// What a window shows between its map and its first paint. On X11 a newly mapped window shows
// nothing of its own (black, or what was on the screen there) until its first frame arrives,
// which takes the server's expose, a paint and its transfer after the map. A window whose
// first frame can be drawn before it is shown hands that frame to the server beforehand as
// the window's background, which the server paints as part of the map itself.
// Elsewhere nothing is needed (a Wayland surface shows nothing before its first buffer), and
// these do nothing.
class FirstFrame
{
public:
    // Whether a frame handed over before the map is what the window shows at the map.
    static bool shownAtMap();
    // window: a top-level widget whose native window exists and is not mapped yet (in its
    // first showEvent). Renders it as it will paint itself and hands the result over. False
    // when nothing was handed over.
    static bool showAtMap(QWidget& window);
    // Once the window has painted itself: lets go of the frame, so that the window shows
    // nothing of its own again where it is not painted (a growing resize, for instance).
    static void release(QWidget& window);
};
