// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/GlyphlockApp.h"
#include "core/PasswordAlgorithm.h"
#include "matrix/MatrixDialog.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <unistd.h>

namespace {

constexpr const char* kSessionVariable = "GLYPHLOCK_CLIPBOARD_SESSION";

void clickChild(QWidget* parent, const char* name)
{
    if (auto* button = parent->findChild<QPushButton*>(QLatin1String(name)))
        button->click();
}

// The child half: the program's own path from OK to Copy and Close. It reports the rows it
// used, so that the parent can compute the password itself, then goes on serving the
// clipboard until it is ended.
int runSession(int argc, char** argv)
{
    GlyphlockApp app(argc, argv);
    MatrixDialog dialog;
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog))
        return 2;
    QPushButton* ok = dialog.findChild<QPushButton*>(QStringLiteral("okButton"));
    if (!ok)
        return 3;
    QTimer::singleShot(200, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            clickChild(modal, "copyButton");
            clickChild(modal, "closeButton");
        }
    });
    QTest::mouseClick(ok, Qt::LeftButton);
    for (const std::string& row : dialog.iconMatrix().Rows())
        std::printf("row %s\n", row.c_str());
    std::printf("copied\n");
    std::fflush(stdout);
    return app.exec();
}

// How often each needle occurs in the readable memory of process pid.
QList<int> countInMemory(qint64 pid, const QList<QByteArray>& needles)
{
    QList<int> counts(needles.size(), 0);
    QFile maps(QStringLiteral("/proc/%1/maps").arg(pid));
    const int mem =
        open(QByteArray("/proc/" + QByteArray::number(pid) + "/mem").constData(), O_RDONLY);
    if (!maps.open(QIODevice::ReadOnly) || mem < 0)
        return {};
    for (const QByteArray& line : maps.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 2 || !fields[1].startsWith('r') || line.contains("[vvar]"))
            continue;
        const QList<QByteArray> range = fields[0].split('-');
        const quint64 start = range.value(0).toULongLong(nullptr, 16);
        const quint64 end = range.value(1).toULongLong(nullptr, 16);
        QByteArray region(qsizetype(end - start), '\0');
        const ssize_t got = pread(mem, region.data(), size_t(region.size()), off_t(start));
        if (got <= 0)
            continue;
        region.truncate(got);
        for (int i = 0; i < needles.size(); ++i)
            for (qsizetype at = region.indexOf(needles[i]); at >= 0;
                 at = region.indexOf(needles[i], at + 1))
                ++counts[i];
    }
    close(mem);
    return counts;
}

QByteArray runTool(const QString& program, const QStringList& arguments,
                   const QByteArray& input = {},
                   const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    QProcess tool;
    tool.setProcessEnvironment(env);
    tool.start(program, arguments);
    tool.write(input);
    tool.closeWriteChannel();
    tool.waitForFinished(10000);
    return tool.readAllStandardOutput();
}

} // namespace

