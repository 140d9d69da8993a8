// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/x11/XRequestBuffer.h"

// The layout of the connection, for its request buffer; kept to this file.
#include <X11/Xlibint.h>

#include <string.h>

void wipeRequestBuffer(Display* display)
{
    XFlush(display);
    if (display->buffer && display->bufmax > display->buffer)
        explicit_bzero(display->buffer, std::size_t(display->bufmax - display->buffer));
}
