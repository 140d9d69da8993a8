// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/GlyphlockApp.h"
#include "support/IsolatedTest.h"
#include "support/SettingsProbe.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

namespace {

// A value that stresses the file format: separators, quotes, escapes and non-ASCII text.
QString awkwardValue()
{
    return QStringLiteral(" a b,c;d\"e'f[g]h{i}=j\\k#l%m é€日本\t|~ ");
}

constexpr const char* kScenarioVariable = "GLYPHLOCK_READ_ONLY_SCENARIO";

// In a child process that owns the settings but cannot write them (a read-only file or
// folder): what a user of that storage sees. Prints "ok" or the steps that went wrong.
int runReadOnlyScenario(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    app.setOrganizationName(QLatin1String(GlyphlockApp::kOrganisation));
    app.setApplicationName(qEnvironmentVariable(kScenarioVariable));
    QStringList failures;
    auto expect = [&](const char* step, const QVariant& actual, const QVariant& expected) {
        if (actual != expected)
            failures << QStringLiteral("%1: got '%2', expected '%3'")
                            .arg(QLatin1String(step), actual.toString(), expected.toString());
    };
    expect("first load", GlyphlockApp::LoadSpecialChars(), QStringLiteral("!"));
    // The write fails, but storage reads back the very text: that is a success.
    expect("saving the stored set again", GlyphlockApp::SaveSpecialChars(QStringLiteral("!")),
           true);
    expect("saving another set", GlyphlockApp::SaveSpecialChars(QStringLiteral("new")), false);
    // A failed save must not change what later loads give, or the passwords would change.
    expect("load after the failed save", GlyphlockApp::LoadSpecialChars(), QStringLiteral("!"));

    // The owner edits the file by hand (making it writable for a moment when it is not).
    const QString path = configFile();
    const QFile::Permissions permissions = QFile::permissions(path);
    QFile::setPermissions(path, permissions | QFile::WriteOwner);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write("[PW]\nSC=xyz\n") < 0)
        failures << QStringLiteral("could not edit the file by hand");
    file.close();
    QFile::setPermissions(path, permissions);
    expect("load after a hand edit", GlyphlockApp::LoadSpecialChars(), QStringLiteral("xyz"));

    std::printf("%s\n", failures.isEmpty() ? "ok" : qPrintable(failures.join(QLatin1Char('\n'))));
    return 0;
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

    // Root writes whatever the modes say, so as root the scenario runs as "nobody".
    void readOnlyStorage_data()
    {
        QTest::addColumn<bool>("folderReadOnly");
        QTest::newRow("read-only file") << false;
        QTest::newRow("read-only folder") << true;
    }

    void readOnlyStorage()
    {
        QFETCH(bool, folderReadOnly);
        uid_t uid = geteuid();
        gid_t gid = getegid();
        if (uid == 0) {
            const passwd* nobody = getpwnam("nobody");
            QVERIFY2(nobody, "no user \"nobody\" to drop to");
            uid = nobody->pw_uid;
            gid = nobody->pw_gid;
        }
        // A folder that user can reach, with a copy of this program it can run.
        QTemporaryDir base;
        QFile::setPermissions(base.path(), QFile::permissions(base.path()) | QFile::ExeOther |
                                               QFile::ReadOther | QFile::ExeGroup);
        const QString program = base.filePath(QStringLiteral("scenario"));
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), program));
        const QString config = base.filePath(QStringLiteral("config"));
        const QString folder = config + QStringLiteral("/Tamsk");
        const QString file = folder + QStringLiteral("/glyphlock_scenario.conf");
        QVERIFY(QDir().mkpath(folder));
        {
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write("[PW]\nSC=!\n");
        }
        for (const QString& path : {config, folder, file})
            QCOMPARE(chown(QFile::encodeName(path).constData(), uid, gid), 0);
        if (folderReadOnly)
            QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        else
            QVERIFY(QFile::setPermissions(file, QFile::ReadOwner));

        QProcess scenario;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QLatin1String(kScenarioVariable), QStringLiteral("glyphlock_scenario"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        scenario.setProcessEnvironment(env);
        scenario.setChildProcessModifier([uid, gid] {
            if (getuid() == uid)
                return;
            if (setgroups(0, nullptr) != 0 || setgid(gid) != 0 || setuid(uid) != 0)
                _exit(3);
        });
        scenario.start(program, {});
        QVERIFY(scenario.waitForFinished(30000));
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(scenario.exitCode(), 0);
        const QByteArray report = scenario.readAllStandardOutput().trimmed();
        QVERIFY2(report == "ok", report.constData());
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
    if (qEnvironmentVariableIsSet(kScenarioVariable))
        return runReadOnlyScenario(argc, argv);

    return runWithGlyphlockApp<TestSettingsStore>(argc, argv);
}

#include "TestSettingsStore.moc"
