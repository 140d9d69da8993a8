// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "password/SymbolSetDialog.h"

#include "base/SettingsStore.h"
#include "core/PasswordAlgorithm.h"
#include "widgets/DialogUnits.h"
#include "widgets/FitToText.h"
#include "widgets/StaticText.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QPushButton* addButton(QWidget* dialog, const DialogUnits& units, const QString& text,
                       const QString& name, const QRect& area)
{
    auto* button = new QPushButton(text, dialog);
    button->setObjectName(name);
    button->setGeometry(units.rect(area.x(), area.y(), area.width(), area.height()));
    return button;
}

} // namespace

SymbolSetDialog::SymbolSetDialog(QWidget* parent) : QDialog(parent)
{
    // The dialog works with the default even when it cannot be stored.
    strSymbols = SettingsStore::loadSpecialCharsOrDefault();

    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    //: Title of the dialog that sets the special characters of passwords.
    setWindowTitle(tr("Config"));
    const DialogUnits units(font());
    setFixedSize(units.x(226), units.y(143));

    // Created in tab order.
    //: Stores the special characters typed above.
    QPushButton* setButton =
        addButton(this, units, tr("&Set"), QStringLiteral("setButton"), QRect(138, 122, 39, 14));
    setButton->setDefault(true);
    QPushButton* closeButton = addButton(this, units, tr("&Close"), QStringLiteral("closeButton"),
                                         QRect(181, 122, 38, 14));
    addStaticText(this, units, tr("What special characters can appear in the password:"),
                  QRect(7, 7, 212, 14));

    editSymbols = new QLineEdit(strSymbols, this);
    editSymbols->setObjectName(QStringLiteral("editSymbols"));
    editSymbols->setGeometry(units.rect(7, 27, 212, 13));
    editSymbols->setCursorPosition(0);

    addStaticText(this, units,
                  tr("0~9, A~Z, a~z may appear by default. However, you may set any "
                     "characters in above box to make your own password generation "
                     "scheme."),
                  QRect(7, 44, 212, 25));
    QPushButton* originalButton =
        //: Puts the default special characters back into the box.
        addButton(this, units, tr("&Original"), QStringLiteral("originalButton"),
                  QRect(83, 122, 50, 14));
    QLabel* warning =
        addStaticText(this, units,
                      tr("This modification may influence the password generation algorithm. "
                         "Your old password may NOT be generated after this. You'd better write "
                         "down the old password first, then update it to a new one by the new "
                         "config."),
                      QRect(7, 73, 212, 44));
    warning->setFrameStyle(QFrame::Box | QFrame::Plain);
    warning->setMargin(2);

    // A translation longer than the English gets the room it needs.
    growToFitTexts(this);

    setTabOrder(setButton, closeButton);
    setTabOrder(closeButton, editSymbols);
    setTabOrder(editSymbols, originalButton);

    connect(setButton, &QPushButton::clicked, this, &SymbolSetDialog::accept);
    connect(closeButton, &QPushButton::clicked, this, &SymbolSetDialog::reject);
    connect(originalButton, &QPushButton::clicked, this, &SymbolSetDialog::onOriginal);
    setButton->setFocus();
}

SymbolSetDialog::~SymbolSetDialog() = default;

void SymbolSetDialog::accept()
{
    // Taken exactly as typed: spaces, repeats and letters already in the alphabet all count.
    const QString symbols = editSymbols->text();
    if (symbols.isEmpty()) {
        report(QMessageBox::Critical, tr("At least one character must be set."));
        return;
    }
    if (SettingsStore::saveSpecialChars(symbols)) {
        report(QMessageBox::Warning,
               tr("Update Register successfully. Now it's:\"%1\"").arg(symbols));
    } else {
        report(QMessageBox::Critical, tr("Update Register error. You may try later."));
    }
}

void SymbolSetDialog::onOriginal()
{
    editSymbols->setText(QString::fromLatin1(kDefaultSpecialChars));
}

void SymbolSetDialog::report(QMessageBox::Icon icon, const QString& text)
{
    QMessageBox box(icon, QCoreApplication::applicationName(), text, QMessageBox::Ok, this);
    // The set is shown as typed: "<b>" must not turn into bold text.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
