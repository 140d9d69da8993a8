// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/DevicePixels.h"

#include <QTest>

Q_DECLARE_METATYPE(ScreenPixels)

namespace {

using Screens = QList<ScreenPixels>;

// Desktops as Qt describes them: the primary screen first, each at its device origin, with its
// size in logical pixels.
const Screens oneAt1{{QRect(0, 0, 1920, 1200), 1.0}};
const Screens oneAt2{{QRect(0, 0, 960, 600), 2.0}};
// 3840x1200 device pixels split into two monitors.
const Screens twoAt2{{QRect(0, 0, 960, 600), 2.0}, {QRect(1920, 0, 960, 600), 2.0}};
const Screens at1BesideAt2{{QRect(0, 0, 1920, 1200), 1.0}, {QRect(1920, 0, 960, 600), 2.0}};
const Screens at2BesideAt1{{QRect(0, 0, 960, 600), 2.0}, {QRect(1920, 0, 1920, 1200), 1.0}};
// A monitor left of the primary one and one above it at 1.5 (1920x1080 device pixels).
const Screens negativeOrigins{{QRect(0, 0, 960, 600), 2.0},
                              {QRect(-1920, 0, 960, 600), 2.0},
                              {QRect(0, -1080, 1280, 720), 1.5}};

} // namespace

class TestDevicePixels : public QObject
{
    Q_OBJECT

private slots:
    void pointToDevice_data();
    void pointToDevice();
    void rectFromDevice_data();
    void rectFromDevice();
};

void TestDevicePixels::pointToDevice_data()
{
    QTest::addColumn<Screens>("screens");
    QTest::addColumn<QPoint>("logical");
    QTest::addColumn<QPoint>("device");

    QTest::newRow("one screen at 1") << oneAt1 << QPoint(700, 300) << QPoint(700, 300);
    QTest::newRow("one screen at 2") << oneAt2 << QPoint(350, 150) << QPoint(700, 300);
    QTest::newRow("two at 2: left") << twoAt2 << QPoint(350, 150) << QPoint(700, 300);
    // Not 4420,300: only what lies right of the monitor's origin is scaled.
    QTest::newRow("two at 2: right") << twoAt2 << QPoint(2210, 150) << QPoint(2500, 300);
    QTest::newRow("two at 2: right's corner") << twoAt2 << QPoint(1920, 0) << QPoint(1920, 0);
    QTest::newRow("two at 2: right's last pixel")
        << twoAt2 << QPoint(2879, 599) << QPoint(3838, 1198);
    QTest::newRow("1 beside 2: left") << at1BesideAt2 << QPoint(700, 300) << QPoint(700, 300);
    QTest::newRow("1 beside 2: right") << at1BesideAt2 << QPoint(2210, 150) << QPoint(2500, 300);
    QTest::newRow("2 beside 1: left") << at2BesideAt1 << QPoint(350, 150) << QPoint(700, 300);
    QTest::newRow("2 beside 1: right") << at2BesideAt1 << QPoint(2500, 300) << QPoint(2500, 300);
    QTest::newRow("negative: left of the primary")
        << negativeOrigins << QPoint(-1600, 100) << QPoint(-1280, 200);
    QTest::newRow("negative: above the primary at 1.5")
        << negativeOrigins << QPoint(100, -1000) << QPoint(150, -960);
    QTest::newRow("negative: the primary") << negativeOrigins << QPoint(10, 10) << QPoint(20, 20);
    QTest::newRow("no screens") << Screens{} << QPoint(10, 10) << QPoint(10, 10);
}

void TestDevicePixels::pointToDevice()
{
    QFETCH(Screens, screens);
    QFETCH(QPoint, logical);
    QFETCH(QPoint, device);
    QCOMPARE(toDevicePixels(screens, logical), device);
}

void TestDevicePixels::rectFromDevice_data()
{
    QTest::addColumn<Screens>("screens");
    QTest::addColumn<QRect>("device");
    QTest::addColumn<QRect>("logical");

    const QRect leftWindow(100, 50, 400, 300);
    const QRect rightWindow(2100, 100, 600, 400);
    QTest::newRow("one screen at 1") << oneAt1 << leftWindow << leftWindow;
    QTest::newRow("one screen at 2") << oneAt2 << leftWindow << QRect(50, 25, 200, 150);
    QTest::newRow("two at 2: left") << twoAt2 << leftWindow << QRect(50, 25, 200, 150);
    QTest::newRow("two at 2: right") << twoAt2 << rightWindow << QRect(2010, 50, 300, 200);
    // Across the border, on the screen that holds its centre, as Qt places it.
    QTest::newRow("two at 2: across, mostly right")
        << twoAt2 << QRect(1800, 100, 400, 200) << QRect(1860, 50, 200, 100);
    QTest::newRow("two at 2: across, mostly left")
        << twoAt2 << QRect(1600, 100, 400, 200) << QRect(800, 50, 200, 100);
    // Its centre beyond every screen: the screen it covers.
    QTest::newRow("two at 2: half off the right")
        << twoAt2 << QRect(3700, 100, 400, 200) << QRect(2810, 50, 200, 100);
    QTest::newRow("1 beside 2: left") << at1BesideAt2 << leftWindow << leftWindow;
    QTest::newRow("1 beside 2: right") << at1BesideAt2 << rightWindow << QRect(2010, 50, 300, 200);
    QTest::newRow("2 beside 1: left") << at2BesideAt1 << leftWindow << QRect(50, 25, 200, 150);
    QTest::newRow("2 beside 1: right") << at2BesideAt1 << rightWindow << rightWindow;
    QTest::newRow("negative: left of the primary")
        << negativeOrigins << QRect(-1500, 100, 400, 200) << QRect(-1710, 50, 200, 100);
    QTest::newRow("negative: above the primary at 1.5")
        << negativeOrigins << QRect(300, -900, 600, 300) << QRect(200, -960, 400, 200);
    QTest::newRow("no screens") << Screens{} << leftWindow << leftWindow;
}

void TestDevicePixels::rectFromDevice()
{
    QFETCH(Screens, screens);
    QFETCH(QRect, device);
    QFETCH(QRect, logical);
    QCOMPARE(fromDevicePixels(screens, device), logical);
}

QTEST_APPLESS_MAIN(TestDevicePixels)
#include "TestDevicePixels.moc"
