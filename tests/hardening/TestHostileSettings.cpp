#include "app/GlyphlockApp.h"
#include "support/IsolatedTest.h"
#include "support/SettingsProbe.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Loads the set in a fresh process: within one process QSettings answers from its cache.
QString loadInNewProcess()
{
    return loadSpecialCharsInNewProcess().value_or(QStringLiteral("<probe failed>"));
}

const QString kLongSet = QStringLiteral("!@#$%^&*()").repeated(10000);

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
        // A file that does not parse makes the first save report failure (QSettings keeps the
        // parse error), but that save rewrites the file cleanly, so a second one goes through.
        QTest::newRow("binary") << binary << QString() << false << true;
        QTest::newRow("junk_around_the_value")
            << QByteArray("\x01\x02junk\n[PW]\nSC=abc\n[[[\n=\n\\\n") << QString() << false << true;
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
