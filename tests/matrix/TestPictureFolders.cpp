// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/GlyphlockApp.h"
#include "matrix/IconSet.h"
#include "matrix/MatrixDialog.h"
#include "support/IsolatedTest.h"
#include "support/PictureChecks.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The content decides the format, so a PNG serves under either name.
QByteArray pictureBytes(QColor colour)
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// Entries are "name=colour", or "name=junk" for a file that is no picture.
void writeFiles(const QString& folder, const QStringList& entries)
{
    QVERIFY(QDir().mkpath(folder));
    for (const QString& entry : entries) {
        const QString content = entry.section(QLatin1Char('='), 1);
        QFile file(QDir(folder).filePath(entry.section(QLatin1Char('='), 0, 0)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content == QLatin1String("junk") ? QByteArray("not a picture")
                                                    : pictureBytes(QColor(content)));
    }
}

} // namespace

class TestPictureFolders : public QObject
{
    Q_OBJECT

private slots:
    void programFolderThenUserFolder_data()
    {
        QTest::addColumn<QStringList>("program");
        QTest::addColumn<QStringList>("user");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("expected");

        QTest::addRow("program folder wins per letter, even its jpg over the user's gif")
            << QStringList{"c.jpg=blue", "g.jpg=blue"} << QStringList{"c.gif=red", "g.gif=red"} << 7
            << QStringList{"c=blue", "g=blue"};
        QTest::addRow("user folder replaces the own picture")
            << QStringList() << QStringList{"a.jpg=lime", "f.gif=red"} << 6
            << QStringList{"a=lime", "b=own", "f=red"};
        QTest::addRow("broken program file gives way to the user folder")
            << QStringList{"c.gif=junk", "c.jpg=junk"} << QStringList{"c.jpg=blue"} << 6
            << QStringList{"c=blue"};
        QTest::addRow("broken files in both give the own picture")
            << QStringList{"c.gif=junk"} << QStringList{"c.gif=junk"} << 6 << QStringList{"c=own"};
        QTest::addRow("extras continue across both folders")
            << QStringList{"g.gif=red", "i.jpg=red"} << QStringList{"h.jpg=blue", "j.gif=blue"}
            << 10 << QStringList{"g=red", "h=blue", "i=red", "j=blue"};
        QTest::addRow("the first gap in both stops the search")
            << QStringList{"g.gif=red", "j.gif=red"} << QStringList{"h.gif=blue", "k.gif=blue"} << 8
            << QStringList{"h=blue"};
        QTest::addRow("a user extra without g is ignored")
            << QStringList() << QStringList{"h.gif=blue"} << 6 << QStringList();
    }

    void programFolderThenUserFolder()
    {
        QFETCH(QStringList, program);
        QFETCH(QStringList, user);
        QFETCH(int, count);
        QFETCH(QStringList, expected);

        QTemporaryDir programDir, userDir;
        writeFiles(programDir.path(), program);
        writeFiles(userDir.path(), user);
        IconSet set;
        QVERIFY(
            set.Load({programDir.path() + QLatin1Char('/'), userDir.path() + QLatin1Char('/')}));
        QCOMPARE(set.Count(), count);
        checkPictures(set, expected);
    }

    void userFolderIsTheApplicationDataFolder()
    {
        const QString user = QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME")) +
                             QStringLiteral("/Tamsk/") + QCoreApplication::applicationName() +
                             QLatin1Char('/');
        QCOMPARE(IconSet::userFolder(), user);
        QCOMPARE(IconSet::searchFolders(QStringLiteral("/opt/gl/bin/glyphlock")),
                 (QStringList{"/opt/gl/bin/", user}));
    }

    // Started by name through PATH, as a desktop entry does, the program gets no folder in
    // argv[0]; its pictures are still the ones beside the executable, never the current
    // folder's (often home, where any a.jpg would replace the first icon).
    void bareProgramNameLooksBesideTheExecutableOnly()
    {
        QVERIFY(!QCoreApplication::arguments().value(0).contains(QLatin1Char('/')));
        QTemporaryDir current;
        writeFiles(current.path(), {"a.gif=red", "g.jpg=red"});
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(current.path()));
        MatrixDialog dialog;
        QVERIFY(QDir::setCurrent(before));
        QCOMPARE(dialog.icons().Count(), 6);
        checkPictures(dialog.icons(), {"a=own"});
    }

    void mainWindowLooksInTheUserFolder()
    {
        const QString user = IconSet::userFolder();
        writeFiles(user, {"b.gif=blue", "g.jpg=red", "h.gif=lime"});
        MatrixDialog dialog;
        QCOMPARE(dialog.icons().Count(), 8);
        checkPictures(dialog.icons(), {"a=own", "b=blue", "g=red", "h=lime"});
        QDir(user).removeRecursively();
    }

    // At the start the first picture is read before the application object exists, with the
    // folders named without it; the window takes that picture instead of reading it again.
    void windowTakesThePictureReadAtTheStart()
    {
#ifndef Q_OS_LINUX
        QSKIP("Read ahead on Linux only");
#endif
        const QString user = IconSet::userFolder();
        writeFiles(user, {"a.jpg=blue"});
        GlyphlockApp::PrepareFirstPicture(
            QCoreApplication::arguments().value(0).toLocal8Bit().constData());
        MatrixDialog dialog;
        QVERIFY(dialog.icons().firstWasReadAhead());
        checkPictures(dialog.icons(), {"a=blue"});
        QDir(user).removeRecursively();
    }

    void firstClickSeesTheWholeSet()
    {
        const QString user = IconSet::userFolder();
        writeFiles(user, {"g.jpg=red", "h.gif=lime"});
        MatrixDialog dialog;
        dialog.show();
        // Before any event is handled, so before the pictures after 'a' are read in the
        // background: a right click still wraps to the last icon.
        QTest::mousePress(&dialog, Qt::RightButton, {}, QPoint(10, 10));
        QTest::mouseRelease(&dialog, Qt::RightButton, {}, QPoint(10, 10));
        QDir(user).removeRecursively();
        QCOMPARE(dialog.iconMatrix().Rows()[0][0], 'h');
        checkPictures(dialog.icons(), {"g=red", "h=lime"});
    }
};

int main(int argc, char** argv)
{
    // As started by name through PATH.
    char bareName[] = "test_picture_folders";
    argv[0] = bareName;
    return runWithGlyphlockApp<TestPictureFolders>(argc, argv);
}

#include "TestPictureFolders.moc"
