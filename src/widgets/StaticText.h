// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QRect>
#include <QString>

class DialogUnits;
class QLabel;
class QWidget;

// A dialog's static text: plain (never markup), wrapped, top-left aligned, placed by a
// rectangle in dialog units.
QLabel* addStaticText(QWidget* dialog, const DialogUnits& units, const QString& text,
                      const QRect& area);
