#include "delivery/SecretClipboard.h"

#include "platform/PlatformFactory.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>

namespace {

// The data we put on the clipboard last; the clipboard owns it and deletes it when replaced.
QPointer<QMimeData> ourData;

// Runs while the application object is being destroyed, before the clipboard goes.
void keepClipboardAfterExit()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!ourData || !clipboard || !clipboard->ownsClipboard() ||
        clipboard->mimeData(QClipboard::Clipboard) != ourData.data())
        return;
    PlatformFactory::createClipboardKeeper()->keepAfterExit(
        ourData->data(SecretClipboard::kUtf8TextFormat));
}

} // namespace

bool SecretClipboard::copy(const QString& text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    auto* data = new QMimeData;
    data->setText(text);
    data->setData(kUtf8TextFormat, text.toUtf8());
    data->setData(kPasswordHintFormat, QByteArrayLiteral("secret"));
    clipboard->setMimeData(data, QClipboard::Clipboard);

    const bool taken = clipboard->mimeData(QClipboard::Clipboard) == data &&
                       PlatformFactory::createClipboardKeeper()->holdsOurData(*clipboard);
    if (!taken)
        return false;

    static const bool registered = [] {
        qAddPostRoutine(keepClipboardAfterExit);
        return true;
    }();
    Q_UNUSED(registered);
    ourData = data;
    return true;
}

bool SecretClipboard::lastsAfterExit()
{
    return PlatformFactory::createClipboardKeeper()->canKeepAfterExit();
}
