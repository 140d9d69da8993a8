// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "matrix/MatrixDialog.h"

#include "base/Privacy.h"
#include "delivery/PasswordDialog.h"
#include "matrix/AboutDialog.h"
#include "password/PasswordGenerator.h"
#include "password/SymbolSetDialog.h"
#include "platform/FirstFrame.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QIcon>
#include <QImageReader>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QShowEvent>

#include <algorithm>

namespace {

constexpr int kTextLeft = 5;
constexpr int kSizeTextRise = 45;    // size text top: client height minus this
constexpr int kPointerTextRise = 20; // pointer text top: client height minus this
constexpr QSize kButtonSize{50, 40};
constexpr const char* kNoCellText = "-------------";
// The picture buttons' left edges: client width minus these.
constexpr int kAboutButtonInset = 105;
constexpr int kOkButtonInset = 55;

// Pictures keep the detail the densest screen present can show.
int decodeBoundForScreens()
{
    qreal ratio = 1;
    for (const QScreen* screen : QGuiApplication::screens())
        ratio = std::max(ratio, screen->devicePixelRatio());
    return IconPicture::decodeBoundFor(ratio);
}

} // namespace

QFont MatrixDialog::statusTextFont()
{
    // One small sans font everywhere, without smoothing, so the status texts show exactly
    // the colours they are drawn in.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif, QFont::NoAntialias);
    font.setPixelSize(12);
    return font;
}

MatrixDialog::MatrixDialog(QWidget* parent) : MatrixDialog(parent, QStringLiteral(":/icons/")) {}

MatrixDialog::MatrixDialog(QWidget* parent, const QString& builtInPrefix)
    // The pictures are decoded on a thread of their own, from the start: icon 'a' while the
    // window is built and shown, the others once the first frame is out (see paintEvent).
    : QDialog(parent),
      iconSet(
          builtInPrefix, IconSet::searchFolders(QCoreApplication::applicationFilePath()),
          [this] {
              QMetaObject::invokeMethod(this, &MatrixDialog::takeReadyIcons, Qt::QueuedConnection);
          },
          decodeBoundForScreens()),
      grid(matrix, iconSet, this), aboutButton(this), okButton(this)
{
    setWindowTitle(QStringLiteral("Glyphlock"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setMouseTracking(true);
    // The grid paints every pixel itself; nothing needs erasing first.
    setAttribute(Qt::WA_OpaquePaintEvent);

    statusFont = statusTextFont();

    okButton.setObjectName(QStringLiteral("okButton"));
    //: Spoken name of the picture button that makes the password from the grid.
    okButton.setAccessibleName(tr("OK"));
    okButton.setDefault(true);
    aboutButton.setObjectName(QStringLiteral("aboutButton"));
    //: Spoken name of the "?" picture button that opens the About box.
    aboutButton.setAccessibleName(tr("About"));
    for (ImageButton* button : {&okButton, &aboutButton})
        button->resize(kButtonSize);
    connect(&okButton, &QPushButton::clicked, this, &MatrixDialog::OnOK);
    connect(&aboutButton, &QPushButton::clicked, this, &MatrixDialog::OnAboutButton);

    // A denser screen plugged in later gets sharper pictures too.
    connect(qGuiApp, &QGuiApplication::screenAdded, this, [this](QScreen* screen) {
        if (iconSet.raiseDecodeBound(IconPicture::decodeBoundFor(screen->devicePixelRatio())))
            update();
    });
    connect(&grid, &MatrixGrid::stepRequested, this, &MatrixDialog::stepCellAt);
    connect(&grid, &MatrixGrid::keyboardCursor, this, &MatrixDialog::showCellText);

    // There is no portable window menu to extend: the commands live in a menu opened from
    // the strip below the grid, and as shortcuts.
    aboutAction = new QAction(tr("&About Glyphlock and Usage..."), this);
    aboutAction->setObjectName(QStringLiteral("aboutAction"));
    aboutAction->setShortcut(QKeySequence::HelpContents);
    configureAction = new QAction(tr("C&onfigure..."), this);
    configureAction->setObjectName(QStringLiteral("configureAction"));
    // Ctrl+, is where desktops put a program's settings.
    configureAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    //: Takes back the last step of a grid cell.
    undoAction = new QAction(tr("&Undo"), this);
    undoAction->setObjectName(QStringLiteral("undoAction"));
    undoAction->setShortcut(QKeySequence::Undo);
    undoAction->setEnabled(false);
    connect(aboutAction, &QAction::triggered, this, &MatrixDialog::OnAboutButton);
    connect(configureAction, &QAction::triggered, this, &MatrixDialog::OnConfigure);
    connect(undoAction, &QAction::triggered, this, &MatrixDialog::OnUndo);
    for (QAction* command : {aboutAction, configureAction, undoAction})
        command->setShortcutVisibleInContextMenu(true);
    addActions({aboutAction, configureAction, undoAction});
    // Shift+F10 asks for a context menu from the keyboard, as the menu key does.
    auto* windowMenuAction = new QAction(this);
    windowMenuAction->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10));
    connect(windowMenuAction, &QAction::triggered, this, &MatrixDialog::openWindowMenuAtStrip);
    addAction(windowMenuAction);

    setMinimumSize(kMinimumClientSize);
    resize(kInitialClientSize);
    // The grid exists from the start, all 'a', even before the window is first shown.
    applyClientSize();

    okButton.loadBitmapPair(QStringLiteral(":/buttons/ok.png"), qRgb(0, 0, 0));
    okButton.enableSeeThrough(true);
    aboutButton.loadBitmapPair(QStringLiteral(":/buttons/help.png"), qRgb(0, 0, 0));
    aboutButton.enableSeeThrough(true);
    // Broken own pictures are reported before the window shows. Only the own 'a' can show
    // that so early; a user's 'a' (a camera picture, maybe) may take until the first paint.
    if (!IconSet::fileInFolders(iconSet.folders(), 0))
        takeFirstIcon();
}

