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

namespace {

constexpr QLatin1String kPlainText("text/plain");

// The password on the clipboard, in the two forms that are asked for. Every request is
// answered with these very buffers (shared, never converted into new copies), so that they
// are the only ones, and they are overwritten the moment the clipboard lets go of the data:
// when another program takes the clipboard, or after the text was handed on at exit.
class SecretMimeData : public QMimeData
{
public:
    SecretMimeData(const QString& text, std::shared_ptr<ClipboardKeeper> keeper)
        : utf16(text.constData(), text.size()), utf8(text.toUtf8()), keeper(std::move(keeper))
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
            keeper->forgetSentData();
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
    // Shared: the clipboard may delete the data after the SecretClipboard has gone.
    std::shared_ptr<ClipboardKeeper> keeper;
};

// Runs while the application object is being destroyed, before the clipboard goes.
void keepClipboardAfterExit()
{
    if (auto* clipboard =
            qApp ? qApp->findChild<SecretClipboard*>(QString(), Qt::FindDirectChildrenOnly)
                 : nullptr)
        clipboard->keepAfterExit();
}

} // namespace

SecretClipboard& SecretClipboard::forApplication()
{
    if (auto* existing = qApp->findChild<SecretClipboard*>(QString(), Qt::FindDirectChildrenOnly))
        return *existing;
    auto* clipboard = new SecretClipboard(PlatformFactory::createClipboardKeeper(), qApp);
    qAddPostRoutine(keepClipboardAfterExit);
    return *clipboard;
}

SecretClipboard::SecretClipboard(std::shared_ptr<ClipboardKeeper> keeper, QObject* parent)
    : QObject(parent), keeper(std::move(keeper))
{
}

SecretClipboard::~SecretClipboard() = default;

bool SecretClipboard::copy(const QString& text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    auto* data = new SecretMimeData(text, keeper);
    clipboard->setMimeData(data, QClipboard::Clipboard);
    if (clipboard->mimeData(QClipboard::Clipboard) != data || !keeper->holdsOurData(*clipboard))
        return false;
    ourData = data;
    return true;
}

bool SecretClipboard::lastsAfterExit() const
{
    return keeper->canKeepAfterExit();
}

bool SecretClipboard::tellOnceItLeavesWithUs()
{
    if (toldLeaves || lastsAfterExit())
        return false;
    toldLeaves = true;
    return true;
}

void SecretClipboard::keepAfterExit()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!ourData || !clipboard || !clipboard->ownsClipboard() ||
        clipboard->mimeData(QClipboard::Clipboard) != ourData.data())
        return;
    keeper->keepAfterExit(ourData->data(kUtf8TextFormat));
}
