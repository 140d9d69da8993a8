// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QApplication>
#include <QLocale>
#include <QString>
#include <QStringList>

#include "base/SettingsStore.h"

// The program's application object: fixes where the settings live and runs the main window.
class GlyphlockApp : public QApplication
{
    Q_OBJECT

public:
    GlyphlockApp(int& argc, char** argv);
    ~GlyphlockApp() override;

    // Called before the application object exists. A released program prints nothing on its
    // terminal: the toolkit's warnings about everyday input (damaged pictures, no opener for a
    // link) tell a user nothing. Fatal messages still show; debug builds print everything.
    static void RouteToolkitMessages();

    // Called before the application object exists: reads the font configuration on a thread
    // of its own while the toolkit starts. The first frame shows text, and reading the
    // configuration takes about as long as starting the toolkit.
    static void PrepareFonts();

    // Called before the application object exists: starts decoding the picture the first
    // frame shows in every cell, which for a camera picture takes longer than starting the
    // toolkit. The main window takes it once it is read (IconSet::readFirstAhead).
    // startPath: argv[0].
    static void PrepareFirstPicture(const char* startPath);

    // Speaks the languages of `locale`: our own texts from the catalogues in `folder` (the ones
    // compiled into the program by default), Qt's standard texts (dialog buttons) from Qt's
    // own. English, the texts in the code, where no catalogue matches the user's languages.
    // Returns the languages found, for the curious ("de", "qtbase_de").
    static QStringList installTranslations(const QLocale& locale = QLocale::system(),
                                           const QString& folder = QStringLiteral(":/i18n"));

    // Runs the main window modally; the program ends when it closes. Returns the exit code.
    int InitInstance();

    // The special-character set (see SettingsStore).
    static QString LoadSpecialChars();
    // True only when the value has reached storage.
    static bool SaveSpecialChars(const QString& specialChars);

    static constexpr const char* kOrganisation = SettingsStore::kOrganisation;
    // The desktop entry's name (without ".desktop"), which the package installs.
    static constexpr const char* kDesktopEntry = "com.example.Glyphlock";
};