MatrixDialog::~MatrixDialog()
{
    // Nothing may be handed to a window that is going.
    iconSet.stopReading();
}

void MatrixDialog::takeFirstIcon(bool reportLater)
{
    if (iconSet.Count() > 0 || iconsFinished)
        return;
    iconSet.loadNext();
    if (!iconSet.builtInsFailed())
        return;
    // The report is a message box: never from inside a paint.
    if (reportLater || paintingActive())
        QMetaObject::invokeMethod(this, &MatrixDialog::finishLoadingIcons, Qt::QueuedConnection);
    else
        finishLoadingIcons();
}

void MatrixDialog::takeReadyIcons()
{
    while (!iconsFinished && iconSet.nextIsReady()) {
        if (iconSet.Count() == 0) {
            takeFirstIcon();
            continue;
        }
        // Before the first frame only 'a' is wanted; the rest comes after it.
        if (!afterFirstFrameQueued)
            return;
        if (!iconSet.loadNext())
            finishLoadingIcons();
    }
}

QMenu* MatrixDialog::windowMenu()
{
    // Made when first wanted: laying out a menu loads the menu font, which the first frame
    // does not show.
    if (!menu) {
        menu = new QMenu(this);
        menu->setObjectName(QStringLiteral("windowMenu"));
        menu->addActions({aboutAction, configureAction, undoAction});
    }
    return menu;
}

const IconSet& MatrixDialog::icons() const
{
    // Reading the set finishes it: nobody sees it half loaded.
    const_cast<MatrixDialog*>(this)->finishLoadingIcons();
    return iconSet;
}

void MatrixDialog::finishLoadingIcons()
{
    if (iconsFinished)
        return;
    iconsFinished = true;
    while (iconSet.loadNext()) {
    }
    matrix.setIconCount(iconSet.Count());
    if (iconSet.builtInsFailed()) {
        // A broken installation: the buttons go without pictures, as the set does.
        okButton.setBitmapPair(nullptr, 0);
        aboutButton.setBitmapPair(nullptr, 0);
        QMessageBox::critical(this, QCoreApplication::applicationName(),
                              tr("Resource not ready. The program may be broken."));
    }
}

void MatrixDialog::continueAfterFirstFrame()
{
    // The window shows what it painted itself from now on.
    if (frameHandedOver) {
        frameHandedOver = false;
        FirstFrame::release(*this);
    }
    if (!windowIconSet) {
        windowIconSet = true;
        QIcon appIcon;
        for (const char* path : {":/app/glyphlock.png", ":/app/glyphlock-48.png"}) {
            QImageReader reader(QLatin1String(path), "png");
            reader.setAutoDetectImageFormat(false);
            appIcon.addPixmap(QPixmap::fromImage(reader.read()));
        }
        setWindowIcon(appIcon);
    }
    // The others are decoded meanwhile, and taken as they come (takeReadyIcons).
    iconSet.releaseRest();
    takeReadyIcons();
}

QString MatrixDialog::sizeText() const
{
    return QStringLiteral("%1  x %2     ").arg(columns).arg(rowCount);
}

QPoint MatrixDialog::cellAt(QPoint position) const
{
    return gridGeometry().cellAt(position);
}

