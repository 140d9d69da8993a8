#include "password/PasswordGenerator.h"

#include "app/GlyphlockApp.h"
#include "core/PasswordAlgorithm.h"

QString PasswordGenerator::specialCharsForUse()
{
    QString special = GlyphlockApp::LoadSpecialChars();
    if (special.isEmpty()) {
        special = QString::fromLatin1(kDefaultSpecialChars);
        // Generation goes on with the default whether or not it could be stored.
        GlyphlockApp::SaveSpecialChars(special);
    }
    return special;
}

QString PasswordGenerator::generate(const std::vector<std::string>& rows)
{
    const std::u32string special = specialCharsForUse().toStdU32String();
    return QString::fromStdU32String(GeneratePassword(rows, special));
}
