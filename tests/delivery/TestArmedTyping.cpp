// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "RecordingPickerPlatform.h"
#include "delivery/DeliveryController.h"
#include "delivery/DragArea.h"
#include "delivery/PasswordDialog.h"

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

namespace {

const QString kPassword = QStringLiteral("aZ9!@#é€ß");

QString shown(const QString& text)
{
    return QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

struct Fixture
{
    Fixture()
    {
        mainWindow.resize(400, 300);
        mainWindow.show();
        auto arming = std::make_unique<RecordingPickerPlatform>();
        arming->setGesture(PickerPlatform::Gesture::ArmThenFocus);
        platform = arming.get();
        dialog = std::make_unique<PasswordDialog>(&mainWindow, kPassword, std::move(arming));
        dialog->show();
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    }

    DragArea* dragArea() { return dialog->findChild<DragArea*>("dragArea"); }
    void click() { QTest::mouseClick(dragArea(), Qt::LeftButton, {}, QPoint(5, 5)); }
    QString text() { return dragArea()->text(); }
    // The keyboard focus goes to another program (null) or to one of our windows.
    static void focus(QWindow* window)
    {
        QWindowSystemInterface::handleWindowActivated<QWindowSystemInterface::SynchronousDelivery>(
            window, Qt::ActiveWindowFocusReason);
        QCoreApplication::processEvents();
    }

    QDialog mainWindow;
    RecordingPickerPlatform* platform = nullptr;
    std::unique_ptr<PasswordDialog> dialog;
};

} // namespace

class TestArmedTyping : public QObject
{
    Q_OBJECT

private slots:
    // The dialog's part: a click in the drag area arms, the drag area says what the
    // controller says, and the keys go out once another program has the focus.
    void clickArmsAndFocusElsewhereTypes()
    {
        Fixture fixture;
        QCOMPARE(fixture.text(), shown(DeliveryController::kArmInstructions));
        QTest::mousePress(fixture.dragArea(), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!fixture.dialog->isArmed()); // a press alone is no click
        QTest::mouseRelease(fixture.dragArea(), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(fixture.dialog->isArmed());
        QCOMPARE(fixture.text(), shown(DeliveryController::kArmedText));

        Fixture::focus(nullptr);
        QTRY_COMPARE(fixture.platform->typed.size(), 1);
        QCOMPARE(fixture.platform->typed[0].text, kPassword);
        QCOMPARE(fixture.text(), shown(DeliveryController::kTypedText));
        QVERIFY(!fixture.dialog->isArmed());
    }

    // Escape ends the arming and leaves the dialog open; closing the dialog ends it too.
    void endings_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("escape") << true;
        QTest::newRow("dialog closes") << false;
    }

    void endings()
    {
        QFETCH(bool, escape);
        Fixture fixture;
        fixture.click();
        QVERIFY(fixture.dialog->isArmed());
        if (escape)
            QTest::keyClick(fixture.dialog.get(), Qt::Key_Escape);
        else
            fixture.dialog->reject();
        QCOMPARE(fixture.dialog->isVisible(), escape);
        QVERIFY(!fixture.dialog->isArmed());
        QCOMPARE(fixture.text(), shown(DeliveryController::kArmInstructions));
        Fixture::focus(nullptr);
        QTest::qWait(3 * DeliveryController::kTypeDelayMs);
        QVERIFY(fixture.platform->typed.isEmpty());
    }
};

QTEST_MAIN(TestArmedTyping)
#include "TestArmedTyping.moc"
