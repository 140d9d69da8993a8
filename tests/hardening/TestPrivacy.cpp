// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/GlyphlockApp.h"
#include "base/Privacy.h"

#include <QTest>

#include <vector>

#ifdef __linux__
#include <sys/prctl.h>
#include <sys/resource.h>
#endif

namespace {

#ifdef __linux__
int dumpableBeforeTheApp = -1;
#endif

// Every unit of the allocation behind text, including free space before and after the text.
template <typename Text> auto allocatedUnits(Text& text)
{
    auto& d = text.data_ptr();
    using Unit = std::remove_const_t<std::remove_pointer_t<decltype(d.data())>>;
    const Unit* start = d.data() - d.freeSpaceAtBegin();
    return std::vector<Unit>(start, start + d.constAllocatedCapacity());
}

} // namespace

class TestPrivacy : public QObject
{
    Q_OBJECT

private slots:
    void processIsNotDumpable()
    {
#ifndef __linux__
        QSKIP("Linux only");
#else
        // /proc/<pid>/status has no dumpable line; the kernel reports the flag through prctl.
        QCOMPARE(dumpableBeforeTheApp, 1);
        QCOMPARE(prctl(PR_GET_DUMPABLE, 0, 0, 0, 0), 0);
        rlimit core{};
        QCOMPARE(getrlimit(RLIMIT_CORE, &core), 0);
        QCOMPARE(core.rlim_cur, rlim_t(0));
#endif
    }

    // Editing leaves old characters outside the text: in front after removing from the
    // start, behind after chopping. The wipe must reach both.
    void secureClearWipesTheWholeBuffer()
    {
        QString text = QStringLiteral("correct horse battery staple").repeated(4);
        text.remove(0, 10);
        text.chop(20);
        const auto& d = text.data_ptr();
        const char16_t* start = d.data() - d.freeSpaceAtBegin();
        QVERIFY(d.freeSpaceAtBegin() > 0);

        secureClear(text);
        QVERIFY(text.isEmpty());
        QCOMPARE(text.data_ptr().data() - text.data_ptr().freeSpaceAtBegin(), start);
        for (char16_t unit : allocatedUnits(text))
            QCOMPARE(unit, u'\0');

        QByteArray bytes = QByteArray("correct horse battery staple").repeated(4);
        bytes.remove(0, 10);
        secureClear(bytes);
        QVERIFY(bytes.isEmpty());
        for (char unit : allocatedUnits(bytes))
            QCOMPARE(unit, '\0');
    }

    void secureClearLeavesOtherCopiesIntact()
    {
        QString text = QStringLiteral("secret").repeated(3);
        const QString copy = text;
        secureClear(text);
        QVERIFY(text.isEmpty());
        QCOMPARE(copy, QStringLiteral("secretsecretsecret"));

        QString literal = QStringLiteral("static");
        secureClear(literal);
        QVERIFY(literal.isEmpty());
        QString null;
        secureClear(null);
        QVERIFY(null.isEmpty());
    }
};

int main(int argc, char** argv)
{
#ifdef __linux__
    dumpableBeforeTheApp = prctl(PR_GET_DUMPABLE, 0, 0, 0, 0);
#endif
    GlyphlockApp app(argc, argv);
    TestPrivacy test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestPrivacy.moc"
