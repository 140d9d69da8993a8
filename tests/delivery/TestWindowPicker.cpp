// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "RecordingPickerPlatform.h"
#include "delivery/WindowPicker.h"

#include <QTest>

namespace {

using WindowId = PickerPlatform::WindowId;

// Our two windows, a child and a grandchild of the dialog, and two windows of another program.
constexpr WindowId kMain = 0x100;
constexpr WindowId kDialog = 0x200;
constexpr WindowId kDialogChild = 0x201;
constexpr WindowId kDialogGrandchild = 0x202;
constexpr WindowId kMainOwned = 0x101;
constexpr WindowId kEditor = 0x300;
constexpr WindowId kEditorChild = 0x301;
constexpr WindowId kBrowser = 0x400;

const QPoint kInDialog(110, 110);
const QPoint kInEditor(310, 10);
const QPoint kInEditorElsewhere(390, 90);
const QPoint kInBrowser(510, 10);
const QPoint kOnDesktop(900, 900);

void addWorld(RecordingPickerPlatform& platform)
{
    platform.addWindow({kMain, QRect(0, 0, 100, 100), "Main", 0});
    platform.addWindow({kMainOwned, QRect(0, 0, 10, 10), "Owned", kMain});
    platform.addWindow({kDialog, QRect(100, 100, 100, 100), "Dialog", kMain});
    platform.addWindow({kDialogChild, QRect(150, 150, 10, 10), "Child", kDialog});
    platform.addWindow({kDialogGrandchild, QRect(155, 155, 2, 2), "Grandchild", kDialogChild});
    platform.addWindow({kEditor, QRect(300, 0, 100, 100), "Editor", 0});
    platform.addWindow({kEditorChild, QRect(320, 20, 10, 10), "EditBox", kEditor});
    platform.addWindow({kBrowser, QRect(500, 0, 100, 100), "Browser", 0});
}

} // namespace

class TestWindowPicker : public QObject
{
    Q_OBJECT

private slots:
    void acceptanceRule_data()
    {
        QTest::addColumn<WindowId>("candidate");
        QTest::addColumn<bool>("pickable");
        QTest::addRow("no window") << WindowId(0) << false;
        QTest::addRow("handle of no window") << WindowId(0x999) << false;
        QTest::addRow("main window") << kMain << false;
        QTest::addRow("password dialog") << kDialog << false;
        QTest::addRow("child of the dialog") << kDialogChild << false;
        QTest::addRow("owned by the main window") << kMainOwned << false;
        QTest::addRow("grandchild of the dialog") << kDialogGrandchild << true;
        QTest::addRow("another program") << kEditor << true;
        QTest::addRow("child of another program") << kEditorChild << true;
    }

    void acceptanceRule()
    {
        QFETCH(WindowId, candidate);
        QFETCH(bool, pickable);
        RecordingPickerPlatform platform;
        addWorld(platform);
        WindowPicker picker(platform);
        picker.start(kMain, kDialog);
        QCOMPARE(picker.isPickableWindow(candidate), pickable);
    }

    void describeWindow_data()
    {
        QTest::addColumn<WindowId>("window");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("text");
        QTest::addRow("short handle padded") << WindowId(0xabc) << "Edit"
                                             << "Window Handle:0x00000ABC.\r\nClass Name:Edit.";
        QTest::addRow("eight digits") << WindowId(0x1e00007) << ""
                                      << "Window Handle:0x01E00007.\r\nClass Name:.";
        QTest::addRow("98 characters kept")
            << WindowId(0x12345678) << QString(98, 'x')
            << "Window Handle:0x12345678.\r\nClass Name:" + QString(98, 'x') + ".";
        QTest::addRow("99 characters cut")
            << WindowId(0x12345678) << QString(98, 'x') + "y"
            << "Window Handle:0x12345678.\r\nClass Name:" + QString(98, 'x') + ".";
        QTest::addRow("no half character at the cut")
            << WindowId(1) << QString(97, 'x') + QString::fromUtf8("😀")
            << "Window Handle:0x00000001.\r\nClass Name:" + QString(97, 'x') + ".";
    }

    void describeWindow()
    {
        QFETCH(WindowId, window);
        QFETCH(QString, className);
        QFETCH(QString, text);
        QCOMPARE(WindowPicker::describeWindow(window, className), text);
    }

    // One session of picks in order: the frame's path, the texts, and what is chosen.
    void picksFollowThePointer()
    {
        RecordingPickerPlatform platform;
        addWorld(platform);
        WindowPicker picker(platform);

        // Press and release in the dialog: nothing framed, nothing chosen.
        picker.start(kMain, kDialog);
        QCOMPARE(picker.track(kInDialog), std::nullopt);
        QCOMPARE(picker.finish(), WindowId(0));
        QVERIFY(platform.frameLog.isEmpty());
        QVERIFY(!picker.isPicking());

        // Editor, then around inside it, then over our dialog, then the browser.
        picker.start(kMain, kDialog);
        QCOMPARE(picker.track(kInEditor), "Window Handle:0x00000300.\r\nClass Name:Editor.");
        QCOMPARE(picker.track(kInEditorElsewhere), std::nullopt);
        QCOMPARE(picker.track(kInDialog), std::nullopt);
        QCOMPARE(platform.frameShownOn, kEditor);
        QCOMPARE(picker.track(kOnDesktop), std::nullopt);
        QCOMPARE(picker.track(kInBrowser), "Window Handle:0x00000400.\r\nClass Name:Browser.");
        QCOMPARE(platform.frameLog, QStringList({"show 300", "hide", "show 400"}));
        QCOMPARE(picker.finish(), kBrowser);
        QCOMPARE(platform.frameShownOn, WindowId(0));
        QCOMPARE(picker.framedWindow(), kBrowser);

        // The next pick goes straight back to the browser: a new pick starts fresh, so the
        // window just chosen is framed again at once (a second field of the same form).
        platform.frameLog.clear();
        picker.start(kMain, kDialog);
        QCOMPARE(picker.framedWindow(), WindowId(0));
        QCOMPARE(picker.track(kInBrowser), "Window Handle:0x00000400.\r\nClass Name:Browser.");
        QCOMPARE(picker.track(kInBrowser), std::nullopt);
        QCOMPARE(platform.frameLog, QStringList({"show 400"}));
        QCOMPARE(picker.finish(), kBrowser);

        // A release without a frame in this pick chooses nothing.
        picker.start(kMain, kDialog);
        QCOMPARE(picker.finish(), WindowId(0));
        QCOMPARE(picker.framedWindow(), WindowId(0));

        // A framed window that vanishes is refused from then on.
        picker.start(kMain, kDialog);
        QVERIFY(picker.track(kInEditor));
        platform.removeWindow(kEditor);
        platform.removeWindow(kEditorChild);
        QCOMPARE(picker.track(kInEditor), std::nullopt);
        picker.finish();

        // Outside a pick, moves and releases do nothing.
        platform.frameLog.clear();
        QCOMPARE(picker.track(kInBrowser), std::nullopt);
        QCOMPARE(picker.finish(), WindowId(0));
        QVERIFY(platform.frameLog.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestWindowPicker)
#include "TestWindowPicker.moc"
