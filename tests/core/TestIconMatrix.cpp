// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/IconMatrix.h"

#include <QTest>

using Rows = std::vector<std::string>;

class TestIconMatrix : public QObject
{
    Q_OBJECT

private slots:
    void newMatrixIsAllA()
    {
        IconMatrix matrix;
        matrix.Resize(3, 2);
        QCOMPARE(matrix.Rows(), (Rows{"aaa", "aaa"}));
        QVERIFY(!matrix.CanUndo());
    }

    void resizeKeepsTheSharedTopLeftCells()
    {
        IconMatrix matrix;
        matrix.Resize(5, 3);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 5; ++c)
                matrix.Step(c, r, +1);
        matrix.Resize(3, 2);
        QCOMPARE(matrix.Rows(), (Rows{"bbb", "bbb"}));
        matrix.Resize(5, 3);
        QCOMPARE(matrix.Rows(), (Rows{"bbbaa", "bbbaa", "aaaaa"}));
    }

    void resizeEmptiesTheHistoryEvenAtTheSameSize()
    {
        IconMatrix matrix;
        matrix.Resize(2, 2);
        QVERIFY(matrix.Step(0, 0, +1));
        QVERIFY(matrix.CanUndo());
        matrix.Resize(2, 2);
        QVERIFY(!matrix.CanUndo());
        QCOMPARE(matrix.Rows(), (Rows{"ba", "aa"}));
    }

    void stepWrapsAtBothEnds_data()
    {
        QTest::addColumn<int>("icons");
        QTest::addColumn<char>("start");
        QTest::addColumn<int>("direction");
        QTest::addColumn<char>("result");
        QTest::newRow("6 icons, back from a") << 6 << 'a' << -1 << 'f';
        QTest::newRow("6 icons, on from f") << 6 << 'f' << +1 << 'a';
        QTest::newRow("6 icons, a to b") << 6 << 'a' << +1 << 'b';
        QTest::newRow("27 icons, back from a") << 27 << 'a' << -1 << '{';
        QTest::newRow("27 icons, on from {") << 27 << '{' << +1 << 'a';
        QTest::newRow("27 icons, z to {") << 27 << 'z' << +1 << '{';
    }

    void stepWrapsAtBothEnds()
    {
        QFETCH(int, icons);
        QFETCH(char, start);
        QFETCH(int, direction);
        QFETCH(char, result);
        IconMatrix matrix;
        matrix.setIconCount(icons);
        matrix.Resize(1, 1);
        while (matrix.Rows()[0][0] != start)
            matrix.Step(0, 0, +1);
        matrix.Step(0, 0, direction);
        QCOMPARE(matrix.Rows()[0][0], result);
    }

    void sixStepsComeBackToA()
    {
        IconMatrix matrix;
        matrix.Resize(1, 1);
        for (int i = 0; i < 6; ++i)
            matrix.Step(0, 0, +1);
        QCOMPARE(matrix.Rows()[0], std::string("a"));
    }

    void outOfRangeStepsDoNothing_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("row");
        QTest::newRow("negative column") << -1 << 0;
        QTest::newRow("column past the end") << 3 << 0;
        QTest::newRow("negative row") << 0 << -1;
        QTest::newRow("row past the end") << 0 << 2;
    }

    void outOfRangeStepsDoNothing()
    {
        QFETCH(int, column);
        QFETCH(int, row);
        IconMatrix matrix;
        matrix.Resize(3, 2);
        QVERIFY(!matrix.Step(column, row, +1));
        QVERIFY(!matrix.CanUndo());
        QCOMPARE(matrix.Rows(), (Rows{"aaa", "aaa"}));
    }

    void historyHoldsAHundredSteps()
    {
        IconMatrix matrix;
        matrix.setIconCount(27);
        matrix.Resize(101, 1);
        for (int c = 0; c < 100; ++c)
            QVERIFY(matrix.Step(c, 0, +1));
        // The 101st step changes its cell but cannot be taken back.
        QVERIFY(!matrix.Step(100, 0, +1));
        QCOMPARE(matrix.Rows()[0][100], 'b');
        QCOMPARE(matrix.history().size(), std::size_t(100));
        QVERIFY(matrix.Undo());
        QCOMPARE(matrix.Rows()[0][99], 'a');
        QCOMPARE(matrix.Rows()[0][100], 'b');
    }

    void undoWalksBackThroughEachLetter()
    {
        IconMatrix matrix;
        matrix.Resize(1, 1);
        matrix.Step(0, 0, +1);
        matrix.Step(0, 0, +1);
        matrix.Step(0, 0, -1);
        QCOMPARE(matrix.Rows()[0], std::string("b"));
        QVERIFY(matrix.Undo());
        QCOMPARE(matrix.Rows()[0], std::string("c"));
        QVERIFY(matrix.Undo());
        QCOMPARE(matrix.Rows()[0], std::string("b"));
        QVERIFY(matrix.Undo());
        QCOMPARE(matrix.Rows()[0], std::string("a"));
        QVERIFY(!matrix.Undo());
        QVERIFY(!matrix.CanUndo());
    }

    void rowsAreRemovedFromTheBottom()
    {
        IconMatrix matrix;
        matrix.Resize(2, 3);
        matrix.Step(0, 0, +1);
        matrix.Step(1, 2, +1);
        matrix.Resize(2, 1);
        QCOMPARE(matrix.Rows(), (Rows{"ba"}));
    }

    // New cells come from a 256-cell blank row, as they always have.
    void rowsGrowByAtMost256Cells()
    {
        IconMatrix matrix;
        matrix.Resize(300, 1);
        QCOMPARE(matrix.Rows()[0].size(), std::size_t(256));
    }
};

QTEST_APPLESS_MAIN(TestIconMatrix)
#include "TestIconMatrix.moc"
