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

#include <QCoreApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QWindow>

const QString PasswordDialog::kShowHint = QStringLiteral(QT_TRANSLATE_NOOP(
    "PasswordDialog",
    "If there're illegal characters in the password, config the character set by system menu "
    "\"Configure...\" or \"Config\" button on \"About\" dialog box"));
const QString PasswordDialog::kClipboardLeavesText = QStringLiteral(QT_TRANSLATE_NOOP(
    "PasswordDialog",
    "This desktop keeps the clipboard only while Glyphlock runs: paste the password before "
    "you exit."));

QString PasswordDialog::shown(const QString& text)
{
    return tr(text.toUtf8().constData());
}

PasswordDialog::PasswordDialog(QWidget* parent, const QString& password)
    : PasswordDialog(parent, password, PlatformFactory::createPickerPlatform())
{
}

PasswordDialog::PasswordDialog(QWidget* parent, const QString& password,
                               std::unique_ptr<PickerPlatform> platform)
    : QDialog(parent), password(password), clipboard(SecretClipboard::forApplication()),
      controller(std::move(platform), this->password), mainWindowAway(controller.platform())
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
    dragArea->setLines(controller.message());

    exitButton = new QPushButton(tr("&Exit"), this);
    exitButton->setObjectName(QStringLiteral("exitButton"));
    exitButton->setGeometry(units.rect(146, 82, 34, 16));

    showButton->setTooltip(shown(kShowHint), true);
    // A translation longer than the English gets the room it needs: the drag area that of its
    // longest message.
    const QString idle = dragArea->text();
    QString tallest = idle;
    int tallestHeight = dragArea->heightForWidth(dragArea->width());
    for (const QString* text : DeliveryController::allTexts()) {
        dragArea->setLines(DeliveryController::shown(*text));
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
    connect(dragArea, &DragArea::pressed, this, &PasswordDialog::onPress);
    connect(dragArea, &DragArea::clicked, &controller, &DeliveryController::click);
    connect(&controller, &DeliveryController::messageChanged, dragArea, &DragArea::setLines);
    connect(&controller, &DeliveryController::stateChanged, this, &PasswordDialog::showState);
    connect(&controller, &DeliveryController::typingFinished, this,
            &PasswordDialog::typingFinished);
}

PasswordDialog::~PasswordDialog()
{
    controller.cancel();
    mainWindowAway.giveFocusBack();
    // The shown copy first, so that ours is the last one and its buffer can be overwritten.
    showButton->setText(QString());
    showButton->setAccessibleName(QString());
    secureClear(password);
}

void PasswordDialog::done(int result)
{
    // Escape and the close box reach here in the middle of a pick too.
    controller.cancel();
    mainWindowAway.giveFocusBack();
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
    if (!clipboard.copy(password)) {
        QMessageBox::critical(this, QCoreApplication::applicationName(),
                              tr("Failed to access clipboard!"));
        return;
    }
    if (clipboard.tellOnceItLeavesWithUs())
        QMessageBox::information(this, QCoreApplication::applicationName(),
                                 shown(kClipboardLeavesText));
}

void PasswordDialog::onExit()
{
    exitFlag = true;
    accept();
}

void PasswordDialog::onPress()
{
    controller.press(controller.platform().windowOf(mainWindow()),
                     controller.platform().windowOf(this));
}

void PasswordDialog::showState(DeliveryController::State state)
{
    if (state == DeliveryController::State::Picking) {
        grabMouse();
        mainWindowAway.hide(mainWindow());
        return;
    }
    if (QWidget::mouseGrabber() == this)
        releaseMouse();
    // Some window managers forget that we are the main window's dialog while it was away.
    if (mainWindowAway.restore())
        raise();
}

void PasswordDialog::showEvent(QShowEvent* event)
{
    // Every press in the dialog, its buttons' included, comes through its window first.
    if (QWindow* handle = windowHandle())
        handle->installEventFilter(this);
    QDialog::showEvent(event);
}

// A click on the dialog makes it the active window. The toolkit asks for the focus only when it
// counts the dialog as inactive, and it goes on counting it as active for a moment (a tenth of
// a second on X11) after the window system gave the focus to another window, such as the one
// the password was just typed into: a click then would leave the dialog without the focus, and
// its mnemonics and Enter would do nothing. The window system is asked instead.
bool PasswordDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress && watched == windowHandle()) {
        PickerPlatform& platform = controller.platform();
        if (!platform.holdsKeyboardFocus(platform.windowOf(this)))
            windowHandle()->requestActivate();
    }
    return QDialog::eventFilter(watched, event);
}

void PasswordDialog::keyPressEvent(QKeyEvent* event)
{
    // Escape while armed ends the arming, not the dialog.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier &&
        controller.escape()) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void PasswordDialog::mouseMoveEvent(QMouseEvent* event)
{
    if (!controller.isPicking()) {
        QDialog::mouseMoveEvent(event);
        return;
    }
    // The pointer itself, not the event's position: the event may be late.
    controller.pointerMoved(QCursor::pos());
}

void PasswordDialog::mouseReleaseEvent(QMouseEvent* event)
{
    if (!controller.isPicking() || event->button() != Qt::LeftButton) {
        QDialog::mouseReleaseEvent(event);
        return;
    }
    controller.released(QCursor::pos());
}

QWidget* PasswordDialog::mainWindow() const
{
    return parentWidget() ? parentWidget()->window() : nullptr;
}
