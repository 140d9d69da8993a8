// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <functional>

class QByteArray;
class QString;

// Keeps the password out of core dumps and away from other processes of the same user
// (ptrace, /proc/<pid>/mem). Does nothing where the platform offers no such switch.
void markProcessPrivate();

// Runs `call` with the process open to other processes of the same user, as it is before
// markProcessPrivate, and makes it private again as soon as the call returns. For a caller
// that must identify us through /proc/<pid> (the desktop's portal) and only at start, before
// any secret exists: the second and every later call runs private. True when it was open.
bool runOnceOpenToUser(const std::function<void()>& call);

// Overwrites the text's whole buffer, the unused capacity included, and leaves it empty. A
// buffer still shared with other copies cannot be wiped from here: it is only released.
void secureClear(QString& text);
void secureClear(QByteArray& bytes);
