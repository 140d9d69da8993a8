// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

// A line edit that says when it holds one of the texts given on the command line: "arrived N
// NANOSECONDS" (N counts the texts from 1, the time is CLOCK_MONOTONIC), then empties itself.
// Usage: bench_typing_target TEXT...
#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <cstdio>
#include <time.h>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QStringList texts;
    for (int i = 1; i < argc; ++i)
        texts.append(QString::fromUtf8(argv[i]));
    QWidget window;
    window.setWindowTitle(QStringLiteral("Typing target"));
    auto* layout = new QVBoxLayout(&window);
    auto* edit = new QLineEdit(&window);
    layout->addWidget(edit);
    window.setGeometry(700, 400, 360, 80);
    window.show();
    QObject::connect(edit, &QLineEdit::textChanged, edit, [&](const QString& text) {
        const qsizetype which = texts.indexOf(text);
        if (which < 0)
            return;
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        std::printf("arrived %d %lld\n", int(which + 1),
                    static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
        std::fflush(stdout);
        QTimer::singleShot(0, edit, &QLineEdit::clear);
    });
    QTimer::singleShot(500, &window, [&] {
        const QRect rect(edit->mapToGlobal(QPoint(0, 0)), edit->size());
        std::printf("edit %d %d %d %d\n", rect.x(), rect.y(), rect.width(), rect.height());
        std::fflush(stdout);
    });
    return app.exec();
}
