#include "platform/wayland/PortalSession.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusVariant>
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

QDBusConnection bus()
{
    return QDBusConnection::sessionBus();
}

uint portalVersion()
{
    QDBusMessage get = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << kInterface << QStringLiteral("version");
    const QDBusMessage reply = bus().call(get, QDBus::Block, 5000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return 0;
    return reply.arguments().constFirst().value<QDBusVariant>().variant().toUInt();
}

} // namespace

PortalSession::PortalSession(QObject* parent) : QObject(parent) {}

PortalSession::~PortalSession()
{
    if (!sessionPath.isEmpty()) {
        bus().call(QDBusMessage::createMethodCall(kService, sessionPath, kSessionInterface,
                                                  QStringLiteral("Close")),
                   QDBus::NoBlock);
    }
}

bool PortalSession::isOffered()
{
    if (!bus().isConnected())
        return false;
    return portalVersion() > 0;
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
    version = portalVersion();
    if (version == 0) {
        finish(State::Failed);
        return;
    }
    sessionPath.clear();
    QVariantMap options;
    options.insert(QStringLiteral("session_handle_token"),
                   QStringLiteral("glyphlock%1").arg(QRandomGenerator::global()->generate()));
    request(Step::CreateSession, QStringLiteral("CreateSession"), {}, options);
}

// Every portal call answers with a request object that later sends Response. Its path follows
// from our bus name and the token we choose, so we listen before calling and miss nothing.
bool PortalSession::request(Step step, const QString& method, const QList<QVariant>& arguments,
                            QVariantMap options)
{
    if (!requestPath.isEmpty()) {
        bus().disconnect(kService, requestPath, kRequestInterface, QStringLiteral("Response"), this,
                         SLOT(onResponse(uint, QVariantMap)));
    }
    const QString token = QStringLiteral("glyphlock%1_%2")
                              .arg(QRandomGenerator::global()->generate())
                              .arg(++tokenCounter);
    QString sender = bus().baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    requestPath =
        QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
    bus().connect(kService, requestPath, kRequestInterface, QStringLiteral("Response"), this,
                  SLOT(onResponse(uint, QVariantMap)));
    options.insert(QStringLiteral("handle_token"), token);

    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
    QList<QVariant> all = arguments;
    all.append(options);
    call.setArguments(all);
    pendingStep = step;
    const QDBusMessage reply = bus().call(call, QDBus::Block, 10000);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        finish(State::Failed);
        return false;
    }
    return true;
}

void PortalSession::onResponse(uint response, const QVariantMap& results)
{
    const Step step = pendingStep;
    pendingStep = Step::Idle;
    if (response != 0) {
        finish(response == kCancelled ? State::Refused : State::Failed);
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

bool PortalSession::typeKeysyms(const std::vector<std::uint32_t>& keysyms)
{
    if (currentState != State::Ready || sessionPath.isEmpty())
        return false;
    const QDBusObjectPath session(sessionPath);
    for (const std::uint32_t keysym : keysyms) {
        for (const uint pressed : {1u, 0u}) {
            QDBusMessage call = QDBusMessage::createMethodCall(
                kService, kPath, kInterface, QStringLiteral("NotifyKeyboardKeysym"));
            call << QVariant::fromValue(session) << QVariantMap() << int(keysym) << pressed;
            // Waiting for each answer keeps the keys in order and lets the desktop keep up.
            const QDBusMessage reply = bus().call(call, QDBus::Block, 5000);
            if (reply.type() != QDBusMessage::ReplyMessage)
                return false;
        }
    }
    return true;
}
