#include "net/Http.h"

#include "base/AppConstants.h"
#include "net/NetworkHttpReply.h"

#include <QCoreApplication>
#include <QHash>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QPointer>
#include <QThread>
#include <QtDebug>

namespace {

const QByteArray contentTypeHeader = QByteArrayLiteral("Content-Type");
const QByteArray formContentType = QByteArrayLiteral("application/x-www-form-urlencoded");

// One manager per thread, created there on first use and kept so that
// connections are reused between calls; the main thread's goes with the
// application. Redirects wait for approval, which nothing gives: the reply
// re-issues them itself, so that it can apply its own rules to each hop.
QNetworkAccessManager* accessManagerOfCurrentThread()
{
    static QHash<QThread*, QPointer<QNetworkAccessManager>> managers;
    QThread* thread = QThread::currentThread();
    QPointer<QNetworkAccessManager>& manager = managers[thread];
    if (!manager) {
        manager = new QNetworkAccessManager;
        manager->setRedirectPolicy(QNetworkRequest::UserVerifiedRedirectPolicy);
        QCoreApplication* application = QCoreApplication::instance();
        if (application && application->thread() == thread)
            manager->setParent(application);
    }
    return manager;
}

} // namespace

Http::Http() : m_requestHeaders(defaultHeaders()), m_readTimeout(AppConstants::readTimeoutMs) {}

Http& Http::instance()
{
    static Http shared;
    return shared;
}

const HttpHeaders& Http::defaultHeaders()
{
    static const HttpHeaders headers{
        {QByteArrayLiteral("Accept-Charset"), QByteArrayLiteral("utf-8")},
        {QByteArrayLiteral("Connection"), QByteArrayLiteral("Keep-Alive")},
    };
    return headers;
}

HttpReply* Http::request(const HttpRequest& request)
{
    return new NetworkHttpReply(*this, request);
}

HttpReply* Http::request(const QUrl& url, int operation, const QByteArray& body, quint32 offset)
{
    HttpRequest record;
    record.url = url;
    record.operation = operation;
    record.body = body;
    record.offset = offset;
    return request(record);
}

HttpReply* Http::get(const QUrl& url)
{
    return request(url, HttpRequest::Get);
}

HttpReply* Http::head(const QUrl& url)
{
    return request(url, HttpRequest::Head);
}

HttpReply* Http::deleteResource(const QUrl& url)
{
    return request(url, HttpRequest::Delete);
}

QByteArray Http::formBody(const QMap<QString, QString>& params)
{
    QByteArray body;
    for (auto it = params.cbegin(); it != params.cend(); ++it) {
        body += QUrl::toPercentEncoding(it.key());
        body += '=';
        body += QUrl::toPercentEncoding(it.value());
        body += '&';
    }
    return body;
}

HttpReply* Http::post(const QUrl& url, const QMap<QString, QString>& params)
{
    return request(requestWithContentType(url, HttpRequest::Post, formBody(params), formContentType));
}

HttpReply* Http::post(const QUrl& url, const QByteArray& body, const QByteArray& contentType)
{
    return request(requestWithContentType(url, HttpRequest::Post, body, contentType));
}

HttpReply* Http::put(const QUrl& url, const QByteArray& body, const QByteArray& contentType)
{
    return request(requestWithContentType(url, HttpRequest::Put, body, contentType));
}

HttpRequest Http::requestWithContentType(const QUrl& url, int operation, const QByteArray& body,
                                         const QByteArray& contentType) const
{
    HttpRequest record;
    record.url = url;
    record.operation = operation;
    record.body = body;
    record.headers = m_requestHeaders;
    record.headers.insert(contentTypeHeader, contentType.isEmpty() ? formContentType : contentType);
    return record;
}

QNetworkReply* Http::networkReply(const HttpRequest& request)
{
    QNetworkRequest networkRequest(request.url);
    // A request's own headers become this transport's headers: a form posted
    // through the shared transport leaves its Content-Type for later requests,
    // which the service has always seen and accepts.
    if (!request.headers.isEmpty() && &request.headers != &m_requestHeaders)
        m_requestHeaders = request.headers;
    for (auto it = m_requestHeaders.cbegin(); it != m_requestHeaders.cend(); ++it)
        networkRequest.setRawHeader(it.key(), it.value());
    if (request.offset != 0)
        networkRequest.setRawHeader(QByteArrayLiteral("Range"), "bytes=" + QByteArray::number(request.offset) + '-');

    QNetworkAccessManager* manager = accessManagerOfCurrentThread();
    switch (request.operation) {
    case HttpRequest::Head:
        return manager->head(networkRequest);
    case HttpRequest::Get:
        return manager->get(networkRequest);
    case HttpRequest::Put:
        return manager->put(networkRequest, request.body);
    case HttpRequest::Post:
        return manager->post(networkRequest, request.body);
    case HttpRequest::Delete:
        return manager->deleteResource(networkRequest);
    default:
        qWarning() << "Unknown operation:" << request.operation;
        return nullptr;
    }
}
