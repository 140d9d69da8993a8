#include "E2ePasswords.h"
#include "delivery/PasswordDialog.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QWidget>

#include <cstdio>

// Shows the password dialog over a stand-in main window, as the program does after OK, with
// the test password named by the argument. Tells the test where its controls are, what the
// drag area and the show button say, how each delivery ended ("typed 0" when the keys went out),
// and on leaving whether Exit was pressed.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
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
        QTimer::singleShot(500, &dialog, [&] {
            for (const char* name :
                 {"showButton", "copyButton", "closeButton", "dragArea", "exitButton"}) {
                auto* widget = dialog.findChild<QWidget*>(QString::fromLatin1(name));
                const QRect rect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
                std::printf("geometry %s %d %d %d %d\n", name, rect.x(), rect.y(), rect.width(),
                            rect.height());
            }
            std::printf("ready\n");
            std::fflush(stdout);
        });
        QObject::connect(&dialog, &PasswordDialog::typingFinished, &dialog,
                         [](PickerPlatform::TypeResult result) {
                             std::printf("typed %d\n", int(result));
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
