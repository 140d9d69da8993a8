// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "delivery/PasswordDialog.h"
#include "matrix/AboutDialog.h"
#include "matrix/MatrixDialog.h"
#include "password/SymbolSetDialog.h"
#include "support/IsolatedTest.h"

#include <QAccessible>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {

// Every interface below root, root first.
QList<QAccessibleInterface*> treeOf(QAccessibleInterface* root)
{
    QList<QAccessibleInterface*> all{root};
    for (int i = 0; i < all.size(); ++i) {
        for (int c = 0; c < all[i]->childCount(); ++c) {
            if (QAccessibleInterface* child = all[i]->child(c))
                all << child;
        }
    }
    return all;
}

QAccessibleInterface* firstWithRole(QWidget& window, QAccessible::Role role)
{
    for (QAccessibleInterface* each : treeOf(QAccessible::queryAccessibleInterface(&window))) {
        if (each->role() == role)
            return each;
    }
    return nullptr;
}

void pressKeys(std::initializer_list<Qt::Key> keys)
{
    for (Qt::Key key : keys)
        QTest::keyClick(QApplication::focusWidget(), key);
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void gridIsATableOfCellsNamedByTheirIcons()
    {
        MatrixDialog dialog;
        dialog.show();
        dialog.resize(400, 300);
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));

        QAccessibleInterface* table = firstWithRole(dialog, QAccessible::Table);
        QVERIFY(table);
        QVERIFY(!table->text(QAccessible::Name).isEmpty());
        QAccessibleTableInterface* cells = table->tableInterface();
        QVERIFY(cells);
        QCOMPARE(cells->columnCount(), 8);
        QCOMPARE(cells->rowCount(), 5);
        QCOMPARE(table->childCount(), 40);

        // The cell in the third column of the second row.
        QAccessibleInterface* cell = cells->cellAt(1, 2);
        QVERIFY(cell);
        QCOMPARE(cell->role(), QAccessible::Cell);
        QCOMPARE(cell->text(QAccessible::Name), QStringLiteral("sun"));
        QCOMPARE(cell->tableCellInterface()->rowIndex(), 1);
        QCOMPARE(cell->tableCellInterface()->columnIndex(), 2);
        QCOMPARE(table->child(10), cell);
        QCOMPARE(table->indexOfChild(cell), 10);
        QCOMPARE(cell->rect(), QRect(dialog.mapToGlobal(QPoint(100, 50)), QSize(50, 50)));
        QCOMPARE(table->childAt(dialog.mapToGlobal(QPoint(125, 75)).x(),
                                dialog.mapToGlobal(QPoint(125, 75)).y()),
                 cell);
        QVERIFY(!cell->state().focused);

        // The keyboard's cursor is the focused cell; a step renames it.
        pressKeys({Qt::Key_Right, Qt::Key_Right, Qt::Key_Down, Qt::Key_Space, Qt::Key_Space});
        QCOMPARE(cell->text(QAccessible::Name), QStringLiteral("key"));
        QVERIFY(cell->state().focused);
        QCOMPARE(table->focusChild(), cell);
        QCOMPARE(cells->selectedCells(), QList<QAccessibleInterface*>{cell});

        // A click renames as a key does; "press" steps as a click does.
        QTest::mouseClick(&dialog, Qt::RightButton, {}, QPoint(125, 75));
        QCOMPARE(cell->text(QAccessible::Name), QStringLiteral("moon"));
        cell->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(cell->text(QAccessible::Name), QStringLiteral("key"));
        QTest::keyClick(&dialog, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(cell->text(QAccessible::Name), QStringLiteral("moon"));

        // A smaller window, a smaller table; the cells it keeps keep their icons.
        dialog.resize(150, 150);
        QCOMPARE(cells->columnCount(), 3);
        QCOMPARE(cells->rowCount(), 2);
        QCOMPARE(table->childCount(), 6);
        QCOMPARE(cells->cellAt(1, 2)->text(QAccessible::Name), QStringLiteral("moon"));
        QVERIFY(!cells->cellAt(1, 3));
    }

    void everyButtonIsNamed()
    {
        std::vector<std::unique_ptr<QWidget>> windows;
        windows.push_back(std::make_unique<MatrixDialog>());
        windows.push_back(std::make_unique<PasswordDialog>(nullptr, QStringLiteral("Pw-42")));
        windows.push_back(std::make_unique<AboutDialog>());
        windows.push_back(std::make_unique<SymbolSetDialog>());
        for (const auto& window : windows) {
            const QString where = QLatin1String(window->metaObject()->className());
            int buttons = 0;
            for (QAccessibleInterface* each :
                 treeOf(QAccessible::queryAccessibleInterface(window.get()))) {
                if (each->role() != QAccessible::Button)
                    continue;
                ++buttons;
                QVERIFY2(!each->text(QAccessible::Name).trimmed().isEmpty(), qPrintable(where));
            }
            QVERIFY2(buttons >= 2, qPrintable(where));
        }
    }

    void passwordIsHiddenUntilShown()
    {
        const QString password = QStringLiteral("Pw-9Xq#7");
        PasswordDialog dialog(nullptr, password);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const auto anyTextHolds = [&dialog](const QString& secret) {
            for (QAccessibleInterface* each :
                 treeOf(QAccessible::queryAccessibleInterface(&dialog))) {
                for (QAccessible::Text type : {QAccessible::Name, QAccessible::Description,
                                               QAccessible::Value, QAccessible::Help}) {
                    if (each->text(type).contains(secret))
                        return true;
                }
            }
            return false;
        };
        QVERIFY(!anyTextHolds(password));
        auto* show = dialog.findChild<QPushButton*>(QStringLiteral("showButton"));
        QTest::mouseClick(show, Qt::LeftButton);
        QCOMPARE(QAccessible::queryAccessibleInterface(show)->text(QAccessible::Name), password);
    }
};

int main(int argc, char** argv)
{
    return runWithGlyphlockApp<TestAccessibility>(argc, argv);
}

#include "TestAccessibility.moc"
