// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "RecordingPickerPlatform.h"
#include "delivery/DeliveryController.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

namespace {

using Gesture = PickerPlatform::Gesture;
using State = DeliveryController::State;
using TypeResult = PickerPlatform::TypeResult;
using WindowId = PickerPlatform::WindowId;

const QString kPassword = QStringLiteral("aZ9!@#é€ß");
constexpr WindowId kMain = 0x100;
constexpr WindowId kDialog = 0x200;
constexpr WindowId kEditor = 0x4000001;
const QPoint kOnDialog(150, 150);
const QPoint kInEditor(650, 550);

// The controller on a recording backend, with one real window of ours that holds the keyboard
// focus at the start, as the password dialog does.
struct Fixture
{
    explicit Fixture(Gesture gesture)
    {
        auto recording = std::make_unique<RecordingPickerPlatform>();
        platform = recording.get();
        platform->setGesture(gesture);
        platform->addWindow({kMain, QRect(0, 0, 400, 300), "Main", 0});
        platform->addWindow({kDialog, QRect(100, 100, 200, 150), "Dialog", kMain});
        platform->addWindow({kEditor, QRect(600, 500, 200, 100), "Editor", 0});
        controller = std::make_unique<DeliveryController>(std::move(recording), password);
        ours.resize(200, 100);
        ours.show();
        focus(ours.windowHandle());
    }

    // The keyboard focus goes to another program (null) or to a window of ours.
    static void focus(QWindow* window)
    {
        QWindowSystemInterface::handleWindowActivated<QWindowSystemInterface::SynchronousDelivery>(
            window, Qt::ActiveWindowFocusReason);
        QCoreApplication::processEvents();
    }
    void focusOurs() { focus(ours.windowHandle()); }

    void pick(const QPoint& releaseAt)
    {
        controller->press(kMain, kDialog);
        controller->pointerMoved(kInEditor);
        controller->pointerMoved(releaseAt);
        controller->released(releaseAt);
    }
    // Waits past the moment the keys would go out.
    static void waitPastTyping() { QTest::qWait(3 * DeliveryController::kTypeDelayMs); }
    QString message() const
    {
        return QString(controller->message()).replace(QLatin1String("\r\n"), QLatin1String("\n"));
    }
    static QString text(const QString& english)
    {
        return QString(english).replace(QLatin1String("\r\n"), QLatin1String("\n"));
    }

    QString password = kPassword;
    QWidget ours;
    RecordingPickerPlatform* platform = nullptr;
    std::unique_ptr<DeliveryController> controller;
};

} // namespace

class TestDeliveryController : public QObject
{
    Q_OBJECT

private slots:
    void pickTypesIntoTheWindowReleasedOver()
    {
        Fixture fixture(Gesture::DragToWindow);
        QSignalSpy finished(fixture.controller.get(), &DeliveryController::typingFinished);
        QCOMPARE(fixture.message(), Fixture::text(DeliveryController::kInstructions));
        fixture.controller->press(kMain, kDialog);
        QCOMPARE(fixture.controller->state(), State::Picking);
        fixture.controller->pointerMoved(kInEditor);
        const QString named = fixture.message();
        QVERIFY(named.contains(QLatin1String("Class Name:Editor.")));
        fixture.controller->released(kInEditor);
        QCOMPARE(fixture.controller->state(), State::Delivering);
        QVERIFY(fixture.platform->typed.isEmpty()); // not before our windows are back
        QTRY_COMPARE(fixture.platform->typed.size(), 1);
        QCOMPARE(fixture.platform->typed[0].target, kEditor);
        QCOMPARE(fixture.platform->typed[0].at, kInEditor);
        QCOMPARE(fixture.platform->typed[0].text, kPassword);
        QCOMPARE(fixture.controller->state(), State::Idle);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(fixture.message(), named); // the window typed into stays named
    }

    // A release anywhere but over the framed window is the way out: over our own dialog,
    // which is never framed, or over nothing.
    void pickTypesNowhereElse_data()
    {
        QTest::addColumn<QPoint>("releaseAt");
        QTest::addRow("over our dialog") << kOnDialog;
        QTest::addRow("over nothing") << QPoint(1000, 10);
    }

    void pickTypesNowhereElse()
    {
        QFETCH(QPoint, releaseAt);
        Fixture fixture(Gesture::DragToWindow);
        fixture.pick(releaseAt);
        QCOMPARE(fixture.platform->frameShownOn, WindowId(0));
        QCOMPARE(fixture.controller->state(), State::Idle);
        Fixture::waitPastTyping();
        QVERIFY(fixture.platform->typed.isEmpty());
        QVERIFY(
            !fixture.platform->frameLog.contains(QStringLiteral("show %1").arg(kDialog, 0, 16)));
    }

