#include "ServiceTestEnvironment.h"

#include "base/Account.h"
#include "net/Http.h"
#include "net/ServiceUrl.h"

#include <QJsonDocument>
#include <QJsonObject>

ServiceTestEnvironment::ServiceTestEnvironment(const QString& baseUrl, int readTimeoutMs)
{
    qputenv(ServiceUrl::environmentVariable, baseUrl.toUtf8());
    Account::instance().fromJson(QJsonDocument::fromJson(signInAnswer("tok-123")).object());
    Http::instance().requestHeaders() = Http::defaultHeaders();
    Http::instance().setReadTimeout(readTimeoutMs);
}

ServiceTestEnvironment::~ServiceTestEnvironment()
{
    qunsetenv(ServiceUrl::environmentVariable);
    Account::instance().fromJson({});
    Http::instance().requestHeaders() = Http::defaultHeaders();
    Http::instance().setReadTimeout(Http().readTimeout());
}

QByteArray ServiceTestEnvironment::signInAnswer(const QByteArray& token)
{
    return R"({"tokenType":"Bearer","accessToken":")" + token + R"(","language":"ru","country":"RU"})";
}
