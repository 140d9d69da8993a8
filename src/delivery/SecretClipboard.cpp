// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "delivery/SecretClipboard.h"

#include "base/Privacy.h"
#include "platform/PlatformFactory.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>

namespace {

const QString kPlainText = QStringLiteral("text/plain");

// The password on the clipboard, in the two forms that are asked for. Every request is
// answered with these very buffers (shared, never converted into new copies), so that they
// are the only ones, and they are overwritten the moment the clipboard lets go of the data:
// when another program takes the clipboard, or after the text was handed on at exit.
class SecretMimeData : public QMimeData
{
public:
    explicit SecretMimeData(const QString& text)
        : utf16(text.constData(), text.size()), utf8(text.toUtf8())
    {
    }

    ~SecretMimeData() override
    {
        // Whoever still shares a buffer now sees zeros: the clipboard is no longer ours.
        overwrite(utf16.data_ptr().data(), utf16.size());
        overwrite(utf8.data_ptr().data(), utf8.size());
        secureClear(utf16);
        secureClear(utf8);
        if (!QCoreApplication::closingDown())
            PlatformFactory::createClipboardKeeper()->forgetSentData();
    }

    QStringList formats() const override
    {
        return {kPlainText, QLatin1String(SecretClipboard::kUtf8TextFormat),
                QLatin1String(SecretClipboard::kPasswordHintFormat)};
    }

    bool hasFormat(const QString& format) const override { return formats().contains(format); }

protected:
    QVariant retrieveData(const QString& format, QMetaType type) const override
    {
        if (format == kPlainText || format == QLatin1String(SecretClipboard::kUtf8TextFormat))
            return type.id() == QMetaType::QString ? QVariant(utf16) : QVariant(utf8);
        if (format == QLatin1String(SecretClipboard::kPasswordHintFormat))
            return QByteArrayLiteral("secret");
        return QVariant();
    }

private:
    template <typename Unit> static void overwrite(Unit* units, qsizetype count)
    {
        volatile Unit* unit = units;
        for (qsizetype i = 0; i < count; ++i)
            unit[i] = Unit(0);
    }

    QString utf16;
    QByteArray utf8;
};

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
    auto* data = new SecretMimeData(text);
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
