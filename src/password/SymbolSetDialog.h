#pragma once

#include <QDialog>

// Views, changes and restores the special-character set.
class SymbolSetDialog : public QDialog
{
    Q_OBJECT

public:
    explicit SymbolSetDialog(QWidget* parent = nullptr);
    ~SymbolSetDialog() override;
};
