#include "password/SymbolSetDialog.h"

SymbolSetDialog::SymbolSetDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Config"));
}

SymbolSetDialog::~SymbolSetDialog() = default;
