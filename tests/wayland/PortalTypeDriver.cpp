#include "../e2e/E2ePasswords.h"
#include "platform/wayland/LayoutKeysyms.h"
#include "platform/wayland/PortalSession.h"
#include "platform/wayland/WaylandKeymap.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTimer>

#include <cstdio>

// Starts a portal keyboard session and types the named test password into whatever has the
// keyboard focus; says how the session went, whether it typed and how long that took.
int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QString name = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const QString password =
        name.startsWith(QLatin1String("text:")) ? name.mid(5) : e2ePassword(name);
    if (password.isEmpty())
        return 2;
    PortalSession session;
    QElapsedTimer clock;
    clock.start();
    session.start([&](PortalSession::State state) {
        const char* outcome = state == PortalSession::State::Ready     ? "ready"
                              : state == PortalSession::State::Refused ? "refused"
                                                                        : "failed";
        std::printf("session %s after %lld ms\n", outcome, clock.elapsed());
        if (state == PortalSession::State::Ready) {
            const LayoutKeysyms layout(readCompositorKeymap());
            const auto keysyms = layout.keysymsFor(password);
            if (!layout.isValid()) {
                std::printf("not typed: no keymap\n");
            } else if (!keysyms) {
                std::printf("not typed: layout\n");
            } else {
                clock.restart();
                const bool typed = session.typeKeysyms(*keysyms);
                std::printf("%s %lld ms\n", typed ? "typed in" : "failed after", clock.elapsed());
            }
        }
        std::fflush(stdout);
        // The desktop delivers the last keys after our calls return.
        QTimer::singleShot(300, &app, &QCoreApplication::quit);
    });
    return app.exec();
}
