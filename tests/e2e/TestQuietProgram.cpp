// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <QBuffer>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// A JPEG cut off in the middle of its picture data: the decoder complains and goes on.
QByteArray cutJpeg()
{
    QImage image(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 4, y * 4, (x * y) % 256));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 90);
    return bytes.left(bytes.size() / 2);
}

quint32 crc32(const QByteArray& bytes)
{
    quint32 crc = 0xffffffffu;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A PNG whose header claims 20000 x 20000 pixels: refused for Qt's allocation limit.
QByteArray hugePng()
{
    auto chunk = [](const QByteArray& type, const QByteArray& data) {
        QByteArray out;
        QDataStream stream(&out, QIODevice::WriteOnly);
        stream << quint32(data.size());
        out += type + data;
        QDataStream tail(&out, QIODevice::Append);
        tail << crc32(type + data);
        return out;
    };
    QByteArray header;
    QDataStream stream(&header, QIODevice::WriteOnly);
    stream << quint32(20000) << quint32(20000) << quint8(8) << quint8(2) << quint8(0) << quint8(0)
           << quint8(0);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) +
           chunk("IDAT", QByteArray(16, '\0')) + chunk("IEND", {});
}

} // namespace

// The real program on a real X server, as a user starts it from a terminal.
class TestQuietProgram : public QObject
{
    Q_OBJECT

private slots:
    // Picture files that the decoders complain about are everyday input: a released program
    // prints nothing about them (or anything else) on its terminal.
    void releaseBuildPrintsNothing()
    {
#ifndef QT_NO_DEBUG
        QSKIP("a debug build may print the toolkit's messages");
#endif
        QTemporaryDir home;
        const QString pictures = home.filePath(QStringLiteral("data/Tamsk/glyphlock/"));
        writeFile(pictures + QStringLiteral("a.jpg"), cutJpeg());
        writeFile(pictures + QStringLiteral("b.gif"), hugePng());

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.remove(QStringLiteral("QT_LOGGING_RULES"));
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(GLYPHLOCK_PROGRAM), {});
        QVERIFY(program.waitForStarted());

        // The pictures are loaded before the main window shows.
        QProcess search;
        search.start(QStringLiteral("xdotool"),
                     {"search", "--sync", "--onlyvisible", "--pid",
                      QString::number(program.processId()), "--name", "^Glyphlock$"});
        const bool shown = search.waitForFinished(20000) && search.exitCode() == 0;
        search.kill();
        program.terminate();
        program.waitForFinished(10000);
        QVERIFY2(shown, "the main window did not show");
        const QByteArray output = program.readAllStandardError() + program.readAllStandardOutput();
        QVERIFY2(output.isEmpty(), output.constData());
    }
};

QTEST_GUILESS_MAIN(TestQuietProgram)

#include "TestQuietProgram.moc"
