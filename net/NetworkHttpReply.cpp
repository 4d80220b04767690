#include "net/NetworkHttpReply.h"

#include "net/ServiceSession.h"
#include "net/SilenceTimer.h"

#include <QNetworkReply>
#include <QtDebug>

namespace {

bool isSameOrigin(const QUrl& a, const QUrl& b)
{
    return a.scheme().compare(b.scheme(), Qt::CaseInsensitive) == 0 &&
           a.host().compare(b.host(), Qt::CaseInsensitive) == 0 && a.port(-1) == b.port(-1);
}

bool isHttpScheme(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

} // namespace

NetworkHttpReply::NetworkHttpReply(Http& transport, const HttpRequest& request)
    : m_url(request.url)
    , m_operation(request.operation)
    , m_requestBody(request.body)
    , m_offset(request.offset)
    , m_requestHeaders(request.headers)
    , m_readTimer(new SilenceTimer(transport.readTimeout(), this))
{
    if (m_url.isEmpty())
        qWarning() << "Empty URL";

    // Sending through the caller's transport lets a request's headers update
    // it; the copy taken afterwards carries the headers for redirects.
    QNetworkReply* networkReply = transport.networkReply(request);
    m_transport = transport;

    connect(m_readTimer, &SilenceTimer::timedOut, this, &NetworkHttpReply::readTimeout);

    if (!networkReply) {
        // Nothing was sent, so nothing will ever report: fail once the caller
        // has had the chance to connect, and clean up.
        QMetaObject::invokeMethod(
            this, [this] { fail(QNetworkReply::ProtocolUnknownError, {}); }, Qt::QueuedConnection);
        return;
    }
    attach(networkReply);
}

void NetworkHttpReply::attach(QNetworkReply* networkReply)
{
    m_networkReply = networkReply;
    m_currentUrl = networkReply->request().url();
    setParent(networkReply);
    connect(networkReply, &QNetworkReply::errorOccurred, this, &NetworkHttpReply::replyError, Qt::UniqueConnection);
    connect(networkReply, &QNetworkReply::finished, this, &NetworkHttpReply::replyFinished, Qt::UniqueConnection);
    // Under the user-verified policy the toolkit holds a redirect back until
    // someone approves it and never finishes the reply meanwhile.
    connect(networkReply, &QNetworkReply::redirected, this, &NetworkHttpReply::replyRedirected, Qt::UniqueConnection);
    m_readTimer->watch(networkReply);
}

QUrl NetworkHttpReply::url() const
{
    return m_networkReply ? m_networkReply->url() : m_url;
}

int NetworkHttpReply::statusCode() const
{
    return m_networkReply ? m_networkReply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() : 0;
}

QByteArray NetworkHttpReply::reasonPhrase() const
{
    return m_networkReply ? m_networkReply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray()
                          : QByteArray();
}

QList<QPair<QByteArray, QByteArray>> NetworkHttpReply::headers() const
{
    return m_networkReply ? m_networkReply->rawHeaderPairs() : QList<QPair<QByteArray, QByteArray>>();
}

QByteArray NetworkHttpReply::header(const QByteArray& name) const
{
    return m_networkReply ? m_networkReply->rawHeader(name) : QByteArray();
}

void NetworkHttpReply::replyRedirected(const QUrl& target)
{
    followRedirect(target);
}

void NetworkHttpReply::replyFinished()
{
    const QVariant target = m_networkReply->attribute(QNetworkRequest::RedirectionTargetAttribute);
    if (target.isValid() && target.toUrl().isValid()) {
        followRedirect(m_currentUrl.resolved(target.toUrl()));
        return;
    }

    const int status = statusCode();
    if (answerFailure(status, QNetworkReply::NoError) == QNetworkReply::NoError) {
        const QByteArray bytes = m_networkReply->readAll();
        // The answer is complete: whatever the receiver does with it, even
        // wait in a message box, nothing may time out or fail after it.
        m_readTimer->stop();
        m_networkReply->disconnect(this);
        emit data(bytes);
        end();
        return;
    }
    qWarning() << "Request to" << m_currentUrl.path() << "ended with HTTP status" << status;
    fail(QNetworkReply::UnknownContentError, m_networkReply->readAll());
}

void NetworkHttpReply::replyError(QNetworkReply::NetworkError code)
{
    qWarning() << "Request to" << m_currentUrl.path() << "failed: status" << statusCode() << "error" << code;
    fail(code, m_networkReply->readAll());
}

void NetworkHttpReply::abort()
{
    if (m_ended || !m_networkReply)
        return;
    m_networkReply->disconnect(this);
    m_networkReply->abort();
    fail(QNetworkReply::OperationCanceledError, {});
}

void NetworkHttpReply::readTimeout()
{
    if (!m_networkReply)
        return;
    qWarning() << "Request to" << m_currentUrl.path() << "timed out waiting for the service";
    // Whatever part of the answer came is cut off and means nothing.
    m_networkReply->disconnect(this);
    m_networkReply->abort();
    fail(QNetworkReply::TimeoutError, {});
}

void NetworkHttpReply::followRedirect(const QUrl& target)
{
    // The toolkit already shows the target as the reply's URL; the origin
    // rules compare against where the request was really sent.
    const QUrl current = m_currentUrl;
    if (++m_redirects > maxRedirects) {
        qWarning() << "Request to" << current.path() << "redirected more than" << maxRedirects << "times";
        fail(QNetworkReply::TooManyRedirectsError, {});
        return;
    }
    if (!target.isValid() || !isHttpScheme(target)) {
        qWarning() << "Request to" << current.path() << "redirected to an unsupported address";
        fail(QNetworkReply::ProtocolUnknownError, {});
        return;
    }
    if (current.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0 &&
        target.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) != 0) {
        qWarning() << "Request to" << current.path() << "redirected from a secure to an insecure address; refused";
        fail(QNetworkReply::InsecureRedirectError, {});
        return;
    }

    QNetworkReply* previous = m_networkReply;
    previous->disconnect(this);
    QNetworkReply* next = m_transport.networkReply(redirectedRequest(target));
    if (!next) {
        fail(QNetworkReply::ProtocolUnknownError, {});
        return;
    }
    attach(next);
    // The redirect answer itself is of no further use; abort() ends a reply
    // that the toolkit is still holding back for approval.
    previous->abort();
    previous->deleteLater();
}

HttpRequest NetworkHttpReply::redirectedRequest(const QUrl& target) const
{
    HttpRequest request;
    request.url = target;
    request.operation = m_operation;
    request.body = m_requestBody;
    request.offset = m_offset;
    // The credentials are the service's business only: another origin gets
    // the request without them.
    if (!isSameOrigin(m_currentUrl, target)) {
        HttpHeaders headers = m_transport.requestHeaders();
        for (auto it = headers.begin(); it != headers.end();) {
            if (it.key().compare("Authorization", Qt::CaseInsensitive) == 0)
                it = headers.erase(it);
            else
                ++it;
        }
        request.headers = headers;
    }
    return request;
}

void NetworkHttpReply::fail(QNetworkReply::NetworkError code, const QByteArray& bytes)
{
    if (m_ended)
        return;
    m_networkError = code;
    end();
    emit error(bytes);
}

void NetworkHttpReply::end()
{
    if (m_ended)
        return;
    m_ended = true;
    m_readTimer->stop();
    if (m_networkReply)
        m_networkReply->disconnect(this);
    emit finished(*this);
    if (m_networkReply)
        m_networkReply->deleteLater();
    else
        deleteLater();
}
