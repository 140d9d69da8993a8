// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/GlyphlockApp.h"
#include "matrix/IconSet.h"
#include "matrix/MatrixDialog.h"
#include "support/IsolatedTest.h"

#include <QDir>
#include <QImageReader>
#include <QPainter>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

namespace {

// Rings whose spacing narrows outwards to a few pixels, over a soft gradient: a cell blown up
// from fewer pixels than it shows looks soft.
QImage detailedPicture(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const double r = std::hypot(x - size.width() / 3.0, y - size.height() / 2.0);
            const int red = int(127.5 + 127.5 * std::sin(r * r / 150.0));
            const int green = int(127.5 + 127.5 * std::cos(r * r / 300.0));
            image.setPixel(x, y, qRgb(red, green, 255 * y / size.height()));
        }
    }
    return image;
}

// Peak signal-to-noise ratio of two pictures of one size, in dB over the three colours.
double psnr(const QImage& a, const QImage& b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            for (const int d : {qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q)})
                sum += d * d;
        }
    }
    const double mse = sum / (3.0 * a.width() * a.height());
    return mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
}

// The picture decoded whole and drawn into a cell of `pixels` as a cell is drawn.
QImage fullDecodeDrawn(const QString& path, QSize pixels)
{
    QImageReader reader(path);
    const QImage whole = reader.read();
    QImage drawn(pixels, QImage::Format_RGB32);
    drawn.fill(Qt::black);
    QPainter painter(&drawn);
    painter.drawImage(0, 0, whole.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    return drawn;
}

} // namespace

// Runs at a device pixel ratio of 3 (set in main below).
class TestDenseScreen : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCOMPARE(qApp->devicePixelRatio(), 3.0);
        // A picture in the user folder replaces the own 'a'; it has as many pixels a side as
        // the largest cell shows at this ratio (95 x 3), all of which count.
        const QString folder = IconSet::userFolder();
        QVERIFY(!folder.isEmpty() && QDir().mkpath(folder));
        picturePath = folder + QStringLiteral("a.jpg");
        QVERIFY(detailedPicture(QSize(285, 285)).save(picturePath, "JPEG", 95));
    }

    void cleanupTestCase() { QFile::remove(picturePath); }

    // The largest cell at this ratio: one row of 95 x 3 device pixels, three columns of 63.
    void largestCellsAreAsSharpAsTheWholePicture()
    {
        MatrixDialog dialog;
        dialog.show();
        dialog.resize(191, 95 + GridGeometry::kStripHeight);
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.sizeText().simplified(), QStringLiteral("3 x 1"));

        QImage shot = dialog.grab().toImage().convertToFormat(QImage::Format_RGB32);
        shot.setDevicePixelRatio(1.0);
        const QImage cell = shot.copy(0, 0, 3 * 63, 3 * 95);
        const QImage expected = fullDecodeDrawn(picturePath, cell.size());
        QVERIFY2(cell == expected,
                 qPrintable(QStringLiteral("PSNR %1 dB").arg(psnr(cell, expected))));
    }

private:
    QString picturePath;
};

int main(int argc, char** argv)
{
    qputenv("QT_SCALE_FACTOR", "3");
    return runWithGlyphlockApp<TestDenseScreen>(argc, argv);
}

#include "TestDenseScreen.moc"
