// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "E2ePasswords.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <csignal>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2];

void onSignal(int number)
{
    const char byte = number == SIGUSR1 ? 'r' : 'q';
    [[maybe_unused]] const auto written = write(signalPipe[1], &byte, 1);
}

long long monotonicMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000LL + now.tv_nsec / 1000000;
}

void say(const QString& line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

// Keeps the event loop busy for a second the first time the pointer enters and the first time
// a button is pressed.
class BusyOnce : public QObject
{
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        bool& done = event->type() == QEvent::Enter ? entered : pressed;
        if ((event->type() == QEvent::Enter || event->type() == QEvent::MouseButtonPress) &&
            !done && watched->isWidgetType()) {
            done = true;
            say(QStringLiteral("busy"));
            QThread::msleep(1000);
        }
        return false;
    }

private:
    bool entered = false;
    bool pressed = false;
};

} // namespace

// The other program of the tests: a window with three line edits and a button. Each edit
// says "editN match" as soon as it holds the password named by the argument; on SIGUSR1 the
// window reports every edit's text and whether it is the password, then empties them, and on
// SIGTERM it reports and ends. "text" and "match"/"mismatch" are the first edit's. A press
// of the button says "pressed". With --no-focus the window never takes the keyboard.
// With "--stdin NAME" it compares its standard input instead (the clipboard, read by xclip);
// "--print NAME" prints the password, for comparing bytes that other programs received.
// The first edit also says, as it comes, when its text changed and to how many characters
// ("typed MS COUNT", for the typing's latency).
// With --busy (before the name) the window stands for a program on a loaded machine: once it
// is ready, the first time the pointer enters it and the first mouse press each keep its
// event loop busy for a second ("busy" when it starts).
int main(int argc, char** argv)
{
    if (argc > 2 && std::string(argv[1]) == "--print") {
        std::printf("%s", e2ePassword(QString::fromLocal8Bit(argv[2])).toUtf8().constData());
        return 0;
    }
    if (argc > 2 && std::string(argv[1]) == "--stdin") {
        std::string input((std::istreambuf_iterator<char>(std::cin)),
                          std::istreambuf_iterator<char>());
        const QString text = QString::fromStdString(input);
        std::printf("%s\n",
                    text == e2ePassword(QString::fromLocal8Bit(argv[2])) ? "match" : "mismatch");
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("GlyphlockTarget"));
    bool noFocus = false;
    bool busy = false;
    int nameArgument = 1;
    for (; nameArgument < argc && std::string(argv[nameArgument]).rfind("--", 0) == 0;
         ++nameArgument) {
        noFocus = noFocus || std::string(argv[nameArgument]) == "--no-focus";
        busy = busy || std::string(argv[nameArgument]) == "--busy";
    }
    const QString expected =
        e2ePassword(argc > nameArgument ? QString::fromLocal8Bit(argv[nameArgument]) : QString());

    if (socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return 2;
    std::signal(SIGTERM, onSignal);
    std::signal(SIGUSR1, onSignal);

    QWidget window(nullptr, noFocus ? Qt::Window | Qt::WindowDoesNotAcceptFocus : Qt::Window);
    window.setWindowTitle(QStringLiteral("Target"));
    auto* layout = new QVBoxLayout(&window);
    QList<QLineEdit*> edits;
    for (const char* name : {"edit", "edit2", "edit3"}) {
        auto* edit = new QLineEdit(&window);
        edit->setObjectName(QString::fromLatin1(name));
        layout->addWidget(edit);
        const int number = int(edits.size()) + 1;
        QObject::connect(edit, &QLineEdit::textChanged, edit,
                         [number, &expected](const QString& text) {
                             if (text == expected)
                                 say(QStringLiteral("edit%1 match").arg(number));
                         });
        edits.append(edit);
    }
    QObject::connect(edits[0], &QLineEdit::textChanged, &window, [](const QString& text) {
        std::printf("typed %lld %lld\n", monotonicMs(), static_cast<long long>(text.size()));
        std::fflush(stdout);
    });
    auto* button = new QPushButton(QStringLiteral("Press me"), &window);
    button->setObjectName(QStringLiteral("button"));
    layout->addWidget(button);
    QObject::connect(button, &QPushButton::pressed, button, [] { say(QStringLiteral("pressed")); });
    window.setGeometry(700, 400, 360, 170);
    window.show();

    auto report = [&] {
        for (int i = 0; i < edits.size(); ++i) {
            const QString text = edits[i]->text();
            if (i == 0) {
                say(QStringLiteral("text ") + text);
                say(text == expected ? QStringLiteral("match") : QStringLiteral("mismatch"));
            } else {
                say(QStringLiteral("text%1 ").arg(i + 1) + text);
            }
        }
        say(QStringLiteral("reported"));
    };
    QSocketNotifier notifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &window, [&] {
        char byte = 0;
        if (read(signalPipe[0], &byte, 1) != 1)
            return;
        report();
        if (byte == 'q') {
            app.quit();
            return;
        }
        for (QLineEdit* edit : edits)
            edit->clear();
    });
    QTimer::singleShot(500, &window, [&] {
        std::printf("window 0x%llx\n", static_cast<unsigned long long>(window.winId()));
        for (QWidget* widget : {static_cast<QWidget*>(edits[0]), static_cast<QWidget*>(edits[1]),
                                static_cast<QWidget*>(edits[2]), static_cast<QWidget*>(button)}) {
            const QRect rect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
            std::printf("geometry %s %d %d %d %d\n", qPrintable(widget->objectName()), rect.x(),
                        rect.y(), rect.width(), rect.height());
        }
        std::printf("ready\n");
        std::fflush(stdout);
    });
    BusyOnce busyOnce;
    if (busy)
        QTimer::singleShot(500, &window, [&] { app.installEventFilter(&busyOnce); });
    return app.exec();
}
