// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "delivery/DragArea.h"
#include "delivery/PasswordDialog.h"
#include "platform/PickerPlatform.h"

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

namespace {

using TypeResult = PickerPlatform::TypeResult;

const QString kPassword = QStringLiteral("aZ9!@#é€ß");

// A display where the user arms typing and then focuses the target: records what it was
// asked to type; answers the request to arm at once, or when the test says.
class ArmingPlatform : public PickerPlatform
{
public:
    Gesture gesture() const override { return Gesture::ArmThenFocus; }
    void prepareTyping(std::function<void(TypeResult)> done) override
    {
        ++prepared;
        if (answerAtOnce)
            done(prepareResult);
        else
            pendingAnswer = std::move(done);
    }
    TypeResult typeIntoFocus(const QString& text) override
    {
        typed.append(text);
        return typeResult;
    }

    bool answerAtOnce = true;
    TypeResult prepareResult = TypeResult::Typed;
    TypeResult typeResult = TypeResult::Typed;
    std::function<void(TypeResult)> pendingAnswer;
    int prepared = 0;
    QStringList typed;
};

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
        auto arming = std::make_unique<ArmingPlatform>();
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
    ArmingPlatform* platform = nullptr;
    std::unique_ptr<PasswordDialog> dialog;
};

} // namespace

class TestArmedTyping : public QObject
{
    Q_OBJECT

private slots:
    void clickArmsAndFocusElsewhereTypesOnce()
    {
        Fixture fixture;
        QCOMPARE(fixture.text(), shown(PasswordDialog::kArmInstructions));
        QTest::mousePress(fixture.dragArea(), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!fixture.dialog->isArmed()); // a press alone is no click
        QTest::mouseRelease(fixture.dragArea(), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(fixture.dialog->isArmed());
        QCOMPARE(fixture.text(), shown(PasswordDialog::kArmedText));

        Fixture::focus(nullptr);
        QVERIFY(fixture.platform->typed.isEmpty()); // not before the target took the click
        QTRY_COMPARE(fixture.platform->typed, QStringList{kPassword});
        QCOMPARE(fixture.text(), shown(PasswordDialog::kTypedText));
        QVERIFY(!fixture.dialog->isArmed());
        // Once per arming: the focus going away again types nothing more.
        Fixture::focus(fixture.dialog->windowHandle());
        Fixture::focus(nullptr);
        QTest::qWait(2 * PasswordDialog::kTypeDelayMs);
        QCOMPARE(fixture.platform->typed.size(), 1);
    }

    void endings_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<bool>("dialogStays");
        QTest::newRow("escape") << "escape" << true;
        QTest::newRow("time limit") << "timeout" << true;
        QTest::newRow("dialog closes") << "close" << false;
        QTest::newRow("focus leaves and comes back at once") << "blink" << true;
    }

    void endings()
    {
        QFETCH(QString, ending);
        QFETCH(bool, dialogStays);
        Fixture fixture;
        fixture.dialog->setArmTimeout(300);
        fixture.click();
        QVERIFY(fixture.dialog->isArmed());
        if (ending == QLatin1String("escape")) {
            QTest::keyClick(fixture.dialog.get(), Qt::Key_Escape);
        } else if (ending == QLatin1String("timeout")) {
            QTRY_VERIFY(!fixture.dialog->isArmed());
        } else if (ending == QLatin1String("close")) {
            fixture.dialog->reject();
        } else {
            Fixture::focus(nullptr);
            Fixture::focus(fixture.mainWindow.windowHandle());
        }
        QCOMPARE(fixture.dialog->isVisible(), dialogStays);
        if (ending != QLatin1String("blink")) {
            QVERIFY(!fixture.dialog->isArmed());
            QCOMPARE(fixture.text(), shown(PasswordDialog::kArmInstructions));
            Fixture::focus(nullptr);
        }
        QTest::qWait(3 * PasswordDialog::kTypeDelayMs);
        QVERIFY(fixture.platform->typed.isEmpty());
    }

