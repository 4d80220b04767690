#include "net/SilenceTimer.h"

#include <QNetworkReply>
#include <QTimer>

SilenceTimer::SilenceTimer(int milliseconds, QObject* parent) : QObject(parent), m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    m_timer->setInterval(milliseconds);
    connect(m_timer, &QTimer::timeout, this, &SilenceTimer::timedOut);
}

void SilenceTimer::setInterval(int milliseconds)
{
    m_timer->setInterval(milliseconds);
}

int SilenceTimer::interval() const
{
    return m_timer->interval();
}

bool SilenceTimer::isActive() const
{
    return m_timer->isActive();
}

void SilenceTimer::watch(QNetworkReply* reply)
{
    unwatch();
    const auto restart = qOverload<>(&QTimer::start);
    // The toolkit holds back progress reports for bytes that follow the
    // headers within 100 ms; readyRead is never held back.
    m_connections = {
        connect(reply, &QNetworkReply::uploadProgress, m_timer, restart),
        connect(reply, &QNetworkReply::downloadProgress, m_timer, restart),
        connect(reply, &QNetworkReply::readyRead, m_timer, restart),
    };
    m_timer->start();
}

void SilenceTimer::stop()
{
    m_timer->stop();
    unwatch();
}

void SilenceTimer::unwatch()
{
    for (const QMetaObject::Connection& connection : qAsConst(m_connections))
        disconnect(connection);
    m_connections.clear();
}
