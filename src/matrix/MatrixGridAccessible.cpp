// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "matrix/MatrixGridAccessible.h"

#include "matrix/MatrixGrid.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QWindow>

#include <map>
#include <utility>

namespace {

// One cell, identified by its column and row; everything else is read from the grid when
// asked, so a cell stays right while the icons change under it.
class GridCell : public QAccessibleInterface,
                 public QAccessibleTableCellInterface,
                 public QAccessibleActionInterface
{
public:
    GridCell(MatrixGrid* grid, int column, int row) : grid(grid), column(column), row(row) {}

    bool isValid() const override
    {
        return grid && column < grid->columnCount() && row < grid->rowCount();
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return grid ? grid->window()->windowHandle() : nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override
    {
        return grid ? QAccessible::queryAccessibleInterface(grid.data()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

    QString text(QAccessible::Text type) const override
    {
        if (!isValid() || type != QAccessible::Name)
            return QString();
        return grid->cellName(QPoint(column, row));
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!isValid())
            return QRect();
        const QRect cell = grid->cellRect(QPoint(column, row));
        return QRect(grid->mapToGlobal(cell.topLeft()), cell.size());
    }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        state.focusable = true;
        state.selectable = true;
        state.selected = isSelected();
        state.focused = isSelected() && grid->hasFocus();
        state.invisible = !grid->isVisible();
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableCellInterface)
            return static_cast<QAccessibleTableCellInterface*>(this);
        if (type == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface*>(this);
        return nullptr;
    }

    // The cursor cell is the one selected cell.
    bool isSelected() const override
    {
        return isValid() && grid->cursorCell() == QPoint(column, row);
    }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return column; }
    int rowIndex() const override { return row; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

    // "Press" steps the cell forward, as a left click does; "set focus" puts the cursor there.
    QStringList actionNames() const override { return {pressAction(), setFocusAction()}; }
    void doAction(const QString& name) override
    {
        if (!isValid())
            return;
        if (name == pressAction()) {
            grid->requestStep(QPoint(column, row), +1);
        } else if (name == setFocusAction()) {
            grid->setFocus(Qt::OtherFocusReason);
            grid->setCursorCell(QPoint(column, row));
        }
    }
    QStringList keyBindingsForAction(const QString& name) const override
    {
        return name == pressAction() ? QStringList{QStringLiteral("Space")} : QStringList();
    }

private:
    QPointer<MatrixGrid> grid;
    const int column;
    const int row;
};

class GridTable : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    explicit GridTable(MatrixGrid* grid) : QAccessibleWidget(grid, QAccessible::Table) {}

    ~GridTable() override
    {
        for (const auto& [where, id] : cells)
            QAccessible::deleteAccessibleInterface(id);
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    int childCount() const override { return grid()->columnCount() * grid()->rowCount(); }
    QAccessibleInterface* child(int index) const override
    {
        const int columns = grid()->columnCount();
        if (index < 0 || index >= childCount())
            return nullptr;
        return cellAt(index / columns, index % columns);
    }
    int indexOfChild(const QAccessibleInterface* item) const override
    {
        const auto* cell =
            item ? const_cast<QAccessibleInterface*>(item)->tableCellInterface() : nullptr;
        if (!cell || cell->table() != this || !item->isValid())
            return -1;
        return cell->rowIndex() * grid()->columnCount() + cell->columnIndex();
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        const QPoint cell = grid()->cellAt(grid()->mapFromGlobal(QPoint(x, y)));
        return cell.x() < 0 ? nullptr : cellAt(cell.y(), cell.x());
    }
    QAccessibleInterface* focusChild() const override
    {
        if (!grid()->hasFocus())
            return nullptr;
        return cellAt(grid()->cursorCell().y(), grid()->cursorCell().x());
    }

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override
    {
        if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
            return nullptr;
        const auto known = cells.find({column, row});
        if (known != cells.end())
            return QAccessible::accessibleInterface(known->second);
        auto* cell = new GridCell(grid(), column, row);
        cells.emplace(std::make_pair(column, row), QAccessible::registerAccessibleInterface(cell));
        return cell;
    }
    int selectedCellCount() const override { return childCount() > 0 ? 1 : 0; }
    QList<QAccessibleInterface*> selectedCells() const override
    {
        if (childCount() == 0)
            return {};
        return {cellAt(grid()->cursorCell().y(), grid()->cursorCell().x())};
    }
    QString columnDescription(int) const override { return QString(); }
    QString rowDescription(int) const override { return QString(); }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override { return grid()->columnCount(); }
    int rowCount() const override { return grid()->rowCount(); }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }

    // Cells that fell off a shrunk grid go; the others name a cell that still exists.
    void modelChange(QAccessibleTableModelChangeEvent*) override
    {
        for (auto it = cells.begin(); it != cells.end();) {
            if (it->first.first >= columnCount() || it->first.second >= rowCount()) {
                QAccessible::deleteAccessibleInterface(it->second);
                it = cells.erase(it);
            } else {
                ++it;
            }
        }
    }

private:
    MatrixGrid* grid() const { return static_cast<MatrixGrid*>(widget()); }

    // (column, row) -> the registered cell.
    mutable std::map<std::pair<int, int>, QAccessible::Id> cells;
};

} // namespace

QAccessibleInterface* matrixGridAccessibleFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("MatrixGrid") && object && object->isWidgetType())
        return new GridTable(static_cast<MatrixGrid*>(object));
    return nullptr;
}