void MatrixDialog::PaintMatrix(QPainter& painter, const QRect& exposed) const
{
    const GridGeometry geometry = gridGeometry();
    const int cellWidth = geometry.cell.width();
    const int cellHeight = geometry.cell.height();
    if (geometry.hasCells()) {
        const auto& rows = matrix.Rows();
        const int firstRow = std::max(exposed.top(), 0) / cellHeight;
        const int lastRow = std::min(exposed.bottom() / cellHeight, rowCount - 1);
        const int firstColumn = std::max(exposed.left(), 0) / cellWidth;
        const int lastColumn = std::min(exposed.right() / cellWidth, columns - 1);
        for (int r = firstRow; r <= lastRow && r < static_cast<int>(rows.size()); ++r) {
            const std::string& cells = rows[static_cast<std::size_t>(r)];
            for (int c = firstColumn; c <= lastColumn && c < static_cast<int>(cells.size()); ++c) {
                const int icon =
                    static_cast<unsigned char>(cells[static_cast<std::size_t>(c)]) - 'a';
                iconSet.Picture(icon).Draw(
                    painter, QRect(c * cellWidth, r * cellHeight, cellWidth, cellHeight));
            }
        }
    }
    drawText(painter, QPoint(kTextLeft, height() - kSizeTextRise), sizeText(), Qt::white);
}

bool MatrixDialog::presentPassword(const QString& password)
{
    PasswordDialog dialog(this, password);
    dialog.exec();
    return dialog.exitRequested();
}

void MatrixDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Before the first map: where the window system would show the window empty until its
    // first paint has gone through (X11), the first frame goes along with the map instead.
    if (afterFirstFrameQueued || frameHandedOver || !FirstFrame::shownAtMap())
        return;
    takeFirstIcon(true);
    drawingAhead = true;
    frameHandedOver = FirstFrame::showAtMap(*this);
    drawingAhead = false;
}

void MatrixDialog::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    takeFirstIcon();
    painter.fillRect(event->rect(), Qt::black);
    PaintMatrix(painter, event->rect());
    if (!pointerText.isEmpty())
        drawText(painter, pointerTextRect().topLeft(), pointerText, QColor(0, 255, 0));
    if (!afterFirstFrameQueued && !drawingAhead) {
        // Queued: it runs once this frame has gone to the screen.
        afterFirstFrameQueued = true;
        QMetaObject::invokeMethod(this, &MatrixDialog::continueAfterFirstFrame,
                                  Qt::QueuedConnection);
    }
}

void MatrixDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    applyClientSize();
}

void MatrixDialog::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    // Coming back from the taskbar brings no size change with it, yet counts as a resize.
    const auto* change = static_cast<QWindowStateChangeEvent*>(event);
    if ((change->oldState() & Qt::WindowMinimized) && !isMinimized())
        applyClientSize();
}

void MatrixDialog::mouseMoveEvent(QMouseEvent* event)
{
    ShowPointerCell(event->position().toPoint());
    QDialog::mouseMoveEvent(event);
}

void MatrixDialog::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint position = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        stepCell(position, +1);
    } else if (event->button() == Qt::RightButton) {
        // A right release over a cell steps it; anywhere else in the window it opens the menu.
        if (cellAt(position) == QPoint(-1, -1) && rect().contains(position))
            windowMenu()->popup(event->globalPosition().toPoint());
        else
            stepCell(position, -1);
    }
    QDialog::mouseReleaseEvent(event);
}

void MatrixDialog::contextMenuEvent(QContextMenuEvent* event)
{
    // Mouse requests are served on release (see above); the menu key opens it at the strip.
    if (event->reason() == QContextMenuEvent::Mouse) {
        event->accept();
        return;
    }
    openWindowMenuAtStrip();
}

void MatrixDialog::openWindowMenuAtStrip()
{
    windowMenu()->popup(mapToGlobal(QPoint(kTextLeft, height() - kSizeTextRise)));
}

void MatrixDialog::OnOK()
{
    finishLoadingIcons();
    QString password = PasswordGenerator::generate(matrix.Rows());
    // The grid is the picture the password shows: it stays as it is while the password is
    // shown, whatever size the window is given meanwhile (a tiling window manager may place it
    // anew when it comes back after a pick), and a window that ends up at another size is
    // asked back to its own.
    gridHeldAt = size();
    passwordShown = true;
    const bool exitRequested = presentPassword(password);
    passwordShown = false;
    // The dialog has let go of its copies; this is the last one.
    secureClear(password);
    if (exitRequested) {
        QDialog::accept();
        return;
    }
    if (size() == gridHeldAt)
        gridHeldAt = QSize();
    else
        resize(gridHeldAt);
}