    // A new pick or the dialog closing gives up a delivery under way: before its keys went
    // out, none go; while they go, the backend is told to stop. Either way its end is not
    // reported as if it had ended by itself.
    void givingUpADelivery_data()
    {
        QTest::addColumn<bool>("keysGoingOut");
        QTest::addColumn<bool>("closing");
        QTest::addRow("new pick before the keys") << false << false;
        QTest::addRow("new pick while they go out") << true << false;
        QTest::addRow("closed before the keys") << false << true;
        QTest::addRow("closed while they go out") << true << true;
    }

    void givingUpADelivery()
    {
        QFETCH(bool, keysGoingOut);
        QFETCH(bool, closing);
        Fixture fixture(Gesture::DragToWindow);
        QSignalSpy finished(fixture.controller.get(), &DeliveryController::typingFinished);
        fixture.platform->holdTyping = true;
        fixture.pick(kInEditor);
        if (keysGoingOut)
            QTRY_COMPARE(fixture.controller->state(), State::Typing);
        if (closing) {
            fixture.controller->cancel();
            QCOMPARE(fixture.controller->state(), State::Idle);
        } else {
            fixture.controller->press(kMain, kDialog);
            QCOMPARE(fixture.controller->state(), State::Picking);
        }
        QCOMPARE(fixture.platform->cancels, keysGoingOut ? 1 : 0);
        Fixture::waitPastTyping();
        QCOMPARE(fixture.platform->typed.size(), keysGoingOut ? 1 : 0);
        QVERIFY(!fixture.platform->pendingTyping);
        QCOMPARE(finished.size(), 0);
    }

    void armedTypesOnceWhenAnotherProgramTakesTheFocus()
    {
        Fixture fixture(Gesture::ArmThenFocus);
        QSignalSpy finished(fixture.controller.get(), &DeliveryController::typingFinished);
        QCOMPARE(fixture.message(), Fixture::text(DeliveryController::kArmInstructions));
        fixture.controller->click();
        QCOMPARE(fixture.controller->state(), State::Armed);
        QCOMPARE(fixture.message(), Fixture::text(DeliveryController::kArmedText));
        Fixture::focus(nullptr);
        QVERIFY(fixture.platform->typed.isEmpty()); // not before the target took the click
        QTRY_COMPARE(fixture.platform->typed.size(), 1);
        QCOMPARE(fixture.platform->typed[0].text, kPassword);
        QCOMPARE(fixture.message(), Fixture::text(DeliveryController::kTypedText));
        QCOMPARE(finished.size(), 1);
        // Once per arming: the focus going away again types nothing more.
        fixture.focusOurs();
        Fixture::focus(nullptr);
        Fixture::waitPastTyping();
        QCOMPARE(fixture.platform->typed.size(), 1);
    }

