// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/GlyphlockApp.h"
#include "matrix/MatrixDialog.h"
#include "support/IsolatedTest.h"

#include <QAction>
#include <QMenu>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// Stands in for the password dialog: keeps what it was shown and answers "Exit" or not.
class RecordingMatrixDialog : public MatrixDialog
{
public:
    QStringList shown;
    bool answerExit = false;
    // Runs while the password is shown, as things the window system does meanwhile.
    std::function<void(MatrixDialog&)> meanwhile;

protected:
    bool presentPassword(const QString& password) override
    {
        shown << password;
        if (meanwhile)
            meanwhile(*this);
        return answerExit;
    }
};

// Keeps the area of every repaint.
class RepaintRecordingDialog : public MatrixDialog
{
public:
    QRegion repainted;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        repainted += event->region();
        MatrixDialog::paintEvent(event);
    }
};

// Looks for its own pictures in a folder of the test's choosing.
class OwnPicturesFromDialog : public MatrixDialog
{
public:
    explicit OwnPicturesFromDialog(const QString& prefix) : MatrixDialog(nullptr, prefix) {}
};

QString cellsOf(const MatrixDialog& dialog)
{
    QStringList rows;
    for (const std::string& row : dialog.iconMatrix().Rows())
        rows << QString::fromStdString(row);
    return rows.join(QLatin1Char('/'));
}

// Releases as the window system delivers them: a press somewhere, the release where asked.
void release(QWidget* widget, Qt::MouseButton button, QPoint at, QPoint pressedAt = {})
{
    QTest::mousePress(widget, button, {}, pressedAt.isNull() ? at : pressedAt);
    QTest::mouseRelease(widget, button, {}, at);
}

QWidget* gridOf(QWidget& dialog)
{
    return dialog.findChild<QWidget*>(QStringLiteral("matrixGrid"));
}

// Keys as written in menus ("Ctrl+End"), one after the other, to whatever has the focus.
void pressKeys(const QStringList& keys)
{
    for (const QString& key : keys) {
        const QKeyCombination combination = QKeySequence(key)[0];
        QTest::keyClick(QApplication::focusWidget(), combination.key(),
                        combination.keyboardModifiers());
    }
}

// Shows the dialog at 400 x 300 (8 x 5 cells of 50 x 50) and makes it the active window.
void showActive(MatrixDialog& dialog, QSize size = QSize(400, 300))
{
    dialog.show();
    dialog.resize(size);
    QApplication::setActiveWindow(&dialog);
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
}

QAction* action(QWidget& dialog, const char* name)
{
    return dialog.findChild<QAction*>(QLatin1String(name));
}

// Runs trigger and reports the class of the modal dialog it opened, closing that dialog.
QString modalOpenedBy(const std::function<void()>& trigger)
{
    QString opened;
    QTimer::singleShot(0, [&opened] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            opened = QLatin1String(modal->metaObject()->className());
            modal->close();
        }
    });
    trigger();
    return opened;
}

} // namespace

class TestMatrixDialog : public QObject
{
    Q_OBJECT

private slots:
    void geometryFollowsTheClientArea_data()
    {
        QTest::addColumn<QSize>("client");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QSize>("cell");

        QTest::addRow("400 x 300") << QSize(400, 300) << 8 << 5 << QSize(50, 50);
        QTest::addRow("start-up size") << QSize(384, 401) << 8 << 7 << QSize(48, 50);
        QTest::addRow("smallest client") << QSize(144, 109) << 3 << 1 << QSize(48, 59);
        QTest::addRow("just under two cells") << QSize(95, 145) << 1 << 1 << QSize(95, 95);
        QTest::addRow("too short for a row") << QSize(400, 97) << 8 << 0 << QSize();
        QTest::addRow("too narrow for a column") << QSize(47, 400) << 0 << 7 << QSize();
    }

    void geometryFollowsTheClientArea()
    {
        QFETCH(QSize, client);
        QFETCH(int, columns);
        QFETCH(int, rows);
        QFETCH(QSize, cell);
        const GridGeometry geometry = GridGeometry::fitting(client);
        QCOMPARE(geometry.columns, columns);
        QCOMPARE(geometry.rows, rows);
        QCOMPARE(geometry.cell, cell);
    }

