// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Test programs never touch the user's settings or picture folder: both point into temporary
// folders for the whole run, set before the application object reads them.

#include "app/GlyphlockApp.h"

#include <QTemporaryDir>
#include <QTest>

class UserFoldersInTemp
{
public:
    UserFoldersInTemp()
    {
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    }

    QString configPath() const { return config.path(); }

private:
    QTemporaryDir config;
    QTemporaryDir data;
};

// main() of a test that runs with the real application object.
template <typename Test> int runWithGlyphlockApp(int argc, char** argv)
{
    UserFoldersInTemp folders;
    GlyphlockApp app(argc, argv);
    Test test;
    return QTest::qExec(&test, argc, argv);
}
