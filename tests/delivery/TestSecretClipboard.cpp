// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "delivery/SecretClipboard.h"
#include "platform/ClipboardKeeper.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTest>

namespace {

// A keeper that counts what it is asked.
struct CountingKeeper : ClipboardKeeper
{
    bool holdsOurData(const QClipboard&) const override
    {
        ++asked;
        return holds;
    }
    bool canKeepAfterExit() const override { return lasts; }
    void forgetSentData() override { ++forgotten; }

    mutable int asked = 0;
    bool holds = true;
    bool lasts = true;
    int forgotten = 0;
};

} // namespace

class TestSecretClipboard : public QObject
{
    Q_OBJECT

private slots:
    void oneForTheApplication()
    {
        SecretClipboard& first = SecretClipboard::forApplication();
        QCOMPARE(&SecretClipboard::forApplication(), &first);
        QCOMPARE(first.parent(), qApp);
    }

    // The keeper handed in is the one every copy and every farewell of the data goes to.
    void usesTheKeeperItWasGiven()
    {
        auto keeper = std::make_shared<CountingKeeper>();
        SecretClipboard clipboard(keeper);
        QVERIFY(clipboard.copy(QStringLiteral("first")));
        QCOMPARE(keeper->asked, 1);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("first"));
        QVERIFY(clipboard.copy(QStringLiteral("second"))); // the first data goes
        QCOMPARE(keeper->forgotten, 1);
        QGuiApplication::clipboard()->setText(QStringLiteral("another program's"));
        QCOMPARE(keeper->forgotten, 2);

        // Where the keeper cannot confirm the clipboard is ours, the copy failed.
        keeper->holds = false;
        QVERIFY(!clipboard.copy(QStringLiteral("third")));
    }

    void tellsOnceThatTheClipboardLeavesWithUs()
    {
        auto keeper = std::make_shared<CountingKeeper>();
        SecretClipboard clipboard(keeper);
        QVERIFY(!clipboard.tellOnceItLeavesWithUs());
        keeper->lasts = false;
        QVERIFY(clipboard.tellOnceItLeavesWithUs());
        QVERIFY(!clipboard.tellOnceItLeavesWithUs());
    }
};

QTEST_MAIN(TestSecretClipboard)
#include "TestSecretClipboard.moc"