    void refusalsSaySo_data()
    {
        QTest::addColumn<TypeResult>("prepareResult");
        QTest::addColumn<TypeResult>("typeResult");
        QTest::addColumn<QString>("text");
        QTest::newRow("the user declined")
            << TypeResult::Declined << TypeResult::Typed << PasswordDialog::kDeclinedText;
        QTest::newRow("the desktop refused")
            << TypeResult::Refused << TypeResult::Typed << PasswordDialog::kRefusedText;
        QTest::newRow("no way to type")
            << TypeResult::NotAvailable << TypeResult::Typed << PasswordDialog::kNotAvailableText;
        QTest::newRow("a character cannot be typed")
            << TypeResult::Typed << TypeResult::Failed << PasswordDialog::kNotTypableText;
    }

    void refusalsSaySo()
    {
        QFETCH(TypeResult, prepareResult);
        QFETCH(TypeResult, typeResult);
        QFETCH(QString, text);
        Fixture fixture;
        fixture.platform->prepareResult = prepareResult;
        fixture.platform->typeResult = typeResult;
        fixture.click();
        Fixture::focus(nullptr);
        QTest::qWait(2 * PasswordDialog::kTypeDelayMs);
        QCOMPARE(fixture.text(), shown(text));
        QVERIFY(!fixture.dialog->isArmed());
        QCOMPARE(fixture.platform->typed.size(), prepareResult == TypeResult::Typed ? 1 : 0);
    }

    void lateConsentAfterEscapeArmsNothing()
    {
        Fixture fixture;
        fixture.platform->answerAtOnce = false;
        fixture.click();
        QCOMPARE(fixture.text(), shown(PasswordDialog::kWaitingText));
        fixture.click(); // impatience asks no second time
        QCOMPARE(fixture.platform->prepared, 1);
        QTest::keyClick(fixture.dialog.get(), Qt::Key_Escape);
        QVERIFY(fixture.dialog->isVisible());
        fixture.platform->pendingAnswer(TypeResult::Typed);
        QVERIFY(!fixture.dialog->isArmed());
        QCOMPARE(fixture.text(), shown(PasswordDialog::kArmInstructions));
        Fixture::focus(nullptr);
        QTest::qWait(2 * PasswordDialog::kTypeDelayMs);
        QVERIFY(fixture.platform->typed.isEmpty());
    }

    // The desktop's consent dialog takes the keyboard; once answered, the desktop gives it back
    // to our dialog, which Qt may learn only after the answer. The keys wait for the user's own
    // click into the target, or they would go into our dialog.
    void consentAnsweredWhileItsDialogHasTheFocusWaitsForTheTarget()
    {
        Fixture fixture;
        fixture.platform->answerAtOnce = false;
        fixture.click();
        Fixture::focus(nullptr);
        fixture.platform->pendingAnswer(TypeResult::Typed);
        QVERIFY(fixture.dialog->isArmed());
        QTest::qWait(3 * PasswordDialog::kTypeDelayMs);
        QVERIFY(fixture.platform->typed.isEmpty());
        Fixture::focus(fixture.dialog->windowHandle());
        Fixture::focus(nullptr);
        QTRY_COMPARE(fixture.platform->typed, QStringList{kPassword});
    }

    void focusOnOurOwnWindowTypesNothing()
    {
        Fixture fixture;
        fixture.click();
        Fixture::focus(fixture.mainWindow.windowHandle());
        QTest::qWait(2 * PasswordDialog::kTypeDelayMs);
        QVERIFY(fixture.platform->typed.isEmpty());
        QVERIFY(fixture.dialog->isArmed());
        Fixture::focus(nullptr);
        QTRY_COMPARE(fixture.platform->typed, QStringList{kPassword});
    }
};

QTEST_MAIN(TestArmedTyping)
#include "TestArmedTyping.moc"
