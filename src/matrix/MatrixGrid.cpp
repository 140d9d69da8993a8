// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "matrix/MatrixGrid.h"

#include "core/IconMatrix.h"
#include "matrix/IconSet.h"
#include "matrix/MatrixGridAccessible.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>

#include <algorithm>

namespace {

constexpr int kOutlineWidth = 2;

void drawRing(QPainter& painter, const QRect& outer, int thickness, const QColor& colour)
{
    const int w = outer.width();
    const int h = outer.height();
    painter.fillRect(QRect(outer.left(), outer.top(), w, thickness), colour);
    painter.fillRect(QRect(outer.left(), outer.bottom() - thickness + 1, w, thickness), colour);
    painter.fillRect(QRect(outer.left(), outer.top(), thickness, h), colour);
    painter.fillRect(QRect(outer.right() - thickness + 1, outer.top(), thickness, h), colour);
}

} // namespace

MatrixGrid::MatrixGrid(const IconMatrix& matrix, const IconSet& icons, QWidget* parent)
    : QWidget(parent), matrix(matrix), icons(icons)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(matrixGridAccessibleFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);

    setObjectName(QStringLiteral("matrixGrid"));
    setAccessibleName(tr("Icon grid"));
    setAccessibleDescription(
        tr("Arrow keys, Home and End move between the cells; Space steps the cell to the next "
           "icon, Shift+Space or Backspace to the one before."));
    // The window under it handles every mouse event, as if this were not there.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::StrongFocus);
}

MatrixGrid::~MatrixGrid() = default;

int MatrixGrid::columnCount() const
{
    const auto& rows = matrix.Rows();
    return rows.empty() ? 0 : static_cast<int>(rows.front().size());
}

int MatrixGrid::rowCount() const
{
    return static_cast<int>(matrix.Rows().size());
}

void MatrixGrid::setCursorCell(QPoint cell)
{
    const QPoint kept(std::clamp(cell.x(), 0, std::max(columnCount() - 1, 0)),
                      std::clamp(cell.y(), 0, std::max(rowCount() - 1, 0)));
    if (kept == cursor)
        return;
    if (cursorShown())
        update(cellRect(cursor));
    cursor = kept;
    if (cursorShown())
        update(cellRect(cursor));
    if (hasFocus())
        tellAssistiveTechnology(cursor, QAccessible::Focus);
}

bool MatrixGrid::cursorShown() const
{
    return keyUsed && hasFocus() && columnCount() > 0 && rowCount() > 0;
}

GridGeometry MatrixGrid::gridGeometry() const
{
    // This covers the window's client area down to the strip: the grid's area.
    return GridGeometry::stretched(columnCount(), rowCount(), size());
}

QRect MatrixGrid::cellRect(QPoint cell) const
{
    return gridGeometry().cellRect(cell);
}

QPoint MatrixGrid::cellAt(QPoint position) const
{
    return gridGeometry().cellAt(position);
}

QString MatrixGrid::cellName(QPoint cell) const
{
    if (cell.x() < 0 || cell.y() < 0 || cell.x() >= columnCount() || cell.y() >= rowCount())
        return QString();
    const char letter =
        matrix.Rows()[static_cast<std::size_t>(cell.y())][static_cast<std::size_t>(cell.x())];
    return icons.name(static_cast<unsigned char>(letter) - 'a');
}

void MatrixGrid::reshaped()
{
    // A shrunk grid pulls the cursor back to its new edge.
    setCursorCell(cursor);
    if (QAccessible::isActive()) {
        QAccessibleTableModelChangeEvent event(this, QAccessibleTableModelChangeEvent::ModelReset);
        QAccessible::updateAccessibility(&event);
    }
}

void MatrixGrid::cellChanged(QPoint cell)
{
    tellAssistiveTechnology(cell, QAccessible::NameChanged);
}

void MatrixGrid::requestStep(QPoint cell, int direction)
{
    if (cell.x() >= 0 && cell.y() >= 0 && cell.x() < columnCount() && cell.y() < rowCount())
        emit stepRequested(cell, direction);
}

void MatrixGrid::keyPressEvent(QKeyEvent* event)
{
    const int columns = columnCount();
    const int rows = rowCount();
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (columns < 1 || rows < 1 || (modifiers & (Qt::AltModifier | Qt::MetaModifier))) {
        QWidget::keyPressEvent(event);
        return;
    }
    const bool control = modifiers & Qt::ControlModifier;
    QPoint target = cursor;
    int step = 0;
    switch (event->key()) {
    case Qt::Key_Left:
        target.rx() -= 1;
        break;
    case Qt::Key_Right:
        target.rx() += 1;
        break;
    case Qt::Key_Up:
        target.ry() -= 1;
        break;
    case Qt::Key_Down:
        target.ry() += 1;
        break;
    case Qt::Key_Home:
        target = QPoint(0, control ? 0 : cursor.y());
        break;
    case Qt::Key_End:
        target = QPoint(columns - 1, control ? rows - 1 : cursor.y());
        break;
    case Qt::Key_Space:
        step = (modifiers & Qt::ShiftModifier) ? -1 : +1;
        break;
    case Qt::Key_Backspace:
        step = -1;
        break;
    default:
        // Enter, Escape and the shortcuts belong to the window.
        QWidget::keyPressEvent(event);
        return;
    }
    if (control && event->key() != Qt::Key_Home && event->key() != Qt::Key_End) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    if (!cursorShown()) {
        keyUsed = true;
        update(cellRect(cursor));
    }
    if (step != 0)
        emit stepRequested(cursor, step);
    else
        setCursorCell(target);
    emit keyboardCursor(cursor);
}

void MatrixGrid::paintEvent(QPaintEvent*)
{
    if (!cursorShown())
        return;
    // Two rings, the highlight and inside it the colour meant to be read on the highlight,
    // so that one of them stands out on any picture, light or dark.
    QPainter painter(this);
    const QRect cell = cellRect(cursor);
    drawRing(painter, cell, kOutlineWidth, palette().color(QPalette::Highlight));
    drawRing(painter, cell.adjusted(kOutlineWidth, kOutlineWidth, -kOutlineWidth, -kOutlineWidth),
             1, palette().color(QPalette::HighlightedText));
}

void MatrixGrid::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    // Arriving by Tab is using the keyboard in the grid.
    if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason)
        keyUsed = true;
    if (cursorShown()) {
        update(cellRect(cursor));
        emit keyboardCursor(cursor);
    }
    tellAssistiveTechnology(cursor, QAccessible::Focus);
}

void MatrixGrid::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update(cellRect(cursor));
    // A menu or another window only borrows the focus; anything else ends the keyboard's turn.
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason)
        keyUsed = false;
}

void MatrixGrid::tellAssistiveTechnology(QPoint cell, QAccessible::Event type)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(this);
    if (!table || !table->tableInterface())
        return;
    if (QAccessibleInterface* item = table->tableInterface()->cellAt(cell.y(), cell.x())) {
        QAccessibleEvent event(item, type);
        QAccessible::updateAccessibility(&event);
    }
}
