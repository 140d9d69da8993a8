// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// What the compositor of this session offers to clients, asked over a connection of our own.
namespace WaylandGlobals {

// True when the compositor announces a global of that interface name.
bool offers(const char* interfaceName);

} // namespace WaylandGlobals
