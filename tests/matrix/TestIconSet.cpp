// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "matrix/IconPicture.h"
#include "matrix/IconSet.h"
#include "support/PictureChecks.h"
#include "support/TestPictures.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <cstring>
#include <memory>
#include <sys/stat.h>

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QRgb colourOf(const IconPicture& picture)
{
    return picture.image().pixel(0, 0);
}

const QRgb kRed = qRgb(255, 0, 0);
const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kGreen = qRgb(0, 255, 0);

} // namespace

class TestIconSet : public QObject
{
    Q_OBJECT

private slots:
    void searchOrder_data()
    {
        // Files are "name=content": gif:<colour>, jpg:<colour>, junk, huge (a GIF header
        // claiming 9000 x 9000, over Qt's 256 MB limit). Expectations: the count and
        // "letter=colour" checks, where "own" means the built-in picture.
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("expected");

        QTest::addRow("no files") << QStringList() << 6 << QStringList{"a=own", "f=own"};
        QTest::addRow("gif wins over jpg")
            << QStringList{"c.gif=gif:red", "c.jpg=jpg:blue"} << 6 << QStringList{"c=red"};
        QTest::addRow("broken gif falls back to jpg")
            << QStringList{"c.gif=junk", "c.jpg=jpg:blue"} << 6 << QStringList{"c=blue"};
        QTest::addRow("broken gif alone falls back to the own picture")
            << QStringList{"c.gif=junk"} << 6 << QStringList{"c=own"};
        QTest::addRow("content decides, not the name")
            << QStringList{"a.gif=jpg:blue", "b.jpg=gif:red"} << 6
            << QStringList{"a=blue", "b=red"};
        QTest::addRow("huge header is refused")
            << QStringList{"a.gif=huge", "g.gif=huge"} << 6 << QStringList{"a=own"};
        QTest::addRow("extras g.jpg and h.gif") << QStringList{"g.jpg=jpg:blue", "h.gif=gif:red"}
                                                << 8 << QStringList{"g=blue", "h=red"};
        QTest::addRow("h without g is ignored")
            << QStringList{"h.gif=gif:red"} << 6 << QStringList();
        QTest::addRow("search stops at the first gap")
            << QStringList{"g.gif=gif:red", "h.gif=gif:red", "j.gif=gif:red"} << 8 << QStringList();
        QStringList all;
        for (char letter = 'g'; letter <= '|'; ++letter)
            all << QStringLiteral("%1.gif=gif:green").arg(QLatin1Char(letter));
        QTest::addRow("up to the brace, never the bar")
            << all << 27 << QStringList{"{=green", "g=green"};
    }

    void searchOrder()
    {
        QFETCH(QStringList, files);
        QFETCH(int, count);
        QFETCH(QStringList, expected);

        QTemporaryDir dir;
        for (const QString& entry : files) {
            const QString name = entry.section(QLatin1Char('='), 0, 0);
            const QString content = entry.section(QLatin1Char('='), 1);
            const QColor colour(content.section(QLatin1Char(':'), 1));
            QByteArray bytes = "not a picture";
            if (content.startsWith(QLatin1String("gif:")))
                bytes = gifBytes(colour);
            else if (content.startsWith(QLatin1String("jpg:")))
                bytes = jpegBytes(colour);
            else if (content == QLatin1String("huge"))
                bytes = gifBytes(Qt::red, QSize(9000, 9000));
            writeFile(dir.filePath(name), bytes);
        }

        IconSet set;
        QVERIFY(set.Load({dir.path() + QLatin1Char('/')}));
        QCOMPARE(set.Count(), count);
        checkPictures(set, expected, 15);
        // Read out to people who cannot see it: a picture from a file is only a letter.
        const QStringList subjects{"sun", "moon", "key", "tree", "heart", "fish"};
        for (const QString& check : expected) {
            const int index = check.at(0).toLatin1() - 'a';
            QCOMPARE(set.name(index), check.mid(2) == QLatin1String("own")
                                          ? subjects[index]
                                          : QStringLiteral("picture ") + check.at(0));
        }
        QCOMPARE(set.name(count), QString());

        // Read on a thread of its own, the set comes out the same.
        IconSet background;
        background.beginLoadInBackground({dir.path() + QLatin1Char('/')}, nullptr);
        while (background.loadNext()) {
        }
        QVERIFY(!background.builtInsFailed());
        QCOMPARE(background.Count(), count);
        checkPictures(background, expected, 15);
    }

