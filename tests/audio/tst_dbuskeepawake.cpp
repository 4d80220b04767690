// The D-Bus keep-awake against a login manager and a screen saver served by
// the test itself on a private bus, which stands in for both the system and
// the session bus.
#include "audio/DBusKeepAwake.h"
#include "support/TiedProcess.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QElapsedTimer>
#include <QProcess>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

const QString loginService = QStringLiteral("org.freedesktop.login1");
const QString loginPath = QStringLiteral("/org/freedesktop/login1");
const QString screenSaverService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString screenSaverPath = QStringLiteral("/org/freedesktop/ScreenSaver");

// How long an inhibitor must stay in place to count as kept.
constexpr int settleMs = 300;

} // namespace

// org.freedesktop.login1.Manager.Inhibit: hands out the writing end of a pipe
// and sees the inhibitor released when every copy of it has been closed.
class FakeLoginManager : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public:
    struct Inhibition
    {
        QStringList arguments; // what, who, why, mode
        bool released = false;
    };

    QList<Inhibition> inhibitions;
    // Answers wait for answerWaitingCalls().
    bool holdAnswers = false;
    bool refuse = false;

    int heldCount() const
    {
        return int(std::count_if(inhibitions.begin(), inhibitions.end(),
                                 [](const Inhibition& inhibition) { return !inhibition.released; }));
    }

    void answerWaitingCalls()
    {
        for (const Waiting& waiting : qAsConst(m_waiting))
            QDBusConnection(waiting.connection).send(waiting.call.createReply(QVariant::fromValue(waiting.descriptor)));
        m_waiting.clear();
    }

public slots:
    QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& who, const QString& why, const QString& mode)
    {
        if (refuse) {
            sendErrorReply(QDBusError::AccessDenied, QStringLiteral("Not allowed to block sleep"));
            return {};
        }
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0)
            qFatal("pipe2 failed");
        const QDBusUnixFileDescriptor writingEnd(ends[1]);
        ::close(ends[1]);
        const int index = inhibitions.size();
        inhibitions.append({{what, who, why, mode}, false});
        auto* notifier = new QSocketNotifier(ends[0], QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this, notifier, index, readingEnd = ends[0]] {
            char byte;
            if (::read(readingEnd, &byte, 1) > 0)
                return;
            inhibitions[index].released = true;
            notifier->setEnabled(false);
            notifier->deleteLater();
            ::close(readingEnd);
        });
        if (holdAnswers) {
            setDelayedReply(true);
            m_waiting.append({connection().name(), message(), writingEnd});
            return {};
        }
        return writingEnd;
    }

private:
    struct Waiting
    {
        QString connection;
        QDBusMessage call;
        QDBusUnixFileDescriptor descriptor;
    };
    QList<Waiting> m_waiting;
};

// org.freedesktop.ScreenSaver: Inhibit hands out cookies, UnInhibit takes them back.
class FakeScreenSaver : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

public:
    QList<QStringList> inhibitions; // application, reason
    QList<uint> cookiesGiven;
    QList<uint> cookiesReturned;

public slots:
    uint Inhibit(const QString& application, const QString& reason)
    {
        inhibitions.append({application, reason});
        cookiesGiven.append(uint(41 + cookiesGiven.size()));
        return cookiesGiven.last();
    }
    void UnInhibit(uint cookie) { cookiesReturned.append(cookie); }
};

class DBusKeepAwakeTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void loginInhibitorTakenOnceAndKept();
    void loginInhibitorReleasedOnStop();
    void loginInhibitorReleasedOnDestruction();
    void releaseWhileAskingHappensOnArrival_data();
    void releaseWhileAskingHappensOnArrival();
    void screenSaverWhenLoginManagerFails_data();
    void screenSaverWhenLoginManagerFails();
    void screenSaverCookieReturnedOnDestruction();
    void neitherServiceMeansNothingAndNoRetries();
    void busThatIsNotThere();

private:
    void offerLoginManager();
    void offerScreenSaver();

    QTemporaryDir m_folder;
    QProcess m_daemon;
    QString m_address;
    std::unique_ptr<QDBusConnection> m_services;
    std::unique_ptr<FakeLoginManager> m_login;
    std::unique_ptr<FakeScreenSaver> m_screenSaver;
};

