// How a service call ends when the answer misbehaves: exactly one outcome
// however long the caller's own handler runs, silence in the middle of an
// answer as a time-out, and a token answer without a token as an error that
// leaves the account as it was.

#include "api/Controller.h"
#include "base/Account.h"
#include "base/Language.h"
#include "data/Patient.h"
#include "support/ControllerOutcome.h"
#include "support/ServiceTestEnvironment.h"
#include "support/TestHttpServer.h"
#include "widgets/LoadingWindow.h"

#include <QEventLoop>
#include <QPushButton>
#include <QTimer>
#include <QTranslator>
#include <QtTest>

#include <functional>

using Call = std::function<void(Controller&)>;
Q_DECLARE_METATYPE(Call)

namespace {

constexpr int readTimeoutMs = 300;
const QString unreadable = QStringLiteral("The service's answer could not be read. Please try again later.");

Patient somePatient()
{
    return Patient(
        QJsonObject{{QStringLiteral("id"), QStringLiteral("p1")}, {QStringLiteral("name"), QStringLiteral("A")}});
}

// Runs the event loop for a while, as an open modal box would.
void keepBusy(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

class RequestFaultsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void aSlowSuccessHandlerGetsNoTimeOutAfterIt_data();
    void aSlowSuccessHandlerGetsNoTimeOutAfterIt();
    void silenceInTheMiddleOfAnAnswerTimesOut_data();
    void silenceInTheMiddleOfAnAnswerTimesOut();
    void anAnswerWithoutAToken_data();
    void anAnswerWithoutAToken();
    void stoppingTheWaitEndsASilentCall_data();
    void stoppingTheWaitEndsASilentCall();

private:
    QTranslator m_translator;
};

void RequestFaultsTest::initTestCase()
{
    QVERIFY(loadTranslation(m_translator, QStringLiteral("Translation_en_US.qm")));
}

void RequestFaultsTest::aSlowSuccessHandlerGetsNoTimeOutAfterIt_data()
{
    QTest::addColumn<Call>("call");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("outcome");

    const Call changeLocale = [](Controller& c) { c.changeLocale(QStringLiteral("ru_RU")); };
    const Call checkUpdates = [](Controller& c) { c.checkUpdates(); };
    QTest::newRow("204") << changeLocale << 204 << "onSuccess";
    QTest::newRow("200, nothing to read, status only") << changeLocale << 200 << "onSuccess";
    QTest::newRow("200, nothing to read, bytes") << checkUpdates << 200 << "onBytes";
}

void RequestFaultsTest::aSlowSuccessHandlerGetsNoTimeOutAfterIt()
{
    QFETCH(Call, call);
    QFETCH(int, status);
    QFETCH(QString, outcome);

    TestHttpServer server;
    ServiceTestEnvironment environment(server.baseUrlText(), readTimeoutMs);
    server.enqueue(ScriptedResponse::json(status, QByteArray()));

    auto* controller = new Controller;
    ControllerOutcome outcomes(controller);
    // A success message left open for longer than the time-out.
    connect(controller, &Controller::onSuccess, this, [] { keepBusy(3 * readTimeoutMs); });
    connect(controller, &Controller::onBytes, this, [] { keepBusy(3 * readTimeoutMs); });
    call(*controller);

    QTRY_VERIFY(outcomes.controllerGone());
    keepBusy(2 * readTimeoutMs);
    QCOMPARE(outcomes.signalNames, QStringList{outcome});
}

void RequestFaultsTest::silenceInTheMiddleOfAnAnswerTimesOut_data()
{
    QTest::addColumn<bool>("upload");
    QTest::addColumn<int>("pauseMs");
    QTest::addColumn<bool>("timesOut");

    QTest::newRow("request, a short pause") << false << readTimeoutMs / 3 << false;
    QTest::newRow("request, silence past the time-out") << false << 3 * readTimeoutMs << true;
    QTest::newRow("upload, a short pause") << true << readTimeoutMs / 3 << false;
    QTest::newRow("upload, silence past the time-out") << true << 3 * readTimeoutMs << true;
}

void RequestFaultsTest::silenceInTheMiddleOfAnAnswerTimesOut()
{
    QFETCH(bool, upload);
    QFETCH(int, pauseMs);
    QFETCH(bool, timesOut);

    TestHttpServer server;
    ServiceTestEnvironment environment(server.baseUrlText(), readTimeoutMs);
    ScriptedResponse answer = ScriptedResponse::json(200, R"({"id":"r1","recordedAt":"2024-01-02T03:04:05"})");
    answer.delayAfterFirstBodyByteMs = pauseMs;
    server.enqueue(answer);

    auto* controller = new Controller;
    ControllerOutcome outcome(controller);
    if (upload)
        controller->uploadRecord(somePatient(), QByteArray(100, 'x'), QStringLiteral("sensor"));
    else
        controller->getRecords(somePatient());

    QTRY_VERIFY_WITH_TIMEOUT(outcome.controllerGone(), 5000);
    if (timesOut) {
        QCOMPARE(outcome.signalNames, QStringList{QStringLiteral("onError")});
        QCOMPARE(outcome.message, QStringLiteral("The service did not answer in time. Please try again later."));
    } else {
        QCOMPARE(outcome.signalNames, QStringList{QStringLiteral("onBytes")});
        QCOMPARE(outcome.bytes, answer.body);
    }
}

void RequestFaultsTest::stoppingTheWaitEndsASilentCall_data()
{
    QTest::addColumn<bool>("upload");
    QTest::newRow("request") << false;
    QTest::newRow("upload") << true;
}

// A service that takes the connection and never answers: the overlay offers
// to stop waiting long before the transport's own time-out, and stopping
// ends the call as timed out.
void RequestFaultsTest::stoppingTheWaitEndsASilentCall()
{
    QFETCH(bool, upload);
    TestHttpServer server;
    ServiceTestEnvironment environment(server.baseUrlText(), 60000);
    ScriptedResponse silent;
    silent.neverAnswer = true;
    server.setHandler([silent](const RecordedRequest&) { return silent; });
    LoadingWindow::setStopWaitingOfferMsForTests(100);
    QWidget screen;
    screen.resize(400, 300);
    screen.show();

    auto* controller = new Controller(&screen);
    ControllerOutcome outcome(controller);
    if (upload)
        controller->uploadRecord(somePatient(), QByteArray(100, 'x'), QStringLiteral("sensor"));
    else
        controller->getRecords(somePatient());
    auto* stop = screen.findChild<QPushButton*>(QStringLiteral("buttonStopWaiting"));
    QVERIFY(stop && !stop->isVisible());
    QTRY_VERIFY(stop->isVisible());
    QVERIFY(!outcome.reported());
    stop->click();
    LoadingWindow::setStopWaitingOfferMsForTests(0);

    QTRY_VERIFY_WITH_TIMEOUT(outcome.controllerGone(), 2000);
    QCOMPARE(outcome.signalNames, QStringList{QStringLiteral("onError")});
    QCOMPARE(outcome.message, QStringLiteral("The service did not answer in time. Please try again later."));
    QVERIFY(!screen.findChild<LoadingWindow*>());
}

void RequestFaultsTest::anAnswerWithoutAToken_data()
{
    QTest::addColumn<bool>("signIn");
    QTest::addColumn<QByteArray>("body");

    const QList<QPair<const char*, QByteArray>> bodies{
        {"empty", QByteArray()},
        {"not JSON", "<html>welcome</html>"},
        {"null", "null"},
        {"an array", R"([{"accessToken":"new"}])"},
        {"JSON and garbage", R"({"accessToken":"new","tokenType":"Bearer"}xyz)"},
        {"no token", R"({"tokenType":"Bearer","language":"en","country":"US"})"},
        {"an empty token", R"({"accessToken":"","tokenType":"Bearer"})"},
        {"a token that is no text", R"({"accessToken":42,"tokenType":"Bearer"})"},
    };
    for (const auto& [name, body] : bodies) {
        QTest::addRow("sign-in, %s", name) << true << body;
        QTest::addRow("password change, %s", name) << false << body;
    }
}

void RequestFaultsTest::anAnswerWithoutAToken()
{
    QFETCH(bool, signIn);
    QFETCH(QByteArray, body);

    TestHttpServer server;
    ServiceTestEnvironment environment(server.baseUrlText(), 5000);
    server.enqueue(ScriptedResponse::json(200, body));
    const QByteArray authorizationBefore = Account::instance().authorization();
    const QString localeBefore = Account::instance().localeName();

    auto* controller = new Controller;
    ControllerOutcome outcome(controller);
    if (signIn)
        controller->login(
            {{QStringLiteral("username"), QStringLiteral("u")}, {QStringLiteral("password"), QStringLiteral("p")}});
    else
        controller->changePassword({{QStringLiteral("oldPassword"), QStringLiteral("a")}});

    QTRY_VERIFY(outcome.controllerGone());
    QCOMPARE(outcome.signalNames, QStringList{QStringLiteral("onError")});
    QCOMPARE(outcome.message, unreadable);
    QCOMPARE(Account::instance().authorization(), authorizationBefore);
    QCOMPARE(Account::instance().localeName(), localeBefore);
}

QTEST_MAIN(RequestFaultsTest)
#include "tst_requestfaults.moc"
