// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDialog>
#include <QMessageBox>
#include <QString>

class QLineEdit;
class QPushButton;

// Views, changes and restores the special-character set.
class SymbolSetDialog : public QDialog
{
    Q_OBJECT

public:
    // Loads the stored set; when none is stored, the default set is stored right away.
    explicit SymbolSetDialog(QWidget* parent = nullptr);
    ~SymbolSetDialog() override;

    // Enter and "&Set" store the box's text; the dialog stays open.
    void accept() override;

private:
    void onOriginal();
    void report(QMessageBox::Icon icon, const QString& text);

    QString strSymbols;
    QLineEdit* editSymbols = nullptr;
};
