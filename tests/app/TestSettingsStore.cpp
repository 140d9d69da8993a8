#include "app/GlyphlockApp.h"
#include "support/IsolatedTest.h"
#include "support/SettingsProbe.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A value that stresses the file format: separators, quotes, escapes and non-ASCII text.
QString awkwardValue()
{
    return QStringLiteral(" a b,c;d\"e'f[g]h{i}=j\\k#l%m é€日本\t|~ ");
}

} // namespace

class TestSettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        // A settings file of its own for every test function.
        QCoreApplication::setApplicationName(
            QStringLiteral("glyphlock_%1").arg(QTest::currentTestFunction()));
    }

    void missingValueLoadsAsEmpty() { QCOMPARE(GlyphlockApp::LoadSpecialChars(), QString()); }

    void saveWritesSectionPwEntrySc()
    {
        QVERIFY(GlyphlockApp::SaveSpecialChars(QStringLiteral("!@#")));
        QFile file(configFile());
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        const QByteArray text = file.readAll();
        QVERIFY2(text.contains("[PW]\nSC=!@#"), text.constData());
        QCOMPARE(GlyphlockApp::LoadSpecialChars(), QStringLiteral("!@#"));
    }

    // Root ignores file modes, so a directory stands where the file should be.
    void unreachableStorageFailsAndKeepsThePreviousValue()
    {
        QVERIFY(GlyphlockApp::SaveSpecialChars(QStringLiteral("old")));
        const QString path = configFile();
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkpath(path));

        QVERIFY(!GlyphlockApp::SaveSpecialChars(QStringLiteral("new")));
        QVERIFY(GlyphlockApp::LoadSpecialChars() != QStringLiteral("new"));
        QVERIFY(QDir(path).removeRecursively());
    }

    void valuesRoundTripThroughANewProcess_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("awkward characters") << awkwardValue();
        QTest::newRow("single space") << QStringLiteral(" ");
        QTest::newRow("30000 characters")
            << QString(awkwardValue()).repeated(30000 / awkwardValue().size() + 1).left(30000);
    }

    void valuesRoundTripThroughANewProcess()
    {
        QFETCH(QString, value);
        QVERIFY(GlyphlockApp::SaveSpecialChars(value));

        const std::optional<QString> loaded = loadSpecialCharsInNewProcess();
        QVERIFY(loaded.has_value());
        QCOMPARE(*loaded, value);
    }
};

int main(int argc, char** argv)
{
    if (const auto probeExit = runSettingsProbeIfAsked(argc, argv))
        return *probeExit;

    return runWithGlyphlockApp<TestSettingsStore>(argc, argv);
}

#include "TestSettingsStore.moc"
