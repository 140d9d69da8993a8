#include "delivery/platform/ClipboardKeeper.h"
#include "delivery/platform/PickerPlatform.h"

// Platforms without a backend of their own: no pick, and the clipboard stays with the system.

std::unique_ptr<PickerPlatform> PickerPlatform::create()
{
    return std::make_unique<PickerPlatform>();
}

bool ClipboardKeeper::keepAfterExit(const QByteArray&)
{
    return false;
}
