// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/GlyphlockApp.h"
#include "core/PasswordAlgorithm.h"
#include "matrix/MatrixDialog.h"

#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>

namespace {

// The child half: one session of the program that produces a password, shows it and leaves.
// It reports only the rows it used, so that the parent can compute the password itself.
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
    // Whatever the password dialog offers, it is closed the way the user would leave it.
    QTimer::singleShot(100, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            std::printf("closed %s\n", modal->metaObject()->className());
            modal->close();
        }
    });
    QTest::mouseClick(ok, Qt::LeftButton);
    for (const std::string& row : dialog.iconMatrix().Rows())
        std::printf("row %s\n", row.c_str());
    return 0;
}

QStringList filesBelow(const QString& root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    return files;
}

} // namespace

// The password never leaves the process: not on its output, not in any file under home,
// settings, data, cache or temporary folders.
class TestPasswordTrace : public QObject
{
    Q_OBJECT

private slots:
    void sessionLeavesNoTrace()
    {
        QTemporaryDir root;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME",
                                 "XDG_STATE_HOME", "XDG_RUNTIME_DIR", "TMPDIR"}) {
            const QString path = root.filePath(QLatin1String(name));
            QVERIFY(QDir().mkpath(path));
            QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                            QFileDevice::ExeOwner);
            env.insert(QLatin1String(name), path);
        }
        env.insert(QStringLiteral("GLYPHLOCK_TRACE_SESSION"), QStringLiteral("1"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

        QProcess session;
        session.setProcessEnvironment(env);
        session.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(session.waitForFinished(60000));
        const QByteArray out = session.readAllStandardOutput();
        const QByteArray err = session.readAllStandardError();
        QCOMPARE(session.exitCode(), 0);
        QVERIFY2(out.contains("closed PasswordDialog\n"), out.constData());

        std::vector<std::string> rows;
        for (const QByteArray& line : out.split('\n'))
            if (line.startsWith("row "))
                rows.push_back(line.mid(4).toStdString());
        QVERIFY(!rows.empty());
        const QString password = QString::fromStdU32String(generatePassword(rows, U""));
        // The default set was stored: the scan below does see the files the session wrote.
        QVERIFY(!filesBelow(root.path()).isEmpty());

        const QList<QByteArray> forms = {
            password.toUtf8(),
            QByteArray(reinterpret_cast<const char*>(password.utf16()), password.size() * 2)};
        for (const QByteArray& form : forms) {
            QVERIFY(!out.contains(form));
            QVERIFY(!err.contains(form));
            for (const QString& path : filesBelow(root.path())) {
                QFile file(path);
                if (file.open(QIODevice::ReadOnly))
                    QVERIFY2(!file.readAll().contains(form), qPrintable(path));
            }
        }
    }
};

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsSet("GLYPHLOCK_TRACE_SESSION"))
        return runSession(argc, argv);
    QCoreApplication app(argc, argv);
    TestPasswordTrace test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestPasswordTrace.moc"
