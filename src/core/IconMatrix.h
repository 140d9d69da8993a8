// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One recorded cell change, enough to take it back.
struct UndoEntry
{
    std::int32_t column;
    std::int32_t row;
    char previous;
};

// The user's picture as rows of icon letters ('a' = icon 0), with a bounded undo history.
class IconMatrix
{
public:
    static constexpr std::size_t kMaxUndo = 100;
    static constexpr std::size_t kMaxColumns = 256;
    // Letters "a" to "{": the last one before "|", which ends each row of the hashed text.
    static constexpr int kMaxIconCount = 27;

    IconMatrix();

    // The number of icons a cell steps through (6 to 27).
    void setIconCount(int count);
    int iconCount() const { return icons; }

    // Keeps the shared top-left cells, fills new ones with 'a', empties the history.
    void Resize(int columns, int rowCount);
    // Steps one cell by direction (+1 / -1), wrapping; returns whether it was recorded.
    bool Step(int column, int row, int direction);
    bool Undo();
    bool CanUndo() const { return !undoHistory.empty(); }

    const std::vector<std::string>& Rows() const { return rows; }
    const std::vector<UndoEntry>& history() const { return undoHistory; }

private:
    std::vector<std::string> rows;
    std::string blankRow;
    std::vector<UndoEntry> undoHistory;
    int icons = 6;
};
