// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/GlyphlockApp.h"

#include "base/Privacy.h"
#include "base/SettingsStore.h"
#include "matrix/MatrixDialog.h"
#include "platform/PlatformFactory.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstring>
#include <system_error>
#include <thread>

#ifdef GLYPHLOCK_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace {

#ifdef QT_NO_DEBUG
QtMessageHandler toolkitHandler = nullptr;

void keepQuietUnlessFatal(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtFatalMsg && toolkitHandler)
        toolkitHandler(type, context, message);
}
#endif

// Started by PrepareFonts, joined by whoever next needs the fonts from a thread of its own,
// and at the latest when the program ends, however it ends.
struct JoinedAtExit
{
    std::thread thread;
    ~JoinedAtExit()
    {
        if (thread.joinable())
            thread.join();
    }
};
JoinedAtExit fontConfiguration;

void joinFontConfiguration()
{
    if (fontConfiguration.thread.joinable())
        fontConfiguration.thread.join();
}

} // namespace

void GlyphlockApp::RouteToolkitMessages()
{
#ifdef QT_NO_DEBUG
    toolkitHandler = qInstallMessageHandler(keepQuietUnlessFatal);
#endif
}

void GlyphlockApp::PrepareFonts()
{
#ifdef GLYPHLOCK_HAVE_FONTCONFIG
    if (fontConfiguration.thread.joinable())
        return;
    try {
        // The toolkit's font database starts with the same call, which then finds the
        // configuration read.
        fontConfiguration.thread = std::thread([] { FcInit(); });
    } catch (const std::system_error&) {
        // Then the toolkit reads it when first needed.
    }
#endif
}

void GlyphlockApp::PrepareFirstPicture(const char* startPath)
{
#ifdef Q_OS_LINUX
    // The folders as the main window will name them, without the application object: the
    // executable as applicationFilePath() finds it here, the application name as the
    // application object takes it from argv[0]. Should they differ, the window reads the
    // picture itself.
    const char* cut = std::strrchr(startPath, '/');
    const QStringList folders = IconSet::searchFolders(
        QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath(),
        IconSet::userFolderFor(QLatin1String(kOrganisation),
                               QString::fromLocal8Bit(cut ? cut + 1 : startPath)));
    // The own pictures are small: reading one ahead would cost the start more (finding the
    // image plugins first, on this thread) than it saves.
    if (IconSet::fileInFolders(folders, 0))
        IconSet::readFirstAhead(folders);
#else
    Q_UNUSED(startPath);
#endif
}

GlyphlockApp::GlyphlockApp(int& argc, char** argv) : QApplication(argc, argv)
{
    markProcessPrivate();
    // The application name stays the executable's base name: a renamed copy keeps its own
    // settings. No display name: Qt would append it to every window title.
    setOrganizationName(QLatin1String(kOrganisation));
    // Wayland desktops find the entry (name, icon) through it; X11 ones through the
    // entry's StartupWMClass.
    setDesktopFileName(QLatin1String(kDesktopEntry));
    installTranslations();
    // Before the main window: from here on the grid, the password and its keys exist.
    PlatformFactory::prepareAtStart();
}

GlyphlockApp::~GlyphlockApp() = default;

QStringList GlyphlockApp::installTranslations(const QLocale& locale, const QString& folder)
{
    QStringList installed;
    // Tried in the order of the user's languages; the first catalogue that exists wins.
    const auto install = [&](const QLocale& wanted, const QString& name, const QString& where) {
        auto* translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(wanted, name, QStringLiteral("_"), where) &&
            QCoreApplication::installTranslator(translator)) {
            installed.append(name + QLatin1Char('_') + translator->language());
            return translator->language();
        }
        delete translator;
        return QString();
    };
    const QString language = install(locale, QStringLiteral("glyphlock"), folder);
    // Qt's buttons speak the language of our texts, not another one of the user's list.
    if (!language.isEmpty()) {
        install(QLocale(language), QStringLiteral("qtbase"),
                QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    }
    return installed;
}

int GlyphlockApp::InitInstance()
{
    // Looking up the first frame's font sets up the font database, which takes longer than
    // building the window: a thread of its own does it meanwhile (Qt's font database is
    // thread-safe), and the first paint finds most of it done. It follows the reading of the
    // font configuration, which two threads at once would each do in full.
    std::thread fontLookup;
    try {
        fontLookup = std::thread([] {
            joinFontConfiguration();
            QFontMetrics(MatrixDialog::statusTextFont()).height();
        });
    } catch (const std::system_error&) {
        // Then the first paint does it.
    }
    {
        // How the main window was left (Esc, close box or Exit) makes no difference.
        MatrixDialog dialog;
        dialog.exec();
    }
    if (fontLookup.joinable())
        fontLookup.join();
    joinFontConfiguration();
    return 0;
}

QString GlyphlockApp::LoadSpecialChars()
{
    return SettingsStore::loadSpecialChars();
}

bool GlyphlockApp::SaveSpecialChars(const QString& specialChars)
{
    return SettingsStore::saveSpecialChars(specialChars);
}
