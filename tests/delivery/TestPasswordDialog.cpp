// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "RecordingPickerPlatform.h"
#include "delivery/DeliveryController.h"
#include "delivery/DragArea.h"
#include "delivery/PasswordDialog.h"
#include "delivery/SecretClipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDialog>
#include <QHelpEvent>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QWindow>

namespace {

using WindowId = PickerPlatform::WindowId;

const QString kPassword = QStringLiteral("aZ9!@#$%^&*()-=+_[]{}|:;',.<>?~ é");
const QRect kEditorRect(600, 500, 200, 100);
const QPoint kInEditor(650, 550);

// A main window with the password dialog over it, the dialog on a recording backend.
struct Fixture
{
    explicit Fixture(bool available = true)
    {
        // Modal, as the program runs its main window.
        mainWindow.setWindowModality(Qt::ApplicationModal);
        mainWindow.setGeometry(60, 70, 400, 300);
        mainWindow.show();
        if (available) {
            auto recording = std::make_unique<RecordingPickerPlatform>();
            platform = recording.get();
            dialog = std::make_unique<PasswordDialog>(&mainWindow, kPassword, std::move(recording));
        } else {
            dialog = std::make_unique<PasswordDialog>(&mainWindow, kPassword,
                                                      std::make_unique<PickerPlatform>());
        }
        dialog->show();
        if (platform) {
            platform->addWindow({WindowId(mainWindow.winId()), mainWindow.geometry(), "Main", 0});
            platform->addWindow({WindowId(dialog->winId()), dialog->frameGeometry(), "Dialog",
                                 WindowId(mainWindow.winId())});
            // The last framed window is remembered across dialogs: a new editor each time.
            static WindowId nextEditor = 0x4000001;
            editor = nextEditor++;
            platform->addWindow({editor, kEditorRect, "Editor", 0});
        }
    }

    template <typename T> T* child(const char* name) { return dialog->findChild<T*>(name); }
    DragArea* dragArea() { return child<DragArea>("dragArea"); }

    void press() { QTest::mousePress(dragArea(), Qt::LeftButton, {}, QPoint(5, 5)); }
    void moveTo(const QPoint& global)
    {
        QCursor::setPos(global);
        QMouseEvent move(QEvent::MouseMove, dialog->mapFromGlobal(QPointF(global)), QPointF(global),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(dialog.get(), &move);
    }
    void release()
    {
        const QPointF global = QCursor::pos();
        QMouseEvent up(QEvent::MouseButtonRelease, dialog->mapFromGlobal(global), global,
                       Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(dialog.get(), &up);
    }
    bool mainWindowShown() { return mainWindow.windowHandle()->isVisible(); }

    QDialog mainWindow;
    RecordingPickerPlatform* platform = nullptr;
    WindowId editor = 0;
    std::unique_ptr<PasswordDialog> dialog;
};

// Counts the keys and clicks that reach a widget.
struct InputCounter : QObject
{
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::ShortcutOverride:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
            ++count;
            break;
        default:
            break;
        }
        return false;
    }
    int count = 0;
};

} // namespace

