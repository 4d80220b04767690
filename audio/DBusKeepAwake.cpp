#include "audio/DBusKeepAwake.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusUnixFileDescriptor>

#include <unistd.h>

namespace {

const QString loginService = QStringLiteral("org.freedesktop.login1");
const QString loginPath = QStringLiteral("/org/freedesktop/login1");
const QString loginInterface = QStringLiteral("org.freedesktop.login1.Manager");
const QString screenSaverService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString screenSaverPath = QStringLiteral("/org/freedesktop/ScreenSaver");
const QString screenSaverInterface = QStringLiteral("org.freedesktop.ScreenSaver");

QString reason()
{
    return QCoreApplication::translate("DBusKeepAwake", "Text.keepAwakeReason");
}

} // namespace

// Shared with the answers on their way, which may arrive after the
// DBusKeepAwake has gone.
struct DBusKeepAwake::Inhibitor
{
    enum class Stage
    {
        None,
        Asking,
        Held,
        Unavailable
    };

    QDBusConnection systemBus;
    QDBusConnection sessionBus;
    Stage stage = Stage::None;
    // Whether the player still wants one; false makes an arriving answer
    // release what it brings.
    bool wanted = false;
    int loginDescriptor = -1;
    bool screenSaverHeld = false;
    uint screenSaverCookie = 0;
};

namespace {

using Inhibitor = DBusKeepAwake::Inhibitor;

void unInhibitScreenSaver(Inhibitor& inhibitor, uint cookie)
{
    QDBusMessage call = QDBusMessage::createMethodCall(screenSaverService, screenSaverPath, screenSaverInterface,
                                                       QStringLiteral("UnInhibit"));
    call << cookie;
    // Nothing to do with the answer.
    inhibitor.sessionBus.asyncCall(call);
}

void release(Inhibitor& inhibitor)
{
    if (inhibitor.loginDescriptor >= 0) {
        ::close(inhibitor.loginDescriptor);
        inhibitor.loginDescriptor = -1;
    }
    if (inhibitor.screenSaverHeld) {
        unInhibitScreenSaver(inhibitor, inhibitor.screenSaverCookie);
        inhibitor.screenSaverHeld = false;
    }
    inhibitor.stage = Inhibitor::Stage::None;
}

// Runs `handle` once the call has been answered, whatever became of the caller.
template <typename Handler> void whenAnswered(const QDBusPendingCall& call, Handler handle)
{
    auto* watcher = new QDBusPendingCallWatcher(call);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [handle](QDBusPendingCallWatcher* answer) {
        // The answer's own copy of a file descriptor closes with the watcher.
        answer->deleteLater();
        handle(*answer);
    });
}

void askScreenSaver(const std::shared_ptr<Inhibitor>& inhibitor)
{
    if (!inhibitor->sessionBus.isConnected()) {
        inhibitor->stage = Inhibitor::Stage::Unavailable;
        return;
    }
    inhibitor->stage = Inhibitor::Stage::Asking;
    QDBusMessage call = QDBusMessage::createMethodCall(screenSaverService, screenSaverPath, screenSaverInterface,
                                                       QStringLiteral("Inhibit"));
    call << QCoreApplication::applicationName() << reason();
    whenAnswered(inhibitor->sessionBus.asyncCall(call), [inhibitor](const QDBusPendingCall& answer) {
        const QDBusPendingReply<uint> reply = answer;
        if (reply.isError()) {
            inhibitor->stage = Inhibitor::Stage::Unavailable;
            return;
        }
        if (!inhibitor->wanted) {
            unInhibitScreenSaver(*inhibitor, reply.value());
            inhibitor->stage = Inhibitor::Stage::None;
            return;
        }
        inhibitor->screenSaverCookie = reply.value();
        inhibitor->screenSaverHeld = true;
        inhibitor->stage = Inhibitor::Stage::Held;
    });
}

void askLoginManager(const std::shared_ptr<Inhibitor>& inhibitor)
{
    if (!inhibitor->systemBus.isConnected()) {
        askScreenSaver(inhibitor);
        return;
    }
    inhibitor->stage = Inhibitor::Stage::Asking;
    QDBusMessage call =
        QDBusMessage::createMethodCall(loginService, loginPath, loginInterface, QStringLiteral("Inhibit"));
    call << QStringLiteral("sleep:idle") << QCoreApplication::applicationName() << reason() << QStringLiteral("block");
    whenAnswered(inhibitor->systemBus.asyncCall(call), [inhibitor](const QDBusPendingCall& answer) {
        const QDBusPendingReply<QDBusUnixFileDescriptor> reply = answer;
        // A copy of our own: the answer's copy goes with the answer.
        const int descriptor = reply.isError() || !reply.value().isValid() ? -1 : ::dup(reply.value().fileDescriptor());
        if (!inhibitor->wanted) {
            if (descriptor >= 0)
                ::close(descriptor);
            inhibitor->stage = Inhibitor::Stage::None;
            return;
        }
        if (descriptor < 0) {
            askScreenSaver(inhibitor);
            return;
        }
        inhibitor->loginDescriptor = descriptor;
        inhibitor->stage = Inhibitor::Stage::Held;
    });
}

} // namespace

DBusKeepAwake::DBusKeepAwake() : DBusKeepAwake(QDBusConnection::systemBus(), QDBusConnection::sessionBus()) {}

DBusKeepAwake::DBusKeepAwake(const QDBusConnection& systemBus, const QDBusConnection& sessionBus)
    : m_inhibitor(std::make_shared<Inhibitor>(Inhibitor{systemBus, sessionBus}))
{}

DBusKeepAwake::~DBusKeepAwake()
{
    m_inhibitor->wanted = false;
    if (m_inhibitor->stage == Inhibitor::Stage::Held)
        release(*m_inhibitor);
}

void DBusKeepAwake::setAwake(bool playingOrPaused)
{
    m_inhibitor->wanted = playingOrPaused;
    if (playingOrPaused && m_inhibitor->stage == Inhibitor::Stage::None)
        askLoginManager(m_inhibitor);
    else if (!playingOrPaused && m_inhibitor->stage == Inhibitor::Stage::Held)
        release(*m_inhibitor);
}

bool DBusKeepAwake::holdsInhibitor() const
{
    return m_inhibitor->stage == Inhibitor::Stage::Held;
}
