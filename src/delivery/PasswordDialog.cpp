// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "delivery/PasswordDialog.h"

#include "base/Privacy.h"
#include "delivery/DragArea.h"
#include "delivery/SecretClipboard.h"
#include "platform/PlatformFactory.h"
#include "widgets/DialogUnits.h"
#include "widgets/FitToText.h"
#include "widgets/ImageButton.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

const QString PasswordDialog::kInstructions = QStringLiteral(QT_TRANSLATE_NOOP(
    "PasswordDialog",
    "Input password automatically:\r\nClick in this area, keep the mouse button pressed, move the "
    "cursor to the password input box, then release the mouse button."));
const QString PasswordDialog::kShowHint = QStringLiteral(QT_TRANSLATE_NOOP(
    "PasswordDialog",
    "If there're illegal characters in the password, config the character set by system menu "
    "\"Configure...\" or \"Config\" button on \"About\" dialog box"));
const QString PasswordDialog::kNotAvailableText = QStringLiteral(QT_TRANSLATE_NOOP(
    "PasswordDialog",
    "Automatic input is not available on this display.\r\nUse \"Copy to Clipboard\" and paste "
    "the password into the input box instead."));
const QString PasswordDialog::kNoInputBoxText = QStringLiteral(QT_TRANSLATE_NOOP(
    "PasswordDialog",
    "Nothing was typed: there is no input box where the mouse button was released.\r\nRelease it "
    "over the password input box, or use \"Copy to Clipboard\"."));
const QString PasswordDialog::kNotTypedText = QStringLiteral(QT_TRANSLATE_NOOP(
    "PasswordDialog",
    "The password could not be typed into that window.\r\nUse \"Copy to Clipboard\" and paste "
    "it into the input box instead."));

const QString PasswordDialog::kArmInstructions = QStringLiteral(QT_TRANSLATE_NOOP(
    "PasswordDialog",
    "Input password automatically:\r\nClick in this area, then click into the password input "
    "box of the other program."));
const QString PasswordDialog::kArmedText = QStringLiteral(QT_TRANSLATE_NOOP(
    "PasswordDialog",
    "Now click into the password input box of the other program: the password is typed "
    "there.\r\nEsc cancels; after 20 seconds this ends by itself."));
const QString PasswordDialog::kWaitingText = QStringLiteral(
    QT_TRANSLATE_NOOP("PasswordDialog", "Waiting for the desktop to allow automatic input..."));
const QString PasswordDialog::kTypedText = QStringLiteral(QT_TRANSLATE_NOOP(
    "PasswordDialog",
    "The password was typed into the other program.\r\nClick in this area to type it again."));
const QString PasswordDialog::kNotTypableText = QStringLiteral(QT_TRANSLATE_NOOP(
    "PasswordDialog",
    "The password holds characters that cannot be typed here; nothing was typed.\r\nUse "
    "\"Copy to Clipboard\" and paste it into the input box instead."));
const QString PasswordDialog::kRefusedText = QStringLiteral(QT_TRANSLATE_NOOP(
    "PasswordDialog",
    "The desktop refused automatic input for Glyphlock.\r\nUse \"Copy to Clipboard\" and paste "
    "the password into the input box instead."));
const QString PasswordDialog::kDeclinedText = QStringLiteral(QT_TRANSLATE_NOOP(
    "PasswordDialog",
    "Automatic input was declined in the desktop's dialog.\r\nClick in this area to be asked "
    "again, or use \"Copy to Clipboard\"."));
const QString PasswordDialog::kClipboardLeavesText = QStringLiteral(QT_TRANSLATE_NOOP(
    "PasswordDialog",
    "This desktop keeps the clipboard only while Glyphlock runs: paste the password before "
    "you exit."));

QString PasswordDialog::shown(const QString& text)
{
    return tr(text.toUtf8().constData());
}

namespace {

// Said once per run: every copy would be too often.
bool toldClipboardLeaves = false;

QString idleText(PickerPlatform::Gesture gesture)
{
    switch (gesture) {
    case PickerPlatform::Gesture::DragToWindow:
        return PasswordDialog::shown(PasswordDialog::kInstructions);
    case PickerPlatform::Gesture::ArmThenFocus:
        return PasswordDialog::shown(PasswordDialog::kArmInstructions);
    case PickerPlatform::Gesture::None:
        break;
    }
    return PasswordDialog::shown(PasswordDialog::kNotAvailableText);
}

} // namespace

PasswordDialog::PasswordDialog(QWidget* parent, const QString& password)
    : PasswordDialog(parent, password, PlatformFactory::createPickerPlatform())
{
}

