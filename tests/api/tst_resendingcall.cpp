// When a failed call goes out again: once after the practitioner has signed in
// again, never for the sign-in itself, never without someone to ask.
#include "api/Controller.h"
#include "api/SessionRenewal.h"
#include "base/Account.h"
#include "data/Patient.h"
#include "support/ControllerOutcome.h"
#include "support/ServiceTestEnvironment.h"
#include "support/TestHttpServer.h"
#include "widgets/MessageBoxes.h"

#include <QJsonObject>
#include <QMessageBox>
#include <QTcpServer>
#include <QtTest>

#include <functional>

namespace {

using Operation = std::function<void(Controller&)>;

enum class Practitioner
{
    Absent,  // no window: nobody can be asked
    SignsIn, // signs in again when asked
    GivesUp,
};

const QByteArray renewedToken = "renewed-token";

} // namespace

Q_DECLARE_METATYPE(Operation)
Q_DECLARE_METATYPE(Practitioner)

class ResendingCallTest : public QObject
{
    Q_OBJECT

private slots:
    void refusedTokens_data();
    void refusedTokens();
    void unreachableServiceToldOnce_data();
    void unreachableServiceToldOnce();
};

void ResendingCallTest::refusedTokens_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<Practitioner>("practitioner");
    QTest::addColumn<QList<int>>("statuses");
    QTest::addColumn<int>("requests");
    QTest::addColumn<int>("dialogs");
    QTest::addColumn<QString>("outcome");

    const Operation updates = [](Controller& c) { c.checkUpdates(); };
    const Operation upload = [](Controller& c) {
        c.uploadRecord(Patient(QJsonObject{{QStringLiteral("id"), QStringLiteral("7")}}), "RIFF", QString());
    };
    const Operation unattended = [](Controller& c) {
        c.setUnattended(true);
        c.checkUpdates();
    };
    const Operation login = [](Controller& c) {
        c.login(
            {{QStringLiteral("username"), QStringLiteral("demo")}, {QStringLiteral("password"), QStringLiteral("x")}});
    };
    const QString bytes = QStringLiteral("onBytes");
    const QString error = QStringLiteral("onError");

    QTest::newRow("signed in again: sent once more")
        << updates << Practitioner::SignsIn << QList<int>{401, 200} << 2 << 1 << bytes;
    QTest::newRow("upload sent once more")
        << upload << Practitioner::SignsIn << QList<int>{401, 200} << 2 << 1 << bytes;
    QTest::newRow("refused again: no second round")
        << updates << Practitioner::SignsIn << QList<int>{401, 401} << 2 << 1 << error;
    QTest::newRow("gave up: reported") << updates << Practitioner::GivesUp << QList<int>{401} << 1 << 1 << error;
    QTest::newRow("nobody to ask: reported") << updates << Practitioner::Absent << QList<int>{401} << 1 << 0 << error;
    QTest::newRow("sent in the background: reported without asking")
        << unattended << Practitioner::SignsIn << QList<int>{401} << 1 << 0 << error;
    QTest::newRow("sign-in refused: not renewed")
        << login << Practitioner::SignsIn << QList<int>{401} << 1 << 0 << error;
    QTest::newRow("other refusal: not renewed")
        << updates << Practitioner::SignsIn << QList<int>{403} << 1 << 0 << error;
}

void ResendingCallTest::refusedTokens()
{
    QFETCH(Operation, operation);
    QFETCH(Practitioner, practitioner);
    QFETCH(QList<int>, statuses);
    QFETCH(int, requests);
    QFETCH(int, dialogs);
    QFETCH(QString, outcome);

    TestHttpServer server;
    ServiceTestEnvironment environment(server.baseUrlText());
    for (int status : statuses)
        server.enqueue(ScriptedResponse::json(status, status == 200 ? "{}" : "{\"message\":\"refused\"}"));

    SessionRenewal& renewal = SessionRenewal::instance();
    renewal.setAvailable(practitioner != Practitioner::Absent);
    int asked = 0;
    QMetaObject::Connection answer = connect(&renewal, &SessionRenewal::needed, this, [&] {
        ++asked;
        const bool signsIn = practitioner == Practitioner::SignsIn;
        if (signsIn)
            Account::instance().updateToken({{QStringLiteral("accessToken"), QString::fromLatin1(renewedToken)}});
        QTimer::singleShot(0, [signsIn] { SessionRenewal::instance().finish(signsIn); });
    });

    const auto result = ControllerOutcome::of(operation);
    disconnect(answer);
    renewal.setAvailable(false);

    QCOMPARE(result->signalNames, QStringList{outcome});
    QCOMPARE(server.requests().size(), requests);
    QCOMPARE(asked, dialogs);
    // What goes out again carries the token of the new sign-in.
    if (requests > 1)
        QVERIFY(server.requests().last().header("Authorization").endsWith(" " + renewedToken));
}

void ResendingCallTest::unreachableServiceToldOnce_data()
{
    QTest::addColumn<bool>("windowCanAsk");
    QTest::addColumn<QString>("boxShown");
    QTest::newRow("try again declined") << true << QStringLiteral("messageBoxTryAgain");
    QTest::newRow("nobody to ask") << false << QString();
}

// The caller shows its error box for a failed call; after a declined
// try-again question that said the same, the practitioner reads it once.
void ResendingCallTest::unreachableServiceToldOnce()
{
    QFETCH(bool, windowCanAsk);
    QFETCH(QString, boxShown);
    // A port that nobody listens on any more: the connection is refused.
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost));
    const QString closed = QStringLiteral("http://127.0.0.1:%1").arg(probe.serverPort());
    probe.close();
    ServiceTestEnvironment environment(closed);
    SessionRenewal::instance().setAvailable(windowCanAsk);
    QStringList names;
    MessageBoxRunner::set([&names](QMessageBox& box) {
        names << box.objectName();
        box.reject();
    });

    const auto result = ControllerOutcome::of([](Controller& c) {
        QObject::connect(&c, &Controller::onError, [](const QString& message) { showError(nullptr, message); });
        c.checkUpdates();
    });
    SessionRenewal::instance().setAvailable(false);
    MessageBoxRunner::set({});

    QCOMPARE(result->signalNames, QStringList{QStringLiteral("onError")});
    QCOMPARE(names.size(), 1);
    QCOMPARE(names.first(), boxShown);
}

QTEST_MAIN(ResendingCallTest)
#include "tst_resendingcall.moc"
