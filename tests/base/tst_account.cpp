#include "base/Account.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

class AccountTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { Account::instance().fromJson({}); }
    void derivedValues_data();
    void derivedValues();
    void updateTokenKeepsTheTokenType();
    void updateTokenWithoutTokenEmptiesIt();
};

void AccountTest::derivedValues_data()
{
    QTest::addColumn<QByteArray>("signInAnswer");
    QTest::addColumn<QByteArray>("authorization");
    QTest::addColumn<QByteArray>("acceptLanguage");
    QTest::addColumn<QString>("localeName");

    QTest::newRow("before sign-in") << QByteArray("{}") << QByteArray(" ") << QByteArray("-") << "_";
    QTest::newRow("russian account")
        << QByteArray(R"({"tokenType":"Bearer","accessToken":"abc.def","language":"ru","country":"ru"})")
        << QByteArray("Bearer abc.def") << QByteArray("ru-RU") << "ru_RU";
    QTest::newRow("mixed case normalised")
        << QByteArray(R"({"tokenType":"Bearer","accessToken":"T","language":"EN","country":"us"})")
        << QByteArray("Bearer T") << QByteArray("en-US") << "en_US";
    QTest::newRow("missing country") << QByteArray(R"({"tokenType":"Bearer","accessToken":"T","language":"ru"})")
                                     << QByteArray("Bearer T") << QByteArray("ru-") << "ru_";
    QTest::newRow("non-text members read as empty")
        << QByteArray(R"({"tokenType":7,"accessToken":null,"language":["ru"],"country":{"a":1}})") << QByteArray(" ")
        << QByteArray("-") << "_";
    QTest::newRow("non-ASCII token is sent as UTF-8")
        << QByteArray(R"({"tokenType":"Bearer","accessToken":"ключ","language":"ru","country":"RU"})")
        << QStringLiteral("Bearer ключ").toUtf8() << QByteArray("ru-RU") << "ru_RU";
}

void AccountTest::derivedValues()
{
    QFETCH(QByteArray, signInAnswer);
    QFETCH(QByteArray, authorization);
    QFETCH(QByteArray, acceptLanguage);
    QFETCH(QString, localeName);

    Account::instance().fromJson(QJsonDocument::fromJson(signInAnswer).object());
    QCOMPARE(Account::instance().authorization(), authorization);
    QCOMPARE(Account::instance().acceptLanguage(), acceptLanguage);
    QCOMPARE(Account::instance().localeName(), localeName);
}

void AccountTest::updateTokenKeepsTheTokenType()
{
    Account& account = Account::instance();
    account.fromJson(
        QJsonDocument::fromJson(R"({"tokenType":"Bearer","accessToken":"old","language":"en","country":"US"})")
            .object());
    account.updateToken(
        QJsonDocument::fromJson(R"({"accessToken":"new","tokenType":"Other","language":"ru"})").object());
    QCOMPARE(account.authorization(), QByteArray("Bearer new"));
    QCOMPARE(account.localeName(), QStringLiteral("en_US"));
}

void AccountTest::updateTokenWithoutTokenEmptiesIt()
{
    Account& account = Account::instance();
    account.fromJson(QJsonDocument::fromJson(R"({"tokenType":"Bearer","accessToken":"old"})").object());
    account.updateToken(QJsonObject());
    QCOMPARE(account.authorization(), QByteArray("Bearer "));
}

QTEST_GUILESS_MAIN(AccountTest)
#include "tst_account.moc"
