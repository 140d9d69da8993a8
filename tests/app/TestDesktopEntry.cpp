// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/GlyphlockApp.h"

#include <QFile>
#include <QTest>

// Wayland desktops match a window to its desktop entry (name, icon) by the application id,
// which Qt takes from the desktop file name.
class TestDesktopEntry : public QObject
{
    Q_OBJECT

private slots:
    void theWindowsNameTheirEntry()
    {
        QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral("com.example.Glyphlock"));
        QVERIFY(QFile::exists(QStringLiteral(GLYPHLOCK_SOURCE_DIR "/packaging/") +
                              QGuiApplication::desktopFileName() + QStringLiteral(".desktop")));
    }
};

int main(int argc, char** argv)
{
    GlyphlockApp app(argc, argv);
    TestDesktopEntry test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestDesktopEntry.moc"
