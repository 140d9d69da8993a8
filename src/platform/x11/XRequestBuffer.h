// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <X11/Xlib.h>

// Sends what the connection has queued, then overwrites Xlib's whole request buffer: the
// requests that typed a password (its keys, its keysyms) would otherwise stay there until
// later requests happen to cover them.
void wipeRequestBuffer(Display* display);
