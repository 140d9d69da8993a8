// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "widgets/ImageButton.h"

#include <QApplication>
#include <QPainter>
#include <QScreen>
#include <QTest>

namespace {

constexpr QRgb kPainted = qRgb(200, 30, 30);    // what the window paints
constexpr QRgb kWindowFill = qRgb(30, 30, 200); // its palette colour, never painted here
constexpr QRgb kPictureColour = qRgb(0, 255, 0);

class Backdrop : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(kPainted)); }
};

} // namespace

// What reaches the screen through the platform's own painting, not only through grab().
class TestImageButtonOnScreen : public QObject
{
    Q_OBJECT

private slots:
    void focusedSeeThroughButtonShowsTheWindowBehindIt()
    {
        Backdrop host;
        QPalette colours = host.palette();
        colours.setColor(QPalette::Window, kWindowFill);
        host.setPalette(colours);
        host.resize(200, 120);
        auto* button = new ImageButton(&host);
        button->setGeometry(100, 60, 50, 40);
        QImage picture(32, 32, QImage::Format_RGB888);
        picture.fill(kPictureColour);
        picture.setPixel(16, 16, qRgb(0, 0, 0));
        button->setBitmapPair(&picture, qRgb(0, 0, 0));
        button->enableSeeThrough(true);
        host.show();
        host.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&host));
        const auto screenPixel = [&host, button](QPoint inButton) {
            const QPoint at = button->mapTo(&host, inButton);
            return host.screen()
                ->grabWindow(host.winId(), at.x(), at.y(), 1, 1)
                .toImage()
                .pixel(0, 0);
        };
        host.setFocus();
        QTRY_COMPARE(screenPixel(QPoint(3, 3)), kPainted);

        // Gaining the focus repaints the button over the copy it already holds.
        button->setFocus();
        QTRY_COMPARE(screenPixel(QPoint(3, 3)), kPainted ^ 0x00ffffff); // focus dot
        QCOMPARE(screenPixel(QPoint(6, 6)), kPainted);
        QCOMPARE(screenPixel(QPoint(9 + 16, 4 + 16)), kPainted); // transparent picture pixel
        QCOMPARE(screenPixel(QPoint(9, 4)), kPictureColour);
    }
};

QTEST_MAIN(TestImageButtonOnScreen)
#include "TestImageButtonOnScreen.moc"
