#include "../e2e/E2ePasswords.h"
#include "platform/PlatformFactory.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTimer>

#include <cstdio>
#include <iostream>
#include <string>

// Takes the backend the program would take on this display, readies typing and types the
// named test password into whatever has the keyboard focus; says what happened and how long
// it took. ("text:..." types that text instead.) With "--wait" it waits for a line on standard
// input between the two, so that the test can open the target once the session is there.
int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const bool waitForGo = argc > 2 && std::string(argv[2]) == "--wait";
    const QString name = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const QString password =
        name.startsWith(QLatin1String("text:")) ? name.mid(5) : e2ePassword(name);
    if (password.isEmpty())
        return 2;
    using TypeResult = PickerPlatform::TypeResult;
    const auto describe = [](TypeResult result) {
        switch (result) {
        case TypeResult::Typed:
            return "typed";
        case TypeResult::NotAvailable:
            return "not available";
        case TypeResult::WindowGone:
            return "window gone";
        case TypeResult::Failed:
            return "not typed: layout";
        case TypeResult::Refused:
            return "refused";
        }
        return "?";
    };
    auto platform = PlatformFactory::createPickerPlatform();
    if (platform->gesture() != PickerPlatform::Gesture::ArmThenFocus) {
        std::printf("no arm-then-focus backend\n");
        return 1;
    }
    QElapsedTimer clock;
    clock.start();
    platform->prepareTyping([&](TypeResult prepared) {
        std::printf("session %s after %lld ms\n",
                    prepared == TypeResult::Typed ? "ready" : describe(prepared), clock.elapsed());
        std::fflush(stdout);
        if (waitForGo) {
            std::string line;
            std::getline(std::cin, line);
        }
        if (prepared == TypeResult::Typed) {
            clock.restart();
            const TypeResult typed = platform->typeIntoFocus(password);
            std::printf("%s in %lld ms\n", describe(typed), clock.elapsed());
        }
        std::fflush(stdout);
        // The desktop delivers the last keys after our calls return.
        QTimer::singleShot(300, &app, &QCoreApplication::quit);
    });
    return app.exec();
}
