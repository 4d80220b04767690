#include "base/Logging.h"
#include "data/Patient.h"
#include "support/ControllerOutcome.h"
#include "support/ServiceTestEnvironment.h"
#include "support/TestHttpServer.h"
#include "support/WorkingDirectory.h"

#include <QFile>
#include <QJsonObject>
#include <QScopeGuard>
#include <QtTest>

// Credentials must never reach the log file, whatever happens to a call.
class ServiceLogTest : public QObject
{
    Q_OBJECT

private slots:
    void logHoldsNoCredentials();

private:
    void run(const std::function<void(Controller&)>& call);
};

namespace {

const QByteArray password = "Pa$$ w0rd&key=1";
const QByteArray token = "tok-4f1c9e0d-SECRET";

} // namespace

void ServiceLogTest::run(const std::function<void(Controller&)>& call)
{
    auto* controller = new Controller;
    ControllerOutcome outcome(controller);
    call(*controller);
    QTRY_VERIFY(outcome.controllerGone());
}

void ServiceLogTest::logHoldsNoCredentials()
{
    ScopedWorkingDirectory folder;
    const QtMessageHandler previous = qInstallMessageHandler(messageHandler);
    auto restore = qScopeGuard([previous] { qInstallMessageHandler(previous); });

    TestHttpServer service;
    TestHttpServer elsewhere;
    ServiceTestEnvironment environment(service.baseUrlText(), 1000);
    elsewhere.setHandler([](const RecordedRequest&) { return ScriptedResponse::json(500, "{}"); });
    service.setHandler([&elsewhere](const RecordedRequest& request) {
        const QString path = request.path();
        if (path == QLatin1String("/auth/login"))
            return ScriptedResponse::json(200, ServiceTestEnvironment::signInAnswer(token));
        if (path.startsWith(QLatin1String("/record/")))
            return ScriptedResponse::json(401, R"({"message":"Token expired"})");
        if (path.startsWith(QLatin1String("/patient/device")))
            return ScriptedResponse::redirect(307, elsewhere.baseUrlText().toUtf8() + "/device");
        if (path == QLatin1String("/patient/filter")) {
            ScriptedResponse silent;
            silent.neverAnswer = true;
            return silent;
        }
        if (path == QLatin1String("/auth/password"))
            return ScriptedResponse::json(400, R"({"errors":[{"newPassword":"is too short"}]})");
        return ScriptedResponse::json(200, "{}");
    });

    const Patient patient(QJsonObject{{QStringLiteral("id"), QStringLiteral("p1")}});
    run([](Controller& c) {
        c.login({{QStringLiteral("username"), QStringLiteral("demo")},
                 {QStringLiteral("password"), QString::fromUtf8(password)}});
    });
    run([&patient](Controller& c) { c.getRecords(patient); });
    run([&patient](Controller& c) { c.toggleDevice(patient); });
    run([](Controller& c) { c.filterPatients(QStringLiteral("name"), QStringLiteral("asc"), 20, 0, {}, {}); });
    run([](Controller& c) {
        c.changePassword({{QStringLiteral("oldPassword"), QString::fromUtf8(password)},
                          {QStringLiteral("newPassword"), QStringLiteral("x")},
                          {QStringLiteral("repeatPassword"), QStringLiteral("x")}});
    });
    run([&patient](Controller& c) { c.uploadRecord(patient, "RIFF", QStringLiteral("sensor")); });
    QVERIFY(service.requests().size() >= 6);
    QCOMPARE(service.requests().at(0).body.contains(QUrl::toPercentEncoding(QString::fromUtf8(password))), true);

    QFile log(folder.filePath(QStringLiteral("sonvera.log")));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QByteArray written = log.readAll();
    // The failures were logged, so the scan below looked at real lines.
    QVERIFY2(written.contains("/record/p1"), written.constData());
    QVERIFY(written.contains("timed out"));
    const QList<QByteArray> secrets{password, QUrl::toPercentEncoding(QString::fromUtf8(password)), password.toBase64(),
                                    token, token.toBase64()};
    for (const QByteArray& secret : secrets)
        QVERIFY2(!written.contains(secret), secret.constData());
}

QTEST_MAIN(ServiceLogTest)
#include "tst_servicelog.moc"
