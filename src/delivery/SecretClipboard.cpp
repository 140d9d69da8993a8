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

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

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
        wipe();
        if (!QCoreApplication::closingDown())
            keeper->forgetSentData();
    }

    // Whoever still shares a buffer now sees zeros: the clipboard is no longer ours. Also
    // called while the data lives on: Qt's Wayland clipboard keeps the last data it was given
    // after another program took the clipboard, and never deletes it at exit.
    void wipe()
    {
        overwrite(utf16.data_ptr().data(), utf16.size());
        overwrite(utf8.data_ptr().data(), utf8.size());
        secureClear(utf16);
        secureClear(utf8);
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
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        connect(clipboard, &QClipboard::changed, this, [this](QClipboard::Mode mode) {
            if (mode == QClipboard::Clipboard)
                wipeWhenNotServed();
        });
}

void SecretClipboard::wipeWhenNotServed()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (ourData && clipboard && clipboard->mimeData(QClipboard::Clipboard) != ourData.data()) {
        static_cast<SecretMimeData*>(ourData.data())->wipe();
        keeper->forgetSentData();
        ourData.clear();
    }
}

SecretClipboard::~SecretClipboard() = default;

bool SecretClipboard::copy(const QString& text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    auto* data = new SecretMimeData(text, keeper);
#if defined(__SANITIZE_ADDRESS__)
    // Qt's Wayland clipboard never deletes the data it holds last (its clipboard is never
    // deleted); wipeWhenNotServed and keepAfterExit overwrite it instead.
    __lsan_ignore_object(data);
#endif
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
    // Nothing serves it from here on, unless the toolkit still hands it over as it shuts down.
    if (!keeper->toolkitHandsOverAtExit())
        static_cast<SecretMimeData*>(ourData.data())->wipe();
}
