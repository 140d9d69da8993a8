// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "MessageBoxWatch.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>

QList<SeenBox> answerBoxesDuring(const std::function<void()>& action)
{
    QList<SeenBox> seen;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        seen.append(
            {box->windowTitle(), box->text(), box->icon(), box->textFormat() == Qt::PlainText});
        box->button(QMessageBox::Ok)->click();
    });
    poll.start();
    action();
    poll.stop();
    return seen;
}

bool inspectModalDuring(const std::function<void()>& action,
                        const std::function<void(QDialog*)>& inspect)
{
    bool opened = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (opened || !dialog || !dialog->isVisible())
            return;
        opened = true;
        inspect(dialog);
        dialog->reject();
    });
    poll.start();
    action();
    poll.stop();
    return opened;
}
