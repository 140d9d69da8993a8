// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/PasswordAlgorithm.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace {

std::u32string u32(const QString& s)
{
    return s.toStdU32String();
}

const std::u32string kDefaultAlphabet = makeAlphabet(U"");

} // namespace

class TestPasswordAlgorithm : public QObject
{
    Q_OBJECT

private slots:
    void goldenPasswords_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("special");
        QTest::addColumn<QString>("password");

        QFile file(QStringLiteral(GLYPHLOCK_TEST_DATA "/golden-passwords.json"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJsonArray entries = QJsonDocument::fromJson(file.readAll()).array();
        QVERIFY(entries.size() >= 15);
        for (const QJsonValue& value : entries) {
            const QJsonObject entry = value.toObject();
            QStringList rows;
            for (const QJsonValue& row : entry.value("rows").toArray())
                rows << row.toString();
            QTest::newRow(qPrintable(entry.value("what").toString()))
                << rows << entry.value("special").toString() << entry.value("password").toString();
        }
    }

    void goldenPasswords()
    {
        QFETCH(QStringList, rows);
        QFETCH(QString, special);
        QFETCH(QString, password);
        std::vector<std::string> rowList;
        for (const QString& row : rows)
            rowList.push_back(row.toStdString());
        QCOMPARE(QString::fromStdU32String(generatePassword(rowList, u32(special))), password);
    }

    void joinPutsABarAfterEveryRow()
    {
        QCOMPARE(joinRows({}), std::string());
        QCOMPARE(joinRows({"", ""}), std::string("||"));
        QCOMPARE(joinRows({"aca", "aaa"}), std::string("aca|aaa|"));
        QVERIFY(joinRows({"ab"}) != joinRows({"a", "b"}));
    }

    void splitReadsEachGroupLeastSignificantFirst()
    {
        const auto numbers = splitDigest("21000000f0000000"
                                         "0000000f"
                                         "ffffffff");
        QCOMPARE(numbers[0], 18u);
        QCOMPARE(numbers[1], 15u);
        QCOMPARE(numbers[2], 15u * 0x10000000u);
        QCOMPARE(numbers[3], 0xffffffffu);
    }

    void digitsOfTheDefaultAlphabet_data()
    {
        QTest::addColumn<uint>("number");
        QTest::addColumn<QString>("digits");
        QTest::newRow("0") << 0u << "0";
        QTest::newRow("61") << 61u << "z";
        QTest::newRow("62") << 62u << "!";
        QTest::newRow("89") << 89u << "~";
        QTest::newRow("90") << 90u << "01";
        QTest::newRow("91") << 91u << "11";
        QTest::newRow("8100") << 8100u << "001";
        QTest::newRow("max") << 0xffffffffu
                             << QString::fromStdU32String(
                                    toAlphabetDigits(0xffffffffu, kDefaultAlphabet));
    }

    void digitsOfTheDefaultAlphabet()
    {
        QFETCH(uint, number);
        QFETCH(QString, digits);
        QCOMPARE(QString::fromStdU32String(toAlphabetDigits(number, kDefaultAlphabet)), digits);
    }

    // The group length follows the alphabet length: 6, 5, 4 or 3 digits for the largest number.
    void longestGroupFollowsAlphabetLength_data()
    {
        QTest::addColumn<int>("specialCount");
        QTest::addColumn<int>("maxDigits");
        QTest::newRow("L=63") << 1 << 6;
        QTest::newRow("L=84") << 22 << 6;
        QTest::newRow("L=85") << 23 << 5;
        QTest::newRow("L=255") << 193 << 5;
        QTest::newRow("L=256") << 194 << 4;
        QTest::newRow("L=1625") << 1563 << 4;
        QTest::newRow("L=1626") << 1564 << 3;
    }

    void longestGroupFollowsAlphabetLength()
    {
        QFETCH(int, specialCount);
        QFETCH(int, maxDigits);
        const std::u32string alphabet =
            makeAlphabet(std::u32string(std::size_t(specialCount), U'#'));
        QCOMPARE(int(toAlphabetDigits(0xffffffffu, alphabet).size()), maxDigits);
    }

    // Each character of the set is one alphabet position, however many bytes it takes in UTF-8.
    void nonAsciiCharactersAreOnePositionEach()
    {
        const std::u32string alphabet = makeAlphabet(U"é€");
        QCOMPARE(alphabet.size(), std::size_t(64));
        QCOMPARE(toAlphabetDigits(62, alphabet), std::u32string(U"é"));
        QCOMPARE(toAlphabetDigits(63, alphabet), std::u32string(U"€"));
        QCOMPARE(toAlphabetDigits(64, alphabet), std::u32string(U"01"));
    }

    void emptySetStandsForTheDefault()
    {
        const std::vector<std::string> rows{"ab", "cd"};
        QCOMPARE(generatePassword(rows, U""),
                 generatePassword(rows, u32(QString::fromLatin1(kDefaultSpecialChars))));
    }
};

QTEST_APPLESS_MAIN(TestPasswordAlgorithm)
#include "TestPasswordAlgorithm.moc"