void DBusKeepAwakeTest::initTestCase()
{
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (daemon.isEmpty())
        QSKIP("dbus-daemon is not installed: the D-Bus keep-awake can't be tried on a private bus");
    QVERIFY(m_folder.isValid());
    startTiedToThisProcess(m_daemon, daemon,
                           {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
                            QStringLiteral("--address=unix:path=") + m_folder.filePath(QStringLiteral("bus")),
                            QStringLiteral("--print-address=1")});
    QVERIFY2(m_daemon.waitForStarted(5000), qPrintable(m_daemon.errorString()));
    while (!m_daemon.canReadLine())
        QVERIFY2(m_daemon.waitForReadyRead(5000), "dbus-daemon printed no address");
    m_address = QString::fromUtf8(m_daemon.readLine().trimmed());
    QVERIFY(!m_address.isEmpty());

    // QtDBus reads these once, at its first use in the process: nothing has
    // used it yet.
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", m_address.toUtf8());
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_address.toUtf8());
    QVERIFY(QDBusConnection::systemBus().isConnected());
    QVERIFY(QDBusConnection::sessionBus().isConnected());

    m_services =
        std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(m_address, QStringLiteral("fake-services")));
    QVERIFY(m_services->isConnected());
}

void DBusKeepAwakeTest::cleanupTestCase()
{
    if (m_services)
        QDBusConnection::disconnectFromBus(m_services->name());
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.closeWriteChannel();
        m_daemon.waitForFinished(5000);
    }
}

void DBusKeepAwakeTest::init()
{
    m_login = std::make_unique<FakeLoginManager>();
    m_screenSaver = std::make_unique<FakeScreenSaver>();
}

void DBusKeepAwakeTest::cleanup()
{
    m_services->unregisterService(loginService);
    m_services->unregisterService(screenSaverService);
    m_services->unregisterObject(loginPath);
    m_services->unregisterObject(screenSaverPath);
    // Answers of the last test that are still on their way land nowhere.
    QTest::qWait(50);
    m_login.reset();
    m_screenSaver.reset();
}

void DBusKeepAwakeTest::offerLoginManager()
{
    QVERIFY(m_services->registerObject(loginPath, m_login.get(), QDBusConnection::ExportAllSlots));
    QVERIFY(m_services->registerService(loginService));
}

void DBusKeepAwakeTest::offerScreenSaver()
{
    QVERIFY(m_services->registerObject(screenSaverPath, m_screenSaver.get(), QDBusConnection::ExportAllSlots));
    QVERIFY(m_services->registerService(screenSaverService));
}

void DBusKeepAwakeTest::loginInhibitorTakenOnceAndKept()
{
    offerLoginManager();
    offerScreenSaver();
    DBusKeepAwake keepAwake;

    // Asked for at once; asking again while the answer is on its way or
    // while it is held, as every tick of a playing or paused player does,
    // asks for nothing more.
    keepAwake.setAwake(true);
    keepAwake.setAwake(true);
    QTRY_VERIFY(keepAwake.holdsInhibitor());
    for (int tick = 0; tick < 3; ++tick) {
        keepAwake.setAwake(true);
        QTest::qWait(settleMs / 3);
    }

    QCOMPARE(m_login->inhibitions.size(), 1);
    QCOMPARE(
        m_login->inhibitions.first().arguments,
        (QStringList{QStringLiteral("sleep:idle"), QCoreApplication::applicationName(),
                     QCoreApplication::translate("DBusKeepAwake", "Text.keepAwakeReason"), QStringLiteral("block")}));
    QCOMPARE(m_login->heldCount(), 1);
    QVERIFY(keepAwake.holdsInhibitor());
    QVERIFY(m_screenSaver->inhibitions.isEmpty());
}

void DBusKeepAwakeTest::loginInhibitorReleasedOnStop()
{
    offerLoginManager();
    DBusKeepAwake keepAwake;
    keepAwake.setAwake(true);
    QTRY_VERIFY(keepAwake.holdsInhibitor());

    keepAwake.setAwake(false);
    QVERIFY(!keepAwake.holdsInhibitor());
    QTRY_COMPARE(m_login->heldCount(), 0);
    keepAwake.setAwake(false);

    // Playing again takes a new one.
    keepAwake.setAwake(true);
    QTRY_VERIFY(keepAwake.holdsInhibitor());
    QCOMPARE(m_login->inhibitions.size(), 2);
    QTRY_COMPARE(m_login->heldCount(), 1);
}

void DBusKeepAwakeTest::loginInhibitorReleasedOnDestruction()
{
    offerLoginManager();
    auto keepAwake = std::make_unique<DBusKeepAwake>();
    keepAwake->setAwake(true);
    QTRY_VERIFY(keepAwake->holdsInhibitor());
    QTest::qWait(settleMs);
    QCOMPARE(m_login->heldCount(), 1);

    keepAwake.reset();
    QTRY_COMPARE(m_login->heldCount(), 0);
    QCOMPARE(m_login->inhibitions.size(), 1);
}