PasswordDialog::PasswordDialog(QWidget* parent, const QString& password,
                               std::unique_ptr<PickerPlatform> platform)
    : QDialog(parent), password(password),
      platform(platform ? std::move(platform) : std::make_unique<PickerPlatform>()),
      picker(*this->platform)
{
    setWindowTitle(QStringLiteral("Glyphlock"));
    setModal(true);
    const DialogUnits units(font());
    setFixedSize(units.x(187), units.y(105));

    // Created in tab order.
    showButton = new ImageButton(this);
    showButton->setObjectName(QStringLiteral("showButton"));
    showButton->setText(tr("Show Generated Password"));
    showButton->setGeometry(units.rect(7, 20, 173, 17));

    auto* caption = new QLabel(tr("The Password is :"), this);
    caption->setGeometry(units.rect(7, 4, 85, 11));

    copyButton = new QPushButton(tr("C&opy to Clipboard"), this);
    copyButton->setObjectName(QStringLiteral("copyButton"));
    copyButton->setGeometry(units.rect(7, 82, 93, 16));
    copyButton->setDefault(true);

    closeButton = new QPushButton(tr("&Close"), this);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    closeButton->setGeometry(units.rect(105, 82, 35, 16));

    dragArea = new DragArea(this);
    dragArea->setObjectName(QStringLiteral("dragArea"));
    dragArea->setGeometry(units.rect(7, 41, 173, 37));
    dragArea->setLines(idleText(this->platform->gesture()));

    exitButton = new QPushButton(tr("&Exit"), this);
    exitButton->setObjectName(QStringLiteral("exitButton"));
    exitButton->setGeometry(units.rect(146, 82, 34, 16));

    showButton->setTooltip(shown(kShowHint), true);
    // A translation longer than the English gets the room it needs: the drag area that of its
    // longest message.
    const QString idle = dragArea->text();
    QString tallest = idle;
    int tallestHeight = dragArea->heightForWidth(dragArea->width());
    for (const QString* text : {&kInstructions, &kArmInstructions, &kNotAvailableText,
                                &kNoInputBoxText, &kNotTypedText, &kArmedText, &kWaitingText,
                                &kTypedText, &kNotTypableText, &kRefusedText, &kDeclinedText}) {
        dragArea->setLines(shown(*text));
        const int height = dragArea->heightForWidth(dragArea->width());
        if (height > tallestHeight) {
            tallestHeight = height;
            tallest = dragArea->text();
        }
    }
    dragArea->setText(tallest);
    growToFitTexts(this);
    dragArea->setText(idle);
    showButton->setFocus();

    connect(showButton, &QPushButton::clicked, this, &PasswordDialog::onShowPassword);
    connect(copyButton, &QPushButton::clicked, this, &PasswordDialog::onCopyToClipboard);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(exitButton, &QPushButton::clicked, this, &PasswordDialog::onExit);
    connect(dragArea, &DragArea::pressed, this, &PasswordDialog::startPick);
    connect(dragArea, &DragArea::clicked, this, &PasswordDialog::arm);

    armTimer.setSingleShot(true);
    armTimer.setInterval(kArmTimeoutMs);
    connect(&armTimer, &QTimer::timeout, this,
            [this] { disarm(idleText(this->platform->gesture())); });
    typeTimer.setSingleShot(true);
    typeTimer.setInterval(kTypeDelayMs);
    connect(&typeTimer, &QTimer::timeout, this, &PasswordDialog::typeIntoFocus);
    connect(qApp, &QGuiApplication::focusWindowChanged, this,
            &PasswordDialog::onFocusWindowChanged);
}

PasswordDialog::~PasswordDialog()
{
    platform->cancelTyping();
    armed = false;
    typeTimer.stop();
    cancelPick();
    restoreMainWindow();
    giveMainWindowFocusBack();
    // The shown copy first, so that ours is the last one and its buffer can be overwritten.
    showButton->setText(QString());
    showButton->setAccessibleName(QString());
    secureClear(password);
}

void PasswordDialog::done(int result)
{
    // Escape and the close box reach here in the middle of a pick too.
    cancelPick();
    deliveryPending = false;
    platform->cancelTyping();
    if (armed || armRequestPending)
        disarm(idleText(platform->gesture()));
    restoreMainWindow();
    giveMainWindowFocusBack();
    QDialog::done(result);
}

void PasswordDialog::onShowPassword()
{
    showButton->setText(password);
    // Read out as shown: a button's own name would drop each '&' as a mnemonic mark.
    showButton->setAccessibleName(password);
}