    // The first frame needs only 'a': the rest is not decoded until it is out, and a set
    // dropped half read stops its thread.
    void backgroundReadingWaitsAfterTheFirstPicture()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath(QStringLiteral("g.gif")), gifBytes(Qt::red));
        std::atomic<int> ready{0};
        auto set = std::make_unique<IconSet>();
        set->beginLoadInBackground({dir.path() + QLatin1Char('/')}, [&ready] { ++ready; });
        QTRY_VERIFY(set->nextIsReady());
        QVERIFY(set->loadNext());
        QTest::qWait(200);
        QCOMPARE(ready.load(), 1);
        QVERIFY(!set->nextIsReady());

        set->releaseRest();
        QTRY_COMPARE(ready.load(), 8); // b..g, then the end of the set
        while (set->loadNext()) {
        }
        QCOMPARE(set->Count(), 7);

        set = std::make_unique<IconSet>();
        set->beginLoadInBackground({dir.path() + QLatin1Char('/')}, nullptr);
        set->releaseRest();
        set.reset();
    }

    void bareProgramNameSearchesTheCurrentDirectory()
    {
        QCOMPARE(IconSet::programFolder(QStringLiteral("/opt/gl/bin/glyphlock")),
                 QStringLiteral("/opt/gl/bin/"));
        QCOMPARE(IconSet::programFolder(QStringLiteral("./glyphlock")), QStringLiteral("./"));
        QCOMPARE(IconSet::programFolder(QStringLiteral("glyphlock")), QString());

        QTemporaryDir dir;
        writeFile(dir.filePath(QStringLiteral("b.gif")), gifBytes(Qt::blue));
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        IconSet set;
        const bool loaded = set.Load({IconSet::programFolder(QStringLiteral("glyphlock"))});
        QDir::setCurrent(previous);
        QVERIFY(loaded);
        QCOMPARE(colourOf(set.Picture(1)), kBlue);
    }

    void failedOwnPictureStopsTheOthers()
    {
        // Own pictures: a and b fine, c broken, d to f fine but never tried after c.
        // The program folder still supplies e.
        QTemporaryDir own;
        for (const char* name : {"a.jpg", "b.jpg", "d.jpg", "e.jpg", "f.jpg"})
            writeFile(own.filePath(QLatin1String(name)), jpegBytes(Qt::red));
        writeFile(own.filePath(QStringLiteral("c.jpg")), "broken");
        QTemporaryDir folder;
        writeFile(folder.filePath(QStringLiteral("e.gif")), gifBytes(Qt::green));

        IconSet set(own.path() + QLatin1Char('/'));
        QVERIFY(!set.Load({folder.path() + QLatin1Char('/')}));
        QCOMPARE(set.Count(), 6);
        const bool loaded[] = {true, true, false, false, true, false};
        for (int i = 0; i < 6; ++i)
            QVERIFY2(set.Picture(i).isEmpty() != loaded[i], qPrintable(QString::number(i)));
        QCOMPARE(colourOf(set.Picture(4)), kGreen);
    }

    void drawStretchesWithoutKeepingProportions()
    {
        QTemporaryDir dir;
        QImage halves(2, 1, QImage::Format_RGB32);
        halves.setPixel(0, 0, kRed);
        halves.setPixel(1, 0, kBlue);
        QVERIFY(halves.save(dir.filePath(QStringLiteral("p.png"))));
        IconPicture picture;
        QVERIFY(picture.LoadFromFile(dir.filePath(QStringLiteral("p.png"))));

        // Twice at different sizes: the scaled copy must follow the size asked for.
        for (const QRect& rect : {QRect(3, 4, 10, 30), QRect(0, 0, 40, 6)}) {
            QImage target(50, 50, QImage::Format_RGB32);
            target.fill(Qt::white);
            QPainter painter(&target);
            picture.Draw(painter, rect);
            painter.end();
            QCOMPARE(target.pixel(rect.left(), rect.top()), kRed);
            QCOMPARE(target.pixel(rect.right(), rect.bottom()), kBlue);
            QCOMPARE(target.pixel(rect.right() + 1, rect.bottom()), qRgb(255, 255, 255));
            QCOMPARE(target.pixel(rect.left(), rect.bottom() + 1), qRgb(255, 255, 255));
        }
    }

    void cameraPicturesLoadAtCellSize_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addRow("phone camera") << QSize(4000, 3000);
        QTest::addRow("square, past Qt's allocation limit when whole") << QSize(6000, 6000);
        QTest::addRow("96 megapixels") << QSize(12000, 8000);
    }

    void cameraPicturesLoadAtCellSize()
    {
        QFETCH(QSize, size);
        // Eight bits a pixel while it is written; a colour JPEG all the same.
        QImage photo(size, QImage::Format_Indexed8);
        photo.setColorTable({kBlue, kRed});
        photo.fill(0);
        for (int y = size.height() / 2; y < size.height(); ++y)
            std::memset(photo.scanLine(y), 1, std::size_t(size.width()));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("g.jpg"));
        QVERIFY(photo.save(path, "JPEG", 90));
        photo = QImage();

        IconPicture picture;
        QVERIFY(picture.LoadFromFile(path));
        QCOMPARE(picture.GetPixelSize(), size);
        // Never more than the largest cell shows on a screen of device pixel ratio 2.
        QVERIFY(picture.image().width() <= 190 && picture.image().height() <= 190);
        const QImage& kept = picture.image();
        QVERIFY(qBlue(kept.pixel(0, 0)) > 200 && qRed(kept.pixel(0, 0)) < 50);
        QVERIFY(qRed(kept.pixel(0, kept.height() - 1)) > 200);
    }

    // A denser screen added later raises the bound: the pictures taken so far are read again
    // for it, so are the ones the thread decoded before and hands over after, and the rest
    // are read for it; small pictures (the own 48 x 48 ones) stay as they are.
    void raisedBoundSharpensWhatWasKeptSmaller()
    {
        QCOMPARE(IconPicture::decodeBoundFor(1.0), 190);
        QCOMPARE(IconPicture::decodeBoundFor(2.0), 190);
        QCOMPARE(IconPicture::decodeBoundFor(2.5), 238);
        QCOMPARE(IconPicture::decodeBoundFor(3.0), 285);

        QTemporaryDir dir;
        QImage photo(600, 500, QImage::Format_RGB32);
        photo.fill(Qt::blue);
        for (const char* name : {"a.jpg", "b.jpg", "g.jpg"})
            QVERIFY(photo.save(dir.filePath(QLatin1String(name)), "JPEG"));
        IconSet set;
        set.beginLoadInBackground({dir.path() + QLatin1Char('/')}, nullptr);
        QVERIFY(set.loadNext());
        set.releaseRest();
        QTRY_VERIFY(set.nextIsReady());
        QCOMPARE(set.Picture(0).image().size(), QSize(190, 190));

        QVERIFY(set.raiseDecodeBound(IconPicture::decodeBoundFor(3.0)));
        QCOMPARE(set.decodeBound(), 285);
        QCOMPARE(set.Picture(0).image().size(), QSize(285, 285));
        while (set.loadNext()) {
        }
        QCOMPARE(set.Count(), 7);
        for (const int index : {0, 1, 6}) {
            QCOMPARE(set.Picture(index).image().size(), QSize(285, 285));
            QCOMPARE(set.Picture(index).GetPixelSize(), QSize(600, 500));
        }
        QCOMPARE(set.Picture(2).image().size(), QSize(48, 48));
        // Nothing more to gain, and a lower bound never takes detail away.
        QVERIFY(!set.raiseDecodeBound(285));
        QVERIFY(!set.raiseDecodeBound(190));
        QCOMPARE(set.Picture(0).image().size(), QSize(285, 285));
    }

    // The first picture can be read before the window exists, at the start of the program.
    // A set takes it only where it would have read the same picture itself, and only once.
    void firstPictureReadAhead_data()
    {
        // What a.jpg holds where it is read ahead: red (8 x 8), a photo (600 x 500, blue),
        // junk, or a pipe. "elsewhere": the set reads another folder, whose a.jpg is lime
        // (Qt::green).
        QTest::addColumn<QString>("content");
        QTest::addColumn<bool>("elsewhere");
        QTest::addColumn<int>("aheadBound");
        QTest::addColumn<int>("setBound");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QSize>("kept");

        QTest::addRow("taken") << "red" << false << 190 << 190 << true << "a=red" << QSize(8, 8);
        QTest::addRow("a broken picture gives way to the own one, as the set's own reading does")
            << "junk" << false << 190 << 190 << true << "a=own" << QSize(48, 48);
        QTest::addRow("a pipe is passed over, not waited on")
            << "pipe" << false << 190 << 190 << true << "a=own" << QSize(48, 48);
        QTest::addRow("read from another folder: read again")
            << "red" << true << 190 << 190 << false << "a=lime" << QSize(8, 8);
        QTest::addRow("read for a denser screen than there is: read again")
            << "photo" << false << 285 << 190 << false << "a=blue" << QSize(190, 190);
        QTest::addRow("read for a less dense screen: read again for this one")
            << "photo" << false << 190 << 285 << false << "a=blue" << QSize(285, 285);
        QTest::addRow("small enough for any screen: taken whatever the bound")
            << "red" << false << 190 << 285 << true << "a=red" << QSize(8, 8);
    }

    void firstPictureReadAhead()
    {
        QFETCH(QString, content);
        QFETCH(bool, elsewhere);
        QFETCH(int, aheadBound);
        QFETCH(int, setBound);
        QFETCH(bool, taken);
        QFETCH(QString, shown);
        QFETCH(QSize, kept);

        QTemporaryDir dir, other;
        const QString path = dir.filePath(QStringLiteral("a.jpg"));
        if (content == QLatin1String("pipe")) {
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (content == QLatin1String("photo")) {
            QImage photo(600, 500, QImage::Format_RGB32);
            photo.fill(Qt::blue);
            QVERIFY(photo.save(path, "JPEG"));
        } else {
            writeFile(path, content == QLatin1String("junk") ? QByteArray("not a picture")
                                                             : jpegBytes(Qt::red));
        }
        writeFile(other.filePath(QStringLiteral("a.jpg")), jpegBytes(Qt::green));
        IconSet::readFirstAhead({dir.path() + QLatin1Char('/')}, aheadBound);

        const QStringList folders{(elsewhere ? other : dir).path() + QLatin1Char('/')};
        IconSet set(QStringLiteral(":/icons/"), folders, nullptr, setBound);
        set.loadNext();
        QCOMPARE(set.firstWasReadAhead(), taken);
        QVERIFY(!set.builtInsFailed());
        checkPictures(set, {shown}, 15);
        QCOMPARE(set.Picture(0).image().size(), kept);

        // Taken once: the next set reads its own.
        IconSet next(QStringLiteral(":/icons/"), folders, nullptr, setBound);
        next.loadNext();
        QVERIFY(!next.firstWasReadAhead());
        checkPictures(next, {shown}, 15);
    }

    void emptyPictureDrawsNothing()
    {
        IconPicture empty;
        QVERIFY(!empty.LoadFromFile(QStringLiteral("/nonexistent/a.gif")));
        QImage target(8, 8, QImage::Format_RGB32);
        target.fill(Qt::white);
        QPainter painter(&target);
        empty.Draw(painter, QRect(0, 0, 8, 8));
        empty.Draw(painter, QRect());
        painter.end();
        QCOMPARE(target.pixel(4, 4), qRgb(255, 255, 255));
        QCOMPARE(empty.GetPixelSize(), QSize(0, 0));
    }
};

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    TestIconSet test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestIconSet.moc"
