#include "base/Account.h"

#include <QJsonObject>
#include <QJsonValue>

Account& Account::instance()
{
    static Account account;
    return account;
}

void Account::fromJson(const QJsonObject& object)
{
    m_accessToken = object.value(QStringLiteral("accessToken")).toString();
    m_country = object.value(QStringLiteral("country")).toString();
    m_language = object.value(QStringLiteral("language")).toString();
    m_tokenType = object.value(QStringLiteral("tokenType")).toString();
}

void Account::updateToken(const QJsonObject& object)
{
    m_accessToken = object.value(QStringLiteral("accessToken")).toString();
}

void Account::setLocaleName(const QString& localeName)
{
    m_language = localeName.section(QLatin1Char('_'), 0, 0);
    m_country = localeName.section(QLatin1Char('_'), 1);
}

QByteArray Account::authorization() const
{
    return (m_tokenType + QLatin1Char(' ') + m_accessToken).toUtf8();
}

QByteArray Account::acceptLanguage() const
{
    return (m_language.toLower() + QLatin1Char('-') + m_country.toUpper()).toUtf8();
}

QString Account::localeName() const
{
    return m_language.toLower() + QLatin1Char('_') + m_country.toUpper();
}
