#include "platform/PlatformFactory.h"

#include <QGuiApplication>

#ifdef GLYPHLOCK_HAVE_X11
#include "platform/x11/X11ClipboardKeeper.h"
#include "platform/x11/X11PickerPlatform.h"
#endif

namespace {

bool runsOnX11()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

} // namespace

std::unique_ptr<PickerPlatform> PlatformFactory::createPickerPlatform()
{
#ifdef GLYPHLOCK_HAVE_X11
    if (runsOnX11()) {
        if (auto x11 = X11PickerPlatform::open())
            return x11;
    }
#endif
    return std::make_unique<PickerPlatform>();
}

std::unique_ptr<ClipboardKeeper> PlatformFactory::createClipboardKeeper()
{
#ifdef GLYPHLOCK_HAVE_X11
    if (runsOnX11())
        return std::make_unique<X11ClipboardKeeper>();
#endif
    return std::make_unique<ClipboardKeeper>();
}
