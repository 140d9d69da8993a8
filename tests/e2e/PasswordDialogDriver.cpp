// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "E2ePasswords.h"
#include "delivery/PasswordDialog.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Reports every key that reaches one of our windows: typing must never land here.
class KeyReporter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress && qobject_cast<QWindow*>(watched)) {
            std::printf("key %d\n", static_cast<QKeyEvent*>(event)->key());
            std::fflush(stdout);
        }
        return false;
    }
};

} // namespace

// Shows the password dialog over a stand-in main window, as the program does after OK, with
// the test password named by the argument. Tells the test where its controls are (on screen,
// and within the dialog for displays that place windows themselves), what the drag area and the
// show button say, which keys reached us, how each delivery ended ("typed 0" when the keys went
// out), and on leaving whether Exit was pressed.
// "--arm-timeout MS" after the name shortens how long typing stays armed.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    KeyReporter keyReporter;
    app.installEventFilter(&keyReporter);
    const int armTimeoutMs =
        argc > 3 && std::strcmp(argv[2], "--arm-timeout") == 0 ? std::atoi(argv[3]) : 0;
    const QString password = e2ePassword(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString());
    if (password.isEmpty())
        return 2;

    QDialog mainWindow;
    mainWindow.setWindowTitle(QStringLiteral("Stand-in main window"));
    mainWindow.setGeometry(40, 40, 420, 320);
    mainWindow.show();
    bool exitRequested = false;
    QTimer::singleShot(200, &mainWindow, [&] {
        PasswordDialog dialog(&mainWindow, password);
        if (armTimeoutMs > 0)
            dialog.setArmTimeout(armTimeoutMs);
        QString lastText;
        QString lastShown;
        QTimer poll;
        poll.setInterval(30);
        QObject::connect(&poll, &QTimer::timeout, &dialog, [&] {
            auto* area = dialog.findChild<QWidget*>(QStringLiteral("dragArea"));
            const QString text = area->property("text").toString();
            if (text != lastText) {
                lastText = text;
                std::printf("dragText %s\n", qPrintable(QString(text).replace('\n', "\\n")));
            }
            const QString shown = dialog.findChild<QWidget*>(QStringLiteral("showButton"))
                                      ->property("text")
                                      .toString();
            if (shown != lastShown) {
                lastShown = shown;
                std::printf("showText %s\n", qPrintable(shown));
            }
            std::fflush(stdout);
        });
        QObject::connect(&dialog, &PasswordDialog::typingFinished, &dialog,
                         [](PickerPlatform::TypeResult result) {
                             std::printf("typed %d\n", int(result));
                             std::fflush(stdout);
                         });
        QTimer::singleShot(500, &dialog, [&] {
            for (const char* name :
                 {"showButton", "copyButton", "closeButton", "dragArea", "exitButton"}) {
                auto* widget = dialog.findChild<QWidget*>(QString::fromLatin1(name));
                const QRect rect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
                std::printf("geometry %s %d %d %d %d\n", name, rect.x(), rect.y(), rect.width(),
                            rect.height());
                const QPoint local = widget->mapTo(&dialog, QPoint(0, 0));
                std::printf("local %s %d %d %d %d\n", name, local.x(), local.y(), rect.width(),
                            rect.height());
            }
            std::printf("ready\n");
            std::fflush(stdout);
        });
        poll.start();
        dialog.exec();
        exitRequested = dialog.exitRequested();
        mainWindow.accept();
    });
    mainWindow.exec();
    std::printf("exitRequested %d\n", exitRequested ? 1 : 0);
    std::fflush(stdout);
    return 0;
}
