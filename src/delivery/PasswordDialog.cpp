#include "delivery/PasswordDialog.h"

PasswordDialog::PasswordDialog(QWidget* parent, const QString& password)
    : QDialog(parent), password(password)
{
    setWindowTitle(QStringLiteral("Glyphlock"));
}

PasswordDialog::~PasswordDialog() = default;
