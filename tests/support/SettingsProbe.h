#pragma once

// Reading the settings back in a fresh process: QSettings keeps one cache per process, so only
// another process shows what really reached storage. A test program calls
// runSettingsProbeIfAsked() first thing in main() and loadSpecialCharsInNewProcess() in its
// tests; the probe is the test program itself, started again.

#include "app/GlyphlockApp.h"

#include <QCoreApplication>
#include <QProcess>

#include <cstdio>
#include <optional>

namespace settingsprobe {
inline constexpr const char* kAppVariable = "GLYPHLOCK_PROBE_APP";
}

// In the probe process: loads the set of the application named by the caller, prints it
// hex-encoded and returns the exit code. Otherwise nothing.
inline std::optional<int> runSettingsProbeIfAsked(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet(settingsprobe::kAppVariable))
        return std::nullopt;
    QCoreApplication app(argc, argv);
    app.setOrganizationName(QLatin1String(GlyphlockApp::kOrganisation));
    app.setApplicationName(qEnvironmentVariable(settingsprobe::kAppVariable));
    std::printf("%s\n", GlyphlockApp::LoadSpecialChars().toUtf8().toHex().constData());
    return 0;
}

// Where this test program's settings file lives (under XDG_CONFIG_HOME).
inline QString configFile()
{
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QLatin1Char('/') +
           QLatin1String(GlyphlockApp::kOrganisation) + QLatin1Char('/') +
           QCoreApplication::applicationName() + QStringLiteral(".conf");
}

// The set as a new process of this application loads it; nullopt when the probe failed.
inline std::optional<QString> loadSpecialCharsInNewProcess()
{
    QProcess probe;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QLatin1String(settingsprobe::kAppVariable), QCoreApplication::applicationName());
    probe.setProcessEnvironment(env);
    probe.start(QCoreApplication::applicationFilePath(), {});
    if (!probe.waitForFinished(30000) || probe.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(QByteArray::fromHex(probe.readAllStandardOutput().trimmed()));
}
