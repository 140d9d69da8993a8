#include "E2ePasswords.h"

#include <QApplication>
#include <QLineEdit>
#include <QSocketNotifier>
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

void onTerminate(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = write(signalPipe[1], &byte, 1);
}

long long monotonicMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000LL + now.tv_nsec / 1000000;
}

void report(const QString& text, const QString& expected)
{
    std::printf("text %s\n", text.toUtf8().constData());
    std::printf("%s\n", text == expected ? "match" : "mismatch");
    std::fflush(stdout);
}

} // namespace

// The other program of the tests: a window with a line edit that reports its text when it is
// told to end (SIGTERM), and whether that text is the password named by the argument; and, as
// it comes, when its text changed and to how many characters (for the typing's latency).
// With "--stdin NAME" it compares its standard input instead (the clipboard, read by xclip).
int main(int argc, char** argv)
{
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
    const QString expected = e2ePassword(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString());

    if (socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return 2;
    std::signal(SIGTERM, onTerminate);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Target"));
    auto* layout = new QVBoxLayout(&window);
    auto* edit = new QLineEdit(&window);
    edit->setObjectName(QStringLiteral("edit"));
    layout->addWidget(edit);
    window.setGeometry(700, 400, 360, 120);
    window.show();

    QObject::connect(edit, &QLineEdit::textChanged, &window, [](const QString& text) {
        std::printf("typed %lld %lld\n", monotonicMs(), static_cast<long long>(text.size()));
        std::fflush(stdout);
    });
    QSocketNotifier notifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &window, [&] {
        report(edit->text(), expected);
        app.quit();
    });
    QTimer::singleShot(500, &window, [&] {
        const QRect rect(edit->mapToGlobal(QPoint(0, 0)), edit->size());
        std::printf("window 0x%llx\n", static_cast<unsigned long long>(window.winId()));
        std::printf("geometry edit %d %d %d %d\n", rect.x(), rect.y(), rect.width(), rect.height());
        std::printf("ready\n");
        std::fflush(stdout);
    });
    return app.exec();
}