class TestPasswordDialog : public QObject
{
    Q_OBJECT

private slots:
    void opensWithThePasswordHidden()
    {
        Fixture fixture;
        QCOMPARE(fixture.dialog->windowTitle(), "Glyphlock");
        auto* show = fixture.child<QPushButton>("showButton");
        QCOMPARE(show->text(), "Show Generated Password");
        QCOMPARE(fixture.dialog->focusWidget(), show);
        QHelpEvent hover(QEvent::ToolTip, QPoint(5, 5), show->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(show, &hover);
        auto* tip = show->findChild<QLabel*>(QStringLiteral("imageButtonTooltip"));
        QVERIFY(tip && tip->isVisible());
        QCOMPARE(tip->text(), "If there're illegal characters in the password, config the "
                              "character set by system menu \"Configure...\" or \"Config\" "
                              "button on \"About\" dialog box");
        QCOMPARE(fixture.dragArea()->text(),
                 "Input password automatically:\nClick in this area, keep the mouse button "
                 "pressed, move the cursor to the password input box, then release the mouse "
                 "button.");
        for (const QWidget* widget : fixture.dialog->findChildren<QWidget*>())
            QVERIFY(!widget->property("text").toString().contains(kPassword));

        QTest::mouseClick(show, Qt::LeftButton);
        QCOMPARE(show->text(), kPassword);
        QTest::mouseClick(show, Qt::LeftButton);
        QCOMPARE(show->text(), kPassword);
    }

    void copyMarksThePasswordSecret()
    {
        Fixture fixture;
        QGuiApplication::clipboard()->clear();
        QTest::mouseClick(fixture.child<QPushButton>("copyButton"), Qt::LeftButton);
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data);
        QCOMPARE(data->text(), kPassword);
        QCOMPARE(data->data(SecretClipboard::kUtf8TextFormat), kPassword.toUtf8());
        QCOMPARE(data->data(SecretClipboard::kPasswordHintFormat), QByteArray("secret"));
        QVERIFY(fixture.dialog->isVisible());
    }

