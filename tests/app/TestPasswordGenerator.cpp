// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/GlyphlockApp.h"
#include "core/PasswordAlgorithm.h"
#include "password/PasswordGenerator.h"
#include "support/IsolatedTest.h"

#include <QTemporaryDir>
#include <QTest>

class TestPasswordGenerator : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QCoreApplication::setApplicationName(
            QStringLiteral("glyphlock_%1").arg(QTest::currentTestFunction()));
    }

    void emptyStoreGetsTheDefaultWrittenBack()
    {
        const std::vector<std::string> rows{"aca", "aaa"};
        QCOMPARE(GlyphlockApp::LoadSpecialChars(), QString());
        const QString first = PasswordGenerator::generate(rows);
        QCOMPARE(GlyphlockApp::LoadSpecialChars(), QString::fromLatin1(kDefaultSpecialChars));
        QCOMPARE(first, QStringLiteral("~90N#Tr3cuZ,4fmsl8h"));
        QCOMPARE(PasswordGenerator::generate(rows), first);
    }

    void nextPasswordFollowsTheStoredSet()
    {
        const std::vector<std::string> rows{"c"};
        QVERIFY(GlyphlockApp::SaveSpecialChars(QStringLiteral(" ")));
        QCOMPARE(PasswordGenerator::generate(rows), QStringLiteral("ZgUc 2kcZeq3PoJs64eUOse3"));
        QVERIFY(GlyphlockApp::SaveSpecialChars(QStringLiteral("!")));
        QCOMPARE(PasswordGenerator::generate(rows), QStringLiteral("ZgUc!2kcZeq3PoJs64eUOse3"));
    }

    void nonAsciiSetGivesWholeCharacters()
    {
        // Stored and read back as text, each character one alphabet position.
        QVERIFY(GlyphlockApp::SaveSpecialChars(QStringLiteral("éü€")));
        QCOMPARE(PasswordGenerator::generate({"aca", "aaa"}),
                 QStringLiteral("4N9Bf3JbüZ1plKwK2üNhPS2"));
    }
};

int main(int argc, char** argv)
{
    return runWithGlyphlockApp<TestPasswordGenerator>(argc, argv);
}

#include "TestPasswordGenerator.moc"
