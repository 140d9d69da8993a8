#include "app/GlyphlockApp.h"

#include "app/Privacy.h"
#include "matrix/MatrixDialog.h"

#include <QSettings>

namespace {

constexpr auto kSection = "PW";
constexpr auto kEntry = "SC";

QString settingsKey()
{
    return QStringLiteral("%1/%2").arg(QLatin1String(kSection), QLatin1String(kEntry));
}

QSettings openSettings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope,
                     QLatin1String(GlyphlockApp::kOrganisation),
                     QCoreApplication::applicationName());
}

#ifdef QT_NO_DEBUG
QtMessageHandler toolkitHandler = nullptr;

void keepQuietUnlessFatal(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtFatalMsg && toolkitHandler)
        toolkitHandler(type, context, message);
}
#endif

} // namespace

void GlyphlockApp::RouteToolkitMessages()
{
#ifdef QT_NO_DEBUG
    toolkitHandler = qInstallMessageHandler(keepQuietUnlessFatal);
#endif
}

GlyphlockApp::GlyphlockApp(int& argc, char** argv) : QApplication(argc, argv)
{
    markProcessPrivate();
    // The application name stays the executable's base name: a renamed copy keeps its own
    // settings. No display name: Qt would append it to every window title.
    setOrganizationName(QLatin1String(kOrganisation));
}

GlyphlockApp::~GlyphlockApp() = default;

int GlyphlockApp::InitInstance()
{
    // How the main window was left (Esc, close box or Exit) makes no difference.
    MatrixDialog dialog;
    dialog.exec();
    return 0;
}

QString GlyphlockApp::LoadSpecialChars()
{
    QSettings settings = openSettings();
    if (settings.status() != QSettings::NoError)
        return QString();
    const QVariant value = settings.value(settingsKey());
    // A hand-edited file may hold a list (unquoted commas); anything but text counts as absent.
    if (value.typeId() != QMetaType::QString)
        return QString();
    return value.toString();
}

bool GlyphlockApp::SaveSpecialChars(const QString& specialChars)
{
    QSettings settings = openSettings();
    const QVariant previous = settings.value(settingsKey());
    settings.setValue(settingsKey(), specialChars);
    settings.sync();
    if (settings.status() == QSettings::NoError)
        return true;

    // QSettings shares one cache per file within the process: put the old value back so
    // that later reads in this process agree with what storage really holds.
    if (previous.isValid())
        settings.setValue(settingsKey(), previous);
    else
        settings.remove(settingsKey());
    return false;
}
