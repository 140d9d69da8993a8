// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/GlyphlockApp.h"
#include "support/IsolatedTest.h"
#include "support/SettingsProbe.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Loads the set in a fresh process: within one process QSettings answers from its cache.
QString loadInNewProcess()
{
    return loadSpecialCharsInNewProcess().value_or(QStringLiteral("<probe failed>"));
}

const QString kLongSet = QStringLiteral("!@#$%^&*()").repeated(10000);

// Makes a node of the given kind at path; false when this system does not let us.
bool makeNode(const QString& kind, const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    if (kind == QLatin1String("fifo"))
        return mkfifo(name.constData(), 0600) == 0;
    if (kind == QLatin1String("socket")) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (size_t(name.size()) >= sizeof address.sun_path)
            return false;
        std::copy(name.begin(), name.end(), address.sun_path);
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        const bool bound =
            fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        if (fd >= 0)
            close(fd);
        return bound;
    }
    if (kind == QLatin1String("device")) {
        // A node of the null device, our own: it opens, reads give nothing, writes vanish.
        return mknod(name.constData(), S_IFCHR | 0600, makedev(1, 3)) == 0;
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("[PW]\nSC=abc\n") > 0;
}

// Type and identity of what stands at path, the link itself when it is one.
QString nodeIdentity(const QString& path)
{
    struct stat info
    {
    };
    if (lstat(QFile::encodeName(path).constData(), &info) != 0)
        return QStringLiteral("missing");
    return QStringLiteral("mode %1 inode %2").arg(info.st_mode, 0, 8).arg(info.st_ino);
}

} // namespace

