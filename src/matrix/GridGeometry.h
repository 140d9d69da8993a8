// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// How the main window's client area is cut into cells: the grid fills all of it above the
// strip of texts and buttons, with as many columns and rows as whole 48-pixel cells fit, each
// cell stretched so that together they cover that area.
struct GridGeometry
{
    static constexpr int kCellPixels = 48;
    // Height of the strip below the grid that holds the texts and the buttons.
    static constexpr int kStripHeight = 50;

    // The part of a client area the grid covers.
    static QSize areaIn(QSize client)
    {
        return QSize(client.width(), client.height() - kStripHeight);
    }
    // The grid a client area holds; columns or rows below 1 mean "no grid".
    static GridGeometry fitting(QSize client);
    // A grid of a shape kept from before, stretched over an area (the grid keeps its shape
    // while the password is shown, whatever size the window is given).
    static GridGeometry stretched(int columns, int rows, QSize area);

    bool hasCells() const { return columns >= 1 && rows >= 1 && !cell.isEmpty(); }
    // The rectangle of a cell within the grid's area; empty without cells.
    QRect cellRect(QPoint cellIndex) const;
    // The cell at a position within the grid's area, or (-1, -1) when there is none.
    QPoint cellAt(QPoint position) const;

    int columns = 0;
    int rows = 0;
    QSize cell; // invalid without cells
};
