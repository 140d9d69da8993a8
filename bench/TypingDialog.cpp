// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The password dialog as the program shows it after OK, over a stand-in main window, with the
// text given on the command line; bench_typing drives it from outside.
// Usage: bench_typing_dialog TEXT
#include "delivery/PasswordDialog.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QString text = QString::fromUtf8(argv[1]);
    QDialog mainWindow;
    mainWindow.setWindowTitle(QStringLiteral("Stand-in main window"));
    mainWindow.setGeometry(40, 40, 420, 320);
    mainWindow.show();
    QTimer::singleShot(200, &mainWindow, [&] {
        PasswordDialog dialog(&mainWindow, text);
        QTimer::singleShot(500, &dialog, [&] {
            auto* area = dialog.findChild<QWidget*>(QStringLiteral("dragArea"));
            const QRect rect(area->mapToGlobal(QPoint(0, 0)), area->size());
            std::printf("dragArea %d %d %d %d\n", rect.x(), rect.y(), rect.width(), rect.height());
            std::fflush(stdout);
        });
        QObject::connect(&dialog, &PasswordDialog::typingFinished, &dialog,
                         [](PickerPlatform::TypeResult result) {
                             std::printf("typed %d\n", int(result));
                             std::fflush(stdout);
                         });
        dialog.exec();
        mainWindow.accept();
    });
    return mainWindow.exec();
}