// Settings files that were damaged or hand-edited: loading gives the stored text or the empty
// text, never a crash or a hang, and a save is reported as done exactly when a new process
// reads the value back.
class TestHostileSettings : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QCoreApplication::setApplicationName(
            QStringLiteral("glyphlock_%1").arg(QString::fromLatin1(QTest::currentDataTag())));
    }

    void hostileFile_data()
    {
        QTest::addColumn<QByteArray>("content"); // a null array: a directory stands there
        QTest::addColumn<QString>("loaded");
        QTest::addColumn<bool>("firstSave");
        QTest::addColumn<bool>("secondSave");

        QByteArray binary;
        for (int i = 0; i < 4096; ++i)
            binary += char((i * 7919 + 13) % 256);
        // A file that does not parse loads as no value; the first save replaces it with a
        // clean file, and reading back shows that it did.
        QTest::newRow("binary") << binary << QString() << true << true;
        QTest::newRow("junk_around_the_value")
            << QByteArray("\x01\x02junk\n[PW]\nSC=abc\n[[[\n=\n\\\n") << QString() << true << true;
        QTest::newRow("unterminated_quote")
            << QByteArray("[PW]\nSC=\"abc") << QStringLiteral("abc") << true << true;
        QTest::newRow("long_line") << QByteArray(1 << 20, '[') << QString() << true << true;
        QTest::newRow("sc_of_100000_characters")
            << QByteArray("[PW]\nSC=" + kLongSet.toUtf8() + "\n") << kLongSet << true << true;
        QTest::newRow("invalid_utf8")
            << QByteArray("[PW]\nSC=ab\xff\xfe\xc3(cd\xed\xa0\x80\n")
            << QStringLiteral("ab\uFFFD\uFFFD\uFFFD(cd\uFFFD\uFFFD\uFFFD") << true << true;
        QTest::newRow("variant_declaring_a_huge_string")
            << QByteArray("[PW]\nSC=@Variant(\\0\\0\\0\\n\\0\\xff\\xff\\xff\\xf0ab)\n") << QString()
            << true << true;
        QTest::newRow("list_instead_of_text")
            << QByteArray("[PW]\nSC=a, b, c\n") << QString() << true << true;
        QTest::newRow("directory") << QByteArray() << QString() << false << false;
    }

    void hostileFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, loaded);
        QFETCH(bool, firstSave);
        QFETCH(bool, secondSave);
        const QString path = configFile();
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        if (content.isNull()) {
            QVERIFY(QDir().mkpath(path));
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write(content), content.size());
        }

        QCOMPARE(GlyphlockApp::LoadSpecialChars(), loaded);

        // Whatever a save reports must be what storage holds.
        const QString value = QStringLiteral("saved");
        QCOMPARE(GlyphlockApp::SaveSpecialChars(value), firstSave);
        QCOMPARE(loadInNewProcess() == value, firstSave);
        if (!firstSave) {
            QCOMPARE(GlyphlockApp::SaveSpecialChars(value), secondSave);
            QCOMPARE(loadInNewProcess() == value, secondSave);
        }
    }

    // Whatever stands at the settings path after following links must be a plain file: any
    // other node loads as no value at once and refuses a save, left exactly as it was. Links
    // to a plain file work as the file does (people keep dotfiles in repositories).
    void unusualNode_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("throughLink");

        QTest::newRow("fifo") << QStringLiteral("fifo") << false;
        QTest::newRow("link_to_fifo") << QStringLiteral("fifo") << true;
        QTest::newRow("socket") << QStringLiteral("socket") << false;
        QTest::newRow("link_to_socket") << QStringLiteral("socket") << true;
        QTest::newRow("device") << QStringLiteral("device") << false;
        QTest::newRow("link_to_device") << QStringLiteral("device") << true;
        QTest::newRow("link_to_plain_file") << QStringLiteral("file") << true;
    }

    void unusualNode()
    {
        QFETCH(QString, kind);
        QFETCH(bool, throughLink);
        const QString path = configFile();
        const QString folder = QFileInfo(path).path();
        QVERIFY(QDir().mkpath(folder));
        QTemporaryDir elsewhere;
        const QString node = throughLink ? elsewhere.filePath(QStringLiteral("n")) : path;
        if (!makeNode(kind, node))
            QSKIP("this system does not let us make such a node");
        if (throughLink)
            QVERIFY(QFile::link(node, path));
        const QString pathBefore = nodeIdentity(path);
        const QString nodeBefore = nodeIdentity(node);
        const QStringList folderBefore =
            QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::Hidden);

        // A program blocked on the node would never end: the first load and save run in
        // probes with a deadline.
        const bool works = kind == QLatin1String("file");
        const QString noAnswer = QStringLiteral("<no answer within 10 s>");
        QCOMPARE(loadSpecialCharsInNewProcess(10000).value_or(noAnswer),
                 works ? QStringLiteral("abc") : QString());
        const std::optional<bool> saved =
            saveSpecialCharsInNewProcess(QStringLiteral("saved"), 10000);
        QCOMPARE(saved ? QString::number(*saved) : noAnswer, QString::number(works));
        QCOMPARE(GlyphlockApp::LoadSpecialChars(), works ? QStringLiteral("saved") : QString());
        QCOMPARE(GlyphlockApp::SaveSpecialChars(QStringLiteral("again")), works);
        QCOMPARE(loadInNewProcess(), works ? QStringLiteral("again") : QString());

        QCOMPARE(nodeIdentity(path), pathBefore);
        if (works) {
            QFile target(node);
            QVERIFY(target.open(QIODevice::ReadOnly));
            QVERIFY(target.readAll().contains("SC=again"));
        } else {
            QCOMPARE(nodeIdentity(node), nodeBefore);
            QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::Hidden),
                     folderBefore);
        }
    }
};

int main(int argc, char** argv)
{
    if (const auto probeExit = runSettingsProbeIfAsked(argc, argv))
        return *probeExit;

    UserFoldersInTemp folders;
    QCoreApplication app(argc, argv);
    app.setOrganizationName(QStringLiteral("Tamsk"));
    TestHostileSettings test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestHostileSettings.moc"
