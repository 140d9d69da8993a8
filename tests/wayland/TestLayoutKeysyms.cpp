// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/wayland/LayoutKeysyms.h"

#include <QTest>

#include <xkbcommon/xkbcommon-keysyms.h>

class TestLayoutKeysyms : public QObject
{
    Q_OBJECT

private slots:
    void typeableOrNot_data();
    void typeableOrNot();
    void mainRowAndShiftedKeys();
    void unreadableKeymap();
};

void TestLayoutKeysyms::typeableOrNot_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("typeable");

    const QString ascii = QStringLiteral("!@#$%^&*()-=+_[]{}|:;',.<>?~ `\"\\/AZaz09");
    QTest::newRow("us: every printable ASCII character") << "us" << ascii << true;
    QTest::newRow("us: an accented letter") << "us" << QStringLiteral("abcé") << false;
    // The map gives the euro sign a key of its own, which the desktops press.
    QTest::newRow("us: the euro sign") << "us" << QStringLiteral("€") << true;
    // The map has a third level on the key left of Z, but its right Alt key is a plain Alt.
    QTest::newRow("us: a level no modifier reaches") << "us" << QStringLiteral("¦") << false;
    QTest::newRow("us: an emoji") << "us" << QStringLiteral("a😀") << false;
    QTest::newRow("us: a tab is no password character") << "us" << QStringLiteral("a\tb") << false;
    QTest::newRow("de: AltGr and own letters") << "de" << QStringLiteral("@€ß{}|äÖ") << true;
    // Its circumflex and grave accent are dead keys: no key gives the character itself.
    QTest::newRow("de: dead-key accent") << "de" << QStringLiteral("a^b") << false;
    QTest::newRow("de: accented letter only through a dead key")
        << "de" << QStringLiteral("é") << false;
    // Two layouts: we cannot tell which is active, so a character must be on both.
    QTest::newRow("us,ru: digits on both") << "us,ru" << QStringLiteral("2024") << true;
    QTest::newRow("us,ru: Latin letters only on one") << "us,ru" << QStringLiteral("abc") << false;
    QTest::newRow("us,de: sharp s only on one") << "us,de" << QStringLiteral("ß") << false;
}

void TestLayoutKeysyms::typeableOrNot()
{
    QFETCH(QString, layout);
    QFETCH(QString, text);
    QFETCH(bool, typeable);
    const LayoutKeysyms keysyms = LayoutKeysyms::fromNames(layout.toLatin1().constData());
    QVERIFY(keysyms.isValid());
    const auto found = keysyms.keysymsFor(text);
    QCOMPARE(found.has_value(), typeable);
    if (found)
        QCOMPARE(found->size(), size_t(text.toUcs4().size()));
}

void TestLayoutKeysyms::mainRowAndShiftedKeys()
{
    const auto found = LayoutKeysyms::fromNames("us").keysymsFor(QStringLiteral("1A.a"));
    QVERIFY(found);
    // The keypad gives "1" and "." too; the main row's symbols are the ones every desktop finds.
    const std::vector<std::uint32_t> expected{XKB_KEY_1, XKB_KEY_A, XKB_KEY_period, XKB_KEY_a};
    QCOMPARE(*found, expected);
}

void TestLayoutKeysyms::unreadableKeymap()
{
    const LayoutKeysyms keysyms(std::string("xkb_keymap { garbage"));
    QVERIFY(!keysyms.isValid());
    QVERIFY(!keysyms.keysymsFor(QStringLiteral("a")));
}

QTEST_GUILESS_MAIN(TestLayoutKeysyms)
#include "TestLayoutKeysyms.moc"