    void endings_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("exitRequested");
        QTest::addRow("Close") << "closeButton" << int(QDialog::Rejected) << false;
        QTest::addRow("Escape") << "escape" << int(QDialog::Rejected) << false;
        QTest::addRow("close box") << "closeBox" << int(QDialog::Rejected) << false;
        QTest::addRow("Exit") << "exitButton" << int(QDialog::Accepted) << true;
    }

    void endings()
    {
        QFETCH(QString, how);
        QFETCH(int, result);
        QFETCH(bool, exitRequested);
        Fixture fixture;
        if (how == "escape")
            QTest::keyClick(fixture.dialog.get(), Qt::Key_Escape);
        else if (how == "closeBox")
            fixture.dialog->close();
        else
            QTest::mouseClick(fixture.child<QPushButton>(how.toLatin1()), Qt::LeftButton);
        QVERIFY(!fixture.dialog->isVisible());
        QCOMPARE(fixture.dialog->result(), result);
        QCOMPARE(fixture.dialog->exitRequested(), exitRequested);
        QVERIFY(fixture.mainWindow.isVisible());
    }

    void pickTypesIntoTheChosenWindow()
    {
        Fixture fixture;
        const QRect normal = fixture.mainWindow.geometry();
        fixture.mainWindow.showMaximized();
        fixture.press();
        QVERIFY(fixture.dialog->isPicking());
        QCOMPARE(QWidget::mouseGrabber(), fixture.dialog.get());
        QVERIFY(!fixture.mainWindowShown());
        QVERIFY(fixture.dialog->isVisible());

        fixture.moveTo(kInEditor);
        QCOMPARE(fixture.platform->frameShownOn, fixture.editor);
        const QString editorText = QStringLiteral("Window Handle:0x%1.\nClass Name:Editor.")
                                       .arg(fixture.editor, 8, 16, QLatin1Char('0'));
        QCOMPARE(fixture.dragArea()->text(), editorText);
        fixture.release();

        QVERIFY(!fixture.dialog->isPicking());
        QCOMPARE(fixture.platform->frameShownOn, WindowId(0));
        QCOMPARE(QWidget::mouseGrabber(), nullptr);
        QTRY_COMPARE(fixture.platform->typed.size(), 1);
        QCOMPARE(fixture.platform->typed[0].target, fixture.editor);
        QCOMPARE(fixture.platform->typed[0].at, kInEditor);
        QCOMPARE(fixture.platform->typed[0].text, kPassword);
        QVERIFY(fixture.mainWindowShown());
        QCOMPARE(fixture.mainWindow.windowHandle()->windowStates(), Qt::WindowNoState);
        QCOMPARE(fixture.mainWindow.geometry(), normal);
        QCOMPARE(fixture.dragArea()->text(), editorText);
    }

    // Delivered or not, the password dialog stays in charge after a pick: the main window
    // comes back where it was, but keys and clicks meant for it go nowhere until the dialog
    // has gone; the dialog's own keys keep their meaning.
    void staysModalAfterAPick_data()
    {
        QTest::addColumn<bool>("typed");
        QTest::addRow("typed") << true;
        QTest::addRow("nothing framed") << false;
    }

    void staysModalAfterAPick()
    {
        QFETCH(bool, typed);
        Fixture fixture;
        const QRect before = fixture.mainWindow.geometry();
        fixture.press();
        if (typed)
            fixture.moveTo(kInEditor);
        fixture.release();
        QTRY_COMPARE(fixture.platform->typed.size(), typed ? 1 : 0);
        QVERIFY(fixture.mainWindowShown());
        QCOMPARE(fixture.mainWindow.geometry(), before);
        // A window manager that focuses every window it maps must not give the main window
        // the focus (the toolkit would pass it on to the dialog, away from the target).
        const QList<WindowId> mainOnly{WindowId(fixture.mainWindow.winId())};
        QCOMPARE(fixture.platform->unfocusable, mainOnly);

        InputCounter counter;
        fixture.mainWindow.installEventFilter(&counter);
        QWindow* mainWindow = fixture.mainWindow.windowHandle();
        QTest::keyClick(mainWindow, Qt::Key_Escape);
        QTest::keyClick(mainWindow, Qt::Key_Return);
        QTest::mouseClick(mainWindow, Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(counter.count, 0);
        QVERIFY(fixture.mainWindowShown());
        QVERIFY(fixture.dialog->isVisible());

        QTest::keyClick(fixture.dialog->windowHandle(), Qt::Key_Escape);
        QVERIFY(!fixture.dialog->isVisible());
        QVERIFY(fixture.mainWindowShown());
        QVERIFY(fixture.platform->unfocusable.isEmpty());
    }

    void releaseAwayFromTheFramedWindowTypesNothing()
    {
        Fixture fixture;
        fixture.press();
        fixture.moveTo(kInEditor);
        fixture.moveTo(fixture.dialog->frameGeometry().center());
        QCOMPARE(fixture.platform->frameShownOn, fixture.editor);
        fixture.release();
        QVERIFY(fixture.mainWindowShown());
        // Past the moment typing would start.
        QTest::qWait(3 * DeliveryController::kDeliveryDelayMs);
        QVERIFY(fixture.platform->typed.isEmpty());
    }

    void escapeDuringAPickLeavesNothingBehind()
    {
        Fixture fixture;
        fixture.press();
        fixture.moveTo(QPoint(610, 510));
        QCOMPARE(fixture.platform->frameShownOn, fixture.editor);
        QTest::keyClick(fixture.dialog.get(), Qt::Key_Escape);
        QVERIFY(!fixture.dialog->isVisible());
        QVERIFY(!fixture.dialog->isPicking());
        QCOMPARE(fixture.platform->frameShownOn, WindowId(0));
        QCOMPARE(QWidget::mouseGrabber(), nullptr);
        QVERIFY(fixture.mainWindowShown());
        QVERIFY(fixture.mainWindow.isVisible());
        // Past the moment typing would start.
        QTest::qWait(3 * DeliveryController::kDeliveryDelayMs);
        QVERIFY(fixture.platform->typed.isEmpty());
    }

    void withoutABackendThereIsNoPick()
    {
        Fixture fixture(false);
        QCOMPARE(fixture.dragArea()->text(),
                 QString(DeliveryController::kNotAvailableText).replace("\r\n", "\n"));
        fixture.press();
        QVERIFY(!fixture.dialog->isPicking());
        QCOMPARE(QWidget::mouseGrabber(), nullptr);
        QVERIFY(fixture.mainWindowShown());
    }
};

QTEST_MAIN(TestPasswordDialog)
#include "TestPasswordDialog.moc"
