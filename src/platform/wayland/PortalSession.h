// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>

#include <cstdint>
#include <functional>
#include <vector>

class QDBusPendingCallWatcher;

// A keyboard session of the desktop's remote-desktop portal (GNOME, KDE), one for the whole
// program: asked for when first needed and kept, as on some desktops every new session shows a
// consent dialog. Every call to the portal is asynchronous: the GUI thread never waits for it.
class PortalSession : public QObject
{
    Q_OBJECT

public:
    enum class State
    {
        Idle,     // not asked for yet, or closed by the desktop: the next start asks again
        Starting, // waiting for the portal, maybe for the user's answer to its dialog
        Ready,
        Declined, // the user said no in the desktop's dialog; asked again on the next start
        Refused,  // the desktop refused the request (it could not tell who we are, or said no)
        Failed    // no portal, or it gave no keyboard
    };

    // At start, before any secret exists: when the session bus has a portal with a
    // remote-desktop interface, lets the portal identify the process and makes the program's
    // session object (the session itself is asked for when first needed). The portal identifies a
    // caller by opening /proc/<pid>/root, which a private process does not allow; it keeps what it
    // learned for the caller's bus connection, so the process is open to its own user for this one
    // call and private again before it returns (runOnceOpenToUser). Waits at most a moment for the
    // portal.
    static void identifyAtStart();
    // The program's session; null when the portal was not there at start.
    static PortalSession* instance();

    ~PortalSession() override;

    State state() const { return currentState; }
    // Asks for the session unless it is ready; done is called once with the outcome
    // (Ready, Declined, Refused or Failed). Calls during a start wait for the same outcome.
    void start(std::function<void(State)> done);
    // Presses and releases each key symbol in turn, each after the desktop answered the one
    // before (the portal handles calls in parallel threads). done(true) once all went out;
    // false when the session is not ready or a key failed (the rest is not sent). The key
    // symbols are overwritten once sent. A new call replaces one that has not finished.
    void typeKeysyms(std::vector<std::uint32_t> keysyms, std::function<void(bool)> done);
    // Ends typing that has not finished; its done never runs and no more keys are sent.
    void stopTyping();

    // Restore tokens let a later run skip the dialog (portals of version 2 and up).
    // loadToken/saveToken may be replaced by tests.
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

    PortalSession(uint version, QObject* parent);
    void request(Step step, const QString& method, const QList<QVariant>& arguments,
                 QVariantMap options);
    void finish(State state);
    void sendNextKey();
    void endTyping(bool typed);

    const uint version;
    State currentState = State::Idle;
    Step pendingStep = Step::Idle;
    // Counts requests, so that the late answer to one that was given up is ignored.
    int requestSerial = 0;
    QString sessionPath;
    QString requestPath;
    int tokenCounter = 0;
    std::vector<std::function<void(State)>> waiting;

    std::vector<std::uint32_t> keys;
    std::size_t nextKey = 0;
    std::function<void(bool)> typed;
    QDBusPendingCallWatcher* keyCall = nullptr;
};