void PasswordDialog::onCopyToClipboard()
{
    if (!SecretClipboard::copy(password)) {
        QMessageBox::critical(this, QCoreApplication::applicationName(),
                              tr("Failed to access clipboard!"));
        return;
    }
    if (!toldClipboardLeaves && !SecretClipboard::lastsAfterExit()) {
        toldClipboardLeaves = true;
        QMessageBox::information(this, QCoreApplication::applicationName(),
                                 shown(kClipboardLeavesText));
    }
}

void PasswordDialog::onExit()
{
    exitFlag = true;
    accept();
}

void PasswordDialog::startPick()
{
    if (platform->gesture() != PickerPlatform::Gesture::DragToWindow || picker.isPicking())
        return;
    picker.start(platform->windowOf(mainWindow()), platform->windowOf(this));
    grabMouse();
    hideMainWindow();
}

void PasswordDialog::keyPressEvent(QKeyEvent* event)
{
    // Escape while armed ends the arming, not the dialog.
    if ((armed || armRequestPending) && event->key() == Qt::Key_Escape &&
        event->modifiers() == Qt::NoModifier) {
        event->accept();
        disarm(idleText(platform->gesture()));
        return;
    }
    QDialog::keyPressEvent(event);
}

void PasswordDialog::mouseMoveEvent(QMouseEvent* event)
{
    if (!picker.isPicking()) {
        QDialog::mouseMoveEvent(event);
        return;
    }
    // The pointer itself, not the event's position: the event may be late.
    if (const auto text = picker.track(QCursor::pos()))
        dragArea->setLines(*text);
}

void PasswordDialog::mouseReleaseEvent(QMouseEvent* event)
{
    if (!picker.isPicking() || event->button() != Qt::LeftButton) {
        QDialog::mouseReleaseEvent(event);
        return;
    }
    const QPoint at = QCursor::pos();
    const PickerPlatform::WindowId chosen = picker.finish();
    releaseMouse();
    restoreMainWindow();
    // Typed only where the pointer still is over the chosen window: a release over our own
    // dialog is the way back out.
    if (chosen == 0 || platform->windowAt(at) != chosen)
        return;
    deliveryPending = true;
    QTimer::singleShot(kDeliveryDelayMs, this, [this, chosen, at] {
        if (!deliveryPending)
            return;
        deliveryPending = false;
        deliver(chosen, at);
    });
}

void PasswordDialog::cancelPick()
{
    if (!picker.isPicking())
        return;
    picker.finish();
    releaseMouse();
}

void PasswordDialog::deliver(PickerPlatform::WindowId target, const QPoint& globalPos)
{
    // The dialog keeps answering while the target takes the focus.
    platform->startTyping(target, globalPos, password, [this](PickerPlatform::TypeResult result) {
        switch (result) {
        case PickerPlatform::TypeResult::Typed:
            break;
        case PickerPlatform::TypeResult::NotAvailable:
            dragArea->setLines(shown(kNotAvailableText));
            break;
        case PickerPlatform::TypeResult::NoInputBox:
            dragArea->setLines(shown(kNoInputBoxText));
            break;
        case PickerPlatform::TypeResult::WindowGone:
        case PickerPlatform::TypeResult::Failed:
        case PickerPlatform::TypeResult::Refused:
        case PickerPlatform::TypeResult::Declined:
            dragArea->setLines(shown(kNotTypedText));
            break;
        }
        emit typingFinished(result);
    });
}

void PasswordDialog::arm()
{
    if (platform->gesture() != PickerPlatform::Gesture::ArmThenFocus || armRequestPending)
        return;
    if (armed) { // a second click gives the user the full time again
        armTimer.start();
        return;
    }
    armRequestPending = true;
    const int request = ++armRequest;
    dragArea->setLines(shown(kWaitingText));
    // The answer may come later, after a question to the user, or never (the dialog closed).
    QPointer<PasswordDialog> self(this);
    platform->prepareTyping([self, request](PickerPlatform::TypeResult result) {
        if (!self || request != self->armRequest || !self->armRequestPending)
            return;
        self->armRequestPending = false;
        if (result != PickerPlatform::TypeResult::Typed) {
            self->showTypeResult(result);
            return;
        }
        self->armed = true;
        self->dragArea->setLines(shown(kArmedText));
        self->armTimer.start();
        // The user may have clicked elsewhere while the desktop was asking.
        if (!QGuiApplication::focusWindow())
            self->typeTimer.start();
    });
}

void PasswordDialog::disarm(const QString& text)
{
    armed = false;
    armRequestPending = false;
    ++armRequest;
    armTimer.stop();
    typeTimer.stop();
    dragArea->setLines(text);
}

