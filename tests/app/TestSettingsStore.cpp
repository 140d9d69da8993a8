#include "app/GlyphlockApp.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

QString configFile(const QString& appName)
{
    return qEnvironmentVariable("XDG_CONFIG_HOME") + "/Tamsk/" + appName + ".conf";
}

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
        QCoreApplication::setApplicationName(QStringLiteral("glyphlock_%1").arg(QTest::currentTestFunction()));
    }

    void missingValueLoadsAsEmpty()
    {
        QCOMPARE(GlyphlockApp::LoadSpecialChars(), QString());
    }

    void saveWritesSectionPwEntrySc()
    {
        QVERIFY(GlyphlockApp::SaveSpecialChars(QStringLiteral("!@#")));
        QFile file(configFile(QCoreApplication::applicationName()));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        const QByteArray text = file.readAll();
        QVERIFY2(text.contains("[PW]\nSC=!@#"), text.constData());
        QCOMPARE(GlyphlockApp::LoadSpecialChars(), QStringLiteral("!@#"));
    }

    // Root ignores file modes, so a directory stands where the file should be.
    void unreachableStorageFailsAndKeepsThePreviousValue()
    {
        QVERIFY(GlyphlockApp::SaveSpecialChars(QStringLiteral("old")));
        const QString path = configFile(QCoreApplication::applicationName());
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
        QTest::newRow("30000 characters") << QString(awkwardValue()).repeated(30000 / awkwardValue().size() + 1).left(30000);
    }

    void valuesRoundTripThroughANewProcess()
    {
        QFETCH(QString, value);
        QVERIFY(GlyphlockApp::SaveSpecialChars(value));

        QProcess probe;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("GLYPHLOCK_PROBE_APP", QCoreApplication::applicationName());
        probe.setProcessEnvironment(env);
        probe.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(probe.waitForFinished(30000));
        QCOMPARE(probe.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(QByteArray::fromHex(probe.readAllStandardOutput().trimmed())), value);
    }
};

int main(int argc, char** argv)
{
    // The probe half: a fresh process that loads the set and prints it hex-encoded.
    if (qEnvironmentVariableIsSet("GLYPHLOCK_PROBE_APP")) {
        QCoreApplication app(argc, argv);
        app.setOrganizationName(QStringLiteral("Tamsk"));
        app.setApplicationName(qEnvironmentVariable("GLYPHLOCK_PROBE_APP"));
        std::printf("%s\n", GlyphlockApp::LoadSpecialChars().toUtf8().toHex().constData());
        return 0;
    }

    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    GlyphlockApp app(argc, argv);
    TestSettingsStore test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestSettingsStore.moc"
