#include "net/FirstByteTimer.h"

#include <QNetworkReply>
#include <QTimer>

FirstByteTimer::FirstByteTimer(int milliseconds, QObject* parent) : QObject(parent), m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    m_timer->setInterval(milliseconds);
    connect(m_timer, &QTimer::timeout, this, &FirstByteTimer::timedOut);
}

void FirstByteTimer::setInterval(int milliseconds)
{
    m_timer->setInterval(milliseconds);
}

int FirstByteTimer::interval() const
{
    return m_timer->interval();
}

bool FirstByteTimer::isActive() const
{
    return m_timer->isActive();
}

void FirstByteTimer::watch(QNetworkReply* reply)
{
    unwatch();
    m_reply = reply;
    m_connections = {
        connect(reply, &QNetworkReply::uploadProgress, m_timer, qOverload<>(&QTimer::start)),
        connect(reply, &QNetworkReply::downloadProgress, this,
                [this](qint64 received) {
                    if (received >= 1)
                        stop();
                }),
        // The toolkit holds back progress reports for bytes that follow the
        // headers within 100 ms; readyRead is never held back.
        connect(reply, &QNetworkReply::readyRead, this, &FirstByteTimer::bytesArrived),
    };
    m_timer->start();
}

void FirstByteTimer::bytesArrived()
{
    if (m_reply && m_reply->bytesAvailable() >= 1)
        stop();
}

void FirstByteTimer::stop()
{
    m_timer->stop();
    unwatch();
}

void FirstByteTimer::unwatch()
{
    for (const QMetaObject::Connection& connection : qAsConst(m_connections))
        disconnect(connection);
    m_connections.clear();
    m_reply = nullptr;
}
