#pragma once

#include <QByteArray>
#include <QString>

class QJsonObject;

// What the service answered at sign-in and every later request needs: the
// access token with its type, and the practitioner's language and country;
// and the user name they gave.
// One record per process, filled by the sign-in and never persisted.
class Account
{
public:
    static Account& instance();

    // Fills all four fields; a missing or non-text member empties its field.
    void fromJson(const QJsonObject& object);
    // A password change renews the token only; the token type stays.
    void updateToken(const QJsonObject& object);
    // After the service has stored another interface language ("ru_RU"): its
    // later answers must come in that language too.
    void setLocaleName(const QString& localeName);

    // The name the practitioner signed in with; the answer does not carry it.
    void setUserName(const QString& userName) { m_userName = userName; }

    QString accessToken() const { return m_accessToken; }
    QString country() const { return m_country; }
    QString language() const { return m_language; }
    QString tokenType() const { return m_tokenType; }
    QString userName() const { return m_userName; }

    // "tokenType accessToken", the value of the "Authorization" header.
    QByteArray authorization() const;
    // "language-COUNTRY", for example en-US, the value of "Accept-Language".
    QByteArray acceptLanguage() const;
    // "language_COUNTRY", for example en_US, the form of interface language names.
    QString localeName() const;

private:
    Account() = default;

    QString m_accessToken;
    QString m_country;
    QString m_language;
    QString m_tokenType;
    QString m_userName;
};
