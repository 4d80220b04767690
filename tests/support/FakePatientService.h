#pragma once

#include "support/TestHttpServer.h"

#include <QJsonObject>
#include <QList>
#include <QMap>

// A scripted stand-in of the service's account and patient endpoints for
// screen tests: sign-in, pages of patients, create, edit, delete, language,
// password and update check. Every answer can be replaced per path, and the
// server records what the screens sent.
class FakePatientService
{
public:
    FakePatientService();

    TestHttpServer& server() { return m_server; }
    QString baseUrl() const { return m_server.baseUrlText(); }

    // The sign-in answer's language and country.
    void setSignInLocale(const QString& language, const QString& country);
    // The page every list request gets.
    void setPage(int pages, const QList<QJsonObject>& patients);
    // Replaces the answer of every request to that method and path.
    void answer(const QByteArray& method, const QString& path, const ScriptedResponse& response);

    // The requests received to that method and path, in order.
    QList<RecordedRequest> requests(const QByteArray& method, const QString& path) const;

    static QJsonObject patient(const QString& id, const QString& name, int age = 40,
                               const QString& gender = QStringLiteral("FEMALE"));

private:
    ScriptedResponse respond(const RecordedRequest& request);

    TestHttpServer m_server;
    QString m_language = QStringLiteral("en");
    QString m_country = QStringLiteral("US");
    QByteArray m_page;
    QMap<QByteArray, ScriptedResponse> m_answers;
};