void PasswordDialog::onFocusWindowChanged(QWindow* window)
{
    if (!armed)
        return;
    // Another of our windows took the focus back: nothing goes there.
    if (window) {
        typeTimer.stop();
        return;
    }
    typeTimer.start();
}

void PasswordDialog::typeIntoFocus()
{
    // Only into another program: never while one of our windows holds the keyboard.
    if (!armed || QGuiApplication::focusWindow() || QApplication::activeWindow())
        return;
    armed = false;
    armTimer.stop();
    // The dialog keeps answering while the keys go out; closing it ends the typing
    // (cancelTyping), and with it this answer.
    platform->startTypingIntoFocus(password, [this](PickerPlatform::TypeResult result) {
        showTypeResult(result);
        emit typingFinished(result);
    });
}

void PasswordDialog::showTypeResult(PickerPlatform::TypeResult result)
{
    switch (result) {
    case PickerPlatform::TypeResult::Typed:
        dragArea->setLines(shown(kTypedText));
        break;
    case PickerPlatform::TypeResult::NotAvailable:
        dragArea->setLines(shown(kNotAvailableText));
        break;
    case PickerPlatform::TypeResult::Failed:
        dragArea->setLines(shown(kNotTypableText));
        break;
    case PickerPlatform::TypeResult::WindowGone:
        dragArea->setLines(shown(kNotTypedText));
        break;
    case PickerPlatform::TypeResult::Refused:
        dragArea->setLines(shown(kRefusedText));
        break;
    case PickerPlatform::TypeResult::Declined:
        dragArea->setLines(shown(kDeclinedText));
        break;
    case PickerPlatform::TypeResult::NoInputBox:
        dragArea->setLines(shown(kNoInputBoxText));
        break;
    }
}

// Before this dialog goes, so that the window manager can give the main window the focus then.
void PasswordDialog::giveMainWindowFocusBack()
{
    if (!mainWindowFocusWithheld)
        return;
    mainWindowFocusWithheld = false;
    if (QWidget* main = mainWindow())
        platform->setFocusable(platform->windowOf(main), true);
}

QWidget* PasswordDialog::mainWindow() const
{
    return parentWidget() ? parentWidget()->window() : nullptr;
}

void PasswordDialog::hideMainWindow()
{
    QWidget* main = mainWindow();
    if (!main || !main->isVisible())
        return;
    // Through the native window: hiding a QDialog itself would end its modal loop.
    QWindow* window = main->windowHandle();
    if (!window)
        return;
    mainWindowGeometry = main->normalGeometry();
    if (!mainWindowGeometry.isValid())
        mainWindowGeometry = main->geometry();
    // The main window runs modally too. Hidden and shown again as a modal window, it would
    // come back as the newest one, above this dialog, and take the keys and clicks; while it
    // is away it counts as an ordinary window.
    mainWindowModality = window->modality();
    window->setModality(Qt::NonModal);
    window->hide();
    mainWindowHidden = true;
}

void PasswordDialog::restoreMainWindow()
{
    if (!mainWindowHidden)
        return;
    mainWindowHidden = false;
    QWidget* main = mainWindow();
    QWindow* window = main ? main->windowHandle() : nullptr;
    if (!window)
        return;
    // Qt counts it as an ordinary window until it is back (see hideMainWindow); the window
    // manager learns that it is still a modal one, or a tiling manager takes it for a new
    // ordinary window, tiles it and so changes its size and the grid in it.
    if (mainWindowModality != Qt::NonModal)
        platform->markModal(platform->windowOf(main));
    // Some window managers give every window they map the focus, however it asks to be shown,
    // and the toolkit hands a focus that reaches the main window on to this dialog, which
    // blocks it: either would take the focus from the window just picked, often only after the
    // password went there. Until this dialog goes, the main window takes no focus at all.
    if (!mainWindowFocusWithheld) {
        mainWindowFocusWithheld = true;
        platform->setFocusable(platform->windowOf(main), false);
    }
    // Shown normal, at the place it had: a maximised main window comes back in its normal size.
    // It comes back without taking the focus: the window just picked is being given it, and
    // a window manager that focuses new windows would otherwise take it back to us. This is
    // Qt::WA_ShowWithoutActivating, which the platform reads from the window, once it exists,
    // as this property.
    const char* const withoutActivating = "_q_showWithoutActivating";
    const QVariant before = window->property(withoutActivating);
    window->setProperty(withoutActivating, true);
    window->showNormal();
    window->setProperty(withoutActivating, before);
    window->setModality(mainWindowModality);
    if (mainWindowGeometry.isValid() && main->geometry() != mainWindowGeometry)
        main->setGeometry(mainWindowGeometry);
    // Some window managers forget that we are the main window's dialog while it was away.
    raise();
}
