// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QSize>

class QWidget;

// Dialogs here are laid out in fixed rectangles, sized for their English texts. A translation
// may need more room: these find where and make it, so that no text is cut off.

// How much wider and taller `control` must be for its text (0 where it fits): a button its
// one line with the style's margins, a wrapping label the lines of its width, any other label
// its one line. Other controls need nothing.
QSize textShortfall(const QWidget* control);

// Grows each direct child of `dialog` by its shortfall and moves the controls beside (same
// row, to the right) and below it out of its way; a group box around a control grows with it,
// and a control that reached the layout's right edge keeps reaching it. The dialog grows by
// what its controls took (staying fixed-size when it was). Where every text fits, nothing
// moves. Returns how much the dialog grew.
QSize growToFitTexts(QWidget* dialog);
