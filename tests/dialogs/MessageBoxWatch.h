// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QMessageBox>
#include <QString>

#include <functional>

// What a message box showed.
struct SeenBox
{
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool plainText = false; // shown as written, never read as markup
};

// Runs `action` and answers every message box that opens meanwhile with OK, recording each.
QList<SeenBox> answerBoxesDuring(const std::function<void()>& action);

// Runs `action`, hands the modal dialog it opens to `inspect`, then rejects that dialog.
// Returns false when no modal dialog opened.
bool inspectModalDuring(const std::function<void()>& action,
                        const std::function<void(QDialog*)>& inspect);
