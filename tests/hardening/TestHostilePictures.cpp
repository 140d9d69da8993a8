// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "matrix/IconPicture.h"
#include "matrix/IconSet.h"
#include "support/TestPictures.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

long peakMemoryKiB()
{
#ifdef Q_OS_UNIX
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
#else
    return 0;
#endif
}

} // namespace

// Picture folders holding things that are no pictures, or pictures that lie about themselves:
// loading always finishes, the set keeps its six base icons (the own picture where a file
// fails), and memory stays small.
class TestHostilePictures : public QObject
{
    Q_OBJECT

private slots:
    void hostileFolder_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("ownLetters");  // must show the built-in picture
        QTest::addColumn<QString>("fileLetters"); // must show a picture from the folder

        QTest::newRow("zero-byte picture") << "a.gif=empty"
                                           << "a"
                                           << "";
        QTest::newRow("directory named a.gif") << "a.gif=dir b.gif=dir,b.jpg=jpeg"
                                               << "a"
                                               << "b";
        QTest::newRow("truncated JPEG") << "a.jpg=truncated"
                                        << ""
                                        << "";
        QTest::newRow("GIF with a 65535 x 65535 screen") << "a.gif=hugegif g.gif=hugegif"
                                                         << "a"
                                                         << "";
        QTest::newRow("JPEG claiming 30000 x 30000") << "a.jpg=hugejpeg g.jpg=hugejpeg"
                                                     << "a"
                                                     << "";
        QTest::newRow("symlink loops") << "a.gif=loop b.gif=c.gif,c.gif=b.gif"
                                       << "abc"
                                       << "";
        QTest::newRow("dangling symlink") << "g.gif=nowhere"
                                          << ""
                                          << "";
        QTest::newRow("devices") << "a.gif=/dev/zero b.jpg=/dev/urandom"
                                 << "ab"
                                 << "";
#ifdef Q_OS_UNIX
        QTest::newRow("named pipe") << "a.gif=fifo b.jpg=fifo"
                                    << "ab"
                                    << "";
        QTest::newRow("unreadable folder") << "a.gif=gif unreadable"
                                           << "a"
                                           << "";
#endif
        QTest::newRow("folder is a file") << "folderfile"
                                          << "abcdef"
                                          << "";
    }

    void hostileFolder()
    {
        QFETCH(QString, setup);
        QFETCH(QString, ownLetters);
        QFETCH(QString, fileLetters);

        QTemporaryDir dir;
        QString folder = dir.path() + QLatin1Char('/');
        bool unreadable = false;
        for (const QString& step : setup.split(QRegularExpression(QStringLiteral("[ ,]")))) {
            const QString name = dir.filePath(step.section(QLatin1Char('='), 0, 0));
            const QString what = step.section(QLatin1Char('='), 1);
            if (step == QLatin1String("folderfile")) {
                QVERIFY(writeFile(dir.filePath(QStringLiteral("f")), gifBytes(Qt::blue)));
                folder = dir.filePath(QStringLiteral("f")) + QLatin1Char('/');
            } else if (step == QLatin1String("unreadable")) {
                unreadable = true;
            } else if (what == QLatin1String("empty")) {
                QVERIFY(writeFile(name, QByteArray()));
            } else if (what == QLatin1String("dir")) {
                QVERIFY(QDir().mkdir(name));
            } else if (what == QLatin1String("jpeg")) {
                QVERIFY(writeFile(name, jpegBytes(Qt::blue)));
            } else if (what == QLatin1String("gif")) {
                QVERIFY(writeFile(name, gifBytes(Qt::blue)));
            } else if (what == QLatin1String("truncated")) {
                const QByteArray whole = jpegBytes(Qt::blue, 48);
                QVERIFY(writeFile(name, whole.left(whole.size() / 2)));
            } else if (what == QLatin1String("hugegif")) {
                QVERIFY(writeFile(name, gifBytes(Qt::blue, QSize(65535, 65535), QSize(1, 1))));
            } else if (what == QLatin1String("hugejpeg")) {
                // Eight pixels of data behind a frame header that claims far more.
                QByteArray jpeg = jpegBytes(Qt::blue);
                const qsizetype frame = jpeg.indexOf("\xff\xc0");
                QVERIFY(frame > 0);
                for (const qsizetype at : {frame + 5, frame + 7}) {
                    jpeg[at] = char(30000 >> 8);
                    jpeg[at + 1] = char(30000 & 0xff);
                }
                QVERIFY(writeFile(name, jpeg));
            } else if (what == QLatin1String("loop")) {
                QVERIFY(QFile::link(name, name));
            } else if (what == QLatin1String("fifo")) {
#ifdef Q_OS_UNIX
                QCOMPARE(mkfifo(QFile::encodeName(name).constData(), 0600), 0);
#endif
            } else {
                // A link to another name in the folder, a device or nowhere.
                QVERIFY(QFile::link(what.startsWith(QLatin1Char('/')) ? what : dir.filePath(what),
                                    name));
            }
        }
#ifdef Q_OS_UNIX
        if (unreadable) {
            if (geteuid() == 0)
                QSKIP("root reads any folder");
            QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::Permissions()));
        }
#endif

        const long memoryBefore = peakMemoryKiB();
        IconSet set;
        QVERIFY(set.Load({folder}));
        if (unreadable)
            QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ExeOwner);
        QVERIFY(peakMemoryKiB() - memoryBefore < 256 * 1024);

        QCOMPARE(set.Count(), IconSet::kBaseCount);
        for (int index = 0; index < set.Count(); ++index)
            QVERIFY2(!set.Picture(index).isEmpty(), qPrintable(QString::number(index)));
        for (QChar letter : ownLetters) {
            IconPicture own;
            QVERIFY(own.LoadFromFile(QStringLiteral(":/icons/%1.jpg").arg(letter)));
            QVERIFY2(set.Picture(letter.toLatin1() - 'a').image() == own.image(),
                     qPrintable(letter));
        }
        for (QChar letter : fileLetters) {
            const QRgb pixel = set.Picture(letter.toLatin1() - 'a').image().pixel(0, 0);
            QVERIFY2(qBlue(pixel) > 200 && qRed(pixel) < 50, qPrintable(letter));
        }
    }
};

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    TestHostilePictures test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestHostilePictures.moc"
