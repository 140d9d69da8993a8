// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/wayland/RestoreTokenStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kToken = QStringLiteral("8c1f7d1e-8f0b-4c5e-a1f4-3f4f2b6a9d10");

// A home of its own for each case: the state folder and the settings folder inside it.
struct Home
{
    Home()
    {
        qputenv("XDG_STATE_HOME", QFile::encodeName(dir.filePath(QStringLiteral("state"))));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath(QStringLiteral("config"))));
        QDir().mkpath(stateFolder());
    }
    ~Home() { chmod(QFile::encodeName(stateFolder()).constData(), 0700); }
    QString stateFolder() const { return QFileInfo(RestoreTokenStore::path()).absolutePath(); }
    QString path(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
};

bool writeText(const QString& path, const QByteArray& text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

} // namespace

class TestRestoreTokenStore : public QObject
{
    Q_OBJECT

private slots:
    void keptInAFileOfItsOwnForTheOwnerAlone()
    {
        Home home;
        QVERIFY(RestoreTokenStore::path().startsWith(home.path(QStringLiteral("state/Tamsk/"))));
        QCOMPARE(RestoreTokenStore::load(), QString());
        QVERIFY(RestoreTokenStore::save(kToken));
        QCOMPARE(RestoreTokenStore::load(), kToken);
        struct stat info
        {
        };
        QCOMPARE(stat(QFile::encodeName(RestoreTokenStore::path()).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, mode_t(0600));
        // Nothing of it among the settings.
        QVERIFY(!QFileInfo::exists(home.path(QStringLiteral("config"))));
        QVERIFY(RestoreTokenStore::save(QStringLiteral("second")));
        QCOMPARE(RestoreTokenStore::load(), QStringLiteral("second"));
    }

    void hostileStorage_data()
    {
        QTest::addColumn<QString>("fixture");
        QTest::addColumn<bool>("saves");
        QTest::newRow("a link to a pipe") << "pipe" << false;
        QTest::newRow("a read-only folder") << "read-only" << false;
        QTest::newRow("a file where the folder goes") << "file-for-folder" << false;
        QTest::newRow("a folder where the file goes") << "folder-for-file" << false;
        QTest::newRow("a broken link") << "broken-link" << false;
        QTest::newRow("no token in the file") << "garbage" << true;
        QTest::newRow("a link to a plain file") << "link-to-file" << true;
    }

    // Whatever the path holds, loading answers at once (never waits on a pipe) and saving
    // replaces nothing but a plain file.
    void hostileStorage()
    {
        QFETCH(QString, fixture);
        QFETCH(bool, saves);
        Home home;
        const QByteArray token = QFile::encodeName(RestoreTokenStore::path());
        const QString elsewhere = home.path(QStringLiteral("elsewhere"));
        if (fixture == QLatin1String("pipe")) {
            QCOMPARE(mkfifo(QFile::encodeName(elsewhere).constData(), 0600), 0);
            QVERIFY(QFile::link(elsewhere, RestoreTokenStore::path()));
        } else if (fixture == QLatin1String("read-only")) {
            QCOMPARE(chmod(QFile::encodeName(home.stateFolder()).constData(), 0500), 0);
        } else if (fixture == QLatin1String("file-for-folder")) {
            QVERIFY(QDir(home.stateFolder()).removeRecursively());
            QVERIFY(writeText(home.stateFolder(), "not a folder"));
        } else if (fixture == QLatin1String("folder-for-file")) {
            QVERIFY(QDir().mkdir(RestoreTokenStore::path()));
        } else if (fixture == QLatin1String("broken-link")) {
            QVERIFY(QFile::link(elsewhere, RestoreTokenStore::path()));
        } else if (fixture == QLatin1String("garbage")) {
            QVERIFY(writeText(RestoreTokenStore::path(), QByteArray(4096, '\x01')));
        } else if (fixture == QLatin1String("link-to-file")) {
            QVERIFY(writeText(elsewhere, "old\n"));
            QVERIFY(QFile::link(elsewhere, RestoreTokenStore::path()));
        }
        if (getuid() == 0 && fixture == QLatin1String("read-only"))
            QSKIP("root writes into read-only folders");
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(RestoreTokenStore::load(),
                 fixture == QLatin1String("link-to-file") ? QStringLiteral("old") : QString());
        QCOMPARE(RestoreTokenStore::save(kToken), saves);
        QVERIFY(clock.elapsed() < 5000);
        QCOMPARE(RestoreTokenStore::load(), saves ? kToken : QString());
        const QFileInfo after(RestoreTokenStore::path());
        if (fixture == QLatin1String("pipe") || fixture == QLatin1String("broken-link") ||
            fixture == QLatin1String("link-to-file")) {
            QVERIFY(after.isSymLink());
        }
        if (fixture == QLatin1String("link-to-file")) {
            QFile target(elsewhere);
            QVERIFY(target.open(QIODevice::ReadOnly));
            QCOMPARE(target.readAll().trimmed(), kToken.toLatin1());
        }
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("glyphlock"));
    TestRestoreTokenStore test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestRestoreTokenStore.moc"
