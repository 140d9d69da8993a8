// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The icon matrix under arbitrary sequences of resize, step and undo, against a plain model
// of the same rules kept here.
#include "core/IconMatrix.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Model
{
    struct Change
    {
        int column, row;
        char previous;
    };

    int icons = 6;
    std::vector<std::string> rows;
    std::vector<Change> history;

    void resize(int columns, int rowCount)
    {
        history.clear();
        const std::size_t c = std::size_t(std::max(columns, 0));
        for (std::string& row : rows) {
            if (row.size() < c)
                row += std::string(std::min<std::size_t>(c - row.size(), 256), 'a');
            else
                row = row.substr(0, c);
        }
        rows.resize(std::size_t(std::max(rowCount, 0)),
                    std::string(std::min<std::size_t>(c, 256), 'a'));
    }

    bool step(int column, int row, int direction)
    {
        if (row < 0 || row >= int(rows.size()) || column < 0 ||
            column >= int(rows[std::size_t(row)].size()))
            return false;
        char& cell = rows[std::size_t(row)][std::size_t(column)];
        const bool recorded = history.size() < 100;
        if (recorded)
            history.push_back({column, row, cell});
        const int index = cell - 'a' + direction;
        cell = index >= icons ? 'a' : index < 0 ? char('a' + icons - 1) : char('a' + index);
        return recorded;
    }

    bool undo()
    {
        if (history.empty())
            return false;
        rows[std::size_t(history.back().row)][std::size_t(history.back().column)] =
            history.back().previous;
        history.pop_back();
        return true;
    }
};

void expect(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "icon matrix differs from the model: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    IconMatrix matrix;
    Model model;
    model.icons = input.ConsumeIntegralInRange(6, 27);
    matrix.setIconCount(model.icons);

    while (input.remaining_bytes() > 0) {
        switch (input.ConsumeIntegralInRange(0, 7)) {
        case 0: { // beyond the 256-column blank row and a little outside the matrix too
            const int columns = input.ConsumeIntegralInRange(-2, 300);
            const int rowCount = input.ConsumeIntegralInRange(-2, 40);
            matrix.Resize(columns, rowCount);
            model.resize(columns, rowCount);
            break;
        }
        case 1:
            expect(matrix.Undo() == model.undo(), "undo result");
            break;
        case 2: // the window counts the icons after its first resize
            model.icons = input.ConsumeIntegralInRange(6, 27);
            matrix.setIconCount(model.icons);
            break;
        default: {
            // Up to one past the edges, where the out-of-range checks bite.
            std::size_t widest = 0;
            for (const std::string& cells : model.rows)
                widest = std::max(widest, cells.size());
            const int column = input.ConsumeIntegralInRange(-1, int(widest));
            const int row = input.ConsumeIntegralInRange(-1, int(model.rows.size()));
            const int direction = input.ConsumeBool() ? 1 : -1;
            expect(matrix.Step(column, row, direction) == model.step(column, row, direction),
                   "step result");
            break;
        }
        }
        expect(matrix.Rows() == model.rows, "rows");
        expect(matrix.CanUndo() == !model.history.empty(), "undo availability");
        expect(matrix.history().size() == model.history.size(), "history length");
    }
    return 0;
}
