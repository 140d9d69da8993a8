// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/IconMatrix.h"

#include <algorithm>

IconMatrix::IconMatrix() : blankRow(kMaxColumns, 'a') {}

void IconMatrix::setIconCount(int count)
{
    icons = std::clamp(count, 1, kMaxIconCount);
}

void IconMatrix::Resize(int columns, int rowCount)
{
    undoHistory.clear();
    const std::size_t c = static_cast<std::size_t>(std::max(columns, 0));
    const std::size_t r = static_cast<std::size_t>(std::max(rowCount, 0));

    for (std::string& row : rows) {
        if (row.size() < c)
            row.append(blankRow, 0, std::min(c - row.size(), blankRow.size()));
        else if (row.size() > c)
            row.resize(c);
    }
    if (rows.size() < r)
        rows.resize(r, blankRow.substr(0, std::min(c, blankRow.size())));
    else
        rows.resize(r);
}

bool IconMatrix::Step(int column, int row, int direction)
{
    if (row < 0 || static_cast<std::size_t>(row) >= rows.size())
        return false;
    std::string& cells = rows[static_cast<std::size_t>(row)];
    if (column < 0 || static_cast<std::size_t>(column) >= cells.size())
        return false;

    char& cell = cells[static_cast<std::size_t>(column)];
    bool recorded = false;
    if (undoHistory.size() < kMaxUndo) {
        undoHistory.push_back({column, row, cell});
        recorded = true;
    }
    const int code = static_cast<unsigned char>(cell) + direction;
    if (code >= 'a' + icons)
        cell = 'a';
    else if (code < 'a')
        cell = static_cast<char>('a' + icons - 1);
    else
        cell = static_cast<char>(code);
    return recorded;
}

bool IconMatrix::Undo()
{
    if (undoHistory.empty())
        return false;
    const UndoEntry entry = undoHistory.back();
    undoHistory.pop_back();
    rows[static_cast<std::size_t>(entry.row)][static_cast<std::size_t>(entry.column)] =
        entry.previous;
    return true;
}
