// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "matrix/GridGeometry.h"

#include <QAccessible>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

class IconMatrix;
class IconSet;

// The grid's way in for the keyboard and for assistive technology: a cell cursor that keys
// move and step, shown as an outline, and the cells as a table with named cells. It lies over
// the cells of its window and lets the mouse through; the window draws the cells, this draws
// only the cursor.
class MatrixGrid : public QWidget
{
    Q_OBJECT

public:
    MatrixGrid(const IconMatrix& matrix, const IconSet& icons, QWidget* parent);
    ~MatrixGrid() override;

    int columnCount() const;
    int rowCount() const;
    QPoint cursorCell() const { return cursor; }
    // Moves the cursor (kept inside the grid), repainting only the two cells involved.
    void setCursorCell(QPoint cell);
    // The outline shows while the grid has the focus and a key has been used in it.
    bool cursorShown() const;

    QRect cellRect(QPoint cell) const;
    // The cell under a position of this widget, or (-1, -1).
    QPoint cellAt(QPoint position) const;
    // The name of the icon a cell shows; empty outside the grid.
    QString cellName(QPoint cell) const;

    // What the window tells after it changed the matrix: its shape, or one cell.
    void reshaped();
    void cellChanged(QPoint cell);

    // Steps a cell as a click would (used by assistive technology's "press").
    void requestStep(QPoint cell, int direction);

signals:
    void stepRequested(QPoint cell, int direction);
    // The cursor was moved or used by a key: the window shows where it is.
    void keyboardCursor(QPoint cell);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    GridGeometry gridGeometry() const;
    void tellAssistiveTechnology(QPoint cell, QAccessible::Event type);

    const IconMatrix& matrix;
    const IconSet& icons;
    QPoint cursor{0, 0};
    bool keyUsed = false;
};
