// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>

// The keyboard map the compositor gives its clients, read over a connection of our own so that
// the toolkit's connection and its listeners stay untouched. Empty when there is no compositor
// or it has no keyboard.
std::string readCompositorKeymap();