    void startsAsEightBySevenOfIconA()
    {
        MatrixDialog dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Glyphlock"));
        QCOMPARE(dialog.sizeText(), QStringLiteral("8  x 7     "));
        QCOMPARE(cellsOf(dialog), QStringList(7, QStringLiteral("aaaaaaaa")).join('/'));
        QCOMPARE(dialog.icons().Count(), 6);
        QVERIFY(!action(dialog, "undoAction")->isEnabled());
    }

    void missingOwnPicturesAreReportedThenTheWindowRuns()
    {
        QTemporaryDir empty;
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QTimer::singleShot(0, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                title = box->windowTitle();
                text = box->text();
                icon = box->icon();
                box->accept();
            }
        });
        OwnPicturesFromDialog dialog(empty.path() + QLatin1Char('/'));
        QCOMPARE(text, QStringLiteral("Resource not ready. The program may be broken."));
        QCOMPARE(icon, QMessageBox::Critical);
        QCOMPARE(title, QCoreApplication::applicationName());
        QCOMPARE(dialog.icons().Count(), 6);

        // Cells of empty pictures stay black and still step.
        dialog.show();
        dialog.resize(400, 300);
        release(&dialog, Qt::LeftButton, QPoint(10, 10));
        QCOMPARE(dialog.iconMatrix().Rows()[0][0], 'b');
        const QImage shot = dialog.grab(QRect(0, 0, 400, 250)).toImage();
        QCOMPARE(shot.pixel(25, 25) & 0xffffff, 0u);
        QCOMPARE(shot.pixel(399, 249) & 0xffffff, 0u);
    }

    void resizeReshapesAndForgetsHistory()
    {
        MatrixDialog dialog;
        dialog.show();
        dialog.resize(400, 300);
        QCOMPARE(dialog.sizeText(), QStringLiteral("8  x 5     "));
        QCOMPARE(dialog.cellAt(QPoint(399, 249)), QPoint(7, 4));
        QCOMPARE(dialog.cellAt(QPoint(50, 50)), QPoint(1, 1));

        release(&dialog, Qt::LeftButton, QPoint(10, 10));
        QAction* undo = action(dialog, "undoAction");
        QVERIFY(undo->isEnabled());
        // Same dimensions (8 x 5), different size: still a resize.
        dialog.resize(410, 310);
        QCOMPARE(dialog.sizeText(), QStringLiteral("8  x 5     "));
        QVERIFY(!dialog.iconMatrix().CanUndo());
        QVERIFY(!undo->isEnabled());
        QCOMPARE(dialog.iconMatrix().Rows().front(), std::string("baaaaaaa"));

        // Back from minimised is a resize even without a size change; minimising is not.
        release(&dialog, Qt::LeftButton, QPoint(10, 10));
        dialog.setWindowState(Qt::WindowMinimized);
        QVERIFY(dialog.iconMatrix().CanUndo());
        dialog.setWindowState(Qt::WindowNoState);
        QVERIFY(!dialog.iconMatrix().CanUndo());
        QVERIFY(!undo->isEnabled());
        QCOMPARE(dialog.iconMatrix().Rows().front(), std::string("caaaaaaa"));
    }

    void clicksStepTheCellUnderTheRelease()
    {
        MatrixDialog dialog;
        dialog.show();
        dialog.resize(400, 300);
        QAction* undo = action(dialog, "undoAction");

        release(&dialog, Qt::RightButton, QPoint(110, 10));
        QCOMPARE(dialog.iconMatrix().Rows()[0], std::string("aafaaaaa"));
        QVERIFY(undo->isEnabled());
        undo->trigger();
        QCOMPARE(dialog.iconMatrix().Rows()[0], std::string("aaaaaaaa"));
        QVERIFY(!undo->isEnabled());

        // Pressed over (0, 0), released over (2, 1): only the release counts.
        release(&dialog, Qt::LeftButton, QPoint(110, 60), QPoint(10, 10));
        QCOMPARE(cellsOf(dialog).left(17), QStringLiteral("aaaaaaaa/aabaaaaa"));

        // A double click arrives as press, release, double-click, release: two steps.
        QTest::mousePress(&dialog, Qt::LeftButton, {}, QPoint(360, 210));
        QTest::mouseRelease(&dialog, Qt::LeftButton, {}, QPoint(360, 210));
        QMouseEvent twice(QEvent::MouseButtonDblClick, QPointF(360, 210),
                          dialog.mapToGlobal(QPointF(360, 210)), Qt::LeftButton, Qt::LeftButton,
                          {});
        QApplication::sendEvent(&dialog, &twice);
        QTest::mouseRelease(&dialog, Qt::LeftButton, {}, QPoint(360, 210));
        QCOMPARE(dialog.iconMatrix().Rows()[4][7], 'c');

        // Outside the grid (the strip, or released beyond the window) changes nothing.
        const QString before = cellsOf(dialog);
        const auto historyBefore = dialog.iconMatrix().history().size();
        release(&dialog, Qt::LeftButton, QPoint(20, 270));
        release(&dialog, Qt::LeftButton, QPoint(-10, -10), QPoint(10, 10));
        release(&dialog, Qt::LeftButton, QPoint(450, 10), QPoint(10, 10));
        QCOMPARE(cellsOf(dialog), before);
        QCOMPARE(dialog.iconMatrix().history().size(), historyBefore);

        // Undo walks back through every step, then greys itself.
        while (undo->isEnabled())
            undo->trigger();
        QCOMPARE(cellsOf(dialog), QStringList(5, QStringLiteral("aaaaaaaa")).join('/'));
    }

    void clickAndUndoRepaintOnlyTheirCell()
    {
        RepaintRecordingDialog dialog;
        dialog.show();
        dialog.resize(400, 300);
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTRY_VERIFY(!dialog.repainted.isEmpty());
        const QRect grid(0, 0, 400, 250);
        const QRect cell(100, 50, 50, 50);

        dialog.repainted = QRegion();
        release(&dialog, Qt::LeftButton, QPoint(110, 60));
        QTRY_VERIFY(!dialog.repainted.isEmpty());
        QCOMPARE(dialog.repainted.intersected(grid), QRegion(cell));
        // Below the grid only the size line, never the buttons.
        for (const char* name : {"okButton", "aboutButton"})
            QVERIFY(!dialog.repainted.intersects(
                dialog.findChild<QWidget*>(QLatin1String(name))->geometry()));

        dialog.repainted = QRegion();
        action(dialog, "undoAction")->trigger();
        QTRY_VERIFY(!dialog.repainted.isEmpty());
        QCOMPARE(dialog.repainted, QRegion(cell));
        QCOMPARE(cellsOf(dialog).left(17), QStringLiteral("aaaaaaaa/aaaaaaaa"));
    }

    // Once Undo remembers no more steps, a click still changes its cell, and the screen must
    // show it: the password comes from what the grid holds.
    void clicksBeyondTheUndoHistoryStillRepaintTheirCell()
    {
        RepaintRecordingDialog dialog;
        dialog.show();
        dialog.resize(400, 300);
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QPoint inCell(110, 60);
        for (std::size_t i = 0; i < IconMatrix::kMaxUndo; ++i)
            release(&dialog, Qt::LeftButton, inCell);
        // Everything the clicks and the focus asked for is painted first.
        QTest::qWait(300);

        dialog.repainted = QRegion();
        const char before = dialog.iconMatrix().Rows()[1][2];
        release(&dialog, Qt::LeftButton, inCell);
        QVERIFY(dialog.iconMatrix().Rows()[1][2] != before);
        QTRY_VERIFY(dialog.repainted.contains(QRect(100, 50, 50, 50)));
    }

    void rightReleaseInTheStripOpensTheWindowMenu()
    {
        MatrixDialog dialog;
        dialog.show();
        dialog.resize(400, 300);
        QMenu* menu = dialog.windowMenu();
        QStringList texts;
        for (QAction* item : menu->actions())
            texts << item->text();
        QCOMPARE(texts, (QStringList{"&About Glyphlock and Usage...", "C&onfigure...", "&Undo"}));

        release(&dialog, Qt::RightButton, QPoint(20, 270));
        QVERIFY(menu->isVisible());
        QVERIFY(!dialog.iconMatrix().CanUndo());
        menu->close();
    }

    // Shift+F10 is the keyboard's other way to ask for a context menu, beside the menu key.
    void shiftF10OpensTheWindowMenu()
    {
        MatrixDialog dialog;
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QMenu* menu = dialog.windowMenu();
        QVERIFY(!menu->isVisible());
        QTest::keyClick(&dialog, Qt::Key_F10, Qt::ShiftModifier);
        QVERIFY(menu->isVisible());
        QVERIFY(dialog.geometry().contains(menu->pos()));
        menu->close();
    }

    void shortcutsReachTheCommands()
    {
        MatrixDialog dialog;
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        release(&dialog, Qt::LeftButton, QPoint(10, 10));
        QTest::keyClick(&dialog, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(dialog.iconMatrix().Rows()[0][0], 'a');
        QVERIFY(!action(dialog, "undoAction")->isEnabled());
        QCOMPARE(modalOpenedBy([&dialog] { QTest::keyClick(&dialog, Qt::Key_F1); }),
                 QStringLiteral("AboutDialog"));
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(modalOpenedBy(
                     [&dialog] { QTest::keyClick(&dialog, Qt::Key_Comma, Qt::ControlModifier); }),
                 QStringLiteral("SymbolSetDialog"));
        // The window menu shows every command's key.
        for (const char* name : {"aboutAction", "configureAction", "undoAction"}) {
            QVERIFY2(!action(dialog, name)->shortcut().isEmpty(), name);
            QVERIFY2(action(dialog, name)->isShortcutVisibleInContextMenu(), name);
        }
    }

    void gridComesFirstInTheTabOrder()
    {
        RecordingMatrixDialog dialog;
        showActive(dialog);
        QWidget* grid = gridOf(dialog);
        QVERIFY(grid);
        QCOMPARE(QApplication::focusWidget(), grid);
        QStringList order;
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(order, (QStringList{"aboutButton", "okButton", "matrixGrid"}));
    }

    void keysMoveTheCursor_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QPoint>("cell");
        // 8 x 5 cells; each row ends with Space, which steps the cursor's cell.
        QTest::addRow("where it starts") << QStringList{"Space"} << QPoint(0, 0);
        QTest::addRow("arrows") << QStringList{"Right", "Right", "Down", "Space"} << QPoint(2, 1);
        QTest::addRow("left and up stop at the edge")
            << QStringList{"Right", "Left", "Left", "Up", "Space"} << QPoint(0, 0);
        QTest::addRow("right and down stop at the edge")
            << (QStringList(9, "Right") << QStringList(6, "Down") << "Space") << QPoint(7, 4);
        QTest::addRow("End: the row's last cell")
            << QStringList{"Down", "End", "Space"} << QPoint(7, 1);
        QTest::addRow("Home: the row's first cell")
            << QStringList{"Down", "Right", "Right", "Home", "Space"} << QPoint(0, 1);
        QTest::addRow("Ctrl+End: the last cell")
            << QStringList{"Ctrl+End", "Space"} << QPoint(7, 4);
        QTest::addRow("Ctrl+Home: the first cell")
            << QStringList{"Down", "Ctrl+End", "Ctrl+Home", "Space"} << QPoint(0, 0);
    }

    void keysMoveTheCursor()
    {
        QFETCH(QStringList, keys);
        QFETCH(QPoint, cell);
        RecordingMatrixDialog dialog;
        showActive(dialog);
        pressKeys(keys);
        QStringList expected(5, QStringLiteral("aaaaaaaa"));
        expected[cell.y()][cell.x()] = QLatin1Char('b');
        QCOMPARE(cellsOf(dialog), expected.join('/'));
        // The green line names the cursor's cell while the keyboard is in use.
        QCOMPARE(dialog.pointerTextShown(),
                 QStringLiteral("%1  , %2     ").arg(cell.x()).arg(cell.y()));
    }

    void keysStepAsClicksDo()
    {
        RecordingMatrixDialog clicked;
        clicked.show();
        clicked.resize(400, 300);
        for (Qt::MouseButton button : {Qt::LeftButton, Qt::LeftButton, Qt::RightButton})
            release(&clicked, button, QPoint(60, 10));
        release(&clicked, Qt::RightButton, QPoint(60, 60));

        RecordingMatrixDialog keyed;
        showActive(keyed);
        pressKeys({"Right", "Space", "Space", "Shift+Space", "Down", "Backspace"});
        QCOMPARE(cellsOf(keyed).left(17), QStringLiteral("abaaaaaa/afaaaaaa"));
        QCOMPARE(cellsOf(keyed), cellsOf(clicked));
        QCOMPARE(keyed.iconMatrix().history().size(), clicked.iconMatrix().history().size());

        // Undo takes back a key's step like a click's; a click moves the cursor to its cell.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(cellsOf(keyed).left(17), QStringLiteral("abaaaaaa/aaaaaaaa"));
        release(&keyed, Qt::LeftButton, QPoint(160, 210));
        pressKeys({"Space", "Left", "Space"});
        QCOMPARE(keyed.iconMatrix().Rows()[4], std::string("aabcaaaa"));
        QCOMPARE(QApplication::focusWidget(), gridOf(keyed));
        QVERIFY(keyed.shown.isEmpty());
    }

    void enterIsOkAndEscapeLeavesWithTheGridFocused()
    {
        RecordingMatrixDialog dialog;
        // 3 x 2 cells: the middle of the top row stepped twice, "aca" / "aaa".
        showActive(dialog, QSize(150, 150));
        pressKeys({"Right", "Space", "Space", "Return"});
        QCOMPARE(dialog.shown, QStringList{QStringLiteral("~90N#Tr3cuZ,4fmsl8h")});
        QVERIFY(dialog.isVisible());
        pressKeys({"Escape"});
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    void cursorShowsOnlyWhileTheKeyboardIsUsedInTheGrid()
    {
        RecordingMatrixDialog dialog;
        showActive(dialog);
        const QColor ring = dialog.palette().color(QPalette::Highlight);
        const QColor inner = dialog.palette().color(QPalette::HighlightedText);
        // Pixels on the left edge of cell (1, 1): the outer ring and the line inside it.
        const auto edgeOf = [&dialog] {
            const QImage shot = dialog.grab().toImage();
            return std::pair{QColor(shot.pixel(51, 75)), QColor(shot.pixel(52, 75))};
        };
        const auto untouched = edgeOf();
        QVERIFY(untouched.first != ring);

        pressKeys({"Right", "Down"});
        QCOMPARE(edgeOf(), (std::pair{ring, inner}));
        // Gone when the focus leaves the grid, back when Tab brings it round again.
        pressKeys({"Tab"});
        QCOMPARE(edgeOf(), untouched);
        pressKeys({"Tab", "Tab"});
        QCOMPARE(edgeOf(), (std::pair{ring, inner}));
    }

    void resizingKeepsTheCursorInside()
    {
        RecordingMatrixDialog dialog;
        showActive(dialog);
        pressKeys({"Ctrl+End"});
        // 3 x 2 cells: the cursor comes back to the new last cell.
        dialog.resize(150, 150);
        pressKeys({"Space"});
        QCOMPARE(cellsOf(dialog), QStringLiteral("aaa/aab"));
        QCOMPARE(dialog.pointerTextShown(), QStringLiteral("2  , 1     "));
    }

    void commandsOpenTheirDialogs()
    {
        MatrixDialog dialog;
        dialog.show();
        auto* about = dialog.findChild<QPushButton*>(QStringLiteral("aboutButton"));
        QCOMPARE(modalOpenedBy([about] { about->click(); }), QStringLiteral("AboutDialog"));
        QCOMPARE(modalOpenedBy([&dialog] { action(dialog, "aboutAction")->trigger(); }),
                 QStringLiteral("AboutDialog"));
        QCOMPARE(modalOpenedBy([&dialog] { action(dialog, "configureAction")->trigger(); }),
                 QStringLiteral("SymbolSetDialog"));
        QVERIFY(dialog.isVisible());
    }

    void pointerTextNamesTheCell_data()
    {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QString>("text");
        // 410 x 300: cells of 51 x 50, two pixels left over at the right.
        QTest::addRow("top-left cell") << QPoint(1, 1) << QStringLiteral("0  , 0     ");
        QTest::addRow("third cell of the top row")
            << QPoint(102, 49) << QStringLiteral("2  , 0     ");
        QTest::addRow("last cell") << QPoint(407, 249) << QStringLiteral("7  , 4     ");
        QTest::addRow("strip") << QPoint(100, 250) << QStringLiteral("-------------");
        QTest::addRow("leftover pixels") << QPoint(408, 10) << QStringLiteral("-------------");
    }

    void pointerTextNamesTheCell()
    {
        QFETCH(QPoint, at);
        QFETCH(QString, text);
        MatrixDialog dialog;
        dialog.show();
        dialog.resize(410, 300);
        QCOMPARE(dialog.pointerTextShown(), QString());
        QTest::mouseMove(&dialog, at);
        QTRY_COMPARE(dialog.pointerTextShown(), text);
    }

    void paintsTextsOnBlack()
    {
        MatrixDialog dialog;
        dialog.show();
        dialog.resize(400, 300);
        QTest::mouseMove(&dialog, QPoint(60, 60));
        QTRY_COMPARE(dialog.pointerTextShown(), QStringLiteral("1  , 1     "));
        const QImage shot = dialog.grab(QRect(0, 0, 300, 300)).toImage();

        // Every pixel of the strip's text area is black, pure white or pure green; white only
        // in the size line, green only in the pointer line.
        int white = 0, green = 0;
        for (int y = 250; y < 300; ++y) {
            for (int x = 0; x < 150; ++x) {
                const QRgb pixel = shot.pixel(x, y) & 0xffffff;
                const bool sizeLine = y >= 255 && y < 280;
                if (pixel == 0xffffff && sizeLine)
                    ++white;
                else if (pixel == 0x00ff00 && !sizeLine)
                    ++green;
                else
                    QVERIFY2(pixel == 0, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            }
        }
        QVERIFY(white > 20);
        QVERIFY(green > 20);

        // Cells show their picture stretched to 50 x 50, edge to edge.
        QImage expected(50, 50, QImage::Format_RGB32);
        QPainter painter(&expected);
        dialog.icons().Picture(0).Draw(painter, QRect(0, 0, 50, 50));
        painter.end();
        QCOMPARE(shot.copy(250, 200, 50, 50).convertToFormat(QImage::Format_RGB32), expected);
    }

    void okShowsThePasswordOfTheGrid()
    {
        RecordingMatrixDialog dialog;
        dialog.show();
        // 3 x 2 cells of 50 x 50; the middle of the top row stepped twice: "aca" / "aaa".
        dialog.resize(150, 150);
        release(&dialog, Qt::LeftButton, QPoint(75, 25));
        release(&dialog, Qt::LeftButton, QPoint(75, 25));
        QCOMPARE(cellsOf(dialog), QStringLiteral("aca/aaa"));

        auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("okButton"));
        QVERIFY(ok->isDefault());
        QTest::mouseClick(ok, Qt::LeftButton);
        QTest::keyClick(&dialog, Qt::Key_Return);
        QTRY_COMPARE(dialog.shown.size(), 2);
        QCOMPARE(dialog.shown.front(), QStringLiteral("~90N#Tr3cuZ,4fmsl8h"));
        QCOMPARE(dialog.shown.back(), dialog.shown.front());
        // Left without Exit: the window stays, the grid and its history unchanged.
        QVERIFY(dialog.isVisible());
        QCOMPARE(cellsOf(dialog), QStringLiteral("aca/aaa"));
        QVERIFY(dialog.iconMatrix().CanUndo());

        dialog.answerExit = true;
        ok->click();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    // A window manager may give the window another size while the password shows (a tiling
    // one that takes it anew after a pick): the grid stays the picture the password came from,
    // and the window is asked back to its size. A size of the user's afterwards reshapes.
    void sizeGivenWhileThePasswordShowsLeavesTheGrid()
    {
        RecordingMatrixDialog dialog;
        dialog.show();
        dialog.resize(150, 150);
        release(&dialog, Qt::LeftButton, QPoint(75, 25));
        QString shownCells, shownSize;
        dialog.meanwhile = [&](MatrixDialog& window) {
            window.resize(796, 1178);
            shownCells = cellsOf(window);
            shownSize = window.sizeText();
        };
        QTest::keyClick(&dialog, Qt::Key_Return);
        QCOMPARE(shownCells, QStringLiteral("aba/aaa"));
        QCOMPARE(shownSize, QStringLiteral("3  x 2     "));
        QTRY_COMPARE(dialog.size(), QSize(150, 150));
        QCOMPARE(cellsOf(dialog), QStringLiteral("aba/aaa"));
        QVERIFY(dialog.iconMatrix().CanUndo());
        dialog.meanwhile = nullptr;
        QTest::keyClick(&dialog, Qt::Key_Return);
        QCOMPARE(dialog.shown.back(), dialog.shown.front());

        dialog.resize(200, 150);
        QCOMPARE(cellsOf(dialog), QStringLiteral("abaa/aaaa"));
        QVERIFY(!dialog.iconMatrix().CanUndo());
    }

    void escapeEndsTheWindow()
    {
        RecordingMatrixDialog dialog;
        dialog.show();
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(dialog.shown.isEmpty());
    }
};

int main(int argc, char** argv)
{
    return runWithGlyphlockApp<TestMatrixDialog>(argc, argv);
}

#include "TestMatrixDialog.moc"
