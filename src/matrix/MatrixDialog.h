// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/IconMatrix.h"
#include "matrix/GridGeometry.h"
#include "matrix/IconSet.h"
#include "matrix/MatrixGrid.h"
#include "widgets/ImageButton.h"

#include <QDialog>
#include <QFont>
#include <QPoint>
#include <QSize>
#include <QString>

class QAction;
class QMenu;

// The main window: a grid of icons sized by the window, stepped by clicks, turned into a
// password by OK. Closing it ends the program.
class MatrixDialog : public QDialog
{
    Q_OBJECT

public:
    // The 256 x 247 dialog-unit layout at its usual 6 x 13 base units: 8 x 7 cells at start.
    static constexpr QSize kInitialClientSize{384, 401};
    // 160 x 148 with a usual frame around it; keeps at least one column and one row.
    static constexpr QSize kMinimumClientSize{144, 109};

    explicit MatrixDialog(QWidget* parent = nullptr);
    ~MatrixDialog() override;

    // The font of the size line and the pointed-at cell.
    static QFont statusTextFont();

    const IconMatrix& iconMatrix() const { return matrix; }
    const IconSet& icons() const;
    // The menu of the window's commands (right click in the strip, the menu key, Shift+F10).
    QMenu* windowMenu();
    int gridColumns() const { return columns; }
    int gridRows() const { return rowCount; }
    QString sizeText() const;
    QString pointerTextShown() const { return pointerText; }
    // The cell under a client position, or (-1, -1) when there is none.
    QPoint cellAt(QPoint position) const;

    // Draws the cells meeting exposed and the size text; the caller has filled the background.
    void PaintMatrix(QPainter& painter, const QRect& exposed) const;

protected:
    // builtInPrefix: where the six own pictures are looked for (tests point it elsewhere).
    MatrixDialog(QWidget* parent, const QString& builtInPrefix);

    // Shows the password and reports whether the user chose to leave the program.
    virtual bool presentPassword(const QString& password);

    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void OnOK();
    void OnAboutButton();
    void OnConfigure();
    void OnUndo();

    // Reads the pictures the first frame did not need, and shows a broken set's message.
    void finishLoadingIcons();
    // Waits for icon 'a' unless it is there; reports broken own pictures (from the event loop
    // when reportLater or while painting).
    void takeFirstIcon(bool reportLater = false);
    // Takes the pictures decoded so far, without waiting.
    void takeReadyIcons();
    // The window icon, and the rest of the pictures from now on.
    void continueAfterFirstFrame();
    void openWindowMenuAtStrip();
    void applyClientSize();
    void placeButtons();
    void stepCell(QPoint position, int direction);
    void stepCellAt(QPoint cell, int direction);
    void ShowPointerCell(QPoint position);
    void showCellText(QPoint cell);
    // The grid as it is now: its shape, stretched over the window as it is now.
    GridGeometry gridGeometry() const;
    QRect cellRect(QPoint cell) const;
    QRect sizeTextRect() const;
    QRect pointerTextRect() const;
    void drawText(QPainter& painter, QPoint topLeft, const QString& text,
                  const QColor& colour) const;

    QAction* aboutAction = nullptr;
    QAction* configureAction = nullptr;
    QAction* undoAction = nullptr;
    QMenu* menu = nullptr;

    IconSet iconSet;
    IconMatrix matrix;
    bool iconsFinished = false;
    bool afterFirstFrameQueued = false;
    // While the first frame is drawn ahead of the map, and whether it was handed over.
    bool drawingAhead = false;
    bool frameHandedOver = false;
    bool windowIconSet = false;
    // After the matrix and the icons, which it reads until it goes; before the buttons, as
    // the keyboard goes from the grid to the buttons from left to right.
    MatrixGrid grid;
    ImageButton aboutButton;
    ImageButton okButton;
    int columns = 0;
    int rowCount = 0;
    // While valid, sizes leave the grid alone: the window's size when the password was made.
    QSize gridHeldAt;
    bool passwordShown = false;
    QString pointerText;
    QFont statusFont;
};