    void armingEnds_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<State>("state");
        QTest::addRow("escape") << "escape" << State::Idle;
        QTest::addRow("time limit") << "timeout" << State::Idle;
        QTest::addRow("dialog closes") << "close" << State::Idle;
        QTest::addRow("focus comes back to us at once") << "blink" << State::Armed;
        QTest::addRow("a second click restarts the time") << "click again" << State::Armed;
    }

    void armingEnds()
    {
        QFETCH(QString, ending);
        QFETCH(State, state);
        Fixture fixture(Gesture::ArmThenFocus);
        fixture.controller->setArmTimeout(1000);
        fixture.controller->click();
        if (ending == QLatin1String("escape")) {
            QVERIFY(fixture.controller->escape());
        } else if (ending == QLatin1String("timeout")) {
            QTRY_COMPARE(fixture.controller->state(), State::Idle);
        } else if (ending == QLatin1String("close")) {
            fixture.controller->cancel();
        } else if (ending == QLatin1String("blink")) {
            Fixture::focus(nullptr);
            fixture.focusOurs();
        } else {
            QTest::qWait(600);
            fixture.controller->click();
            QTest::qWait(600); // past the first time limit
        }
        QCOMPARE(fixture.controller->state(), state);
        QCOMPARE(fixture.platform->armRequests, 1);
        if (state == State::Idle) {
            QCOMPARE(fixture.message(), Fixture::text(DeliveryController::kArmInstructions));
            Fixture::focus(nullptr);
        }
        Fixture::waitPastTyping();
        QVERIFY(fixture.platform->typed.isEmpty());
    }

    void escapeOutsideArmingIsTheDialogs()
    {
        Fixture fixture(Gesture::ArmThenFocus);
        QVERIFY(!fixture.controller->escape());
        Fixture pick(Gesture::DragToWindow);
        pick.controller->press(kMain, kDialog);
        QVERIFY(!pick.controller->escape());
        QCOMPARE(pick.controller->state(), State::Picking);
    }

    // The desktop may take its time to allow typing, asking the user; an answer to a request
    // given up arms nothing.
    void lateConsentArmsNothing()
    {
        Fixture fixture(Gesture::ArmThenFocus);
        fixture.platform->holdArming = true;
        fixture.controller->click();
        QCOMPARE(fixture.controller->state(), State::Asking);
        QCOMPARE(fixture.message(), Fixture::text(DeliveryController::kWaitingText));
        fixture.controller->click(); // impatience asks no second time
        QCOMPARE(fixture.platform->armRequests, 1);
        QVERIFY(fixture.controller->escape());
        fixture.platform->pendingArming(TypeResult::Typed);
        QCOMPARE(fixture.controller->state(), State::Idle);
        QCOMPARE(fixture.message(), Fixture::text(DeliveryController::kArmInstructions));
        Fixture::focus(nullptr);
        Fixture::waitPastTyping();
        QVERIFY(fixture.platform->typed.isEmpty());
    }

    // Consent that comes after the user already clicked into the target types at once.
    void consentAfterTheFocusLeftTypes()
    {
        Fixture fixture(Gesture::ArmThenFocus);
        fixture.platform->holdArming = true;
        fixture.controller->click();
        Fixture::focus(nullptr);
        fixture.platform->pendingArming(TypeResult::Typed);
        QTRY_COMPARE(fixture.platform->typed.size(), 1);
    }

    // Armed typing goes wherever the focus is, so never while a window of ours holds it:
    // not when one takes it first, and not the rest of the keys when one takes it back.
    void nothingGoesIntoOurWindows()
    {
        Fixture fixture(Gesture::ArmThenFocus);
        fixture.platform->holdTyping = true;
        fixture.controller->click();
        Fixture::focus(nullptr);
        fixture.focusOurs();
        Fixture::waitPastTyping();
        QVERIFY(fixture.platform->typed.isEmpty());
        QCOMPARE(fixture.controller->state(), State::Armed);

        Fixture::focus(nullptr);
        QTRY_COMPARE(fixture.controller->state(), State::Typing);
        fixture.focusOurs();
        QCOMPARE(fixture.platform->cancels, 1);
        QCOMPARE(fixture.controller->state(), State::Idle);
        QCOMPARE(fixture.message(), Fixture::text(DeliveryController::kNotTypedText));
    }

    // Every way a delivery ends has its text, the same after a pick and after arming (a pick
    // that typed keeps naming its window instead); an arming the desktop does not allow
    // says why in the same words and types nothing.
    void everyResultHasItsText_data()
    {
        QTest::addColumn<TypeResult>("result");
        QTest::addColumn<QString>("text");
        QTest::addRow("typed") << TypeResult::Typed << DeliveryController::kTypedText;
        QTest::addRow("no way to type")
            << TypeResult::NotAvailable << DeliveryController::kNotAvailableText;
        QTest::addRow("window gone") << TypeResult::WindowGone << DeliveryController::kNotTypedText;
        QTest::addRow("a character cannot be typed")
            << TypeResult::Failed << DeliveryController::kNotTypableText;
        QTest::addRow("desktop refused") << TypeResult::Refused << DeliveryController::kRefusedText;
        QTest::addRow("user declined") << TypeResult::Declined << DeliveryController::kDeclinedText;
        QTest::addRow("no input box")
            << TypeResult::NoInputBox << DeliveryController::kNoInputBoxText;
    }

    void everyResultHasItsText()
    {
        QFETCH(TypeResult, result);
        QFETCH(QString, text);
        QCOMPARE(DeliveryController::resultText(result), text);

        Fixture picked(Gesture::DragToWindow);
        picked.platform->typeResult = result;
        picked.pick(kInEditor);
        QTRY_COMPARE(picked.platform->typed.size(), 1);
        if (result == TypeResult::Typed)
            QVERIFY(picked.message().contains(QLatin1String("Class Name:Editor.")));
        else
            QCOMPARE(picked.message(), Fixture::text(text));

        Fixture armed(Gesture::ArmThenFocus);
        armed.platform->typeResult = result;
        armed.controller->click();
        Fixture::focus(nullptr);
        QTRY_COMPARE(armed.platform->typed.size(), 1);
        QCOMPARE(armed.message(), Fixture::text(text));

        if (result == TypeResult::Typed)
            return;
        Fixture refused(Gesture::ArmThenFocus);
        refused.platform->armResult = result;
        refused.controller->click();
        QCOMPARE(refused.controller->state(), State::Idle);
        QCOMPARE(refused.message(), Fixture::text(text));
        Fixture::focus(nullptr);
        Fixture::waitPastTyping();
        QVERIFY(refused.platform->typed.isEmpty());
    }

    void withoutAGestureNothingStarts()
    {
        Fixture fixture(Gesture::None);
        QCOMPARE(fixture.message(), Fixture::text(DeliveryController::kNotAvailableText));
        fixture.controller->press(kMain, kDialog);
        fixture.controller->click();
        QCOMPARE(fixture.controller->state(), State::Idle);
        QCOMPARE(fixture.platform->armRequests, 0);
    }
};

QTEST_MAIN(TestDeliveryController)
#include "TestDeliveryController.moc"
