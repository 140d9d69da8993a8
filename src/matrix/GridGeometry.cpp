// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "matrix/GridGeometry.h"

GridGeometry GridGeometry::fitting(QSize client)
{
    const QSize area = areaIn(client);
    return stretched(area.width() / kCellPixels, area.height() / kCellPixels, area);
}

GridGeometry GridGeometry::stretched(int columns, int rows, QSize area)
{
    GridGeometry geometry;
    geometry.columns = columns;
    geometry.rows = rows;
    if (columns >= 1 && rows >= 1)
        geometry.cell = QSize(area.width() / columns, area.height() / rows);
    return geometry;
}

QRect GridGeometry::cellRect(QPoint cellIndex) const
{
    if (!hasCells())
        return QRect();
    return QRect(QPoint(cellIndex.x() * cell.width(), cellIndex.y() * cell.height()), cell);
}

QPoint GridGeometry::cellAt(QPoint position) const
{
    const QPoint none(-1, -1);
    if (!hasCells() || position.x() < 0 || position.y() < 0)
        return none;
    const QPoint found(position.x() / cell.width(), position.y() / cell.height());
    return found.x() < columns && found.y() < rows ? found : none;
}
