#include "delivery/PasswordDialog.h"

#include "base/Privacy.h"
#include "delivery/DragArea.h"
#include "delivery/SecretClipboard.h"
#include "platform/PlatformFactory.h"
#include "widgets/DialogUnits.h"
#include "widgets/ImageButton.h"

#include <QCoreApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

const QString PasswordDialog::kInstructions = QStringLiteral(
    "Input password automatically:\r\nClick in this area, keep the mouse button pressed, move the "
    "cursor to the password input box, then release the mouse button.");
const QString PasswordDialog::kShowHint = QStringLiteral(
    "If there're illegal characters in the password, config the character set by system menu "
    "\"Configure...\" or \"Config\" button on \"About\" dialog box");
const QString PasswordDialog::kNotAvailableText = QStringLiteral(
    "Automatic input is not available on this display.\r\nUse \"Copy to Clipboard\" and paste "
    "the password into the input box instead.");
const QString PasswordDialog::kNotTypedText = QStringLiteral(
    "The password could not be typed into that window.\r\nUse \"Copy to Clipboard\" and paste "
    "it into the input box instead.");

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
    showButton->setText(QStringLiteral("Show Generated Password"));
    showButton->setGeometry(units.rect(7, 20, 173, 17));

    auto* caption = new QLabel(QStringLiteral("The Password is :"), this);
    caption->setGeometry(units.rect(7, 4, 85, 11));

    copyButton = new QPushButton(QStringLiteral("C&opy to Clipboard"), this);
    copyButton->setObjectName(QStringLiteral("copyButton"));
    copyButton->setGeometry(units.rect(7, 82, 93, 16));
    copyButton->setDefault(true);

    closeButton = new QPushButton(QStringLiteral("&Close"), this);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    closeButton->setGeometry(units.rect(105, 82, 35, 16));

    dragArea = new DragArea(this);
    dragArea->setObjectName(QStringLiteral("dragArea"));
    dragArea->setGeometry(units.rect(7, 41, 173, 37));
    dragArea->setLines(this->platform->isAvailable() ? kInstructions : kNotAvailableText);

    exitButton = new QPushButton(QStringLiteral("&Exit"), this);
    exitButton->setObjectName(QStringLiteral("exitButton"));
    exitButton->setGeometry(units.rect(146, 82, 34, 16));

    showButton->setTooltip(kShowHint, true);
    showButton->setFocus();

    connect(showButton, &QPushButton::clicked, this, &PasswordDialog::onShowPassword);
    connect(copyButton, &QPushButton::clicked, this, &PasswordDialog::onCopyToClipboard);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(exitButton, &QPushButton::clicked, this, &PasswordDialog::onExit);
    connect(dragArea, &DragArea::pressed, this, &PasswordDialog::startPick);
}

PasswordDialog::~PasswordDialog()
{
    cancelPick();
    restoreMainWindow();
    // The shown copy first, so that ours is the last one and its buffer can be overwritten.
    showButton->setText(QString());
    secureClear(password);
}

void PasswordDialog::done(int result)
{
    // Escape and the close box reach here in the middle of a pick too.
    cancelPick();
    deliveryPending = false;
    restoreMainWindow();
    QDialog::done(result);
}

void PasswordDialog::onShowPassword()
{
    showButton->setText(password);
}

void PasswordDialog::onCopyToClipboard()
{
    if (!SecretClipboard::copy(password))
        QMessageBox::critical(this, QCoreApplication::applicationName(),
                              QStringLiteral("Failed to access clipboard!"));
}

void PasswordDialog::onExit()
{
    exitFlag = true;
    accept();
}

void PasswordDialog::startPick()
{
    if (!platform->isAvailable() || picker.isPicking())
        return;
    picker.start(platform->windowOf(mainWindow()), platform->windowOf(this));
    grabMouse();
    hideMainWindow();
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
    switch (platform->typeText(target, globalPos, password)) {
    case PickerPlatform::TypeResult::Typed:
        break;
    case PickerPlatform::TypeResult::NotAvailable:
        dragArea->setLines(kNotAvailableText);
        break;
    case PickerPlatform::TypeResult::WindowGone:
    case PickerPlatform::TypeResult::Failed:
    case PickerPlatform::TypeResult::Refused:
        dragArea->setLines(kNotTypedText);
        break;
    }
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
    if (QWindow* window = main->windowHandle())
        window->hide();
    else
        return;
    mainWindowHidden = true;
}

void PasswordDialog::restoreMainWindow()
{
    if (!mainWindowHidden)
        return;
    mainWindowHidden = false;
    QWindow* window = mainWindow() ? mainWindow()->windowHandle() : nullptr;
    if (!window)
        return;
    window->showNormal();
    // Some window managers forget that we are the main window's dialog while it was away.
    raise();
}
