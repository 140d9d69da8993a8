// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/wayland/PortalSession.h"

#include "base/Privacy.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QPointer>
#include <QRandomGenerator>

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.RemoteDesktop");
const QString kRequestInterface = QStringLiteral("org.freedesktop.portal.Request");
const QString kSessionInterface = QStringLiteral("org.freedesktop.portal.Session");

constexpr uint kKeyboard = 1;
constexpr uint kPersistUntilRevoked = 2;
// The portal's answers: 0 success, 1 the user cancelled, 2 anything else.
constexpr uint kCancelled = 1;
// At start the program waits for the portal, so not for long.
constexpr int kStartTimeoutMs = 2000;
constexpr int kRequestTimeoutMs = 10000;
constexpr int kKeyTimeoutMs = 5000;

QPointer<PortalSession> theSession;

// Every portal and every connection to the bus are the same one, so the identity that the
// portal learned at start holds for every later call: Qt keeps this connection for the life of
// the program.
QDBusConnection bus()
{
    return QDBusConnection::sessionBus();
}

QString senderPart()
{
    QString sender = bus().baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return sender;
}

uint portalVersion()
{
    QDBusMessage get = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << kInterface << QStringLiteral("version");
    const QDBusMessage reply = bus().call(get, QDBus::Block, kStartTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return 0;
    return reply.arguments().constFirst().value<QDBusVariant>().variant().toUInt();
}

QDBusMessage keyMessage(const QString& session, std::uint32_t keysym, uint pressed)
{
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                       QStringLiteral("NotifyKeyboardKeysym"));
    call << QVariant::fromValue(QDBusObjectPath(session)) << QVariantMap() << int(keysym)
         << pressed;
    return call;
}

void overwrite(std::vector<std::uint32_t>& keys)
{
    volatile std::uint32_t* key = keys.data();
    for (std::size_t i = 0; i < keys.size(); ++i)
        key[i] = 0;
    keys.clear();
}

} // namespace

void PortalSession::identifyAtStart()
{
    if (theSession || !bus().isConnected())
        return;
    // Reading a property does not make the portal look at the caller: still private here.
    const uint version = portalVersion();
    if (version == 0)
        return;
    // The portal identifies the caller of its first method call and remembers it for this
    // connection. The call: a key release of no key for a session that does not exist, so
    // that nothing reaches any desktop whatever the answer is.
    runOnceOpenToUser([] {
        const QString nowhere =
            QStringLiteral("/org/freedesktop/portal/desktop/session/%1/none").arg(senderPart());
        bus().call(keyMessage(nowhere, 0, 0), QDBus::Block, kStartTimeoutMs);
    });
    theSession = new PortalSession(version, QCoreApplication::instance());
}

PortalSession* PortalSession::instance()
{
    return theSession;
}

PortalSession::PortalSession(uint version, QObject* parent) : QObject(parent), version(version) {}

PortalSession::~PortalSession()
{
    stopTyping();
    if (!sessionPath.isEmpty()) {
        bus().call(QDBusMessage::createMethodCall(kService, sessionPath, kSessionInterface,
                                                  QStringLiteral("Close")),
                   QDBus::NoBlock);
    }
}

void PortalSession::start(std::function<void(State)> done)
{
    if (currentState == State::Ready) {
        done(currentState);
        return;
    }
    waiting.push_back(std::move(done));
    if (currentState == State::Starting)
        return;
    currentState = State::Starting;
    sessionPath.clear();
    QVariantMap options;
    options.insert(QStringLiteral("session_handle_token"),
                   QStringLiteral("glyphlock%1").arg(QRandomGenerator::global()->generate()));
    request(Step::CreateSession, QStringLiteral("CreateSession"), {}, options);
}

// Every portal call answers with a request object that later sends Response. Its path follows
// from our bus name and the token we choose, so we listen before calling and miss nothing.
void PortalSession::request(Step step, const QString& method, const QList<QVariant>& arguments,
                            QVariantMap options)
{
    if (!requestPath.isEmpty()) {
        bus().disconnect(kService, requestPath, kRequestInterface, QStringLiteral("Response"), this,
                         SLOT(onResponse(uint, QVariantMap)));
    }
    const QString token = QStringLiteral("glyphlock%1_%2")
                              .arg(QRandomGenerator::global()->generate())
                              .arg(++tokenCounter);
    requestPath =
        QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(senderPart(), token);
    bus().connect(kService, requestPath, kRequestInterface, QStringLiteral("Response"), this,
                  SLOT(onResponse(uint, QVariantMap)));
    options.insert(QStringLiteral("handle_token"), token);

    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
    QList<QVariant> all = arguments;
    all.append(options);
    call.setArguments(all);
    pendingStep = step;
    const int serial = ++requestSerial;
    auto* watcher = new QDBusPendingCallWatcher(bus().asyncCall(call, kRequestTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, serial](QDBusPendingCallWatcher* answer) {
                answer->deleteLater();
                // The reply only says that the request was taken; Response brings the outcome.
                if (serial != requestSerial || !answer->isError())
                    return;
                pendingStep = Step::Idle;
                // AccessDenied: the portal would not take the request from us at all.
                finish(answer->error().type() == QDBusError::AccessDenied ? State::Refused
                                                                          : State::Failed);
            });
}

