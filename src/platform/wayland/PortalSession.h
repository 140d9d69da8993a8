#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>

#include <cstdint>
#include <functional>
#include <vector>

class QDBusObjectPath;

// A keyboard session of the desktop's remote-desktop portal (GNOME, KDE). Asked for once and
// kept for the process's life: on some desktops every new session shows a consent dialog.
class PortalSession : public QObject
{
    Q_OBJECT

public:
    enum class State
    {
        Idle,     // not asked for yet, or closed by the desktop: the next start asks again
        Starting, // waiting for the portal, maybe for the user's answer to its dialog
        Ready,
        Refused, // the user said no; asked again on the next start
        Failed   // no portal, or it gave no keyboard
    };

    explicit PortalSession(QObject* parent = nullptr);
    ~PortalSession() override;

    // True when the session bus has a portal with a remote-desktop interface.
    static bool isOffered();

    State state() const { return currentState; }
    // Asks for the session unless it is ready; done is called once with the outcome
    // (Ready, Refused or Failed). Calls during a start wait for the same outcome.
    void start(std::function<void(State)> done);
    // Presses and releases each key symbol in turn; false when the session is not ready.
    bool typeKeysyms(const std::vector<std::uint32_t>& keysyms);

    // Restore tokens let a later run skip the dialog (portals of version 2 and up). The token
    // is kept beside the settings; loadToken/saveToken may be replaced by tests.
    std::function<QString()> loadToken;
    std::function<void(const QString&)> saveToken;

private slots:
    void onResponse(uint response, const QVariantMap& results);
    void onSessionClosed();

private:
    enum class Step
    {
        Idle,
        CreateSession,
        SelectDevices,
        Start
    };

    bool request(Step step, const QString& method, const QList<QVariant>& arguments,
                 QVariantMap options);
    void finish(State state);

    State currentState = State::Idle;
    Step pendingStep = Step::Idle;
    QString sessionPath;
    QString requestPath;
    uint version = 0;
    int tokenCounter = 0;
    std::vector<std::function<void(State)>> waiting;
};
