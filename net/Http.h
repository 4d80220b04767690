#pragma once

#include "net/HttpRequest.h"

#include <QMap>
#include <QString>

class HttpReply;
class QNetworkReply;

// The HTTP transport: turns request records into network requests carrying a
// set of headers and hands back a reply object. One shared instance serves the
// process; a caller may copy it to add headers for one call.
class Http
{
public:
    Http();
    virtual ~Http() = default;
    Http(const Http&) = default;
    Http& operator=(const Http&) = default;

    static Http& instance();

    virtual HttpReply* request(const HttpRequest& request);
    HttpReply* request(const QUrl& url, int operation, const QByteArray& body = {}, quint32 offset = 0);
    HttpReply* get(const QUrl& url);
    HttpReply* head(const QUrl& url);
    HttpReply* deleteResource(const QUrl& url);
    // Posts the parameters as a URL-encoded form, in key order.
    HttpReply* post(const QUrl& url, const QMap<QString, QString>& params);
    // An empty content type means "application/x-www-form-urlencoded".
    HttpReply* post(const QUrl& url, const QByteArray& body, const QByteArray& contentType);
    HttpReply* put(const QUrl& url, const QByteArray& body, const QByteArray& contentType);

    // Sends the request on this thread's access manager. A request with headers
    // of its own replaces this object's header set for later requests too.
    QNetworkReply* networkReply(const HttpRequest& request);

    HttpHeaders& requestHeaders() { return m_requestHeaders; }
    const HttpHeaders& requestHeaders() const { return m_requestHeaders; }

    // How long a reply waits for the first body byte, in milliseconds.
    int readTimeout() const { return m_readTimeout; }
    void setReadTimeout(int milliseconds) { m_readTimeout = milliseconds; }

    static const HttpHeaders& defaultHeaders();
    static QByteArray formBody(const QMap<QString, QString>& params);

private:
    HttpRequest requestWithContentType(const QUrl& url, int operation, const QByteArray& body,
                                       const QByteArray& contentType) const;

    HttpHeaders m_requestHeaders;
    int m_readTimeout;
};
