#pragma once

#include "net/Http.h"
#include "net/HttpReply.h"
#include "net/HttpRequest.h"

#include <QPointer>

class SilenceTimer;
class QNetworkReply;

// A reply over the toolkit's network reply. It waits at most the transport's
// read time-out for the first body byte, follows redirects by re-issuing the
// request itself, and lives as a child of its current network reply, so both
// go away together once the reply has ended.
class NetworkHttpReply : public HttpReply
{
    Q_OBJECT

public:
    // More redirects than this end the reply with an error.
    static constexpr int maxRedirects = 10;

    NetworkHttpReply(Http& transport, const HttpRequest& request);

    QUrl url() const override;
    int statusCode() const override;
    QByteArray reasonPhrase() const override;
    QList<QPair<QByteArray, QByteArray>> headers() const override;
    QByteArray header(const QByteArray& name) const override;
    QByteArray body() const override { return m_body; }
    QNetworkReply::NetworkError networkError() const override { return m_networkError; }
    void abort() override;
    void stopWaiting() override { readTimeout(); }

private slots:
    void replyFinished();
    void replyError(QNetworkReply::NetworkError code);
    void readTimeout();
    void replyRedirected(const QUrl& target);

private:
    void attach(QNetworkReply* networkReply);
    void followRedirect(const QUrl& target);
    HttpRequest redirectedRequest(const QUrl& target) const;
    void fail(QNetworkReply::NetworkError code, const QByteArray& bytes);
    void end();

    // The reply's own copy, so that redirects can be re-issued whatever
    // happens to the transport object that created it.
    Http m_transport;
    QUrl m_url;
    int m_operation;
    QByteArray m_requestBody;
    quint32 m_offset;
    HttpHeaders m_requestHeaders;

    QPointer<QNetworkReply> m_networkReply;
    QUrl m_currentUrl; // where the current network request was sent
    SilenceTimer* m_readTimer;
    QByteArray m_body;
    int m_redirects = 0;
    bool m_ended = false;
    QNetworkReply::NetworkError m_networkError = QNetworkReply::NoError;
};
