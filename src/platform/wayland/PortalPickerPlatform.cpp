#include "platform/wayland/PortalPickerPlatform.h"

#include "base/SettingsStore.h"
#include "platform/wayland/LayoutKeysyms.h"
#include "platform/wayland/WaylandKeymap.h"

#include <QCoreApplication>
#include <QSettings>

namespace {

// Newer portals hand out a token that lets the next run skip the consent dialog.
QSettings tokenStore()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope,
                     QLatin1String(SettingsStore::kOrganisation),
                     QCoreApplication::applicationName());
}

const QString kTokenKey = QStringLiteral("Portal/RestoreToken");

} // namespace

std::unique_ptr<PortalPickerPlatform> PortalPickerPlatform::open()
{
    if (!PortalSession::isOffered())
        return nullptr;
    std::unique_ptr<PortalPickerPlatform> platform(new PortalPickerPlatform);
    platform->session.loadToken = [] { return tokenStore().value(kTokenKey).toString(); };
    platform->session.saveToken = [](const QString& token) {
        tokenStore().setValue(kTokenKey, token);
    };
    return platform;
}

void PortalPickerPlatform::prepareTyping(std::function<void(TypeResult)> done)
{
    session.start([done = std::move(done)](PortalSession::State state) {
        switch (state) {
        case PortalSession::State::Ready:
            done(TypeResult::Typed);
            return;
        case PortalSession::State::Refused:
            done(TypeResult::Refused);
            return;
        default:
            done(TypeResult::NotAvailable);
            return;
        }
    });
}

PickerPlatform::TypeResult PortalPickerPlatform::typeIntoFocus(const QString& text)
{
    if (session.state() != PortalSession::State::Ready)
        return TypeResult::NotAvailable;
    // Read afresh each time: the user may have switched layouts since the last password.
    const LayoutKeysyms layout(readCompositorKeymap());
    if (!layout.isValid())
        return TypeResult::NotAvailable;
    const auto keysyms = layout.keysymsFor(text);
    if (!keysyms)
        return TypeResult::Failed;
    return session.typeKeysyms(*keysyms) ? TypeResult::Typed : TypeResult::NotAvailable;
}