void MatrixDialog::OnAboutButton()
{
    AboutDialog dialog(this);
    dialog.exec();
}

void MatrixDialog::OnConfigure()
{
    SymbolSetDialog dialog(this);
    dialog.exec();
}

void MatrixDialog::OnUndo()
{
    finishLoadingIcons();
    if (!matrix.CanUndo())
        return;
    const UndoEntry last = matrix.history().back();
    matrix.Undo();
    undoAction->setEnabled(matrix.CanUndo());
    update(cellRect(QPoint(last.column, last.row)));
    grid.cellChanged(QPoint(last.column, last.row));
}

void MatrixDialog::applyClientSize()
{
    placeButtons();
    grid.setGeometry(0, 0, width(), std::max(height() - GridGeometry::kStripHeight, 0));
    if (isMinimized())
        return;
    if (gridHeldAt.isValid()) {
        if (passwordShown) {
            update();
            return;
        }
        // The first size after the password: our own back, or a new one the user chose.
        const bool back = size() == gridHeldAt;
        gridHeldAt = QSize();
        if (back) {
            update();
            return;
        }
    }
    const GridGeometry geometry = GridGeometry::fitting(size());
    if (geometry.columns < 1 || geometry.rows < 1)
        return;
    columns = geometry.columns;
    rowCount = geometry.rows;
    matrix.Resize(columns, rowCount);
    grid.reshaped();
    undoAction->setEnabled(false);
    // The window is repainted black from scratch, which wipes the pointer line too.
    pointerText.clear();
    update();
}

void MatrixDialog::placeButtons()
{
    aboutButton.move(width() - kAboutButtonInset, height() - kSizeTextRise);
    okButton.move(width() - kOkButtonInset, height() - kSizeTextRise);
}

void MatrixDialog::stepCell(QPoint position, int direction)
{
    const QPoint cell = cellAt(position);
    if (cell == QPoint(-1, -1)) {
        update(sizeTextRect());
        return;
    }
    // The keyboard carries on from the cell the mouse used last.
    grid.setCursorCell(cell);
    grid.setFocus(Qt::MouseFocusReason);
    stepCellAt(cell, direction);
}

void MatrixDialog::stepCellAt(QPoint cell, int direction)
{
    // A step wraps around the whole set: it must be complete.
    finishLoadingIcons();
    // A step always changes the cell; it is only not remembered for Undo once the history
    // is full.
    if (matrix.Step(cell.x(), cell.y(), direction))
        undoAction->setEnabled(true);
    // Only the changed cell: a full repaint of a large grid costs several times more.
    update(cellRect(cell));
    grid.cellChanged(cell);
    update(sizeTextRect());
}

void MatrixDialog::ShowPointerCell(QPoint position)
{
    showCellText(cellAt(position));
}

void MatrixDialog::showCellText(QPoint cell)
{
    const QString text = cell == QPoint(-1, -1)
                             ? QLatin1String(kNoCellText)
                             : QStringLiteral("%1  , %2     ").arg(cell.x()).arg(cell.y());
    if (text == pointerText)
        return;
    pointerText = text;
    update(pointerTextRect());
}

GridGeometry MatrixDialog::gridGeometry() const
{
    return GridGeometry::stretched(columns, rowCount, GridGeometry::areaIn(size()));
}

QRect MatrixDialog::cellRect(QPoint cell) const
{
    return gridGeometry().cellRect(cell);
}

QRect MatrixDialog::sizeTextRect() const
{
    const QFontMetrics metrics(statusFont);
    return QRect(QPoint(kTextLeft, height() - kSizeTextRise),
                 QSize(metrics.horizontalAdvance(sizeText()), metrics.height()));
}

QRect MatrixDialog::pointerTextRect() const
{
    const QFontMetrics metrics(statusFont);
    // Wide enough for the longest text the line can show, so no earlier text survives.
    const int width = std::max(metrics.horizontalAdvance(QStringLiteral("9999  , 9999     ")),
                               metrics.horizontalAdvance(QLatin1String(kNoCellText)));
    return QRect(kTextLeft, height() - kPointerTextRise, width, metrics.height());
}

void MatrixDialog::drawText(QPainter& painter, QPoint topLeft, const QString& text,
                            const QColor& colour) const
{
    const QFontMetrics metrics(statusFont);
    painter.fillRect(QRect(topLeft, QSize(metrics.horizontalAdvance(text), metrics.height())),
                     Qt::black);
    painter.setFont(statusFont);
    painter.setPen(colour);
    painter.drawText(topLeft + QPoint(0, metrics.ascent()), text);
}
