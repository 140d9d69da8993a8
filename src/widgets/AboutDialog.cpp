#include "widgets/AboutDialog.h"

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About Glyphlock"));
}

AboutDialog::~AboutDialog() = default;