// The copied password lives in this process only as long as the clipboard holds it.
class TestClipboardMemory : public QObject
{
    Q_OBJECT

private slots:
    void copiesGoWhenTheClipboardIsTaken()
    {
        if (geteuid() != 0)
            QSKIP("reading another process's memory needs root here");
        QTemporaryDir home;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QLatin1String(kSessionVariable), QStringLiteral("1"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
        QProcess session;
        session.setProcessEnvironment(env);
        session.start(QCoreApplication::applicationFilePath(), {});
        const auto end = qScopeGuard([&session] {
            session.kill();
            session.waitForFinished();
        });
        QByteArray out;
        QTRY_VERIFY_WITH_TIMEOUT((out += session.readAllStandardOutput()).contains("copied\n"),
                                 30000);

        std::vector<std::string> rows;
        for (const QByteArray& line : out.split('\n'))
            if (line.startsWith("row "))
                rows.push_back(line.mid(4).toStdString());
        QVERIFY(!rows.empty());
        const QString password = QString::fromStdU32String(generatePassword(rows, U""));
        const QList<QByteArray> forms = {
            password.toUtf8(),
            QByteArray(reinterpret_cast<const char*>(password.utf16()), password.size() * 2)};

        // Another program pastes it: the clipboard holds our text, and the scan finds it.
        QCOMPARE(runTool(QStringLiteral("xclip"), {"-o", "-selection", "clipboard"}), forms[0]);
        const QList<int> held = countInMemory(session.processId(), forms);
        QVERIFY2(held.size() == 2 && held[0] + held[1] > 0, "the scan does not see the copies");

        // Another program takes the clipboard: our copies are overwritten at once.
        runTool(QStringLiteral("xclip"), {"-selection", "clipboard", "-i", "-l", "1"},
                "something else");
        QCOMPARE(runTool(QStringLiteral("xclip"), {"-o", "-selection", "clipboard"}),
                 QByteArray("something else"));
        QTest::qWait(500);
        const QList<int> left = countInMemory(session.processId(), forms);
        QCOMPARE(QStringLiteral("UTF-8 %1, UTF-16 %2").arg(left.value(0)).arg(left.value(1)),
                 QStringLiteral("UTF-8 0, UTF-16 0"));
    }

    // The helper that serves the clipboard after the program has ended: no other process of
    // the user may read it, it leaves no core file, and it keeps the text once, also after
    // answering requests. As root it runs as "nobody", on an X server of our own that lets
    // every local user in.
    void helperIsPrivateAndHoldsOneCopy()
    {
        const bool root = geteuid() == 0;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        QProcess server;
        const auto stopServer = qScopeGuard([&server] {
            server.kill();
            server.waitForFinished();
        });
        uid_t uid = geteuid();
        gid_t gid = getegid();
        if (root) {
            const passwd* nobody = getpwnam("nobody");
            QVERIFY2(nobody, "no user \"nobody\" to run the helper as");
            uid = nobody->pw_uid;
            gid = nobody->pw_gid;
            server.start(QStringLiteral("Xvfb"), {"-displayfd", "1", "-screen", "0", "64x64x24",
                                                  "-nolisten", "tcp", "-noreset"});
            QByteArray display;
            QTRY_VERIFY_WITH_TIMEOUT((display += server.readAllStandardOutput()).contains('\n'),
                                     20000);
            env.insert(QStringLiteral("DISPLAY"),
                       QLatin1Char(':') + QString::fromLatin1(display.trimmed()));
            env.remove(QStringLiteral("XAUTHORITY"));
        }

        // A build tree under a folder closed to other users (a checkout in /root) is out of
        // that user's reach: it runs a copy in a folder of its own.
        QString program = QStringLiteral(GLYPHLOCK_CLIPBOARD_HELPER);
        QTemporaryDir reachable;
        if (root) {
            const auto open = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                              QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                              QFile::ExeOther;
            const QString copy = reachable.filePath(QFileInfo(program).fileName());
            QVERIFY(reachable.isValid() && QFile::copy(program, copy));
            QVERIFY(QFile::setPermissions(reachable.path(), open));
            QVERIFY(QFile::setPermissions(copy, open));
            program = copy;
        }

        const QByteArray password =
            "Hq7" + QByteArray::number(QDateTime::currentMSecsSinceEpoch(), 36) + "zX";
        QProcess helper;
        helper.setProcessEnvironment(env);
        helper.setChildProcessModifier([uid, gid] {
            if (getuid() == uid)
                return;
            if (setgroups(0, nullptr) != 0 || setgid(gid) != 0 || setuid(uid) != 0)
                _exit(3);
        });
        helper.start(program, {});
        const auto stopHelper = qScopeGuard([&helper] {
            helper.kill();
            helper.waitForFinished();
        });
        helper.write(password);
        helper.closeWriteChannel();
        QVERIFY2(helper.waitForReadyRead(10000), helper.readAllStandardError().constData());
        QCOMPARE(helper.readAllStandardOutput(), QByteArray("1"));
        for (const char* target : {"UTF8_STRING", "STRING", "text/plain;charset=utf-8", "TEXT"})
            QCOMPARE(runTool(QStringLiteral("xclip"),
                             {"-o", "-selection", "clipboard", "-t", target}, {}, env),
                     password);

        const QString proc = QStringLiteral("/proc/%1").arg(helper.processId());
        // The kernel hands a process that is not dumpable to root.
        QCOMPARE(QFileInfo(proc + QStringLiteral("/mem")).ownerId(), 0u);
        QFile limits(proc + QStringLiteral("/limits"));
        QVERIFY(limits.open(QIODevice::ReadOnly));
        QVERIFY2(limits.readAll().simplified().contains("Max core file size 0 0 bytes"),
                 "core files allowed");
        if (root)
            QCOMPARE(countInMemory(helper.processId(), {password}), (QList<int>{1}));

        // Another program takes the clipboard: the helper ends.
        runTool(QStringLiteral("xclip"), {"-selection", "clipboard", "-i", "-l", "1"}, "other",
                env);
        runTool(QStringLiteral("xclip"), {"-o", "-selection", "clipboard"}, {}, env);
        QVERIFY(helper.waitForFinished(5000));
    }
};

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsSet(kSessionVariable))
        return runSession(argc, argv);
    QCoreApplication app(argc, argv);
    TestClipboardMemory test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestClipboardMemory.moc"
