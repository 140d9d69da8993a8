// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "widgets/StaticText.h"

#include "widgets/DialogUnits.h"

#include <QLabel>

QLabel* addStaticText(QWidget* dialog, const DialogUnits& units, const QString& text,
                      const QRect& area)
{
    auto* label = new QLabel(text, dialog);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    label->setGeometry(units.rect(area.x(), area.y(), area.width(), area.height()));
    return label;
}
