// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

class QAccessibleInterface;
class QObject;

// Gives a MatrixGrid its table face for assistive technology: one cell per grid cell, named
// by its icon, the cursor cell focused. For QAccessible::installFactory.
QAccessibleInterface* matrixGridAccessibleFactory(const QString& className, QObject* object);