void PortalSession::onResponse(uint response, const QVariantMap& results)
{
    const Step step = pendingStep;
    pendingStep = Step::Idle;
    ++requestSerial;
    if (step == Step::Idle)
        return;
    if (response != 0) {
        finish(response == kCancelled ? State::Declined : State::Refused);
        return;
    }
    switch (step) {
    case Step::Idle:
        return;
    case Step::CreateSession: {
        sessionPath = results.value(QStringLiteral("session_handle")).toString();
        if (sessionPath.isEmpty()) {
            finish(State::Failed);
            return;
        }
        bus().connect(kService, sessionPath, kSessionInterface, QStringLiteral("Closed"), this,
                      SLOT(onSessionClosed()));
        QVariantMap options;
        options.insert(QStringLiteral("types"), kKeyboard);
        if (version >= 2) {
            options.insert(QStringLiteral("persist_mode"), kPersistUntilRevoked);
            const QString token = loadToken ? loadToken() : QString();
            if (!token.isEmpty())
                options.insert(QStringLiteral("restore_token"), token);
        }
        request(Step::SelectDevices, QStringLiteral("SelectDevices"),
                {QVariant::fromValue(QDBusObjectPath(sessionPath))}, options);
        return;
    }
    case Step::SelectDevices:
        // No parent window: the portal cannot place its dialog over ours, so it centres it.
        request(Step::Start, QStringLiteral("Start"),
                {QVariant::fromValue(QDBusObjectPath(sessionPath)), QString()}, {});
        return;
    case Step::Start: {
        const uint devices = results.value(QStringLiteral("devices")).toUInt();
        if (!(devices & kKeyboard)) {
            finish(State::Failed);
            return;
        }
        const QString token = results.value(QStringLiteral("restore_token")).toString();
        if (!token.isEmpty() && saveToken)
            saveToken(token);
        finish(State::Ready);
        return;
    }
    }
}

void PortalSession::onSessionClosed()
{
    sessionPath.clear();
    if (currentState == State::Ready)
        currentState = State::Idle;
    if (typed)
        endTyping(false);
}

void PortalSession::finish(State state)
{
    if (state != State::Ready && !sessionPath.isEmpty()) {
        bus().call(QDBusMessage::createMethodCall(kService, sessionPath, kSessionInterface,
                                                  QStringLiteral("Close")),
                   QDBus::NoBlock);
        sessionPath.clear();
    }
    currentState = state;
    auto answered = std::move(waiting);
    waiting.clear();
    for (auto& done : answered)
        done(state);
}

void PortalSession::typeKeysyms(std::vector<std::uint32_t> keysyms, std::function<void(bool)> done)
{
    stopTyping();
    if (currentState != State::Ready || sessionPath.isEmpty()) {
        overwrite(keysyms);
        done(false);
        return;
    }
    keys = std::move(keysyms);
    nextKey = 0;
    typed = std::move(done);
    sendNextKey();
}

// Key n of the list is pressed at step 2n and released at step 2n + 1.
void PortalSession::sendNextKey()
{
    if (nextKey == 2 * keys.size()) {
        endTyping(true);
        return;
    }
    const uint pressed = nextKey % 2 == 0 ? 1 : 0;
    keyCall = new QDBusPendingCallWatcher(
        bus().asyncCall(keyMessage(sessionPath, keys[nextKey / 2], pressed), kKeyTimeoutMs), this);
    connect(keyCall, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* answer) {
                answer->deleteLater();
                if (answer != keyCall)
                    return;
                keyCall = nullptr;
                if (answer->isError()) {
                    endTyping(false);
                    return;
                }
                ++nextKey;
                sendNextKey();
            });
}

void PortalSession::endTyping(bool success)
{
    // Ended halfway, a key may be down: it is let go.
    if (!success && nextKey < 2 * keys.size() && !sessionPath.isEmpty())
        bus().call(keyMessage(sessionPath, keys[nextKey / 2], 0), QDBus::NoBlock);
    keyCall = nullptr;
    overwrite(keys);
    nextKey = 0;
    auto done = std::move(typed);
    typed = nullptr;
    if (done)
        done(success);
}

void PortalSession::stopTyping()
{
    typed = nullptr;
    endTyping(false);
}
