#pragma once

#include <QByteArray>
#include <QList>
#include <QNetworkReply>
#include <QObject>
#include <QPair>
#include <QUrl>

// The outcome of one request. Success gives data() then finished(); failure
// and time-out give finished() then error(). Receivers keep no reference to
// the reply after finished().
class HttpReply : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    virtual QUrl url() const = 0;
    virtual int statusCode() const = 0;
    virtual QByteArray reasonPhrase() const { return {}; }
    virtual QList<QPair<QByteArray, QByteArray>> headers() const { return {}; }
    virtual QByteArray header(const QByteArray& name) const
    {
        Q_UNUSED(name)
        return {};
    }
    virtual QByteArray body() const = 0;
    // Why the reply failed: NoError while it runs or when it succeeded,
    // TimeoutError when the service sent no body byte in time.
    virtual QNetworkReply::NetworkError networkError() const { return QNetworkReply::NoError; }
    // Ends the request now; it fails with OperationCanceledError.
    virtual void abort() {}
    // Ends the request now as if the service had not answered in time: the
    // practitioner stopped waiting. It fails with TimeoutError.
    virtual void stopWaiting() {}

signals:
    void data(QByteArray bytes);
    void error(QByteArray bytes);
    void finished(const HttpReply& reply);
};