void DBusKeepAwakeTest::releaseWhileAskingHappensOnArrival_data()
{
    QTest::addColumn<bool>("destroy"); // else stop playing
    QTest::newRow("stopped") << false;
    QTest::newRow("destroyed") << true;
}

void DBusKeepAwakeTest::releaseWhileAskingHappensOnArrival()
{
    QFETCH(bool, destroy);
    offerLoginManager();
    m_login->holdAnswers = true;
    auto keepAwake = std::make_unique<DBusKeepAwake>();
    keepAwake->setAwake(true);
    QTRY_COMPARE(m_login->inhibitions.size(), 1);

    if (destroy)
        keepAwake.reset();
    else
        keepAwake->setAwake(false);
    m_login->answerWaitingCalls();

    QTRY_COMPARE(m_login->heldCount(), 0);
    if (keepAwake) {
        QVERIFY(!keepAwake->holdsInhibitor());
        QCOMPARE(m_login->inhibitions.size(), 1);
    }
}

void DBusKeepAwakeTest::screenSaverWhenLoginManagerFails_data()
{
    QTest::addColumn<bool>("loginManagerThere");
    QTest::newRow("no login manager") << false;
    QTest::newRow("login manager refuses") << true;
}

void DBusKeepAwakeTest::screenSaverWhenLoginManagerFails()
{
    QFETCH(bool, loginManagerThere);
    if (loginManagerThere) {
        offerLoginManager();
        m_login->refuse = true;
    }
    offerScreenSaver();
    DBusKeepAwake keepAwake;

    keepAwake.setAwake(true);
    QTRY_VERIFY(keepAwake.holdsInhibitor());
    keepAwake.setAwake(true);
    QTest::qWait(settleMs);
    QCOMPARE(m_screenSaver->inhibitions,
             (QList<QStringList>{{QCoreApplication::applicationName(),
                                  QCoreApplication::translate("DBusKeepAwake", "Text.keepAwakeReason")}}));
    QVERIFY(m_screenSaver->cookiesReturned.isEmpty());

    keepAwake.setAwake(false);
    QVERIFY(!keepAwake.holdsInhibitor());
    QTRY_COMPARE(m_screenSaver->cookiesReturned, m_screenSaver->cookiesGiven);
}

void DBusKeepAwakeTest::screenSaverCookieReturnedOnDestruction()
{
    offerScreenSaver();
    auto keepAwake = std::make_unique<DBusKeepAwake>();
    keepAwake->setAwake(true);
    QTRY_VERIFY(keepAwake->holdsInhibitor());

    keepAwake.reset();
    QTRY_COMPARE(m_screenSaver->cookiesReturned, QList<uint>{41});
}

void DBusKeepAwakeTest::neitherServiceMeansNothingAndNoRetries()
{
    DBusKeepAwake keepAwake;
    keepAwake.setAwake(true);
    QTest::qWait(settleMs);
    QVERIFY(!keepAwake.holdsInhibitor());

    // Having found nothing, the player's next ticks don't ask again.
    offerLoginManager();
    offerScreenSaver();
    for (int tick = 0; tick < 3; ++tick) {
        keepAwake.setAwake(true);
        QTest::qWait(settleMs / 3);
    }
    QVERIFY(!keepAwake.holdsInhibitor());
    QVERIFY(m_login->inhibitions.isEmpty());
    QVERIFY(m_screenSaver->inhibitions.isEmpty());
}

void DBusKeepAwakeTest::busThatIsNotThere()
{
    const QString nowhere = QStringLiteral("unix:path=") + m_folder.filePath(QStringLiteral("nowhere"));
    const QDBusConnection systemBus = QDBusConnection::connectToBus(nowhere, QStringLiteral("no-system-bus"));
    const QDBusConnection sessionBus = QDBusConnection::connectToBus(nowhere, QStringLiteral("no-session-bus"));
    QVERIFY(!systemBus.isConnected());
    offerLoginManager();
    offerScreenSaver();

    QElapsedTimer clock;
    clock.start();
    {
        DBusKeepAwake keepAwake(systemBus, sessionBus);
        keepAwake.setAwake(true);
        QVERIFY(!keepAwake.holdsInhibitor());
        keepAwake.setAwake(false);
        keepAwake.setAwake(true);
    }
    QVERIFY2(clock.elapsed() < 1000, "the keep-awake waited for a bus that isn't there");
    QTest::qWait(settleMs);
    QVERIFY(m_login->inhibitions.isEmpty());
    QVERIFY(m_screenSaver->inhibitions.isEmpty());
}

QTEST_GUILESS_MAIN(DBusKeepAwakeTest)
#include "tst_dbuskeepawake.moc"
