// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

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
// When set (hex-encoded text), the probe saves that text before it loads.
inline constexpr const char* kSaveVariable = "GLYPHLOCK_PROBE_SAVE";
} // namespace settingsprobe

// In the probe process: saves the set when asked to and prints "saved 1" or "saved 0"; loads
// the set of the application named by the caller, prints it hex-encoded and returns the exit
// code. Otherwise nothing.
inline std::optional<int> runSettingsProbeIfAsked(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet(settingsprobe::kAppVariable))
        return std::nullopt;
    QCoreApplication app(argc, argv);
    app.setOrganizationName(QLatin1String(GlyphlockApp::kOrganisation));
    app.setApplicationName(qEnvironmentVariable(settingsprobe::kAppVariable));
    if (qEnvironmentVariableIsSet(settingsprobe::kSaveVariable)) {
        const QByteArray value = QByteArray::fromHex(qgetenv(settingsprobe::kSaveVariable));
        std::printf("saved %d\n", GlyphlockApp::SaveSpecialChars(QString::fromUtf8(value)));
    }
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

namespace settingsprobe {
// The probe's output lines; nothing when it did not end in time or failed.
inline std::optional<QList<QByteArray>> run(const std::optional<QString>& save, int timeoutMs)
{
    QProcess probe;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QLatin1String(kAppVariable), QCoreApplication::applicationName());
    if (save)
        env.insert(QLatin1String(kSaveVariable), QString::fromLatin1(save->toUtf8().toHex()));
    probe.setProcessEnvironment(env);
    probe.start(QCoreApplication::applicationFilePath(), {});
    if (!probe.waitForFinished(timeoutMs)) {
        probe.kill();
        probe.waitForFinished();
        return std::nullopt;
    }
    if (probe.exitStatus() != QProcess::NormalExit || probe.exitCode() != 0)
        return std::nullopt;
    return probe.readAllStandardOutput().trimmed().split('\n');
}
} // namespace settingsprobe

// The set as a new process of this application loads it; nullopt when the probe failed or
// did not end within timeoutMs.
inline std::optional<QString> loadSpecialCharsInNewProcess(int timeoutMs = 30000)
{
    const auto lines = settingsprobe::run(std::nullopt, timeoutMs);
    if (!lines)
        return std::nullopt;
    return QString::fromUtf8(QByteArray::fromHex(lines->value(0)));
}

// What a save reports in a new process; nullopt when the probe failed or did not end in time.
inline std::optional<bool> saveSpecialCharsInNewProcess(const QString& value, int timeoutMs = 30000)
{
    const auto lines = settingsprobe::run(value, timeoutMs);
    if (!lines || !lines->value(0).startsWith("saved "))
        return std::nullopt;
    return lines->value(0) == "saved 1";
}
