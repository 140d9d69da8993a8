// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/GlyphlockApp.h"
#include "matrix/MatrixDialog.h"
#include "support/IsolatedTest.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Aligned 2 x 2 blocks of the area whose four pixels are not all the same. A picture blown up
// from half the resolution has none.
int detailedBlocks(const QImage& image, const QRect& area)
{
    int blocks = 0;
    for (int y = area.top(); y + 1 <= area.bottom(); y += 2) {
        for (int x = area.left(); x + 1 <= area.right(); x += 2) {
            const QRgb p = image.pixel(x, y);
            if (image.pixel(x + 1, y) != p || image.pixel(x, y + 1) != p ||
                image.pixel(x + 1, y + 1) != p)
                ++blocks;
        }
    }
    return blocks;
}

} // namespace

// Runs at a device pixel ratio of 2 (set in main below).
class TestHiDpi : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(qApp->devicePixelRatio(), 2.0); }

    void gridKeepsItsLogicalGeometry()
    {
        MatrixDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.devicePixelRatio(), 2.0);
        QCOMPARE(dialog.size(), MatrixDialog::kInitialClientSize);
        QCOMPARE(dialog.sizeText(), QStringLiteral("8  x 7     "));

        dialog.resize(400, 300);
        QCOMPARE(dialog.sizeText(), QStringLiteral("8  x 5     "));
        QCOMPARE(dialog.cellAt(QPoint(399, 249)), QPoint(7, 4));
        QTest::mousePress(&dialog, Qt::LeftButton, {}, QPoint(110, 60));
        QTest::mouseRelease(&dialog, Qt::LeftButton, {}, QPoint(110, 60));
        QCOMPARE(dialog.iconMatrix().Rows()[1], std::string("aabaaaaa"));
    }

    void cellsAndTextAreDrawnAtDeviceResolution()
    {
        MatrixDialog dialog;
        dialog.show();
        dialog.resize(400, 300);
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QPixmap grabbed = dialog.grab();
        QCOMPARE(grabbed.devicePixelRatio(), 2.0);
        QImage shot = grabbed.toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shot.size(), QSize(800, 600));
        // From here on, compare plain device pixels.
        shot.setDevicePixelRatio(1.0);

        // The top-left cell (50 x 50) is the picture scaled straight to 100 x 100 pixels.
        QImage expected(100, 100, QImage::Format_RGB32);
        expected.fill(Qt::black);
        QPainter painter(&expected);
        dialog.icons().Picture(0).Draw(painter, QRect(0, 0, 100, 100));
        painter.end();
        QCOMPARE(shot.copy(0, 0, 100, 100), expected);
        QVERIFY(detailedBlocks(shot, QRect(0, 0, 100, 100)) > 100);

        // The size text at the bottom left has device-pixel strokes too.
        const QRect sizeText(2 * 5, 2 * (300 - 45), 2 * 60, 2 * 20);
        QVERIFY(detailedBlocks(shot, sizeText) > 0);

        // So do the button pictures: the 32 x 32 pictures come with copies at twice the size,
        // drawn at (9, 4) inside the 50 x 40 buttons as before.
        for (const QPoint button : {QPoint(400 - 105, 300 - 45), QPoint(400 - 55, 300 - 45)}) {
            const QRect picture(2 * (button.x() + 9), 2 * (button.y() + 4), 64, 64);
            QVERIFY(detailedBlocks(shot, picture) > 0);
        }
    }

    void scaledCopyFollowsTheRatio()
    {
        // 96 device pixels are a 96-pixel cell at 1x and a 48-pixel cell at 2x: the copy made
        // for one must not be drawn for the other.
        MatrixDialog dialog;
        const IconPicture& picture = dialog.icons().Picture(0);
        for (const qreal ratio : {1.0, 2.0, 1.0}) {
            QImage target(200, 200, QImage::Format_RGB32);
            target.setDevicePixelRatio(ratio);
            target.fill(Qt::white);
            QPainter painter(&target);
            picture.Draw(painter, QRect(QPoint(0, 0), QSize(96, 96) / ratio));
            painter.end();
            QCOMPARE(target.pixel(95, 95) == qRgb(255, 255, 255), false);
            QCOMPARE(target.pixel(96, 96), qRgb(255, 255, 255));
        }
    }
};

int main(int argc, char** argv)
{
    qputenv("QT_SCALE_FACTOR", "2");
    return runWithGlyphlockApp<TestHiDpi>(argc, argv);
}

#include "TestHiDpi.moc"
