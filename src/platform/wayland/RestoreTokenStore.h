// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// The token with which newer remote-desktop portals let a later run skip their consent dialog.
// It lives in a file of its own in the user's state folder ($XDG_STATE_HOME, by default
// ~/.local/state): Tamsk/<executable>-portal-token, named after the executable like the
// settings, read and written with the same care (base/PlainFile). The settings file holds
// nothing of it.
namespace RestoreTokenStore {

QString path();
// The stored token; empty when there is none or the file is not a plain file holding one.
QString load();
// True when the token has reached storage.
bool save(const QString& token);

} // namespace RestoreTokenStore
